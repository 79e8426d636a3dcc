// The duplicate check, printing and export through the real widgets.
#include "browse/historyline.h"
#include "tools/duplicatequery.h"
#include "support/rtfreader.h"
#include "support/windowtest.h"

#include <QDir>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace {

const QString kOverwrite = QStringLiteral("该文件已有存在，请确定覆盖该文件?");

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
struct PdfDialogs : ScriptedDialogs {
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
    static void check(MainWindow& w) { w.ui.mnuToolCHK->trigger(); }

private slots:
    // ---- Duplicate check ----

    void checkListsEveryGroupAndTogglesBack() {
        // Without duplicates: said, and the mark stays until the next click.
        fx->db().execNative(QStringLiteral("UPDATE Poetry SET fContent='另一首' WHERE fPoemID=6"));
        auto w = start();
        QComboBox* dups = w->ui.cboTitle3;
        check(*w);
        QCOMPARE(dialogs.marked(), QStringList{u"i:系统检验完毕，未发现重复的诗词作品记录！"_s});
        QVERIFY(w->ui.mnuToolCHK->isChecked() && !w->ui.cboTitle2->isHidden() && dups->isHidden());
        check(*w); // unchecked again: the next check below finds the groups and checks it
        fx->db().execNative(QStringLiteral("UPDATE Poetry SET fContent='床前明月光，不知何处来。' WHERE fPoemID=6"));
        addPoems(QStringLiteral("('丙','A','同一句，甲'),('甲','B','同一句，乙'),('乙','C','同一句，丙'),"
                                "('丁','D','同一句'),('戊','E','，同一句')"));
        dialogs.messages.clear();
        check(*w);
        QVERIFY(w->ui.mnuToolCHK->isChecked() && dialogs.messages.isEmpty());
        QVERIFY(w->ui.cboTitle2->isHidden() && !dups->isHidden());
        QCOMPARE(w->ui.myCheck->text(), QStringLiteral("检"));
        // Reverse title order; D has no comma and E starts with one: neither counts.
        const auto tp = [](const char* t, const char* p) { return FormatTitlePoet(QString::fromUtf8(t), QString::fromUtf8(p)); };
        QCOMPARE(items(dups), (QStringList{tp("静夜思", "李白"), tp("无题", "无名氏"), tp("C", "乙"), tp("B", "甲"), tp("A", "丙")}));
        // The first entry was chosen: its group (静夜思 and 无题 open with 床前明月光), by poet.
        QCOMPARE(titles(*w), (QStringList{u"无题"_s, u"静夜思"_s}));
        for (int i = 2; i < 5; ++i) {
            dups->setCurrentIndex(i);
            // Every entry of the group lists it, by poet: 丙 甲 乙 in code-point order.
            QCOMPARE(titles(*w), (QStringList{u"A"_s, u"C"_s, u"B"_s}));
        }
        check(*w);
        QVERIFY(!w->ui.mnuToolCHK->isChecked());
        QVERIFY(!w->ui.cboTitle2->isHidden() && dups->isHidden());
        QCOMPARE(w->ui.myCheck->text(), QString());
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
        // The last entry (lowest titles): the group exists only when case is ignored.
        QComboBox* dups = w->ui.cboTitle3;
        QCOMPARE(dups->model()->index(dups->count() - 1, 2).data().toString().toLower(), u"it's cold"_s);
        QVERIFY(chooseInPopup(dups, dups->count() - 1));
        QCOMPARE(titles(*w), (QStringList{u"寒二"_s, u"寒一"_s})); // by poet: 乙, 甲
    }

    void atMost101RowsAreReadButTheWholeGroupIsListed() {
        fx->db().execNative(u"WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<149) INSERT INTO Poetry "
                            "(fPoet,fTitle,fContent) SELECT '某', printf('T%03d', i), '同一句，x' FROM n"_s);
        auto w = start();
        check(*w);
        QCOMPARE(w->ui.cboTitle3->count(), 101);
        QCOMPARE(w->browse->model()->size(), 150);
    }

    // ---- Printing ----

    void printsThePaneOrItsSelectionToPdf() {
        QTemporaryDir out;
        PdfDialogs pdfDialogs;
        auto w = std::make_unique<MainWindow>(&pdfDialogs);
        w->Form_Load();
        w->RenderPoem(QStringLiteral("1"));
        // The whole poem, from the menu entry.
        pdfDialogs.pdf = out.filePath(QStringLiteral("all.pdf"));
        pdfDialogs.printAnswers = {true, true};
        w->ui.mnuPrint->trigger();
        QCOMPARE(pdfDialogs.printRequests.last(), false);
        QVERIFY(pdfDialogs.messages.isEmpty());
        // A selection is preselected and printed alone.
        QTextCursor c = w->ui.RichTextBox1->textCursor();
        c.setPosition(int(w->ui.RichTextBox1->toPlainText().indexOf(QStringLiteral("举头望明月"))));
        c.setPosition(c.position() + 5, QTextCursor::KeepAnchor);
        w->ui.RichTextBox1->setTextCursor(c);
        pdfDialogs.pdf = out.filePath(QStringLiteral("selection.pdf"));
        w->ui.cmdPrint->click();
        QCOMPARE(pdfDialogs.printRequests.last(), true);

        const QString allText = pdfText(out.filePath(QStringLiteral("all.pdf")));
        if (allText.isNull()) QSKIP("pdftotext is not installed; the PDFs were written but not read back");
        QVERIFY2(allText.contains(QStringLiteral("床前明月光")), qPrintable(allText));
        QCOMPARE(pdfText(pdfDialogs.pdf).trimmed(), QStringLiteral("举头望明月"));
    }

    // ---- Export ----

    // The format follows the name (".txt" in any case: text, else RTF), no extension is
    // added, and an existing file is overwritten only after a question, else the file
    // dialog comes back.
    void exportAsksBeforeOverwritingAndWritesByTheName() {
        QTemporaryDir out;
        const QString first = out.filePath(u"first.rtf"_s), second = out.filePath(u"second.TXT"_s);
        writeFile(first, "old first");
        writeFile(second, "old second");
        auto w = start();
        w->RenderPoem(QStringLiteral("1"));
        const QString shown = w->ui.RichTextBox1->toPlainText();
        // Existing file, Cancel, then the file dialog cancelled: untouched.
        dialogs.files = {first};
        dialogs.answers = {false};
        w->ui.mnuFileOutput->trigger();
        QCOMPARE(readAll(first), QByteArray("old first"));
        QCOMPARE(dialogs.texts(), (QStringList{kOverwrite}));
        QCOMPARE(dialogs.fileRequests.size(), 2);
        // Both times from the default name, for a file that need not exist yet (kind 2).
        for (const auto& r : dialogs.fileRequests) QCOMPARE(r.initialName + QString::number(r.kind), fx->dir() + u"/诗词文件2"_s);
        // Declined for the first, another existing file accepted: only it is written, as text.
        dialogs = ScriptedDialogs();
        dialogs.files = {first, second};
        dialogs.answers = {false, true};
        w->ui.mnuFileOutput->trigger();
        QCOMPARE(dialogs.texts(), (QStringList{kOverwrite, kOverwrite}));
        QCOMPARE(readAll(first), QByteArray("old first"));
        QCOMPARE(QString::fromUtf8(readAll(second)), shown);
        // Declined, then a new name ("txt" without the dot): RTF, without another question.
        dialogs = ScriptedDialogs();
        dialogs.files = {first, out.filePath(QStringLiteral("ctxt"))};
        dialogs.answers = {false};
        w->ui.mnuFileOutput->trigger();
        QCOMPARE(dialogs.texts(), (QStringList{kOverwrite}));
        QCOMPARE(ReadRtf(readAll(out.filePath(u"ctxt"_s))).text(), shown); // well-formed: the writer's own test
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{u"ctxt"_s, u"first.rtf"_s, u"second.TXT"_s}));
    }

    void aFailedExportIsReportedAndLeavesTheOldFileWhole() {
        QTemporaryDir out;
        auto w = start();
        w->RenderPoem(QStringLiteral("1"));
        // The disk fills while writing over an existing file (a file-size limit, which root
        // cannot bypass): the old file stays whole, no temporary file is left behind, and
        // the message names the system's reason.
        const QString existing = out.filePath(QStringLiteral("old.rtf"));
        writeFile(existing, QByteArray(40, 'o'));
        dialogs = ScriptedDialogs();
        dialogs.files = {existing};
        dialogs.answers = {true};
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{64, saved.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        w->ui.mnuFileOutput->trigger();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        QCOMPARE(dialogs.texts(), (QStringList{kOverwrite, u"诗词文件["_s + existing + u"] 保存失败："_s +
                                                               QString::fromLocal8Bit(std::strerror(EFBIG))}));
        QCOMPARE(readAll(existing), QByteArray(40, 'o'));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"old.rtf"_s});
    }
};

QTEST_MAIN(ToolsTest)
#include "tools_test.moc"
