// Booklets read back from the PDF: the text and its order (pdftotext), the
// page breaking (pdfinfo), one page of each layout as an image (pdftoppm),
// and the dialog's answers to bad input.
#include "support/windowtest.h"
#include "tools/bookletdialog.h"
#include "tools/bookletwriter.h"

#include <QDir>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

// Output of a poppler tool; a null string when the tool is absent.
QString run(const QString& tool, const QStringList& args) {
    const QString exe = QStandardPaths::findExecutable(tool);
    if (exe.isEmpty()) return QString();
    QProcess p;
    p.start(exe, args);
    p.waitForFinished(120000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pageCount(const QString& pdf) {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The text in drawing order, pages `first` to `last` (0: all). Compatibility
// forms (a radical for 月) fold to the characters themselves.
QString pdfText(const QString& pdf, int first = 0, int last = 0) {
    QStringList args{QStringLiteral("-raw"), QStringLiteral("-enc"), QStringLiteral("UTF-8")};
    if (first > 0) args << QStringLiteral("-f") << QString::number(first) << QStringLiteral("-l") << QString::number(last);
    return run(QStringLiteral("pdftotext"), args << pdf << QStringLiteral("-"))
        .normalized(QString::NormalizationForm_KC);
}

QString squeezed(QString s) {
    s.remove(QRegularExpression(QStringLiteral("\\s")));
    return s;
}

// A text as pdfText gives it back (full-width commas come back as ",").
QString folded(const QString& s) { return s.normalized(QString::NormalizationForm_KC); }

QImage pageImage(const QString& pdf, int page) {
    const QString prefix = pdf + QStringLiteral(".p");
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-png"),
                                     QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                     QString::number(page), QStringLiteral("-singlefile"), pdf, prefix});
    return QImage(prefix + QStringLiteral(".png"));
}

bool dark(QRgb c) { return qGray(c) < 160; }
bool gridColour(QRgb c) { return qRed(c) > 150 && qRed(c) - qGreen(c) > 20 && qRed(c) - qBlue(c) > 20; }

// Horizontal bands of columns holding ink, right to left: {left, right, lowest inked row}.
struct Band {
    int left;
    int right;
    int bottom;
};
QList<Band> inkBands(const QImage& img, int top, int bottom) {
    QList<Band> bands;
    for (int x = img.width() - 1; x >= 0; --x) {
        int low = -1;
        for (int y = top; y < bottom; ++y)
            if (dark(img.pixel(x, y))) low = y;
        if (low < 0) continue;
        if (!bands.isEmpty() && bands.last().left - x <= 5) { // strokes of one column
            bands.last().left = x;
            bands.last().bottom = std::max(bands.last().bottom, low);
        } else {
            bands.append({x, x, low});
        }
    }
    return bands;
}

} // namespace

Q_DECLARE_METATYPE(BookletStyle)

class BookletTest : public WindowTest {
    Q_OBJECT

    QTemporaryDir out;

    QString write(BookletStyle style, const QList<qint32>& ids, const QString& name, const QString& title = QString(),
                  bool contents = false, const BookletNotes& pinyin = {}) {
        BookletOptions o;
        o.style = style;
        o.title = title;
        o.contents = contents;
        o.pinyin = bool(pinyin);
        BookletWriter writer(fx->db(), DefaultTemplate(), o, pinyin);
        const QString path = out.filePath(name);
        QString error;
        if (writer.writePdf(ids, path, &error) != BookletWriter::Result::Written) return QString();
        return path;
    }
    qint32 addPoem(const QString& title, const QString& content) {
        fx->db().execNative(QStringLiteral("INSERT INTO Poetry (fPoet,fDynasty,fTitle,fContent) VALUES ('佚名','唐','%1','%2')")
                                .arg(title, content));
        return qint32(fx->db().lastInsertRowId());
    }

private slots:
    void initTestCase() {
        redirectSettings();
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("poppler-utils are not installed");
    }

    // Text, order and the contents' page numbers in each layout.
    void textInOrder_data() {
        QTest::addColumn<BookletStyle>("style");
        QTest::addColumn<int>("pages"); // cover and contents included
        QTest::newRow("横排") << BookletStyle::Horizontal << 3;
        QTest::newRow("竖排") << BookletStyle::Vertical << 3;
        QTest::newRow("田字格") << BookletStyle::Grid << 4; // the third poem needs a page of its own
    }
    void textInOrder() {
        QFETCH(BookletStyle, style);
        QFETCH(int, pages);
        const QString pdf = write(style, {3, 1, 2}, QStringLiteral("order.pdf"), QStringLiteral("唐诗"), true);
        QVERIFY(!pdf.isEmpty());
        QCOMPARE(pageCount(pdf), pages);
        const QString body = squeezed(pdfText(pdf, 3, pages));
        const qsizetype a = body.indexOf(folded(QStringLiteral("国破山河在，城春草木深。")));
        const qsizetype b = body.indexOf(folded(QStringLiteral("床前明月光，疑是地上霜。举头望明月，低头思故乡。")));
        const qsizetype c = body.indexOf(folded(QStringLiteral("两岸猿声啼不住，轻舟已过万重山。")));
        QVERIFY2(a >= 0 && a < b && b < c, qPrintable(body));
        QVERIFY(body.indexOf(QStringLiteral("春望")) < a);
        const QString contents = pdfText(pdf, 2, 2);
        QVERIFY2(QRegularExpression(QStringLiteral("春望\\s+杜甫\\s+3")).match(contents).hasMatch(), qPrintable(contents));
        QVERIFY(pdfText(pdf, 1, 1).contains(QStringLiteral("唐诗")));
    }

    // A long poem continues over pages with every character, in order (where
    // the breaks fall is the page flow's own test).
    void pageBreaking_data() {
        QTest::addColumn<BookletStyle>("style");
        QTest::newRow("竖排") << BookletStyle::Vertical;
        QTest::newRow("田字格") << BookletStyle::Grid;
    }
    void pageBreaking() {
        QFETCH(BookletStyle, style);
        const QString text = QStringLiteral("春江潮水连海平，海上明月共潮生。").repeated(224).left(3574);
        const QString pdf = write(style, {addPoem(QStringLiteral("甲篇"), text), addPoem(QStringLiteral("乙篇"), text)},
                                  QStringLiteral("breaking.pdf"));
        QVERIFY(!pdf.isEmpty());
        QVERIFY(pageCount(pdf) > 2);
        // Titles, poets and page numbers aside.
        QString all = squeezed(pdfText(pdf)).remove(QRegularExpression(QStringLiteral("\\d|甲篇|乙篇|〔唐〕|佚名")));
        QCOMPARE(all, folded(text.repeated(2)));
    }

    // A character outside the BMP and Latin text make it to the page.
    void outsideBmpAndLatin() {
        const qint32 id = addPoem(QStringLiteral("𠀀字"), QStringLiteral("𠀀山ABC 12水。"));
        for (BookletStyle style : {BookletStyle::Horizontal, BookletStyle::Vertical, BookletStyle::Grid}) {
            const QString pdf = write(style, {id, 9}, QStringLiteral("latin.pdf"));
            QVERIFY(!pdf.isEmpty());
            const QString text = squeezed(pdfText(pdf));
            QVERIFY2(text.contains(QStringLiteral("ABC12")) || text.contains(QStringLiteral("ABC")), qPrintable(text));
            QVERIFY2(text.contains(QStringLiteral("bright_ly")), qPrintable(text));
        }
    }

    // One page of each layout as an image. The grid: squares drawn in the
    // grid's colour, characters in black.
    void gridPageHasTheGridAndTheCharacters() {
        const QImage img = pageImage(write(BookletStyle::Grid, {1}, QStringLiteral("grid.pdf")), 1);
        QVERIFY(!img.isNull());
        // Scan across the first row of squares, a quarter below its top.
        int gridTop = -1;
        for (int y = 0; y < img.height() && gridTop < 0; ++y)
            for (int x = 0; x + 10 < img.width() && gridTop < 0; ++x)
                if (gridColour(img.pixel(x, y)) && gridColour(img.pixel(x + 10, y))) gridTop = y;
        QVERIFY(gridTop > 0);
        const int side = int(BookletPageFrame(BookletPageSize::A4).body.width() / 11 * 50 / 72);
        int sides = 0, ink = 0;
        bool inSide = false;
        for (int x = 0; x < img.width(); ++x) {
            const bool g = gridColour(img.pixel(x, gridTop + side / 4));
            sides += g && !inSide;
            inSide = g;
            for (int y = gridTop; y < gridTop + side; ++y) ink += dark(img.pixel(x, y));
        }
        QVERIFY2(sides >= 7, qPrintable(QString::number(sides))); // 6 squares: 7 sides, and the dashed middles
        QVERIFY(ink > 50);
    }

    // 横排: the page number centred at the foot, the title line across the top of the body.
    void horizontalPageNumberAtTheFoot() {
        const QImage img = pageImage(write(BookletStyle::Horizontal, {1, 2}, QStringLiteral("horizontal.pdf")), 1);
        QVERIFY(!img.isNull());
        const PageFrame frame = BookletPageFrame(BookletPageSize::A4);
        const auto inked = [&](const QRectF& pt) {
            const QRect r(int(pt.left() * 50 / 72), int(pt.top() * 50 / 72), int(pt.width() * 50 / 72) + 1,
                          int(pt.height() * 50 / 72) + 1);
            QList<int> xs;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if (dark(img.pixel(x, y))) xs << x;
            return xs;
        };
        const QList<int> foot = inked(frame.footer);
        QVERIFY(!foot.isEmpty());
        const auto [low, high] = std::minmax_element(foot.begin(), foot.end());
        QVERIFY(*low > img.width() / 2 - 15 && *high < img.width() / 2 + 15);
        QRectF topLine = frame.body;
        topLine.setHeight(20);
        QVERIFY(inked(topLine).size() > 20);
    }

    void verticalColumnsRunRightToLeft() {
        const qint32 id = addPoem(QStringLiteral("题"), QStringLiteral("山水山水山水山水山水山水山水山水山水山水\r\n山"));
        const QString pdf = write(BookletStyle::Vertical, {id}, QStringLiteral("vertical.pdf"));
        const QImage img = pageImage(pdf, 1);
        QVERIFY(!img.isNull());
        const int footer = int(BookletPageFrame(BookletPageSize::A4).body.bottom() * 50 / 72);
        const QList<Band> bands = inkBands(img, 0, footer);
        // Right to left: the title column (the poet at its foot), the long
        // line reaching far down, the one-character line at the top.
        QVERIFY2(bands.size() >= 3, qPrintable(QString::number(bands.size())));
        QVERIFY(bands[0].bottom > footer * 3 / 4);
        QVERIFY(bands[1].bottom > bands[2].bottom + 100);
        QVERIFY(bands[1].left > bands[2].right);
    }

    // The pane's pinyin (hzPy and the phrase tables) goes with each character.
    void pinyinWithTheCharacters_data() { textInOrder_data(); }
    void pinyinWithTheCharacters() {
        QFETCH(BookletStyle, style);
        const QString pdf = write(style, {1}, QStringLiteral("pinyin.pdf"), QString(), false, BookletPinyin(fx->db()));
        QCOMPARE(pdfText(pdf).count(QStringLiteral("yuè")), 2); // 明月 twice
        const QString plain = write(style, {1}, QStringLiteral("plain.pdf"));
        QCOMPARE(pdfText(plain).count(QStringLiteral("yuè")), 0);
    }

    // The dialog: bad input and the way out of a stopped booklet.
    void dialogAnswers() {
        ScriptedDialogs d;
        BookletDialog::start(fx->db(), d, BookletSource{}, nullptr);
        QCOMPARE(d.marked(), QStringList{QStringLiteral("i:当前列表中没有诗词，无从输出小册。")});

        QTemporaryDir dir;
        const QString existing = dir.filePath(QStringLiteral("old.pdf"));
        QFile f(existing);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old");
        f.close();
        struct Case {
            QString path;
            bool overwrite;
            bool cancel;
            QString message; // start of the message, empty for none
        };
        const Case cases[] = {
            {dir.path(), false, false, QStringLiteral("!:小册[") + dir.path() + QStringLiteral("] 输出失败：")},
            {dir.filePath(QStringLiteral("no/such/dir/a.pdf")), false, false, QStringLiteral("!:小册[")},
            {existing, true, true, QString()},
            {dir.filePath(QStringLiteral("new")), false, false, QStringLiteral("i:小册已输出到[") + dir.filePath(QStringLiteral("new.pdf"))},
        };
        for (const Case& c : cases) {
            ScriptedDialogs scripted;
            scripted.files.push_back(c.path);
            if (c.overwrite) scripted.answers.push_back(true);
            BookletDialog dlg(fx->db(), scripted, BookletSource{{1, 2, 3}, {}, DefaultTemplate(), QString(), {}});
            QObject::connect(&dlg, &BookletDialog::progressed, &dlg, [&](qint64 done, qint64) {
                if (c.cancel && done >= 2) dlg.cancel();
            });
            dlg.cmdBookletPdf->click();
            const QStringList marked = scripted.marked();
            const QString last = marked.isEmpty() ? QString() : marked.last();
            if (c.message.isEmpty())
                QVERIFY2(!last.startsWith(u'!') && !last.startsWith(u'i'), qPrintable(last));
            else
                QVERIFY2(last.startsWith(c.message), qPrintable(marked.join(u'\n')));
        }
        // The stopped booklet kept the old file and left nothing beside it.
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({QStringLiteral("new.pdf"), QStringLiteral("old.pdf")}));
    }

    // Printing takes the same pages through the print dialog.
    void printGoesThroughThePrintDialog() {
        struct PdfPrinting : ScriptedDialogs {
            QString pdf;
            bool printDialog(QPrinter* printer, bool hasSelection) override {
                printer->setOutputFormat(QPrinter::PdfFormat);
                printer->setOutputFileName(pdf);
                return ScriptedDialogs::printDialog(printer, hasSelection);
            }
        } printing;
        printing.pdf = out.filePath(QStringLiteral("printed.pdf"));
        printing.printAnswers.push_back(true);
        BookletDialog dlg(fx->db(), printing, BookletSource{{1, 2, 3}, {2}, DefaultTemplate(), QString(), {}});
        dlg.cboBookletScope->setCurrentIndex(1);
        dlg.cboBookletStyle->setCurrentIndex(2);
        dlg.cmdBookletPrint->click();
        QCOMPARE(printing.printRequests, QList<bool>{false});
        QCOMPARE(pageCount(printing.pdf), 2); // the cover and the one poem chosen
        QVERIFY(squeezed(pdfText(printing.pdf, 2, 2)).startsWith(QStringLiteral("早发白帝城")));
    }

    void longListIsAnnouncedFirst() {
        ScriptedDialogs scripted;
        const QList<qint32> many(BookletDialog::kAskAbove + 1, 1);
        BookletDialog dlg(fx->db(), scripted, BookletSource{many, {}, DefaultTemplate(), QString(), {}});
        dlg.cmdBookletPdf->click(); // declined: no file dialog
        QVERIFY(scripted.fileRequests.isEmpty());
        QCOMPARE(scripted.messages.size(), 1);
        // 静夜思 and its neighbours fit several to a page: far fewer pages than poems.
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^将输出 2001 首诗词，约 (\\d+) 页")).match(scripted.messages[0].text);
        QVERIFY2(m.hasMatch(), qPrintable(scripted.messages[0].text));
        QVERIFY(m.captured(1).toInt() > 100 && m.captured(1).toInt() < 2001);
    }

    // The File menu offers the booklet of the title list.
    void menuEntryOpensTheDialog() {
        auto w = start();
        QString shown;
        QTimer::singleShot(0, [&] {
            if (auto* dlg = qobject_cast<BookletDialog*>(QApplication::activeModalWidget())) {
                shown = dlg->cboBookletScope->itemText(0);
                dlg->reject();
            }
        });
        QVERIFY(triggerEnabled(*w, "mnuBooklet"));
        QCOMPARE(shown, QStringLiteral("所有选入诗词（%1 首）").arg(w->browse->model()->size()));
    }
};

QTEST_MAIN(BookletTest)
#include "booklet_test.moc"
