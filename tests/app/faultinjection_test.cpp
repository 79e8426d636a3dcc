// Every bulk write of the program under injected I/O failures: the Nth write,
// sync or truncate fails, for N = 1, 2, 3, ... until the operation gets through
// without one. After each failure the file passes integrity_check, holds exactly
// what it held before, and the user was told the store's reason.
#include "books/bookcontroller.h"
#include "books/booklistdialog.h"
#include "corpusimporter.h"
#include "edit/recyclebin.h"
#include "edit/recyclebindialog.h"
#include "support/faultvfs.h"
#include "search/searchindexcontroller.h"
#include "support/windowtest.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

enum class Op {
    FileAll, UnfileAll, EmptyBook, DeleteBook, BookmarkAll, UnbookmarkAll, DeleteAllBookmarks, DuplicateCheck,
    BookListOk, TemplateSave, PoemAdd, PoemModify, PoemDelete, BinRestore, BinEmpty, Import
};

// Every row of every table, the schema included, as text.
QStringList dump(SqlDatabase& db) {
    QStringList out;
    QStringList tables;
    SqlStatement master = db.prepareNative(QStringLiteral("SELECT name, sql FROM sqlite_master ORDER BY name"));
    while (master.next()) {
        out << master.text(0) + u':' + master.text(1);
        if (master.text(1).startsWith(QStringLiteral("CREATE TABLE"))) tables << master.text(0);
    }
    for (const QString& t : tables) {
        // Rows sorted as text: tables without a rowid (the search index's) have no other order.
        SqlStatement st = db.prepareNative(QStringLiteral("SELECT * FROM \"%1\"").arg(t));
        QStringList rows;
        while (st.next()) {
            QString row = t;
            for (int i = 0; i < st.columnCount(); ++i) row += u'|' + (st.isNull(i) ? QStringLiteral("<null>") : st.text(i));
            rows << row;
        }
        rows.sort();
        out << rows;
    }
    return out;
}

void writeFile(const QString& path, const QByteArray& utf8) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(utf8);
}

const QString kIoError = QString::fromUtf8(sqlite3_errstr(SQLITE_IOERR));

} // namespace

class FaultInjectionTest : public WindowTest {
    Q_OBJECT

    QTemporaryDir package;
    int m_failures = 0;
    std::unique_ptr<RecycleBinDialog> m_bin;

    static void listAll(MainWindow& w) {
        w.FillTitleList(QStringLiteral(" Where a.fPoemID>0"), QStringLiteral("a.fPoemID"), QStringLiteral("0"));
    }
    static void chooseBook(MainWindow& w, const QString& name) {
        w.ui.cboBook->setCurrentIndex(w.ui.cboBook->findText(name));
    }

    // Before the first attempt: what the operation needs in the file.
    void prepareFile(Op op) {
        SqlDatabase& db = fx->db();
        if (op == Op::DuplicateCheck) db.execNative(QStringLiteral("UPDATE Poetry SET fBook_del='stale'"));
        if (op == Op::BinRestore || op == Op::BinEmpty) {
            SqlTransaction t(db);
            RecycleBin(db).keep(1, BinKind::Deleted);
            RecycleBin(db).keep(3, BinKind::Replaced);
            db.execNative(QStringLiteral("DELETE FROM Poetry WHERE fPoemID=1"));
            t.commit();
        }
    }

    // A started window, brought to the point where the operation's last click is due.
    void prepareWindow(Op op, MainWindow& w) {
        switch (op) {
        case Op::FileAll:
            listAll(w);
            w.ui.cboBook->setEditText(QStringLiteral("宋词选"));
            dialogs.answers = {true};
            break;
        case Op::UnfileAll:
            listAll(w);
            dialogs.answers = {true};
            break;
        case Op::EmptyBook:
        case Op::DeleteBook:
            chooseBook(w, QStringLiteral("唐诗选"));
            dialogs.answers = {true};
            break;
        case Op::BookmarkAll:
        case Op::UnbookmarkAll:
        case Op::DeleteAllBookmarks:
            listAll(w);
            break;
        case Op::BookListOk:
            w.books->beforeBookListShown = [](BookListDialog& d) {
                QTimer::singleShot(0, &d, [&d] {
                    d.List2->setCurrentRow(0);
                    d.cmdunSelect->click();
                    d.cmdOk->click();
                    // A failed OK keeps the dialog open, as it should; the test closes it.
                    if (d.isVisible()) d.reject();
                });
            };
            break;
        case Op::TemplateSave:
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.FillTitleList(QStringLiteral(" Where a.fPoemID=1"), QStringLiteral("a.fTitle"), QStringLiteral("0"));
            w.ui.cmdSetting->click();
            QTest::mouseClick(w.ui.chkFontItalic, Qt::LeftButton);
            break;
        case Op::PoemAdd:
            w.ui.mnuEditTo[1]->trigger();
            w.ui.txtTitle->setText(QStringLiteral("山居秋暝"));
            w.ui.cboPoet->setEditText(QStringLiteral("王维"));
            w.ui.txtContent->setPlainText(QStringLiteral("空山新雨后，天气晚来秋。"));
            break;
        case Op::PoemModify:
        case Op::PoemDelete:
            w.FillTitleList(QStringLiteral(" Where a.fPoet='李白'"), QStringLiteral("a.fTitle"), QStringLiteral("0"));
            w.ui.mnuEditTo[op == Op::PoemModify ? 2 : 3]->trigger();
            if (op == Op::PoemModify) w.ui.txtContent->setPlainText(QStringLiteral("改过的内容。"));
            dialogs.answers = {true};
            break;
        case Op::BinRestore:
        case Op::BinEmpty:
            m_bin = std::make_unique<RecycleBinDialog>(w.store().db(), dialogs, true);
            m_bin->lstBin->setCurrentItem(m_bin->lstBin->topLevelItem(1)); // the deleted poem
            dialogs.answers = {true};
            break;
        case Op::DuplicateCheck:
        case Op::Import:
            break;
        }
    }

    void perform(Op op, MainWindow& w) {
        switch (op) {
        case Op::FileAll: w.ui.mnuBookAdd[1]->trigger(); break;
        case Op::UnfileAll: w.ui.mnuBookDel[1]->trigger(); break;
        case Op::EmptyBook: w.ui.mnuBookDelAll->trigger(); break;
        case Op::DeleteBook: w.ui.mnuVolDel->trigger(); break;
        case Op::BookmarkAll: w.ui.mnuBookmarkAdd[1]->trigger(); break;
        case Op::UnbookmarkAll: w.ui.mnuBookmarkDel[1]->trigger(); break;
        case Op::DeleteAllBookmarks: w.ui.mnuBookmarkDelAll->trigger(); break;
        case Op::DuplicateCheck: w.ui.mnuToolCHK->trigger(); break;
        case Op::BookListOk: w.ui.mnuBookOrder->trigger(); break;
        case Op::TemplateSave: QTest::mouseClick(w.ui.cmdSave, Qt::LeftButton); break;
        case Op::PoemAdd:
        case Op::PoemModify:
        case Op::PoemDelete: w.ui.cmdEditOk->click(); break;
        case Op::BinRestore: m_bin->cmdBinRestore->click(); break;
        case Op::BinEmpty: m_bin->cmdBinEmpty->click(); break;
        case Op::Import: {
            // The importer is a command-line tool: what it prints is the exception's text.
            ImportOptions o;
            o.packageDir = package.path();
            o.databasePath = fx->path();
            o.collections = {QStringLiteral("tang")};
            o.threads = 1;
            try {
                ImportCorpus(o);
            } catch (const std::exception& e) {
                dialogs.message(QString::fromUtf8(e.what()), MessageSink::Icon::Critical);
            }
            break;
        }
        }
    }

    // The warning that names the injected failure, if the user got one.
    bool failureShown() const {
        for (const ScriptedDialogs::Message& m : dialogs.messages)
            if ((m.icon == MessageSink::Icon::Warning || m.icon == MessageSink::Icon::Critical) && m.text.contains(kIoError))
                return true;
        return false;
    }

private slots:
    void initTestCase() {
        redirectSettings();
        FaultVfs::install();
        const QString d = package.path() + QStringLiteral("/dist/quantangshi/");
        writeFile(d + u"poet.tang.0.json"_s, R"([
 {"author": "王之涣", "title": "登鹳雀楼", "paragraphs": ["白日依山尽，黄河入海流。", "欲穷千里目，更上一层楼。"]},
 {"author": "孟浩然", "title": "春晓", "paragraphs": ["春眠不觉晓，处处闻啼鸟。", "夜来风雨声，花落知多少。"]}
])");
        writeFile(d + u"authors.tang.json"_s, R"([{"name": "孟浩然", "desc": "襄州襄阳人。"}])");
    }
    void init() { freshFixture(); }
    void cleanupTestCase() { qInfo("injected failures run: %d", m_failures); }

    void bulkWrite_data() {
        QTest::addColumn<int>("op");
        QTest::addColumn<bool>("persistent");
        const std::pair<const char*, Op> ops[] = {
            {"file all into a book", Op::FileAll},
            {"unfile all", Op::UnfileAll},
            {"empty a book", Op::EmptyBook},
            {"delete a book", Op::DeleteBook},
            {"bookmark all", Op::BookmarkAll},
            {"unbookmark all", Op::UnbookmarkAll},
            {"delete all bookmarks", Op::DeleteAllBookmarks},
            {"duplicate check", Op::DuplicateCheck},
            {"book list OK", Op::BookListOk},
            {"template save", Op::TemplateSave},
            {"poem add", Op::PoemAdd},
            {"poem modify", Op::PoemModify},
            {"poem delete", Op::PoemDelete},
            {"recycle bin restore", Op::BinRestore},
            {"recycle bin empty", Op::BinEmpty},
            {"import", Op::Import},
        };
        for (const auto& [name, op] : ops)
            for (bool persistent : {false, true})
                QTest::addRow("%s, %s", name, persistent ? "persistent" : "once") << int(op) << persistent;
    }
    void bulkWrite() {
        try {
            bulkWriteRows();
        } catch (const SqlError& e) {
            QFAIL(qPrintable(e.message()));
        }
    }
private:
    void bulkWriteRows() {
        QFETCH(int, op);
        QFETCH(bool, persistent);
        const Op o = Op(op);
        prepareFile(o);
        {
            // The search index is built once beforehand, so no build runs beside the write.
            auto w = start();
            QTRY_VERIFY_WITH_TIMEOUT(!w->searchIndexer->busy(), 60000);
        }
        const QStringList before = dump(fx->db());
        for (int n = 1; n < 1000; ++n) {
            dialogs = ScriptedDialogs();
            std::unique_ptr<MainWindow> w;
            if (o != Op::Import) {
                w = start();
                prepareWindow(o, *w);
                if (QTest::currentTestFailed()) return;
            }
            dialogs.messages.clear();
            FaultVfs::arm(n, persistent);
            perform(o, *w);
            const bool failed = FaultVfs::disarm();
            // The program's connection is closed before the file is looked at, as
            // after a crash: a journal left behind is rolled back by the next reader.
            m_bin.reset();
            w.reset();
            const QStringList shown = dialogs.marked();
            if (!failed) {
                // Through at last: written, and no failure reported.
                QVERIFY2(!failureShown(), qPrintable(shown.join(u'\n')));
                QVERIFY2(dump(fx->db()) != before, "nothing was written");
                qInfo("through after %d injected failures", n - 1);
                return;
            }
            ++m_failures;
            const QString at = QStringLiteral("failure at write %1: ").arg(n);
            QCOMPARE(fx->text(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
            QVERIFY2(dump(fx->db()) == before, qPrintable(at + QStringLiteral("the file changed")));
            QVERIFY2(failureShown(), qPrintable(at + shown.join(u'\n')));
        }
        QFAIL("the operation never got through");
    }
private slots:
};

QTEST_MAIN(FaultInjectionTest)
#include "faultinjection_test.moc"
