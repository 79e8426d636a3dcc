// Books through the real widgets: adding and renaming in the book combo, the
// book menu (delete, file, unfile, empty) and the book list dialog, checked
// against the rows of PoetBook and Poetry afterwards.
#include "books/bookcontroller.h"
#include "books/booklistdialog.h"
#include "browse/titlelistview.h"
#include "db/sqltext.h"
#include "support/windowtest.h"

#include <QListWidget>

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
const QStringList kSampleBooks = {u"宋词选:0:1"_s, u"唐诗选:1:1"_s, u"隐藏:2:0"_s, u":3:1"_s};

} // namespace

class BooksTest : public WindowTest {
    Q_OBJECT

    // Fills the title list with the given poems in id order; "+" then appends more.
    static void listPoems(MainWindow& w, const QString& ids) {
        const QStringList parts = ids.split(u'+');
        for (int i = 0; i < parts.size(); ++i)
            w.FillTitleList(QStringLiteral(" Where a.fPoemID in (%1)").arg(parts[i].isEmpty() ? QStringLiteral("0") : parts[i]),
                            QStringLiteral("a.fPoemID"), i > 0 ? QStringLiteral("1") : QStringLiteral("0"));
    }
    // Every message so far, marked by its icon, "|"-joined.
    QString said() const { return dialogs.marked().join(u'|'); }

private slots:
    // ---- Adding and renaming a book in the combo ----

    void addingABook_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("byEnter");
        QTest::addColumn<QString>("messages");
        QTest::addColumn<bool>("stored");
        QTest::newRow("new name, Enter") << "边塞诗" << true << true << "?:边塞诗：目录新增，确定？" << true;
        QTest::newRow("new name, focus moved") << "边塞诗" << true << false << "?:边塞诗：目录新增，确定？" << true;
        QTest::newRow("cancelled") << "边塞诗" << false << true << "?:边塞诗：目录新增，确定？" << false;
        // Blanks are part of the typed name.
        QTest::newRow("blanks around") << "  山水 " << true << true << "?:  山水 ：目录新增，确定？" << true;
        QTest::newRow("200 characters") << QString(200, u'诗') << true << true
                                        << u"?:"_s + QString(200, u'诗') + u"：目录新增，确定？"_s << true;
        QTest::newRow("empty") << "" << true << true << "" << false;
        QTest::newRow("book exists") << "唐诗选" << true << true << "!:唐诗选：该目录已经存在，无法新增！" << false;
        QTest::newRow("whole-collection entry") << "蓝溪诗汇" << true << true << "!:蓝溪诗汇：该目录已经存在，无法新增！"
                                                << false;
    }
    void addingABook() {
        QFETCH(QString, typed);
        QFETCH(bool, answer);
        QFETCH(bool, byEnter);
        QFETCH(QString, messages);
        QFETCH(bool, stored);
        auto w = startActive();
        QVERIFY(w);
        QComboBox* cb = w->ui.cboBook;
        const QStringList entriesBefore = items(cb);
        const QStringList listed = titles(*w);
        dialogs.answers = {answer};
        QVERIFY(triggerEnabled(*w, "mnuVolAdd"));
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[目录新增]"));
        QVERIFY(cb->hasFocus() && cb->currentText().isEmpty());
        typeText(cb, typed);
        if (byEnter) QTest::keyClick(cb, Qt::Key_Return);
        else w->ui.lstTitle->setFocus();
        QCOMPARE(said(), messages);
        // Leaving the combo always ends the typing; typing a name never lists a book.
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[查询]"));
        QCOMPARE(titles(*w), listed);
        // A new book is selected, and first in order until the book list dialog renumbers.
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM PoetBook")), stored ? 5 : 4);
        QCOMPARE(fx->count(u"SELECT count(*) FROM PoetBook WHERE fBook="_s + sqlText(typed) +
                           u" AND fBookOrderID=0 AND fBookSelected=1"_s),
                 stored ? 1 : 0);
        QCOMPARE(items(cb), entriesBefore + (stored ? QStringList{typed} : QStringList{}));
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
        QCOMPARE(said(), QStringLiteral("?:边塞诗：目录新增，确定？|!:目录新增操作失败，未作任何修改！\n\ndisk full"));
        QCOMPARE(items(w->ui.cboBook), before);
        // A name typed without arming the add is no new book.
        typeText(w->ui.cboBook, QStringLiteral("新名"));
        QTest::keyClick(w->ui.cboBook, Qt::Key_Return);
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM PoetBook")), 4);
    }

    void renamingABook_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("messages");
        QTest::addColumn<QStringList>("entries"); // the combo afterwards
        QTest::addColumn<QStringList>("rows");    // PoetBook afterwards
        QTest::addColumn<QString>("before");      // a statement run before the rename
        const QStringList entries = {u"蓝溪诗汇"_s, u"宋词选"_s, u"唐诗选"_s};
        const QStringList& rows = kSampleBooks;
        const QString ask = QStringLiteral("?:唐诗选：目录修改为“唐诗精选”，确定？");
        QTest::newRow("renamed") << 2 << u"唐诗精选"_s << true << ask << QStringList{u"蓝溪诗汇"_s, u"宋词选"_s, u"唐诗精选"_s}
                                 << QStringList{u"宋词选:0:1"_s, u"唐诗精选:1:1"_s, u"隐藏:2:0"_s, u":3:1"_s} << QString();
        QTest::newRow("quote and blanks") << 1 << " 宋's词 " << true << "?:宋词选：目录修改为“ 宋's词 ”，确定？"
                                          << QStringList{u"蓝溪诗汇"_s, u" 宋's词 "_s, u"唐诗选"_s}
                                          << QStringList{u" 宋's词 :0:1"_s, u"唐诗选:1:1"_s, u"隐藏:2:0"_s, u":3:1"_s} << QString();
        QTest::newRow("cancelled") << 2 << "唐诗精选" << false << ask << entries << rows << QString();
        QTest::newRow("unchanged") << 2 << "唐诗选" << true << "" << entries << rows << QString();
        QTest::newRow("emptied") << 2 << "" << true << "" << entries << rows << QString();
        QTest::newRow("name of another book") << 2 << "隐藏" << true << "!:隐藏：该目录已经存在，修改取消！" << entries
                                              << rows << QString();
        QTest::newRow("name of the whole collection") << 2 << "蓝溪诗汇" << true
                                                      << "!:蓝溪诗汇：该目录已经存在，修改取消！" << entries << rows
                                                      << QString();
        // Entry 0 is the whole collection: its new text shows until the next
        // start, and no book changes (not even one carrying the product name).
        QTest::newRow("entry 0") << 0 << "全部" << true << "?:蓝溪诗汇：目录修改为“全部”，确定？"
                                 << QStringList{u"全部"_s, u"宋词选"_s, u"唐诗选"_s} << (rows + QStringList{u"蓝溪诗汇:9:0"_s})
                                 << "INSERT INTO PoetBook (fBook,fBookOrderID,fBookSelected) VALUES ('蓝溪诗汇',9,0)";
        // Renamed meanwhile in the book list dialog: the combo keeps what it shows.
        QTest::newRow("book renamed meanwhile") << 2 << u"唐诗精选"_s << true << ask + u"|!:唐诗选：该目录已不存在，修改取消！"_s
                                                << entries << QStringList{u"宋词选:0:1"_s, u"别名:1:1"_s, u"隐藏:2:0"_s, u":3:1"_s}
                                                << "UPDATE PoetBook SET fBook='别名' WHERE fBookID=1";
    }
    void renamingABook() {
        QFETCH(int, entry);
        QFETCH(QString, typed);
        QFETCH(bool, answer);
        QFETCH(QString, messages);
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
        QCOMPARE(cb->lineEdit()->selectedText(), cb->itemText(entry));
        // Typing replaces the selected name.
        if (typed.isEmpty()) cb->lineEdit()->del();
        else typeText(cb, typed);
        QTest::keyClick(cb, Qt::Key_Return);
        QCOMPARE(said(), messages);
        QCOMPARE(items(cb), entries);
        QCOMPARE(bookRows(*fx), rows);
    }

    // ---- Choosing, deleting, filing, unfiling, emptying ----

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
        QCOMPARE(said(), QStringLiteral("?:蓝溪诗汇：目录删除，确定？|!:请选定清空目录！|!:请选定归档目录！"));
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM PoetBook WHERE fBook='蓝溪诗汇'")), 1);
        QCOMPARE(filed(*fx, 5), QStringLiteral("9"));
    }

    void choosingTheShownBookAgainListsItAgain() {
        auto w = startActive();
        QVERIFY(w);
        QComboBox* cb = w->ui.cboBook;
        QVERIFY(chooseInPopup(cb, 2)); // 唐诗选
        QCOMPARE(titles(*w), (QStringList{u"早发白帝城"_s, u"春望"_s, u"静夜思"_s}));
        // Another list, then the same entry again: the book is listed again,
        // with a poem filed into it meanwhile.
        listPoems(*w, QStringLiteral("8"));
        dialogs.answers = {true};
        QVERIFY(triggerEnabled(*w, "mnuBookAdd_0"));
        QVERIFY(chooseInPopup(cb, 2));
        QCOMPARE(titles(*w), (QStringList{u"早发白帝城"_s, u"春望"_s, u"登高"_s, u"静夜思"_s}));
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[书籍目录]"));
    }

    void deletingABookUnfilesItsPoems() {
        auto w = start();
        QComboBox* cb = w->ui.cboBook;
        cb->setCurrentIndex(2); // 唐诗选, book 1, holding poems 1, 2, 3
        const int listed = w->browse->model()->size();
        dialogs.answers = {false, true};
        QVERIFY(triggerEnabled(*w, "mnuVolDel"));
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM PoetBook WHERE fBookID=1")), 1);
        QVERIFY(triggerEnabled(*w, "mnuVolDel"));
        QCOMPARE(said(), QStringLiteral("?:唐诗选：目录删除，确定？|?:唐诗选：目录删除，确定？"));
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM PoetBook WHERE fBookID=1")), 0);
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM Poetry WHERE fPoemID IN (1,2,3) AND fBookID=-1")), 3);
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM Poetry")), 9);
        // Its entry is gone and no other book was listed in its place.
        QCOMPARE(items(cb), (QStringList{u"蓝溪诗汇"_s, u"宋词选"_s}));
        QCOMPARE(w->browse->model()->size(), listed);
    }

    void filingPoems_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("listed"); // poem ids in the title list ("+": then appended)
        QTest::addColumn<QString>("book");   // the combo's text
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("messages");
        QTest::addColumn<QString>("inSongBook"); // poems filed in 宋词选 (book 2) afterwards
        QTest::addColumn<QString>("inTangBook"); // poems filed in 唐诗选 (book 1) afterwards
        const QString fileAll = u"?:所有选入诗词：归档目录[宋词选]，确定 ？"_s;
        const QString fileAllDone = u"|i:所有选入诗词：<目录归档>操作完毕！"_s;
        const QString emptyTang = u"?:[唐诗选]：清空该目录的所有诗词（原诗词保留），确定 ？"_s;
        QTest::newRow("file current") << "mnuBookAdd_0" << "4,5" << "宋词选" << true
                                      << "?:念奴娇·赤壁怀古：归档目录[宋词选]，确定 ？|i:当前诗词：<目录归档>操作完毕！"
                                      << "4" << "1,2,3";
        QTest::newRow("file all, moving poems from another book") << "mnuBookAdd_1" << "2,3,4" << "宋词选" << true
                                                                  << fileAll + fileAllDone << "2,3,4" << "1";
        QTest::newRow("file all, the same poem twice") << "mnuBookAdd_1" << "4,5+4" << "宋词选" << true
                                                       << fileAll + fileAllDone << "4,5" << "1,2,3";
        QTest::newRow("file cancelled") << "mnuBookAdd_1" << "4,5" << "宋词选" << false << fileAll << "" << "1,2,3";
        QTest::newRow("file, empty list") << "mnuBookAdd_0" << "" << "宋词选" << true << "!:请选定归档诗词！" << ""
                                          << "1,2,3";
        QTest::newRow("file, whole collection chosen") << "mnuBookAdd_1" << "4,5" << "蓝溪诗汇" << true
                                                       << "!:请选定归档目录！" << "" << "1,2,3";
        QTest::newRow("unfile current") << "mnuBookDel_0" << "2,3" << "宋词选" << true
                                        << "?:早发白帝城：取消归档，确定 ？|i:当前诗词：<取消归档>操作完毕！" << ""
                                        << "1,3";
        QTest::newRow("unfile all, whatever the combo shows")
            << "mnuBookDel_1" << "1,3,4" << "蓝溪诗汇" << true
            << "?:所有选入诗词：取消归档，确定 ？|i:所有选入诗词：<取消归档>操作完毕！" << "" << "2";
        QTest::newRow("unfile cancelled") << "mnuBookDel_0" << "1" << "" << false << "?:静夜思：取消归档，确定 ？" << ""
                                          << "1,2,3";
        QTest::newRow("unfile, empty list") << "mnuBookDel_1" << "" << "" << true << "!:请选定取消归档的诗词！" << ""
                                            << "1,2,3";
        QTest::newRow("empty a book") << u"mnuBookDelAll"_s << u""_s << u"唐诗选"_s << true << emptyTang + u"|i:清空目录操作完毕！"_s
                                      << "" << "";
        QTest::newRow("empty cancelled") << "mnuBookDelAll" << "4" << "唐诗选" << false << emptyTang << "" << "1,2,3";
        QTest::newRow("empty, no such book") << "mnuBookDelAll" << "4" << "唐诗" << true << "!:请选定清空目录！" << ""
                                             << "1,2,3";
    }
    void filingPoems() {
        QFETCH(QString, command);
        QFETCH(QString, listed);
        QFETCH(QString, book);
        QFETCH(bool, answer);
        QFETCH(QString, messages);
        QFETCH(QString, inSongBook);
        QFETCH(QString, inTangBook);
        auto w = start();
        listPoems(*w, listed);
        w->ui.cboBook->setEditText(book);
        dialogs.answers = {answer};
        QVERIFY(triggerEnabled(w->findChild<QAction*>(command)));
        QCOMPARE(said(), messages);
        QCOMPARE(filed(*fx, 2), inSongBook);
        QCOMPARE(filed(*fx, 1), inTangBook);
        // Books and poems stay whatever is filed or emptied.
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM PoetBook")), 4);
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
        QCOMPARE(dialogs.marked(), (QStringList{u"?:唐诗选：目录删除，确定？"_s,
                                                u"!:目录删除操作失败，未作任何修改！\n\nlocked row"_s,
                                                u"?:[唐诗选]：清空该目录的所有诗词（原诗词保留），确定 ？"_s,
                                                u"!:清空目录操作失败，未作任何修改！\n\nlocked row"_s,
                                                u"?:所有选入诗词：取消归档，确定 ？"_s,
                                                u"!:取消归档操作失败，未作任何修改！\n\nlocked row"_s,
                                                u"?:所有选入诗词：归档目录[宋词选]，确定 ？"_s,
                                                u"!:目录归档操作失败，未作任何修改！\n\nlocked row"_s}));
        // The book is still there, with every poem it held.
        QCOMPARE(items(w->ui.cboBook), (QStringList{u"蓝溪诗汇"_s, u"宋词选"_s, u"唐诗选"_s}));
        QCOMPARE(filed(*fx, 1), QStringLiteral("1,2,3"));
        QCOMPARE(filed(*fx, 2), QString());
    }

    // ---- The book list dialog ----

    void dialogMovesBooks_data() {
        // Books A, B, C, D selected, E, F paused. Each step: "<list>:<row>" chooses
        // (row -1 chooses nothing), a button name presses it, "dbl1"/"dbl2"
        // double-clicks the chosen entry of List1/List2.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("paused");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("pausedChosen");
        QTest::addColumn<int>("selectedChosen");
        QTest::newRow("after the third selected entry") << QStringList{u"2:2"_s, u"1:0"_s, u"cmdSelect"_s} << u"F"_s << u"ABCED"_s << 0 << 3;
        QTest::newRow("to the top when nothing is chosen") << QStringList{u"2:-1"_s, u"1:1"_s, u"cmdSelect"_s} << u"E"_s << u"FABCD"_s << 0 << 0;
        QTest::newRow("last entry moved, the one before is chosen") << QStringList{u"1:-1"_s, u"2:3"_s, u"cmdunSelect"_s} << u"DEF"_s
                                                                    << "ABC" << 0 << 2;
        QTest::newRow("only entry moved, nothing is chosen") << QStringList{u"1:1"_s, u"cmdSelect"_s, u"1:0"_s, u"cmdSelect"_s} << u""_s
                                                             << "FEABCD" << -1 << 1;
        QTest::newRow("nothing chosen, nothing moves") << QStringList{u"1:-1"_s, u"2:-1"_s, u"cmdSelect"_s, u"cmdunSelect"_s} << u"EF"_s
                                                       << "ABCD" << -1 << -1;
        QTest::newRow("double clicks") << QStringList{u"2:0"_s, u"dbl2"_s, u"1:2"_s, u"dbl1"_s} << u"AE"_s << u"BFCD"_s << 1 << 1;
        QTest::newRow("all selected") << QStringList{u"cmdSelectAll"_s} << u""_s << u"ABCDEF"_s << -1 << -1;
        QTest::newRow("all paused") << QStringList{u"cmdunSelectAll"_s} << u"EFABCD"_s << u""_s << -1 << -1;
    }
    void dialogMovesBooks() {
        QFETCH(QStringList, steps);
        QFETCH(QString, paused);
        QFETCH(QString, selected);
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
                (step.startsWith(u'1') ? d.List1 : d.List2)->setCurrentRow(step.section(u':', 1).toInt());
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
        QCOMPARE(listItems(d.List1).join(QString()), paused);
        QCOMPARE(listItems(d.List2).join(QString()), selected);
        QCOMPARE(BookListDialog::chosenRow(d.List1), pausedChosen);
        QCOMPARE(BookListDialog::chosenRow(d.List2), selectedChosen);
        // Moves write nothing before OK.
        QCOMPARE(bookRows(*fx), (QStringList{u"A:0:1"_s, u"B:1:1"_s, u"C:2:1"_s, u"D:3:1"_s, u"E:4:0"_s, u"F:5:"_s}));
    }

    void dialogOkWritesOrderAndSelection() {
        fx->db().execNative(QStringLiteral("DELETE FROM PoetBook"));
        fx->db().execNative(QStringLiteral(
            "INSERT INTO PoetBook (fBook,fBookOrderID,fBookSelected) VALUES ('A',0,1),('B',1,NULL),('C',2,1)"));
        auto w = start();
        QStringList comboAtStart = items(w->ui.cboBook);
        // Driven through the menu while the dialog runs modally.
        bool modal = false;
        w->books->beforeBookListShown = [&](BookListDialog& d) {
            // Never left hanging, whatever happens below.
            QTimer::singleShot(10000, &d, &QDialog::reject);
            QTimer::singleShot(0, &d, [&] {
                modal = d.isModal() && d.isVisible();
                // [A, C] | [B]  ->  [B, A] | [C]
                d.List2->setCurrentRow(1); // C
                d.cmdunSelect->click();
                d.List1->setCurrentRow(1); // B, below C now
                d.List2->setCurrentRow(-1);
                d.cmdSelect->click();
                d.cmdOk->click();
            });
        };
        QVERIFY(triggerEnabled(*w, "mnuBookOrder"));
        QVERIFY(modal);
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(bookRows(*fx), (QStringList{u"B:0:1"_s, u"A:1:1"_s, u"C:2:0"_s}));
        // The combo follows from the next start only.
        QCOMPARE(items(w->ui.cboBook), comboAtStart);
    }

    void dialogOkWithNothingSelected() {
        auto w = start();
        BookListDialog d(w->store().db(), dialogs, w.get());
        d.show();
        d.cmdunSelectAll->click();
        dialogs.answers = {false, true};
        d.cmdOk->click();
        QCOMPARE(said(), QStringLiteral("?:系统未有选入目录！ @【目录】排序"));
        QVERIFY(d.isVisible());
        QCOMPARE(bookRows(*fx), kSampleBooks);
        d.cmdOk->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(bookRows(*fx), (QStringList{u"隐藏:0:0"_s, u"宋词选:1:0"_s, u"唐诗选:2:0"_s, u":3:0"_s}));
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
        QCOMPARE(said(), QStringLiteral("!:目录排序操作失败，未作任何修改！\n\nread only book @【目录】排序"));
        QVERIFY(d.isVisible());
        QCOMPARE(bookRows(*fx), kSampleBooks);
    }

    void dialogCancelWritesNothingButKeepsARename() {
        auto w = start();
        BookListDialog d(w->store().db(), dialogs, w.get());
        d.show();
        // Ticked, the dialog grows to show the rename frame.
        QVERIFY(d.Text2->mapTo(&d, QPoint(0, d.Text2->height())).y() > d.height());
        d.chkNameChg->setChecked(true);
        QVERIFY(d.Text2->isEnabled());
        QVERIFY(d.Text2->mapTo(&d, QPoint(0, d.Text2->height())).y() <= d.height());
        // An empty entry leaves the frame as it was.
        d.List2->setCurrentRow(1);
        d.List2->setCurrentRow(2);
        QCOMPARE(d.Text2->text(), QStringLiteral("唐诗选"));
        QVERIFY(!d.cmdNameChg->isEnabled());
        d.List2->setCurrentRow(1);
        // Names in use, and blank names, are refused.
        for (const char* name : {"隐藏", "蓝溪诗汇", "   "}) {
            d.Text2->setText(QString::fromUtf8(name));
            d.cmdNameChg->click();
        }
        QCOMPARE(said(), QStringLiteral("!:该目录名已有存在！ @【目录】排序|!:该目录名已有存在！ @【目录】排序"));
        QCOMPARE(listItems(d.List2), (QStringList{u"宋词选"_s, u"唐诗选"_s, u""_s}));
        // A free name with a quote: written at once, the entry follows.
        d.Text2->setText(QStringLiteral("唐人's诗"));
        d.cmdNameChg->click();
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(listItems(d.List2), (QStringList{u"宋词选"_s, u"唐人's诗"_s, u""_s}));
        // Moving the books around and cancelling: only the rename stays.
        d.cmdunSelectAll->click();
        d.cmdCancel->click();
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(bookRows(*fx), (QStringList{u"宋词选:0:1"_s, u"唐人's诗:1:1"_s, u"隐藏:2:0"_s, u":3:1"_s}));
    }

    void dialogRenamesAPausedBook() {
        auto w = start();
        BookListDialog d(w->store().db(), dialogs, w.get());
        d.show();
        d.chkNameChg->setChecked(true);
        d.List1->setCurrentRow(0);
        // A change of Latin case alone is a rename of the same book.
        for (const char* name : {"Hidden", "HIDDEN"}) {
            d.Text2->setText(QString::fromUtf8(name));
            d.cmdNameChg->click();
        }
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(listItems(d.List1), QStringList{u"HIDDEN"_s});
        QCOMPARE(fx->text(QStringLiteral("SELECT fBook FROM PoetBook WHERE fBookID=3")), QStringLiteral("HIDDEN"));
    }

    void dialogOnAnEmptyTableCanOnlyBeCancelled() {
        fx->db().execNative(QStringLiteral("DELETE FROM PoetBook"));
        auto w = start();
        BookListDialog d(w->store().db(), dialogs, w.get());
        QVERIFY(!d.cmdOk->isEnabled() && d.cmdCancel->isEnabled());
        d.cmdSelectAll->click();
        QCOMPARE(d.List2->count(), 0);
    }
};

QTEST_MAIN(BooksTest)
#include "books_test.moc"
