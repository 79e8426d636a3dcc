// Booklets read back from the PDF: the text and its order (pdftotext), the
// page breaking (pdfinfo), the vertical columns as an image (pdftoppm), and
// the dialog's answers to bad input.
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
    const auto m = QRegularExpression(u"Pages:\\s+(\\d+)"_s).match(run(u"pdfinfo"_s, {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// A text as pdftotext gives it back: compatibility forms (a radical for 月, "," for "，") folded.
QString folded(const QString& s) { return s.normalized(QString::NormalizationForm_KC); }
QString squeezed(QString s) { return s.remove(QRegularExpression(u"\\s"_s)); }

// The text in drawing order, pages `first` to `last` (0: all).
QString pdfText(const QString& pdf, int first = 0, int last = 0) {
    QStringList args{u"-raw"_s, u"-enc"_s, u"UTF-8"_s};
    if (first > 0) args << u"-f"_s << QString::number(first) << u"-l"_s << QString::number(last);
    return folded(run(u"pdftotext"_s, args << pdf << u"-"_s));
}

QImage pageImage(const QString& pdf) {
    run(u"pdftoppm"_s, {u"-r"_s, u"50"_s, u"-png"_s, u"-l"_s, u"1"_s, u"-singlefile"_s, pdf, pdf + u".p"_s});
    return QImage(pdf + u".p.png"_s);
}

bool dark(QRgb c) { return qGray(c) < 160; }
bool gridColour(QRgb c) { return qRed(c) > 150 && qRed(c) - qGreen(c) > 20 && qRed(c) - qBlue(c) > 20; }

// Horizontal bands of columns holding ink, right to left.
struct Band { int left, right, bottom; }; // bottom: the lowest inked row
QList<Band> inkBands(const QImage& img, int bottom) {
    QList<Band> bands;
    for (int x = img.width() - 1; x >= 0; --x) {
        int low = -1;
        for (int y = 0; y < bottom; ++y)
            if (dark(img.pixel(x, y))) low = y;
        if (low < 0) continue;
        if (!bands.isEmpty() && bands.last().left - x <= 5) // strokes of one column
            bands.last() = {x, bands.last().right, std::max(bands.last().bottom, low)};
        else
            bands.append({x, x, low});
    }
    return bands;
}

} // namespace

class BookletTest : public WindowTest {
    Q_OBJECT

    QTemporaryDir out;

    QString write(BookletStyle style, const QList<qint32>& ids, const QString& name, const QString& title = QString(),
                  const BookletNotes& pinyin = {}) {
        const BookletOptions o{style, BookletPageSize::A4, title, !title.isEmpty(), bool(pinyin)};
        BookletWriter writer(fx->db(), DefaultTemplate(), o, pinyin);
        QString error;
        return writer.writePdf(ids, out.filePath(name), &error) == BookletWriter::Result::Written ? out.filePath(name)
                                                                                                 : QString();
    }
    qint32 addPoem(const QString& title, const QString& content) {
        fx->db().execNative(u"INSERT INTO Poetry (fPoet,fDynasty,fTitle,fContent) VALUES ('佚名','唐','%1','%2')"_s.arg(title, content));
        return qint32(fx->db().lastInsertRowId());
    }

private slots:
    void initTestCase() {
        redirectSettings();
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty()) QSKIP("poppler-utils are not installed");
    }

    // In each layout: text, order and the contents' page numbers; the pane's
    // pinyin (hzPy and the phrase tables) with each character; without it, a
    // character outside the BMP and Latin text make it to the page.
    void textInOrder() {
        const qint32 latin = addPoem(u"𠀀字"_s, u"𠀀山ABC 12水。"_s);
        const struct { BookletStyle style; int pages; } cases[] = {{BookletStyle::Horizontal, 3}, {BookletStyle::Vertical, 3}, {BookletStyle::Grid, 4}};
        for (const auto& c : cases) {
            const QString pdf = write(c.style, {3, 1, 2}, u"order.pdf"_s, u"唐诗"_s);
            QCOMPARE(pageCount(pdf), c.pages); // with cover and contents; grid: the third poem on a page of its own
            const QString body = squeezed(pdfText(pdf, 3, c.pages));
            const qsizetype a = body.indexOf(folded(u"国破山河在，城春草木深。"_s));
            const qsizetype b = body.indexOf(folded(u"床前明月光，疑是地上霜。举头望明月，低头思故乡。"_s));
            const qsizetype d = body.indexOf(folded(u"两岸猿声啼不住，轻舟已过万重山。"_s));
            QVERIFY2(a >= 0 && a < b && b < d && body.indexOf(u"春望"_s) < a, qPrintable(body));
            const QString contents = pdfText(pdf, 2, 2);
            QVERIFY2(QRegularExpression(u"春望\\s+杜甫\\s+3"_s).match(contents).hasMatch(), qPrintable(contents));
            QVERIFY(pdfText(pdf, 1, 1).contains(u"唐诗"_s));

            QCOMPARE(pdfText(write(c.style, {1}, u"pinyin.pdf"_s, QString(), BookletPinyin(fx->db()))).count(u"yuè"_s), 2);
            const QString plain = squeezed(pdfText(write(c.style, {1, latin, 9}, u"plain.pdf"_s)));
            QVERIFY2(!plain.contains(u"yuè"_s) && plain.contains(u"ABC"_s) && plain.contains(u"bright_ly"_s),
                     qPrintable(plain));
        }
    }

    // A long poem continues over pages with every character, in order, each page
    // numbered (where the breaks fall is the page flow's own test).
    void pageBreaking() {
        const QString text = u"春江潮水连海平，海上明月共潮生。"_s.repeated(224).left(3574);
        const QList<qint32> ids{addPoem(u"甲篇"_s, text), addPoem(u"乙篇"_s, text)};
        for (BookletStyle style : {BookletStyle::Vertical, BookletStyle::Grid}) {
            const QString pdf = write(style, ids, u"breaking.pdf"_s);
            QVERIFY(pageCount(pdf) > 2);
            QVERIFY(pdfText(pdf, 2, 2).contains(QRegularExpression(u"^2$"_s, QRegularExpression::MultilineOption)));
            QCOMPARE(squeezed(pdfText(pdf)).remove(QRegularExpression(u"\\d|甲篇|乙篇|〔唐〕|佚名"_s)), folded(text.repeated(2)));
        }
        // A poem that fits a page but not what is left of one starts a new page,
        // even with more than a third of the page left (a page holds about 50 lines).
        const QString pdf = write(BookletStyle::Horizontal, {addPoem(u"丙篇"_s, u"白日依山尽\r\n"_s.repeated(20)),
                                                             addPoem(u"丁篇"_s, u"黄河入海流\r\n"_s.repeated(40))}, u"flow.pdf"_s);
        QCOMPARE(pageCount(pdf), 2);
        QVERIFY(!pdfText(pdf, 1, 1).contains(u"丁篇"_s));
    }

    // The grid: squares drawn in the grid's colour, characters in black.
    void gridPageHasTheGridAndTheCharacters() {
        const QImage img = pageImage(write(BookletStyle::Grid, {1}, u"grid.pdf"_s));
        int gridTop = -1; // the first row of squares
        for (int y = 0; y < img.height() && gridTop < 0; ++y)
            for (int x = 0; x + 10 < img.width() && gridTop < 0; ++x)
                if (gridColour(img.pixel(x, y)) && gridColour(img.pixel(x + 10, y))) gridTop = y;
        QVERIFY(gridTop > 0);
        const int side = int(BookletPageFrame(BookletPageSize::A4).body.width() / 11 * 50 / 72);
        int sides = 0, ink = 0;
        for (int x = 0; x < img.width(); ++x) { // across the row, a quarter below its top
            sides += gridColour(img.pixel(x, gridTop + side / 4)) && !(x && gridColour(img.pixel(x - 1, gridTop + side / 4)));
            for (int y = gridTop; y < gridTop + side; ++y) ink += dark(img.pixel(x, y));
        }
        QVERIFY2(sides >= 7, qPrintable(QString::number(sides))); // 6 squares: 7 sides, and the dashed middles
        QVERIFY(ink > 50);
    }

    // Right to left: the title column (the poet at its foot), the long line
    // reaching far down, the one-character line at the top.
    void verticalColumnsRunRightToLeft() {
        const qint32 id = addPoem(u"题"_s, u"山水山水山水山水山水山水山水山水山水山水\r\n山"_s);
        const QImage img = pageImage(write(BookletStyle::Vertical, {id}, u"vertical.pdf"_s)); // null: no bands
        const int footer = int(BookletPageFrame(BookletPageSize::A4).body.bottom() * 50 / 72);
        const QList<Band> bands = inkBands(img, footer);
        QVERIFY2(bands.size() >= 3, qPrintable(QString::number(bands.size())));
        QVERIFY(bands[0].bottom > footer * 3 / 4);
        QVERIFY(bands[1].bottom > bands[2].bottom + 100 && bands[1].left > bands[2].right);
    }

    // The dialog: bad input and the way out of a stopped booklet.
    void dialogAnswers() {
        ScriptedDialogs d;
        BookletDialog::start(fx->db(), d, BookletSource{}, nullptr);
        QCOMPARE(d.marked(), QStringList{u"i:当前列表中没有诗词，无从输出小册。"_s});
        QTemporaryDir dir;
        QFile f(dir.filePath(u"old.pdf"_s));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("old") == 3);
        f.close();
        // The path chosen, whether to overwrite and then stop, the start of the last message.
        const struct { QString path; bool overwriteAndCancel; QString message; } cases[] = {
            {dir.path(), false, u"!:小册["_s + dir.path() + u"] 输出失败："_s},
            {dir.filePath(u"no/such/dir/a.pdf"_s), false, u"!:小册["_s},
            {f.fileName(), true, QString()},
            {dir.filePath(u"new"_s), false, u"i:小册已输出到["_s + dir.filePath(u"new.pdf"_s)},
        };
        for (const auto& c : cases) {
            ScriptedDialogs scripted;
            scripted.files.push_back(c.path);
            scripted.answers.push_back(c.overwriteAndCancel);
            BookletDialog dlg(fx->db(), scripted, BookletSource{{1, 2, 3}, {}, DefaultTemplate(), QString(), {}});
            QObject::connect(&dlg, &BookletDialog::progressed, &dlg, [&](qint64 done, qint64) {
                if (c.overwriteAndCancel && done >= 2) dlg.cancel();
            });
            dlg.cmdBookletPdf->click();
            const QString last = scripted.marked().value(scripted.marked().size() - 1);
            QVERIFY2(c.message.isEmpty() ? !last.startsWith(u'!') && !last.startsWith(u'i') : last.startsWith(c.message),
                     qPrintable(scripted.marked().join(u'\n')));
        }
        // The stopped booklet kept the old file and left nothing beside it.
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{u"new.pdf"_s, u"old.pdf"_s}));
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
        printing.pdf = out.filePath(u"printed.pdf"_s);
        printing.printAnswers.push_back(true);
        BookletDialog dlg(fx->db(), printing, BookletSource{{1, 2, 3}, {2}, DefaultTemplate(), QString(), {}});
        dlg.cboBookletScope->setCurrentIndex(1);
        dlg.cboBookletStyle->setCurrentIndex(2);
        dlg.cmdBookletPrint->click();
        QCOMPARE(printing.printRequests, QList<bool>{false});
        QCOMPARE(pageCount(printing.pdf), 2); // the cover and the one poem chosen
        QVERIFY(squeezed(pdfText(printing.pdf, 2, 2)).startsWith(u"早发白帝城"_s));
    }

    void longListIsAnnouncedFirst() {
        ScriptedDialogs scripted;
        const QList<qint32> many(BookletDialog::kAskAbove + 1, 1);
        BookletDialog dlg(fx->db(), scripted, BookletSource{many, {}, DefaultTemplate(), QString(), {}});
        dlg.cmdBookletPdf->click(); // declined: no file dialog
        QVERIFY(scripted.fileRequests.isEmpty() && scripted.messages.size() == 1);
        // 静夜思 fits several to a page: far fewer pages than poems.
        const auto m = QRegularExpression(u"^将输出 2001 首诗词，约 (\\d+) 页"_s).match(scripted.messages[0].text);
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
        QCOMPARE(shown, u"所有选入诗词（%1 首）"_s.arg(w->browse->model()->size()));
    }
};

QTEST_MAIN(BookletTest)
#include "booklet_test.moc"
