// Every bulk write of the program under injected I/O failures: the Nth write,
// sync or truncate fails, for N = 1, 2, 3, ... until the operation gets through.
// After each failure the file passes integrity_check, holds exactly what it held
// before, and the user got the operation's own warning naming the store's reason.
#include "books/bookcontroller.h"
#include "books/booklistdialog.h"
#include "corpusimporter.h"
#include "edit/recyclebin.h"
#include "edit/recyclebindialog.h"
#include "support/faultvfs.h"
#include "search/searchindexcontroller.h"
#include "support/windowtest.h"

#include <QDir>
#include <QListWidget>
#include <QTreeWidget>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

enum class Op {
    FileAll, UnfileAll, EmptyBook, DeleteBook, BookmarkAll, UnbookmarkAll, DeleteAllBookmarks, DuplicateCheck,
    BookListOk, TemplateSave, PoemAdd, PoemModify, PoemDelete, BinRestore, BinEmpty, Import
};

// Every row of every table, the schema included, as text, sorted: tables without a rowid (the search
// index's) have no other order.
QStringList dump(SqlDatabase& db) {
    QStringList out, tables;
    SqlStatement master = db.prepareNative(u"SELECT name, sql, sql LIKE 'CREATE TABLE%' FROM sqlite_master"_s);
    while (master.next()) {
        out << master.text(0) + u':' + master.text(1);
        if (master.int64(2)) tables << master.text(0);
    }
    for (const QString& t : tables) {
        SqlStatement st = db.prepareNative(u"SELECT * FROM \"%1\""_s.arg(t));
        while (st.next()) {
            QString row = t;
            for (int i = 0; i < st.columnCount(); ++i) row += u'|' + (st.isNull(i) ? u"<null>"_s : st.text(i));
            out << row;
        }
    }
    out.sort();
    return out;
}

const QString kIoError = QString::fromUtf8(sqlite3_errstr(SQLITE_IOERR));

} // namespace

class FaultInjectionTest : public WindowTest {
    Q_OBJECT

    QTemporaryDir package;
    std::unique_ptr<RecycleBinDialog> m_bin;

    // Before the first attempt: what the operation needs in the file.
    void prepareFile(Op op) {
        SqlDatabase& db = fx->db();
        if (op == Op::DuplicateCheck) db.execNative(QStringLiteral("UPDATE Poetry SET fBook_del='stale'"));
        if (op != Op::BinRestore && op != Op::BinEmpty) return;
        SqlTransaction t(db);
        RecycleBin(db).keep(1, BinKind::Deleted);
        RecycleBin(db).keep(3, BinKind::Replaced);
        db.execNative(QStringLiteral("DELETE FROM Poetry WHERE fPoemID=1"));
        t.commit();
    }

    // A started window, brought to the point where the operation's last click is due.
    void prepareWindow(Op op, MainWindow& w) {
        dialogs.answers = {true};
        const auto list = [&w](const char* s) { w.FillTitleList(QString::fromUtf8(s), u"a.fPoemID"_s, u"0"_s); };
        switch (op) {
        case Op::FileAll: w.ui.cboBook->setEditText(QStringLiteral("宋词选")); [[fallthrough]];
        case Op::UnfileAll:
        case Op::BookmarkAll:
        case Op::UnbookmarkAll:
        case Op::DeleteAllBookmarks: list(" Where a.fPoemID>0"); break;
        case Op::EmptyBook:
        case Op::DeleteBook: w.ui.cboBook->setCurrentIndex(w.ui.cboBook->findText(QStringLiteral("唐诗选"))); break;
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
            list(" Where a.fPoemID=1");
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
            list(" Where a.fPoet='李白'");
            w.ui.mnuEditTo[op == Op::PoemModify ? 2 : 3]->trigger();
            if (op == Op::PoemModify) w.ui.txtContent->setPlainText(QStringLiteral("改过的内容。"));
            break;
        case Op::BinRestore:
        case Op::BinEmpty:
            m_bin = std::make_unique<RecycleBinDialog>(w.store().db(), dialogs, true);
            m_bin->lstBin->setCurrentItem(m_bin->lstBin->topLevelItem(1)); // the deleted poem
            break;
        default: break; // nothing to prepare
        }
    }

    // The operation's last click, on the action or button of that name; the import runs as the
    // command-line tool does, which prints the exception's text.
    void perform(const QString& last, MainWindow* w) {
        if (!w) {
            try {
                ImportCorpus({package.path(), fx->path(), {u"tang"_s}, false, 1, {}, nullptr});
            } catch (const std::exception& e) {
                dialogs.message(QString::fromUtf8(e.what()), MessageSink::Icon::Critical);
            }
        } else if (auto* a = w->findChild<QAction*>(last)) {
            a->trigger();
        } else {
            auto* b = (m_bin ? static_cast<QObject*>(m_bin.get()) : w)->findChild<QPushButton*>(last);
            // A shown button gets a real mouse click, as the user gives it.
            if (b->isVisible()) QTest::mouseClick(b, Qt::LeftButton);
            else b->click();
        }
    }

    // The operation's warning, starting with its own words and naming the injected failure.
    bool failureShown(const QString& said) const {
        for (const ScriptedDialogs::Message& m : dialogs.messages)
            if (m.icon != MessageSink::Icon::Information && m.text.startsWith(said) &&
                m.text.mid(said.size()).contains(kIoError))
                return true;
        return false;
    }

private slots:
    void initTestCase() {
        redirectSettings();
        FaultVfs::install();
        const QString d = package.path() + u"/dist/quantangshi/"_s;
        QVERIFY(QDir().mkpath(d));
        for (const auto& [name, json] : {std::pair{"poet.tang.0.json", R"([{"author": "孟浩然", "title": "春晓",
                                               "paragraphs": ["春眠不觉晓，处处闻啼鸟。", "夜来风雨声，花落知多少。"]}])"},
                                         {"authors.tang.json", R"([{"name": "孟浩然", "desc": "襄州襄阳人。"}])"}}) {
            QFile f(d + QLatin1String(name));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(json) > 0);
        }
    }

    void bulkWrite_data() {
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("last"); // the action or button that starts the write
        QTest::addColumn<bool>("persistent");
        QTest::addColumn<QString>("said"); // how the warning starts; the store's reason follows
        const QString unchanged = u"操作失败，未作任何修改！\n\n"_s, undone = u"数据库写入失败，本次修改已全部撤销。\r\n\r\n"_s;
        const std::tuple<const char*, Op, const char*, QString> ops[] = {
            {"file all into a book", Op::FileAll, "mnuBookAdd_1", u"目录归档"_s + unchanged},
            {"unfile all", Op::UnfileAll, "mnuBookDel_1", u"取消归档"_s + unchanged},
            {"empty a book", Op::EmptyBook, "mnuBookDelAll", u"清空目录"_s + unchanged},
            {"delete a book", Op::DeleteBook, "mnuVolDel", u"目录删除"_s + unchanged},
            {"bookmark all", Op::BookmarkAll, "mnuBookmarkAdd_1", u"插入书签"_s + unchanged},
            {"unbookmark all", Op::UnbookmarkAll, "mnuBookmarkDel_1", u"删除书签"_s + unchanged},
            {"delete all bookmarks", Op::DeleteAllBookmarks, "mnuBookmarkDelAll", u"清空书签"_s + unchanged},
            {"duplicate check", Op::DuplicateCheck, "mnuToolCHK", u"重复诗词检验失败："_s},
            {"book list OK", Op::BookListOk, "mnuBookOrder", u"目录排序"_s + unchanged},
            {"template save", Op::TemplateSave, "cmdSave", u"模板保存出错:"_s},
            {"poem add", Op::PoemAdd, "cmdEditOk", undone},
            {"poem modify", Op::PoemModify, "cmdEditOk", undone},
            {"poem delete", Op::PoemDelete, "cmdEditOk", undone},
            {"recycle bin restore", Op::BinRestore, "cmdBinRestore", u"恢复"_s + unchanged},
            {"recycle bin empty", Op::BinEmpty, "cmdBinEmpty", u"清空回收站"_s + unchanged},
            {"import", Op::Import, "", QString()},
        };
        for (const auto& [name, op, last, said] : ops)
            for (bool persistent : {false, true})
                QTest::addRow("%s, %s", name, persistent ? "persistent" : "once")
                    << int(op) << QString::fromLatin1(last) << persistent << said;
    }
    void bulkWrite() {
        QFETCH(int, op);
        QFETCH(QString, last);
        QFETCH(bool, persistent);
        QFETCH(QString, said);
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
            perform(last, w.get());
            const bool failed = FaultVfs::disarm();
            // The program's connection is closed before the file is looked at, as
            // after a crash: a journal left behind is rolled back by the next reader.
            m_bin.reset();
            w.reset();
            const QString shown = dialogs.marked().join(u'\n');
            if (!failed) {
                QVERIFY2(!failureShown(said), qPrintable(shown));
                QVERIFY2(dump(fx->db()) != before, "nothing was written");
                qInfo("through after %d injected failures", n - 1);
                return;
            }
            const QString at = QStringLiteral("failure at write %1: ").arg(n);
            QCOMPARE(fx->text(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
            QVERIFY2(dump(fx->db()) == before, qPrintable(at + QStringLiteral("the file changed")));
            QVERIFY2(failureShown(said), qPrintable(at + shown));
        }
        QFAIL("the operation never got through");
    }
};

QTEST_MAIN(FaultInjectionTest)
#include "faultinjection_test.moc"
