// The duplicate check, printing and export through the real widgets.
#include "browse/historyline.h"
#include "tools/duplicatequery.h"
#include "support/rtfreader.h"
#include "support/windowtest.h"

#include <QAction>
#include <QPrintDialog>
#include <QComboBox>
#include <QTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

const QString kNoDuplicates = QStringLiteral("系统检验完毕，未发现重复的诗词作品记录！");
const QString kOverwrite = QStringLiteral("该文件已有存在，请确定覆盖该文件?");

QString cell(QComboBox* cb, int row, int column) { return cb->model()->index(row, column).data().toString(); }

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

// The print dialog answers as the scripted one does and, on OK, points the
// printer at a PDF file, as a user choosing "print to file" would.
class PdfDialogs : public ScriptedDialogs {
public:
    QString pdf;
    bool printDialog(QPrinter* printer, bool hasSelection) override {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        return ScriptedDialogs::printDialog(printer, hasSelection);
    }
};

// Text of a PDF through pdftotext; a null string when the tool is absent.
QString pdfText(const QString& pdf) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) return QString();
    QProcess p;
    p.start(tool, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    // The PDF's character map may name a CJK radical (U+2F49 for 月): fold
    // such compatibility forms to the characters themselves.
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

} // namespace

class ToolsTest : public WindowTest {
    Q_OBJECT

    void addPoems(const QString& values) {
        fx->db().execNative(QStringLiteral("INSERT INTO Poetry (fPoet,fTitle,fContent) VALUES ") + values);
    }
    static void check(MainWindow& w) { w.findChild<QAction*>(QStringLiteral("mnuToolCHK"))->trigger(); }

private slots:
    void initTestCase() { redirectSettings(); }
    void init() { freshFixture(); }

    // ---- Duplicate check ----

    void checkListsTheSampleDuplicatesAndTogglesBack() {
        auto w = start();
        QAction* chk = w->ui.mnuToolCHK;
        QComboBox* history = w->ui.cboTitle2;
        QComboBox* dups = w->ui.cboTitle3;
        QVERIFY(chk->isEnabled());

        check(*w);
        QVERIFY(chk->isChecked());
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(history->isHidden());
        QVERIFY(!dups->isHidden());
        QCOMPARE(w->ui.myCheck->text(), QStringLiteral("检"));
        // 静夜思 and 无题 both open with 床前明月光; 无题 comes first by title, so
        // it ends up at the bottom.
        QCOMPARE(items(dups), (QStringList{FormatTitlePoet(QStringLiteral("静夜思"), QStringLiteral("李白")),
                                           FormatTitlePoet(QStringLiteral("无题"), QStringLiteral("无名氏"))}));
        QCOMPARE(cell(dups, 0, 1), QStringLiteral("1"));
        QCOMPARE(cell(dups, 1, 1), QStringLiteral("6"));
        QCOMPARE(cell(dups, 0, 2), QStringLiteral("床前明月光"));
        QCOMPARE(dups->modelColumn(), 0);
        // The first entry was chosen: its group, ordered by poet.
        QCOMPARE(dups->currentIndex(), 0);
        QCOMPARE(titles(*w), (QStringList{u"无题"_s, u"静夜思"_s}));
        QCOMPARE(fx->text(QStringLiteral("SELECT fBook_del FROM Poetry WHERE fPoemID=4")), QStringLiteral("大江东去"));

        check(*w);
        QVERIFY(!chk->isChecked());
        QVERIFY(!history->isHidden());
        QVERIFY(dups->isHidden());
        QCOMPARE(w->ui.myCheck->text(), QString());
        QVERIFY(dialogs.messages.isEmpty());
    }

    void nothingDuplicatedKeepsTheMarkUntilTheNextClick() {
        fx->db().execNative(QStringLiteral("DELETE FROM Poetry WHERE fPoemID=6"));
        auto w = start();
        QAction* chk = w->ui.mnuToolCHK;
        check(*w);
        QCOMPARE(dialogs.marked(), QStringList{u"i:"_s + kNoDuplicates});
        QVERIFY(chk->isChecked());
        QVERIFY(!w->ui.cboTitle2->isHidden());
        QVERIFY(w->ui.cboTitle3->isHidden());
        QCOMPARE(w->ui.myCheck->text(), QString());

        check(*w);
        QVERIFY(!chk->isChecked());
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(!w->ui.cboTitle2->isHidden());
    }

    // A file made by another tool, whose columns compare with Latin case: the
    // list groups "It's cold" with "IT'S COLD", and so does choosing the entry.
    void aGroupIgnoresLatinCaseWhateverTheColumnCollation() {
        QString create = fx->text(QStringLiteral("SELECT sql FROM sqlite_master WHERE name='Poetry'"));
        create.replace(QStringLiteral("COLLATE NOCASE"), QString(), Qt::CaseInsensitive);
        create.replace(create.indexOf(QStringLiteral("Poetry")), 6, QStringLiteral("Plain"));
        for (const char* sql : {"", "INSERT INTO Plain SELECT * FROM Poetry", "DROP TABLE Poetry",
                                "ALTER TABLE Plain RENAME TO Poetry"})
            fx->db().execNative(*sql ? QString::fromUtf8(sql) : create);
        addPoems(QStringLiteral("('甲','寒一','It''s cold，a'),('乙','寒二','IT''S COLD，b')"));
        auto w = startActive();
        QVERIFY(w);
        check(*w);
        QComboBox* dups = w->ui.cboTitle3;
        int entry = -1;
        for (int i = 0; i < dups->count(); ++i)
            if (cell(dups, i, 2).compare(QStringLiteral("it's cold"), Qt::CaseInsensitive) == 0) entry = i;
        QVERIFY(entry >= 0);
        QVERIFY(chooseInPopup(dups, entry));
        QCOMPARE(titles(*w), (QStringList{u"寒二"_s, u"寒一"_s})); // by poet: 乙, 甲
        // Enter in the duplicate list moves on as Tab does.
        dups->setFocus();
        QTest::keyClick(dups, Qt::Key_Return);
        QVERIFY(!dups->hasFocus());
    }

    void everyEntryOfASharedClauseListsTheSameGroup() {
        addPoems(QStringLiteral("('丙','A','同一句，甲'),('甲','B','同一句，乙'),('乙','C','同一句，丙'),"
                                "('丁','D','同一句'),('戊','E','，同一句')"));
        auto w = start();
        check(*w);
        auto* dups = w->ui.cboTitle3;
        // Reverse title order; D has no comma and E starts with one: neither counts.
        QCOMPARE(items(dups), (QStringList{FormatTitlePoet(QStringLiteral("静夜思"), QStringLiteral("李白")),
                                           FormatTitlePoet(QStringLiteral("无题"), QStringLiteral("无名氏")),
                                           FormatTitlePoet(QStringLiteral("C"), QStringLiteral("乙")),
                                           FormatTitlePoet(QStringLiteral("B"), QStringLiteral("甲")),
                                           FormatTitlePoet(QStringLiteral("A"), QStringLiteral("丙"))}));
        for (int i = 2; i < 5; ++i) {
            dups->setCurrentIndex(i);
            QCOMPARE(cell(dups, i, 2), QStringLiteral("同一句"));
            // Ordered by poet: 丙 甲 乙 in code-point order (丙 U+4E19, 乙 U+4E59, 甲 U+7532).
            QCOMPARE(titles(*w), (QStringList{u"A"_s, u"C"_s, u"B"_s}));
        }
        dups->setCurrentIndex(1);
        QCOMPARE(titles(*w), (QStringList{u"无题"_s, u"静夜思"_s}));
    }

    void atMost101RowsAreRead() {
        QStringList values;
        for (int i = 0; i < 150; ++i)
            values << QStringLiteral("('某','T%1','同一句，x')").arg(i, 3, 10, QLatin1Char('0'));
        addPoems(values.join(u','));
        auto w = start();
        check(*w);
        auto* dups = w->ui.cboTitle3;
        // Rows T000..T100 (their order: see the query's own test).
        QCOMPARE(dups->count(), 101);
        // The whole group is listed, not only the rows read.
        QCOMPARE(w->browse->model()->size(), 150);
    }

    void aFailingScratchUpdateIsRolledBackAndReported() {
        fx->db().execNative(QStringLiteral("UPDATE Poetry SET fBook_del='keep'"));
        fx->db().execNative(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE OF fBook_del ON Poetry "
                                           "WHEN new.fPoemID=6 BEGIN SELECT RAISE(ABORT,'scratch refused'); END"));
        auto w = start();
        check(*w);
        QCOMPARE(dialogs.marked(), QStringList{u"!:重复诗词检验失败：scratch refused"_s});
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM Poetry WHERE fBook_del='keep'")),
                 fx->count(QStringLiteral("SELECT count(*) FROM Poetry")));
        QVERIFY(!w->ui.mnuToolCHK->isChecked());
        QVERIFY(!w->ui.cboTitle2->isHidden());
        QCOMPARE(w->ui.myCheck->text(), QString());
    }

    // ---- Printing ----

    void printsThePaneOrItsSelectionToPdf() {
        QTemporaryDir out;
        PdfDialogs pdfDialogs;
        auto w = std::make_unique<MainWindow>(&pdfDialogs);
        w->Form_Load();
        w->RenderPoem(QStringLiteral("1"));
        QTextEdit* pane = w->ui.RichTextBox1;

        // Cancelled: nothing printed, nothing said.
        pdfDialogs.pdf = out.filePath(QStringLiteral("cancelled.pdf"));
        w->ui.cmdPrint->click();
        QCOMPARE(pdfDialogs.printRequests, (QList<bool>{false}));
        QVERIFY(!QFile::exists(pdfDialogs.pdf));

        // The whole poem, from the menu entry.
        pdfDialogs.pdf = out.filePath(QStringLiteral("all.pdf"));
        pdfDialogs.printAnswers = {true};
        w->ui.mnuPrint->trigger();
        QCOMPARE(pdfDialogs.printRequests.last(), false);
        const QByteArray all = readAll(pdfDialogs.pdf);
        QVERIFY(all.startsWith("%PDF"));
        QVERIFY(pdfDialogs.messages.isEmpty());

        // A selection is preselected and printed alone.
        const QString plain = pane->toPlainText();
        const int at = int(plain.indexOf(QStringLiteral("举头望明月")));
        QTextCursor c = pane->textCursor();
        c.setPosition(at);
        c.setPosition(at + 5, QTextCursor::KeepAnchor);
        pane->setTextCursor(c);
        pdfDialogs.pdf = out.filePath(QStringLiteral("selection.pdf"));
        pdfDialogs.printAnswers = {true};
        w->ui.cmdPrint->click();
        QCOMPARE(pdfDialogs.printRequests.last(), true);
        QVERIFY(readAll(pdfDialogs.pdf).startsWith("%PDF"));

        const QString allText = pdfText(out.filePath(QStringLiteral("all.pdf")));
        if (allText.isNull()) QSKIP("pdftotext is not installed; the PDFs were written but not read back");
        QVERIFY2(allText.contains(QStringLiteral("静夜思")), qPrintable(allText));
        QVERIFY(allText.contains(QStringLiteral("床前明月光")));
        // No page number was added.
        QVERIFY2(!allText.contains(QRegularExpression(QStringLiteral("^\\s*1\\s*$"),
                                                      QRegularExpression::MultilineOption)),
                 qPrintable(allText));
        const QString selText = pdfText(out.filePath(QStringLiteral("selection.pdf")));
        QCOMPARE(selText.trimmed(), QStringLiteral("举头望明月"));
    }

    // The print dialog offers the printer and the selection, never a page range.
    void printDialogOffersNoPageRange() {
        QWidget parent;
        QtDialogs real(&parent);
        QPrinter printer;
        bool checked = false;
        QTimer::singleShot(0, [&] {
            auto* dlg = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (!dlg) return;
            checked = !dlg->testOption(QAbstractPrintDialog::PrintPageRange) &&
                      !dlg->testOption(QAbstractPrintDialog::PrintCurrentPage) &&
                      dlg->testOption(QAbstractPrintDialog::PrintSelection) &&
                      dlg->printRange() == QAbstractPrintDialog::Selection;
            dlg->reject();
        });
        QVERIFY(!real.printDialog(&printer, true));
        QVERIFY(checked);
    }

    // ---- Export ----

    void exportChoosesTheFormatByTheNameAndAddsNoExtension_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("plainText");
        QTest::newRow("upper-case .TXT") << QStringLiteral("静夜思.TXT") << true;
        QTest::newRow("lower-case .txt") << QStringLiteral("a.txt") << true;
        QTest::newRow(".rtf") << QStringLiteral("b.rtf") << false;
        QTest::newRow("other extension") << QStringLiteral("c.doc") << false;
        QTest::newRow("no extension") << QStringLiteral("诗词文件") << false;
        QTest::newRow("txt without the dot") << QStringLiteral("ctxt") << false;
    }
    void exportChoosesTheFormatByTheNameAndAddsNoExtension() {
        QFETCH(QString, name);
        QFETCH(bool, plainText);
        QTemporaryDir out;
        auto w = start();
        w->RenderPoem(QStringLiteral("1"));
        const QString path = out.filePath(name);
        dialogs.files = {path};
        w->ui.mnuFileOutput->trigger();

        QCOMPARE(dialogs.fileRequests.size(), 1);
        const auto& req = dialogs.fileRequests[0];
        QCOMPARE(req.kind, 2); // a file that need not exist yet
        QCOMPARE(req.initialName, fx->dir() + QStringLiteral("/诗词文件"));
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{name});

        const QByteArray data = readAll(path);
        const QString shown = w->ui.RichTextBox1->toPlainText();
        if (plainText) {
            QCOMPARE(QString::fromUtf8(data), shown);
        } else {
            QVERIFY(data.startsWith("{\\rtf1"));
            const RtfReadBack back = ReadRtf(data);
            QVERIFY(back.wellFormed);
            QCOMPARE(back.text(), shown);
            // The sample template's faces and its red title.
            QCOMPARE(back.fonts, (QStringList{u"黑体"_s, u"楷体"_s, u"宋体"_s}));
            QVERIFY(back.colours.contains(QStringLiteral("255,0,0")));
        }
    }

    void overwriteQuestionLoopsBackToTheFileDialog() {
        QTemporaryDir out;
        const QString first = out.filePath(QStringLiteral("first.rtf"));
        const QString second = out.filePath(QStringLiteral("second.txt"));
        writeFile(first, "old first");
        writeFile(second, "old second");
        auto w = start();
        w->RenderPoem(QStringLiteral("1"));

        // Existing file, Cancel, then the file dialog cancelled: untouched.
        dialogs.files = {first};
        dialogs.answers = {false};
        w->ui.mnuFileOutput->trigger();
        QCOMPARE(readAll(first), QByteArray("old first"));
        QCOMPARE(dialogs.texts(), (QStringList{kOverwrite}));
        QCOMPARE(dialogs.messages[0].title, w->windowTitle());
        QCOMPARE(dialogs.fileRequests.size(), 2);
        for (const auto& r : dialogs.fileRequests) QCOMPARE(r.initialName, fx->dir() + QStringLiteral("/诗词文件"));

        // Declined for the first, another existing file accepted: only it is written.
        dialogs = ScriptedDialogs();
        dialogs.files = {first, second};
        dialogs.answers = {false, true};
        w->ui.mnuFileOutput->trigger();
        QCOMPARE(dialogs.texts(), (QStringList{kOverwrite, kOverwrite}));
        QCOMPARE(readAll(first), QByteArray("old first"));
        QCOMPARE(QString::fromUtf8(readAll(second)), w->ui.RichTextBox1->toPlainText());

        // Declined, then a new name: written without another question.
        dialogs = ScriptedDialogs();
        const QString fresh = out.filePath(QStringLiteral("fresh"));
        dialogs.files = {first, fresh};
        dialogs.answers = {false};
        w->ui.mnuFileOutput->trigger();
        QCOMPARE(dialogs.texts(), (QStringList{kOverwrite}));
        QVERIFY(readAll(fresh).startsWith("{\\rtf1"));

        // Cancelling the very first dialog says nothing.
        dialogs = ScriptedDialogs();
        w->ui.mnuFileOutput->trigger();
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(dialogs.fileRequests.size(), 1);
    }

    void aFailedExportIsReportedAndLeavesTheOldFileWhole() {
        QTemporaryDir out;
        auto w = start();
        w->RenderPoem(QStringLiteral("1"));

        // A folder that cannot exist: its parent is a file.
        const QString blocker = out.filePath(QStringLiteral("blocker"));
        writeFile(blocker, "x");
        const QString impossible = blocker + QStringLiteral("/诗.rtf");
        dialogs.files = {impossible};
        w->ui.mnuFileOutput->trigger();
        QCOMPARE(dialogs.messages.size(), 1);
        const QString prefix = QStringLiteral("诗词文件[") + impossible + QStringLiteral("] 保存失败：");
        QVERIFY2(dialogs.messages[0].text.startsWith(prefix), qPrintable(dialogs.messages[0].text));
        QVERIFY(dialogs.messages[0].text.size() > prefix.size()); // the reason follows
        QCOMPARE(dialogs.messages[0].icon, MessageSink::Icon::Warning);

        // The disk fills while writing over an existing file (simulated with a
        // file-size limit, which root cannot bypass): the old file stays whole
        // and no temporary file is left behind.
        const QString existing = out.filePath(QStringLiteral("old.rtf"));
        const QByteArray old(40, 'o');
        writeFile(existing, old);
        dialogs = ScriptedDialogs();
        dialogs.files = {existing};
        dialogs.answers = {true};
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 64;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        w->ui.mnuFileOutput->trigger();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        QCOMPARE(dialogs.texts().size(), 2);
        QCOMPARE(dialogs.texts()[0], kOverwrite);
        // ... and the message names the system's reason.
        QCOMPARE(dialogs.texts()[1], QStringLiteral("诗词文件[") + existing + QStringLiteral("] 保存失败：") +
                                         QString::fromLocal8Bit(std::strerror(EFBIG)));
        QCOMPARE(readAll(existing), old);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{u"blocker"_s, u"old.rtf"_s}));
    }

    void aRealReaderShowsTheExportedPoem() {
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (soffice.isEmpty()) QSKIP("LibreOffice is not installed");
        QTemporaryDir out;
        auto w = start();
        w->RenderPoem(QStringLiteral("1"));
        const QString rtf = out.filePath(QStringLiteral("静夜思.rtf"));
        dialogs.files = {rtf};
        w->ui.mnuFileOutput->trigger();
        QVERIFY(QFile::exists(rtf));

        auto convert = [&](const QString& to) {
            QProcess p;
            p.setWorkingDirectory(out.path());
            p.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + out.filePath(QStringLiteral("profile")),
                              QStringLiteral("--headless"), QStringLiteral("--convert-to"), to,
                              QStringLiteral("--outdir"), out.path(), rtf});
            QVERIFY(p.waitForFinished(180000));
            QCOMPARE(p.exitCode(), 0);
        };
        convert(QStringLiteral("txt:Text (encoded):UTF8"));
        QString text = QString::fromUtf8(readAll(out.filePath(QStringLiteral("静夜思.txt"))));
        if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QCOMPARE(text.trimmed(), w->ui.RichTextBox1->toPlainText().trimmed());

        convert(QStringLiteral("pdf"));
        const QString pdf = out.filePath(QStringLiteral("静夜思.pdf"));
        QVERIFY(readAll(pdf).startsWith("%PDF"));
        const QString pdfShown = pdfText(pdf);
        if (!pdfShown.isNull()) QVERIFY2(pdfShown.contains(QStringLiteral("床前明月光")), qPrintable(pdfShown));
    }
};

QTEST_MAIN(ToolsTest)
#include "tools_test.moc"
