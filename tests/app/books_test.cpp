// Books through the real widgets: adding and renaming in the book combo, the
// book menu (delete, file, unfile, empty) and the book list dialog, checked
// against the rows of PoetBook and Poetry afterwards.
#include "books/bookcontroller.h"
#include "books/booklistdialog.h"
#include "browse/titlelistview.h"
#include "db/sqltext.h"
#include "support/windowtest.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

namespace {

QStringList listItems(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

// Name, order and selection of every book, by order then id: "name:order:selected".
QStringList bookRows(FixtureDb& fx) {
    QStringList out;
    SqlStatement st = fx.db().prepareNative(QStringLiteral(
        "SELECT fBook, fBookOrderID, ifnull(fBookSelected,'') FROM PoetBook ORDER BY fBookOrderID, fBookID"));
    while (st.next()) out << st.text(0) + u':' + st.text(1) + u':' + st.text(2);
    return out;
}

// The poems filed in a book, by id: "1,2,3".
QString filed(FixtureDb& fx, int bookId) {
    return fx.text(QStringLiteral("SELECT ifnull(group_concat(fPoemID),'') FROM "
                                  "(SELECT fPoemID FROM Poetry WHERE fBookID=%1 ORDER BY fPoemID)")
                       .arg(bookId));
}

// PoetBook of the sample, as bookRows reads it.
const QStringList kSampleBooks = {"宋词选:0:1", "唐诗选:1:1", "隐藏:2:0", ":3:1"};

} // namespace

class BooksTest : public WindowTest {
    Q_OBJECT

    // Chooses a combo entry (which lists its poems) and then fills the title
    // list with the given poems, in id order.
    static void listPoems(MainWindow& w, const QString& ids) {
        w.FillTitleList(QStringLiteral(" Where a.fPoemID in (%1)").arg(ids), QStringLiteral("a.fPoemID"),
                        QStringLiteral("0"));
    }

private slots:
    void initTestCase() { redirectSettings(); }
    void init() { freshFixture(); }

    // ---- Adding a book in the combo ----

    void addingABook_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("byEnter");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("stored"); // the new PoetBook row's name, or none

        const QString longName = QString(200, QChar(0x8BD7)); // 200 x 诗
        QTest::newRow("new name, OK, Enter") << "边塞诗" << true << true
                                             << QStringList{"?:边塞诗：目录新增，确定？"} << "边塞诗";
        QTest::newRow("new name, OK, focus moved") << "边塞诗" << true << false
                                                   << QStringList{"?:边塞诗：目录新增，确定？"} << "边塞诗";
        QTest::newRow("cancelled") << "边塞诗" << false << true
                                   << QStringList{"?:边塞诗：目录新增，确定？"} << QString();
        QTest::newRow("quotes") << "李杜's \"选\"" << true << true
                                << QStringList{"?:李杜's \"选\"：目录新增，确定？"} << "李杜's \"选\"";
        // Blanks are part of the typed name.
        QTest::newRow("blanks around") << "  山水 " << true << true
                                       << QStringList{"?:  山水 ：目录新增，确定？"} << "  山水 ";
        QTest::newRow("200 characters") << longName << true << true
                                        << QStringList{"?:" + longName + "：目录新增，确定？"} << longName;
        QTest::newRow("empty") << "" << true << true << QStringList{} << QString();
        QTest::newRow("selected book exists")
            << "唐诗选" << true << true << QStringList{"!:唐诗选：该目录已经存在，无法新增！"} << QString();
        QTest::newRow("whole-collection entry")
            << "蓝溪诗汇" << true << true << QStringList{"!:蓝溪诗汇：该目录已经存在，无法新增！"}
            << QString();
    }

    void addingABook() {
        QFETCH(QString, typed);
        QFETCH(bool, answer);
        QFETCH(bool, byEnter);
        QFETCH(QStringList, messages);
        QFETCH(QString, stored);
        auto w = startActive();
        QVERIFY(w);
        QComboBox* cb = w->ui.cboBook;
        const QStringList entriesBefore = items(cb);
        const QStringList listed = titles(*w);
        dialogs.answers = {answer};

        QVERIFY(triggerEnabled(*w, "mnuVolAdd"));
        QCOMPARE(int(w->session().inputState()), 1);
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[目录新增]"));
        QCOMPARE(cb->palette().color(QPalette::Base), QColor(0xFF, 0xC0, 0xC0));
        QCOMPARE(cb->currentText(), QString());
        QVERIFY(cb->hasFocus());
        typeText(cb, typed);
        if (byEnter) QTest::keyClick(cb, Qt::Key_Return);
        else w->ui.lstTitle->setFocus();

        QVERIFY(!cb->hasFocus());
        if (byEnter) QVERIFY(w->ui.RichTextBox1->hasFocus());
        QCOMPARE(dialogs.marked(), messages);
        // Leaving the combo always ends the typing.
        QCOMPARE(int(w->session().inputState()), 0);
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[查询]"));
        QCOMPARE(cb->palette().color(QPalette::Base), w->palette().color(QPalette::Base));
        const qint64 books = fx->count(QStringLiteral("SELECT count(*) FROM PoetBook"));
        if (stored.isNull()) {
            QCOMPARE(books, 4);
            QCOMPARE(items(cb), entriesBefore);
        } else {
            // Selected, and first in order until the book list dialog renumbers.
            QCOMPARE(books, 5);
            QCOMPARE(fx->count("SELECT count(*) FROM PoetBook WHERE fBook=" + sqlText(stored) +
                               " AND fBookOrderID=0 AND fBookSelected=1"),
                     1);
            QCOMPARE(items(cb), entriesBefore + QStringList{stored});
        }
        // Typing a name never lists a book.
        QCOMPARE(titles(*w), listed);
    }

    void aFailedInsertOffersNoBook() {
        fx->db().execNative(QStringLiteral(
            "CREATE TRIGGER refuse BEFORE INSERT ON PoetBook BEGIN SELECT RAISE(ABORT,'disk full'); END"));
        auto w = startActive();
        QVERIFY(w);
        const QStringList before = items(w->ui.cboBook);
        dialogs.answers = {true};
        w->books->mnuVolAdd_Click();
        typeText(w->ui.cboBook, QStringLiteral("边塞诗"));
        QTest::keyClick(w->ui.cboBook, Qt::Key_Return);
        QCOMPARE(dialogs.marked(), (QStringList{"?:边塞诗：目录新增，确定？",
                                                "!:目录新增操作失败，未作任何修改！\n\ndisk full"}));
        QCOMPARE(items(w->ui.cboBook), before);
        QCOMPARE(int(w->session().inputState()), 0);
    }

    void leavingTheComboWithoutTypingDoesNothing() {
        auto w = startActive();
        QVERIFY(w);
        w->ui.cboBook->setFocus();
        typeText(w->ui.cboBook, QStringLiteral("新名"));
        QTest::keyClick(w->ui.cboBook, Qt::Key_Return);
        QVERIFY(w->ui.RichTextBox1->hasFocus());
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM PoetBook")), 4);
        // Another panel's guard is left as it was by a book name typed meanwhile.
        w->session().setInputState(InputState(1));
        w->books->mnuVolAdd_Click();
        QTest::keyClick(w->ui.cboBook, Qt::Key_Return);
        QCOMPARE(int(w->session().inputState()), 1);
        w->session().setInputState(InputState(0));
    }

    // ---- Renaming a book in the combo ----

    void renamingABook_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("entries"); // the combo afterwards
        QTest::addColumn<QStringList>("rows");    // PoetBook afterwards
        QTest::addColumn<QString>("before");      // a statement run before the rename

        const QStringList entries = {"蓝溪诗汇", "宋词选", "唐诗选"};
        const QStringList& rows = kSampleBooks;
        QTest::newRow("renamed") << 2 << "唐诗精选" << true
                                 << QStringList{"?:唐诗选：目录修改为“唐诗精选”，确定？"}
                                 << QStringList{"蓝溪诗汇", "宋词选", "唐诗精选"}
                                 << QStringList{"宋词选:0:1", "唐诗精选:1:1", "隐藏:2:0", ":3:1"} << QString();
        QTest::newRow("quote and blanks") << 1 << " 宋's词 " << true
                                          << QStringList{"?:宋词选：目录修改为“ 宋's词 ”，确定？"}
                                          << QStringList{"蓝溪诗汇", " 宋's词 ", "唐诗选"}
                                          << QStringList{" 宋's词 :0:1", "唐诗选:1:1", "隐藏:2:0", ":3:1"} << QString();
        QTest::newRow("cancelled") << 2 << "唐诗精选" << false
                                   << QStringList{"?:唐诗选：目录修改为“唐诗精选”，确定？"} << entries
                                   << rows << QString();
        QTest::newRow("unchanged") << 2 << "唐诗选" << true << QStringList{} << entries << rows << QString();
        QTest::newRow("emptied") << 2 << "" << true << QStringList{} << entries << rows << QString();
        QTest::newRow("name of another book")
            << 2 << "隐藏" << true << QStringList{"!:隐藏：该目录已经存在，修改取消！"} << entries << rows << QString();
        QTest::newRow("name of the whole collection")
            << 2 << "蓝溪诗汇" << true << QStringList{"!:蓝溪诗汇：该目录已经存在，修改取消！"} << entries
            << rows << QString();
        // Entry 0 is the whole collection: its new text shows until the next
        // start, and no book changes (not even one carrying the product name).
        QTest::newRow("entry 0") << 0 << "全部" << true << QStringList{"?:蓝溪诗汇：目录修改为“全部”，确定？"}
                                 << QStringList{"全部", "宋词选", "唐诗选"} << (rows + QStringList{"蓝溪诗汇:9:0"})
                                 << "INSERT INTO PoetBook (fBook,fBookOrderID,fBookSelected) VALUES ('蓝溪诗汇',9,0)";
        // Renamed meanwhile in the book list dialog: the combo keeps what it shows.
        QTest::newRow("book renamed meanwhile")
            << 2 << "唐诗精选" << true
            << QStringList{"?:唐诗选：目录修改为“唐诗精选”，确定？", "!:唐诗选：该目录已不存在，修改取消！"} << entries
            << QStringList{"宋词选:0:1", "别名:1:1", "隐藏:2:0", ":3:1"}
            << "UPDATE PoetBook SET fBook='别名' WHERE fBookID=1";
    }

    void renamingABook() {
        QFETCH(int, entry);
        QFETCH(QString, typed);
        QFETCH(bool, answer);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, entries);
        QFETCH(QStringList, rows);
        QFETCH(QString, before);
        auto w = startActive();
        QVERIFY(w);
        QComboBox* cb = w->ui.cboBook;
        QVERIFY(chooseInPopup(cb, entry));
        if (!before.isEmpty()) fx->db().execNative(before);
        dialogs.answers = {answer};

        QVERIFY(triggerEnabled(*w, "mnuVolChg"));
        QCOMPARE(int(w->session().inputState()), 2);
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[目录修改]"));
        QCOMPARE(w->books->renamingIndex(), entry);
        QCOMPARE(cb->palette().color(QPalette::Base), QColor(0xFF, 0xC0, 0xC0));
        QCOMPARE(cb->lineEdit()->selectedText(), cb->itemText(entry));
        // Typing replaces the selected name.
        if (typed.isEmpty()) cb->lineEdit()->del();
        else typeText(cb, typed);
        QTest::keyClick(cb, Qt::Key_Return);

        QCOMPARE(dialogs.marked(), messages);
        QCOMPARE(items(cb), entries);
        QCOMPARE(bookRows(*fx), rows);
        QCOMPARE(int(w->session().inputState()), 0);
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[查询]"));
    }

    void theWholeCollectionIsNoBookToDeleteEmptyOrFileInto() {
        auto w = start();
        // A book carrying the product name must not be touched through entry 0.
        fx->db().execNative(QStringLiteral("INSERT INTO PoetBook (fBook,fBookOrderID,fBookSelected) "
                                           "VALUES ('蓝溪诗汇',9,0)"));
        fx->db().execNative(QStringLiteral("UPDATE Poetry SET fBookID=5 WHERE fPoemID=9"));
        w->ui.cboBook->setCurrentIndex(0);
        dialogs.answers = {true, true, true};
        // Deleting asks first; a name that is no book then deletes nothing.
        QVERIFY(triggerEnabled(*w, "mnuVolDel"));
        QVERIFY(triggerEnabled(*w, "mnuBookDelAll"));
        QVERIFY(triggerEnabled(*w, "mnuBookAdd_1"));
        QCOMPARE(dialogs.marked(), (QStringList{"?:蓝溪诗汇：目录删除，确定？", "!:请选定清空目录！",
                                                "!:请选定归档目录！"}));
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM PoetBook WHERE fBook='蓝溪诗汇'")), 1);
        QCOMPARE(filed(*fx, 5), QStringLiteral("9"));
        QCOMPARE(items(w->ui.cboBook).first(), QStringLiteral("蓝溪诗汇"));
    }

    void choosingTheShownBookAgainListsItAgain() {
        auto w = startActive();
        QVERIFY(w);
        QComboBox* cb = w->ui.cboBook;
        QVERIFY(chooseInPopup(cb, 2)); // 唐诗选
        QCOMPARE(titles(*w), (QStringList{"早发白帝城", "春望", "静夜思"}));
        // Another list, then the same entry again: the book is listed again,
        // with a poem filed into it meanwhile.
        listPoems(*w, QStringLiteral("8"));
        dialogs.answers = {true};
        QVERIFY(triggerEnabled(*w, "mnuBookAdd_0"));
        QCOMPARE(titles(*w), QStringList{"登高"});
        QVERIFY(chooseInPopup(cb, 2));
        QCOMPARE(titles(*w), (QStringList{"早发白帝城", "春望", "登高", "静夜思"}));
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[书籍目录]"));
    }

    // ---- Deleting a book ----

    void deletingABookUnfilesItsPoems() {
        auto w = start();
        QComboBox* cb = w->ui.cboBook;
        cb->setCurrentIndex(2); // 唐诗选, book 1, holding poems 1, 2, 3
        QCOMPARE(filed(*fx, 1), QStringLiteral("1,2,3"));
        const int listed = w->browse->model()->size();

        dialogs.answers = {false};
        QVERIFY(triggerEnabled(*w, "mnuVolDel"));
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM PoetBook WHERE fBookID=1")), 1);

        dialogs.answers = {true};
        QVERIFY(triggerEnabled(*w, "mnuVolDel"));
        QCOMPARE(dialogs.marked(), (QStringList{"?:唐诗选：目录删除，确定？", "?:唐诗选：目录删除，确定？"}));
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM PoetBook WHERE fBookID=1")), 0);
        QCOMPARE(filed(*fx, 1), QString());
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM Poetry WHERE fPoemID IN (1,2,3) AND fBookID=-1")), 3);
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM Poetry")), 9);
        // Its entry is gone and no other book was listed in its place.
        QCOMPARE(items(cb), (QStringList{"蓝溪诗汇", "宋词选"}));
        QCOMPARE(cb->currentIndex(), -1);
        QCOMPARE(w->browse->model()->size(), listed);
    }

    // ---- Filing, unfiling, emptying ----

    void filingPoems_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("listed"); // poem ids in the title list ("+": then appended)
        QTest::addColumn<QString>("book");   // the combo's text
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("inSongBook"); // poems filed in 宋词选 (book 2) afterwards
        QTest::addColumn<QString>("inTangBook"); // poems filed in 唐诗选 (book 1) afterwards

        const QString emptyTang = "[唐诗选]：清空该目录的所有诗词（原诗词保留），确定 ？";
        QTest::newRow("file current") << "mnuBookAdd_0" << "4,5" << "宋词选" << true
                                      << QStringList{"?:念奴娇·赤壁怀古：归档目录[宋词选]，确定 ？",
                                                     "i:当前诗词：<目录归档>操作完毕！"}
                                      << "4" << "1,2,3";
        QTest::newRow("file all, moving poems from another book")
            << "mnuBookAdd_1" << "2,3,4" << "宋词选" << true
            << QStringList{"?:所有选入诗词：归档目录[宋词选]，确定 ？",
                           "i:所有选入诗词：<目录归档>操作完毕！"}
            << "2,3,4" << "1";
        QTest::newRow("file all, the same poem twice")
            << "mnuBookAdd_1" << "4,5+4" << "宋词选" << true
            << QStringList{"?:所有选入诗词：归档目录[宋词选]，确定 ？",
                           "i:所有选入诗词：<目录归档>操作完毕！"}
            << "4,5" << "1,2,3";
        QTest::newRow("file cancelled") << "mnuBookAdd_1" << "4,5" << "宋词选" << false
                                        << QStringList{"?:所有选入诗词：归档目录[宋词选]，确定 ？"} << ""
                                        << "1,2,3";
        QTest::newRow("file, empty list") << "mnuBookAdd_0" << "" << "宋词选" << true
                                          << QStringList{"!:请选定归档诗词！"} << "" << "1,2,3";
        QTest::newRow("file, whole collection chosen") << "mnuBookAdd_1" << "4,5" << "蓝溪诗汇" << true
                                                       << QStringList{"!:请选定归档目录！"} << ""
                                                       << "1,2,3";
        QTest::newRow("file, no such book") << "mnuBookAdd_0" << "4,5" << "无此目录" << true
                                            << QStringList{"!:请选定归档目录！"} << "" << "1,2,3";
        QTest::newRow("file, book name with quote")
            << "mnuBookAdd_0" << "5" << "O'Neil" << true
            << QStringList{"?:水调歌头：归档目录[O'Neil]，确定 ？", "i:当前诗词：<目录归档>操作完毕！"}
            << "" << "1,2,3";
        QTest::newRow("unfile current") << "mnuBookDel_0" << "2,3" << "宋词选" << true
                                        << QStringList{"?:早发白帝城：取消归档，确定 ？",
                                                       "i:当前诗词：<取消归档>操作完毕！"}
                                        << "" << "1,3";
        QTest::newRow("unfile all, whatever the combo shows")
            << "mnuBookDel_1" << "1,3,4" << "蓝溪诗汇" << true
            << QStringList{"?:所有选入诗词：取消归档，确定 ？", "i:所有选入诗词：<取消归档>操作完毕！"}
            << "" << "2";
        QTest::newRow("unfile cancelled") << "mnuBookDel_0" << "1" << "" << false
                                          << QStringList{"?:静夜思：取消归档，确定 ？"} << "" << "1,2,3";
        QTest::newRow("unfile, empty list") << "mnuBookDel_1" << "" << "" << true
                                            << QStringList{"!:请选定取消归档的诗词！"} << "" << "1,2,3";
        QTest::newRow("empty a book") << "mnuBookDelAll" << "" << "唐诗选" << true
                                      << QStringList{"?:" + emptyTang, "i:清空目录操作完毕！"} << ""
                                      << "";
        QTest::newRow("empty cancelled") << "mnuBookDelAll" << "4" << "唐诗选" << false
                                         << QStringList{"?:" + emptyTang} << "" << "1,2,3";
        QTest::newRow("empty, no such book") << "mnuBookDelAll" << "4" << "唐诗" << true
                                             << QStringList{"!:请选定清空目录！"} << "" << "1,2,3";
    }

    void filingPoems() {
        QFETCH(QString, command);
        QFETCH(QString, listed);
        QFETCH(QString, book);
        QFETCH(bool, answer);
        QFETCH(QStringList, messages);
        QFETCH(QString, inSongBook);
        QFETCH(QString, inTangBook);
        fx->db().execNative(QStringLiteral("INSERT INTO PoetBook (fBookID,fBook,fBookOrderID,fBookSelected) "
                                           "VALUES (7,'O''Neil',4,1)"));
        auto w = start();
        const QStringList parts = listed.split(u'+');
        listPoems(*w, listed.isEmpty() ? QStringLiteral("0") : parts[0]);
        if (parts.size() > 1)
            w->FillTitleList(QStringLiteral(" Where a.fPoemID in (%1)").arg(parts[1]), QStringLiteral("a.fPoemID"),
                             QStringLiteral("1"));
        w->ui.cboBook->setEditText(book);
        dialogs.answers = {answer};

        QVERIFY(triggerEnabled(w->findChild<QAction*>(command)));

        QCOMPARE(dialogs.marked(), messages);
        QCOMPARE(filed(*fx, 2), inSongBook);
        QCOMPARE(filed(*fx, 1), inTangBook);
        if (book == u"O'Neil") QCOMPARE(filed(*fx, 7), QStringLiteral("5"));
        // Books and poems stay whatever is filed or emptied.
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM PoetBook")), 5);
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM Poetry")), 9);
    }

    void failedWritesChangeNothing() {
        // Poem 2 cannot be written; poem 1, written before it, must be rolled back.
        fx->db().execNative(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE OF fBookID ON Poetry "
                                           "WHEN OLD.fPoemID=2 BEGIN SELECT RAISE(ABORT,'locked row'); END"));
        auto w = start();
        w->ui.cboBook->setCurrentIndex(2); // 唐诗选: poems 1, 2, 3
        listPoems(*w, QStringLiteral("1,2,3"));
        dialogs.answers = {true, true, true, true};
        w->books->mnuVolDel_Click();
        w->books->mnuBookDelAll_Click();
        w->books->mnuBookDel_Click(1);
        w->ui.cboBook->setEditText(QStringLiteral("宋词选"));
        w->books->mnuBookAdd_Click(1);
        QCOMPARE(dialogs.marked(), (QStringList{"?:唐诗选：目录删除，确定？",
                                                "!:目录删除操作失败，未作任何修改！\n\nlocked row",
                                                "?:[唐诗选]：清空该目录的所有诗词（原诗词保留），确定 ？",
                                                "!:清空目录操作失败，未作任何修改！\n\nlocked row",
                                                "?:所有选入诗词：取消归档，确定 ？",
                                                "!:取消归档操作失败，未作任何修改！\n\nlocked row",
                                                "?:所有选入诗词：归档目录[宋词选]，确定 ？",
                                                "!:目录归档操作失败，未作任何修改！\n\nlocked row"}));
        // The book is still there, with every poem it held.
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM PoetBook WHERE fBookID=1")), 1);
        QCOMPARE(items(w->ui.cboBook), (QStringList{"蓝溪诗汇", "宋词选", "唐诗选"}));
        QCOMPARE(filed(*fx, 1), QStringLiteral("1,2,3"));
        QCOMPARE(filed(*fx, 2), QString());
    }

    // ---- The book list dialog ----

    void dialogListsSelectedAndPausedBooks() {
        auto w = start();
        BookListDialog d(w->store().db(), dialogs, w.get());
        // By order; the nameless book is listed as it is.
        QCOMPARE(listItems(d.List2), (QStringList{"宋词选", "唐诗选", ""}));
        QCOMPARE(listItems(d.List1), QStringList{"隐藏"});
        QCOMPARE(BookListDialog::chosenRow(d.List1), -1);
        QCOMPARE(BookListDialog::chosenRow(d.List2), -1);
        QVERIFY(d.cmdOk->isEnabled());
        // Short dialog, rename frame closed.
        QVERIFY(!d.chkNameChg->isChecked());
        QVERIFY(!d.Text2->isEnabled());
        QVERIFY(!d.Text1->isEnabled());
        QCOMPARE(d.height(), d.twipsToPixels(BookListDialog::kShortHeight - 405));
        d.chkNameChg->click();
        QVERIFY(d.Text2->isEnabled());
        QCOMPARE(d.height(), d.twipsToPixels(BookListDialog::kTallHeight - 405));
        d.chkNameChg->click();
        QVERIFY(!d.Text2->isEnabled());
        QCOMPARE(d.height(), d.twipsToPixels(BookListDialog::kShortHeight - 405));
    }

    void dialogMovesBooks_data() {
        // Books A, B, C, D selected, E, F paused. Each step: "<list><row>" chooses
        // (row -1 chooses nothing), a button name presses it, "dbl1"/"dbl2"
        // double-clicks the chosen entry of List1/List2.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("paused");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<int>("pausedChosen");
        QTest::addColumn<int>("selectedChosen");

        QTest::newRow("after the third selected entry")
            << QStringList{"2:2", "1:0", "cmdSelect"} << QStringList{"F"} << QStringList{"A", "B", "C", "E", "D"} << 0
            << 3;
        QTest::newRow("to the top when nothing is chosen")
            << QStringList{"2:-1", "1:1", "cmdSelect"} << QStringList{"E"} << QStringList{"F", "A", "B", "C", "D"}
            << 0 << 0;
        QTest::newRow("last entry moved, the one before is chosen")
            << QStringList{"1:-1", "2:3", "cmdunSelect"} << QStringList{"D", "E", "F"} << QStringList{"A", "B", "C"}
            << 0 << 2;
        QTest::newRow("only entry moved, nothing is chosen")
            << QStringList{"1:1", "cmdSelect", "1:0", "cmdSelect"} << QStringList{}
            << QStringList{"F", "E", "A", "B", "C", "D"} << -1 << 1;
        QTest::newRow("nothing chosen, nothing moves")
            << QStringList{"1:-1", "2:-1", "cmdSelect", "cmdunSelect"} << QStringList{"E", "F"}
            << QStringList{"A", "B", "C", "D"} << -1 << -1;
        QTest::newRow("double clicks") << QStringList{"2:0", "dbl2", "1:2", "dbl1"} << QStringList{"A", "E"}
                                       << QStringList{"B", "F", "C", "D"} << 1 << 1;
        QTest::newRow("all selected") << QStringList{"cmdSelectAll"} << QStringList{}
                                      << QStringList{"A", "B", "C", "D", "E", "F"} << -1 << -1;
        QTest::newRow("all paused") << QStringList{"cmdunSelectAll"} << QStringList{"E", "F", "A", "B", "C", "D"}
                                    << QStringList{} << -1 << -1;
        QTest::newRow("all of an empty list") << QStringList{"cmdSelectAll", "cmdSelectAll"} << QStringList{}
                                              << QStringList{"A", "B", "C", "D", "E", "F"} << -1 << -1;
    }

    void dialogMovesBooks() {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, paused);
        QFETCH(QStringList, selected);
        QFETCH(int, pausedChosen);
        QFETCH(int, selectedChosen);
        fx->db().execNative(QStringLiteral("DELETE FROM PoetBook"));
        fx->db().execNative(QStringLiteral(
            "INSERT INTO PoetBook (fBook,fBookOrderID,fBookSelected) VALUES "
            "('A',0,1),('B',1,1),('C',2,1),('D',3,1),('E',4,0),('F',5,NULL)"));
        auto w = start();
        BookListDialog d(w->store().db(), dialogs, w.get());
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        for (const QString& step : steps) {
            if (step.contains(u':')) {
                QListWidget* list = step.startsWith(u'1') ? d.List1 : d.List2;
                list->setCurrentRow(step.section(u':', 1).toInt());
            } else if (step.startsWith(u"dbl")) {
                QListWidget* list = step.endsWith(u'1') ? d.List1 : d.List2;
                QListWidgetItem* item = list->currentItem();
                QVERIFY(item);
                const QPoint at = list->visualItemRect(item).center();
                // A double click begins with a click.
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            } else {
                d.findChild<QPushButton*>(step)->click();
            }
        }
        QCOMPARE(listItems(d.List1), paused);
        QCOMPARE(listItems(d.List2), selected);
        QCOMPARE(BookListDialog::chosenRow(d.List1), pausedChosen);
        QCOMPARE(BookListDialog::chosenRow(d.List2), selectedChosen);
        // Moves write nothing before OK.
        QCOMPARE(bookRows(*fx), (QStringList{"A:0:1", "B:1:1", "C:2:1", "D:3:1", "E:4:0", "F:5:"}));
    }

    void dialogOkWritesOrderAndSelection() {
        fx->db().execNative(QStringLiteral("DELETE FROM PoetBook"));
        fx->db().execNative(QStringLiteral(
            "INSERT INTO PoetBook (fBook,fBookOrderID,fBookSelected) VALUES ('A',0,1),('B',1,NULL),('C',2,1)"));
        auto w = start();
        QStringList comboAtStart = items(w->ui.cboBook);
        // Driven through the menu while the dialog runs modally.
        bool modal = false;
        QStringList loaded, selected, paused;
        w->books->beforeBookListShown = [&](BookListDialog& d) {
            // Never left hanging, whatever happens below.
            QTimer::singleShot(10000, &d, &QDialog::reject);
            QTimer::singleShot(0, &d, [&] {
                modal = d.isModal() && d.isVisible();
                loaded = listItems(d.List2) + QStringList{"|"} + listItems(d.List1);
                // [A, C] | [B]  ->  [B, A] | [C]
                d.List2->setCurrentRow(1); // C
                d.cmdunSelect->click();
                d.List1->setCurrentRow(1); // B, below C now
                d.List2->setCurrentRow(-1);
                d.cmdSelect->click();
                selected = listItems(d.List2);
                paused = listItems(d.List1);
                d.cmdOk->click();
            });
        };
        QVERIFY(triggerEnabled(*w, "mnuBookOrder"));
        QVERIFY(modal);
        QCOMPARE(loaded, (QStringList{"A", "C", "|", "B"}));
        QCOMPARE(selected, (QStringList{"B", "A"}));
        QCOMPARE(paused, QStringList{"C"});
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(bookRows(*fx), (QStringList{"B:0:1", "A:1:1", "C:2:0"}));
        // The combo follows from the next start only.
        QCOMPARE(items(w->ui.cboBook), comboAtStart);
    }

    void dialogOkWithNothingSelected() {
        auto w = start();
        BookListDialog d(w->store().db(), dialogs, w.get());
        d.show();
        d.cmdunSelectAll->click();
        dialogs.answers = {false};
        d.cmdOk->click();
        QCOMPARE(dialogs.marked(), QStringList{"?:系统未有选入目录！ @【目录】排序"});
        QVERIFY(d.isVisible());
        QCOMPARE(bookRows(*fx), kSampleBooks);
        dialogs.answers = {true};
        d.cmdOk->click();
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(bookRows(*fx), (QStringList{"隐藏:0:0", "宋词选:1:0", "唐诗选:2:0", ":3:0"}));
    }

    void dialogOkFailureWritesNothing() {
        fx->db().execNative(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON PoetBook "
                                           "WHEN NEW.fBook='隐藏' BEGIN SELECT RAISE(ABORT,'read only book'); END"));
        auto w = start();
        BookListDialog d(w->store().db(), dialogs, w.get());
        d.show();
        d.List2->setCurrentRow(0);
        d.cmdunSelect->click();
        d.cmdOk->click();
        QCOMPARE(dialogs.marked(), QStringList{"!:目录排序操作失败，未作任何修改！\n\nread only book @【目录】排序"});
        QVERIFY(d.isVisible());
        QCOMPARE(bookRows(*fx), kSampleBooks);
    }

    void dialogCancelWritesNothingButKeepsARename() {
        auto w = start();
        BookListDialog d(w->store().db(), dialogs, w.get());
        d.show();
        d.chkNameChg->setChecked(true);
        // An empty entry or an empty list leaves the frame as it was.
        d.List2->setCurrentRow(1);
        QCOMPARE(d.Text1->text(), QStringLiteral("唐诗选"));
        QCOMPARE(d.Text2->text(), QStringLiteral("唐诗选"));
        d.List2->setCurrentRow(2);
        QCOMPARE(d.Text1->text(), QStringLiteral("唐诗选"));
        QVERIFY(!d.cmdNameChg->isEnabled());
        d.List2->setCurrentRow(1);

        // Renaming to a name in use.
        d.Text2->setText(QStringLiteral("隐藏"));
        QVERIFY(d.cmdNameChg->isEnabled());
        d.cmdNameChg->click();
        QCOMPARE(dialogs.marked(), QStringList{"!:该目录名已有存在！ @【目录】排序"});
        d.Text2->setText(QStringLiteral("蓝溪诗汇"));
        d.cmdNameChg->click();
        QCOMPARE(dialogs.messages.size(), 2);
        // Blank names are no names.
        d.Text2->setText(QStringLiteral("   "));
        d.cmdNameChg->click();
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(listItems(d.List2), (QStringList{"宋词选", "唐诗选", ""}));

        // A free name with a quote: written at once, the entry follows.
        d.Text2->setText(QStringLiteral("唐人's诗"));
        d.cmdNameChg->click();
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(d.Text1->text(), QStringLiteral("唐人's诗"));
        QVERIFY(!d.cmdNameChg->isEnabled());
        QCOMPARE(listItems(d.List2), (QStringList{"宋词选", "唐人's诗", ""}));
        // Moving the books around and cancelling: only the rename stays.
        d.cmdunSelectAll->click();
        d.cmdCancel->click();
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(bookRows(*fx), (QStringList{"宋词选:0:1", "唐人's诗:1:1", "隐藏:2:0", ":3:1"}));
    }

    void dialogRenamesAPausedBookAndEnterMovesOn() {
        auto w = start();
        BookListDialog d(w->store().db(), dialogs, w.get());
        d.show();
        QApplication::setActiveWindow(&d);
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.chkNameChg->setChecked(true);
        d.List1->setCurrentRow(0);
        QCOMPARE(d.Text1->text(), QStringLiteral("隐藏"));
        d.Text2->setFocus();
        d.Text2->setText(QStringLiteral("Hidden"));
        // A change of Latin case alone is a rename of the same book.
        QTest::keyClick(d.Text2, Qt::Key_Return);
        QVERIFY(!d.Text2->hasFocus());
        d.cmdNameChg->click();
        d.Text2->setText(QStringLiteral("HIDDEN"));
        d.cmdNameChg->click();
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(listItems(d.List1), QStringList{"HIDDEN"});
        QCOMPARE(fx->text(QStringLiteral("SELECT fBook FROM PoetBook WHERE fBookID=3")), QStringLiteral("HIDDEN"));
    }

    void dialogOnAnEmptyTableCanOnlyBeCancelled() {
        fx->db().execNative(QStringLiteral("DELETE FROM PoetBook"));
        auto w = start();
        BookListDialog d(w->store().db(), dialogs, w.get());
        QVERIFY(!d.cmdOk->isEnabled());
        QCOMPARE(d.List1->count() + d.List2->count(), 0);
        d.List1->setCurrentRow(0);
        d.cmdSelect->click();
        d.cmdSelectAll->click();
        QCOMPARE(d.List2->count(), 0);
        QVERIFY(d.cmdCancel->isEnabled());
    }
};

QTEST_MAIN(BooksTest)
#include "books_test.moc"
