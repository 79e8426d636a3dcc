// Books through the real widgets: adding and renaming in the book combo, the
// book menu (delete, file, unfile, empty) and the book list dialog, checked
// against the rows of PoetBook and Poetry afterwards.
#include "books/bookcontroller.h"
#include "books/booklistdialog.h"
#include "browse/titlelistview.h"
#include "support/windowtest.h"

#include <QListWidget>

namespace {

// messages: every message, marked by its icon, "|"-joined; refusal: an error the store raises on insert.
struct Adding { QString typed; bool answer, byEnter; QString messages; bool stored; QString refusal = {}; };
// entries, rows: the combo's entries and bookRows afterwards; before: a statement run before the rename.
struct Renaming { int entry; QString typed; bool answer; QString messages, entries, rows, before = {}; };
// book: the entry chosen, or else the text typed in the combo; listed: poem ids in the title list;
// inSongBook, inTangBook: poems filed in 宋词选 (book 2) and 唐诗选 (book 1)
// afterwards ("-": book deleted).
struct BookCommand { QString command, book, listed; bool answer; QString messages, inSongBook, inTangBook; };
// steps: "<list>:<row>" chooses (-1: nothing), "dbl<list>" double-clicks the chosen entry, else a
// button is pressed; written: bookRows after OK, when pressed.
struct Moves { QStringList steps; QString paused, selected; int pausedChosen, selectedChosen; QString written = {}; };

QString joined(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out.join(u',');
}

// Name, order and selection of every book, by order then id: "name:order:selected,...".
QString bookRows(FixtureDb& fx) {
    return fx.text(QStringLiteral("SELECT ifnull(group_concat(r),'') FROM (SELECT ifnull(fBook,'')||':'||fBookOrderID||':'||"
                                  "ifnull(fBookSelected,'') AS r FROM PoetBook ORDER BY fBookOrderID, fBookID)"));
}

// The poems filed in a book, by id: "1,2,3".
QString filed(FixtureDb& fx, int bookId) {
    return fx.text(QStringLiteral("SELECT ifnull(group_concat(fPoemID),'') FROM "
                                  "(SELECT fPoemID FROM Poetry WHERE fBookID=%1 ORDER BY fPoemID)").arg(bookId));
}

// PoetBook of the sample, as bookRows reads it, and the combo's entries.
const QString kSampleBooks = u"宋词选:0:1,唐诗选:1:1,隐藏:2:0,:3:1"_s;
const QStringList kEntries = {u"蓝溪诗汇"_s, u"宋词选"_s, u"唐诗选"_s};

} // namespace

class BooksTest : public WindowTest {
    Q_OBJECT

    // Fills the title list with the given poems (ids, ","-separated) in id order.
    static void listPoems(MainWindow& w, const QString& ids) {
        w.FillTitleList(u" Where a.fPoemID in (0"_s + (ids.isEmpty() ? u""_s : u","_s) + ids + u")"_s, u"a.fPoemID"_s, u"0"_s);
    }
    QString said() const { return dialogs.marked().join(u'|'); }

private slots:
    // ---- Adding and renaming a book in the combo ----

    void addingABook() {
        const QString ask = u"?:边塞诗：目录新增，确定？"_s;
        const Adding cases[] = {
            {u"边塞诗"_s, true, true, ask, true},   // by Enter
            {u"边塞诗"_s, true, false, ask, true},  // by moving the focus
            {u"边塞诗"_s, false, true, ask, false}, // cancelled
            // Blanks are part of the typed name.
            {u"  山水 "_s, true, true, u"?:  山水 ：目录新增，确定？"_s, true},
            {QString(200, u'诗'), true, true, u"?:"_s + QString(200, u'诗') + u"：目录新增，确定？"_s, true},
            {u""_s, true, true, u""_s, false},
            {u"唐诗选"_s, true, true, u"!:唐诗选：该目录已经存在，无法新增！"_s, false},
            {u"蓝溪诗汇"_s, true, true, u"!:蓝溪诗汇：该目录已经存在，无法新增！"_s, false}, // the whole collection
            // Refused by the store.
            {u"边塞诗"_s, true, true, ask + u"|!:目录新增操作失败，未作任何修改！\n\ndisk full"_s, false, u"disk full"_s}};
        for (const Adding& c : cases) {
            freshFixture();
            if (!c.refusal.isEmpty())
                fx->db().execNative(u"CREATE TRIGGER refuse BEFORE INSERT ON PoetBook BEGIN SELECT RAISE(ABORT,'"_s +
                                    c.refusal + u"'); END"_s);
            auto w = startActive();
            QVERIFY(w);
            QComboBox* cb = w->ui.cboBook;
            const QStringList listed = titles(*w);
            dialogs.answers = {c.answer};
            QVERIFY(triggerEnabled(*w, "mnuVolAdd"));
            QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[目录新增]"));
            QVERIFY(cb->hasFocus() && cb->currentText().isEmpty());
            typeText(cb, c.typed);
            if (c.byEnter) QTest::keyClick(cb, Qt::Key_Return);
            else w->ui.lstTitle->setFocus();
            // Leaving the combo always ends the typing; only a stored book is offered in the combo.
            QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[查询]"));
            QCOMPARE(items(cb), kEntries + (c.stored ? QStringList{c.typed} : QStringList{}));
            // A name typed without arming the add is no new book.
            typeText(cb, QStringLiteral("新名"));
            QTest::keyClick(cb, Qt::Key_Return);
            QCOMPARE(said(), c.messages);
            // Typing a name never lists a book; a new book is selected, and first in order
            // until the book list dialog renumbers.
            QCOMPARE(titles(*w), listed);
            QCOMPARE(bookRows(*fx), c.stored ? u"宋词选:0:1,"_s + c.typed + u":0:1,唐诗选:1:1,隐藏:2:0,:3:1"_s : kSampleBooks);
        }
    }

    void renamingABook() {
        const QString entries = kEntries.join(u','), rows = kSampleBooks, ask = u"?:唐诗选：目录修改为“唐诗精选”，确定？"_s;
        const Renaming cases[] = {
            {2, u"唐诗精选"_s, true, ask, u"蓝溪诗汇,宋词选,唐诗精选"_s, u"宋词选:0:1,唐诗精选:1:1,隐藏:2:0,:3:1"_s},
            {1, u" 宋's词 "_s, true, u"?:宋词选：目录修改为“ 宋's词 ”，确定？"_s, u"蓝溪诗汇, 宋's词 ,唐诗选"_s,
             u" 宋's词 :0:1,唐诗选:1:1,隐藏:2:0,:3:1"_s},
            {2, u"唐诗精选"_s, false, ask, entries, rows}, // cancelled
            {2, u"唐诗选"_s, true, {}, entries, rows},      // unchanged
            {2, {}, true, {}, entries, rows},               // emptied
            {2, u"隐藏"_s, true, u"!:隐藏：该目录已经存在，修改取消！"_s, entries, rows},
            // Entry 0 is the whole collection: its new text shows until the next
            // start, and no book changes (not even one carrying the product name).
            {0, u"全部"_s, true, u"?:蓝溪诗汇：目录修改为“全部”，确定？"_s, u"全部,宋词选,唐诗选"_s, rows + u",蓝溪诗汇:9:0"_s,
             u"INSERT INTO PoetBook (fBook,fBookOrderID,fBookSelected) VALUES ('蓝溪诗汇',9,0)"_s},
            // Renamed meanwhile in the book list dialog: the combo keeps what it shows.
            {2, u"唐诗精选"_s, true, ask + u"|!:唐诗选：该目录已不存在，修改取消！"_s, entries,
             u"宋词选:0:1,别名:1:1,隐藏:2:0,:3:1"_s, u"UPDATE PoetBook SET fBook='别名' WHERE fBookID=1"_s}};
        for (const Renaming& c : cases) {
            freshFixture();
            auto w = startActive();
            QVERIFY(w);
            QComboBox* cb = w->ui.cboBook;
            QVERIFY(chooseInPopup(cb, c.entry));
            if (!c.before.isEmpty()) fx->db().execNative(c.before);
            dialogs.answers = {c.answer};
            QVERIFY(triggerEnabled(*w, "mnuVolChg"));
            QCOMPARE(cb->lineEdit()->selectedText(), cb->itemText(c.entry));
            // Typing replaces the selected name.
            if (c.typed.isEmpty()) cb->lineEdit()->del();
            else typeText(cb, c.typed);
            QTest::keyClick(cb, Qt::Key_Return);
            QCOMPARE(said(), c.messages);
            QCOMPARE(items(cb).join(u','), c.entries);
            QCOMPARE(bookRows(*fx), c.rows);
        }
    }

    // ---- Choosing, deleting, filing, unfiling, emptying ----

    void choosingTheShownBookAgainListsItAgain() {
        auto w = startActive();
        QVERIFY(w);
        // 唐诗选, another list, then the same entry again: listed again, with a poem filed into it meanwhile.
        QVERIFY(chooseInPopup(w->ui.cboBook, 2));
        listPoems(*w, QStringLiteral("8"));
        dialogs.answers = {true};
        QVERIFY(triggerEnabled(*w, "mnuBookAdd_0"));
        QVERIFY(chooseInPopup(w->ui.cboBook, 2));
        QCOMPARE(titles(*w), (QStringList{u"早发白帝城"_s, u"春望"_s, u"登高"_s, u"静夜思"_s}));
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[书籍目录]"));
    }

    void bookMenu() {
        const QString file0 = u"mnuBookAdd_0"_s, file1 = u"mnuBookAdd_1"_s, unfile0 = u"mnuBookDel_0"_s, unfile1 = u"mnuBookDel_1"_s;
        const QString empty = u"mnuBookDelAll"_s, del = u"mnuVolDel"_s, song = u"宋词选"_s, tang = u"唐诗选"_s, whole = u"蓝溪诗汇"_s;
        const QString fileAll = u"?:所有选入诗词：归档目录[宋词选]，确定 ？"_s, fileAllDone = u"|i:所有选入诗词：<目录归档>操作完毕！"_s;
        const QString emptyTang = u"?:[唐诗选]：清空该目录的所有诗词（原诗词保留），确定 ？"_s, deleteTang = u"?:唐诗选：目录删除，确定？"_s, inTang = u"1,2,3"_s;
        const BookCommand cases[] = {
            {file0, song, u"4,5"_s, true, u"?:念奴娇·赤壁怀古：归档目录[宋词选]，确定 ？|i:当前诗词：<目录归档>操作完毕！"_s, u"4"_s, inTang},
            {file1, song, u"2,3,4"_s, true, fileAll + fileAllDone, u"2,3,4"_s, u"1"_s}, // moved from another book
            {file1, song, u"4,5"_s, false, fileAll, {}, inTang},
            {file0, song, {}, true, u"!:请选定归档诗词！"_s, {}, inTang},
            {file1, whole, u"4,5"_s, true, u"!:请选定归档目录！"_s, {}, inTang},
            {unfile0, song, u"2,3"_s, true, u"?:早发白帝城：取消归档，确定 ？|i:当前诗词：<取消归档>操作完毕！"_s, {}, u"1,3"_s},
            // Unfiling all, whatever the combo shows.
            {unfile1, whole, u"1,3,4"_s, true, u"?:所有选入诗词：取消归档，确定 ？|i:所有选入诗词：<取消归档>操作完毕！"_s, {}, u"2"_s},
            {unfile1, {}, {}, true, u"!:请选定取消归档的诗词！"_s, {}, inTang},
            {empty, tang, {}, true, emptyTang + u"|i:清空目录操作完毕！"_s, {}, {}},
            {empty, u"唐诗"_s, u"4"_s, true, u"!:请选定清空目录！"_s, {}, inTang},
            // Its poems are unfiled and kept; no other book is listed in its place.
            {del, tang, u"4"_s, true, deleteTang, {}, u"-"_s},
            {del, tang, u"4"_s, false, deleteTang, {}, inTang},
            // Asked, but the whole collection is no book: nothing deleted.
            {del, whole, u"4"_s, true, u"?:蓝溪诗汇：目录删除，确定？"_s, {}, inTang}};
        for (const BookCommand& c : cases) {
            freshFixture();
            // A book carrying the product name, holding poem 9, is never reached through entry 0.
            fx->db().execNative(u"INSERT INTO PoetBook (fBookID,fBook,fBookOrderID,fBookSelected) VALUES (5,'蓝溪诗汇',9,0)"_s);
            fx->db().execNative(u"UPDATE Poetry SET fBookID=5 WHERE fPoemID=9"_s);
            auto w = start();
            QComboBox* cb = w->ui.cboBook;
            if (cb->findText(c.book) >= 0) cb->setCurrentIndex(cb->findText(c.book));
            else cb->setEditText(c.book);
            listPoems(*w, c.listed);
            const QStringList shown = titles(*w);
            dialogs.answers = {c.answer};
            QVERIFY(triggerEnabled(w->findChild<QAction*>(c.command)));
            QCOMPARE(said(), c.messages);
            const bool deleted = c.inTangBook == u"-";
            QCOMPARE(filed(*fx, 2), c.inSongBook);
            QCOMPARE(filed(*fx, 1), deleted ? QString() : c.inTangBook);
            QCOMPARE(filed(*fx, 5), QStringLiteral("9"));
            QCOMPARE(titles(*w), shown);
            // Poems stay whatever is filed, emptied or deleted; only a deleted book goes.
            QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM Poetry")), 9);
            QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM PoetBook")), deleted ? 4 : 5);
            QCOMPARE(items(cb), deleted ? kEntries.first(2) : kEntries);
        }
    }

    // ---- The book list dialog ----

    void dialogMovesBooks() {
        // Books A, B, C, D selected, E, F paused (F with no flag). A moved entry goes after the chosen
        // one (to the top when none is), and the next entry, else the one before, is chosen.
        const Moves cases[] = {
            {{u"2:2"_s, u"1:0"_s, u"cmdSelect"_s}, u"F"_s, u"A,B,C,E,D"_s, 0, 3},
            {{u"2:-1"_s, u"1:1"_s, u"cmdSelect"_s}, u"E"_s, u"F,A,B,C,D"_s, 0, 0},
            {{u"1:-1"_s, u"2:3"_s, u"cmdunSelect"_s}, u"D,E,F"_s, u"A,B,C"_s, 0, 2},
            {{u"1:1"_s, u"cmdSelect"_s, u"1:0"_s, u"cmdSelect"_s}, u""_s, u"F,E,A,B,C,D"_s, -1, 1}, // the only entry
            {{u"1:-1"_s, u"2:-1"_s, u"cmdSelect"_s, u"cmdunSelect"_s}, u"E,F"_s, u"A,B,C,D"_s, -1, -1}, // none chosen
            {{u"2:0"_s, u"dbl2"_s, u"1:2"_s, u"dbl1"_s}, u"A,E"_s, u"B,F,C,D"_s, 1, 1},
            {{u"cmdSelectAll"_s}, u""_s, u"A,B,C,D,E,F"_s, -1, -1},
            {{u"cmdunSelectAll"_s}, u"E,F,A,B,C,D"_s, u""_s, -1, -1},
            // OK numbers the selected books, then the paused ones.
            {{u"1:-1"_s, u"2:3"_s, u"cmdunSelect"_s, u"1:2"_s, u"cmdSelect"_s, u"cmdOk"_s}, u"D,E"_s, u"A,B,C,F"_s, 1, 3,
             u"A:0:1,B:1:1,C:2:1,F:3:1,D:4:0,E:5:0"_s}};
        for (const Moves& c : cases) {
            freshFixture();
            fx->db().execNative(QStringLiteral("DELETE FROM PoetBook"));
            fx->db().execNative(QStringLiteral("INSERT INTO PoetBook (fBook,fBookOrderID,fBookSelected) VALUES "
                                               "('A',0,1),('B',1,1),('C',2,1),('D',3,1),('E',4,0),('F',5,NULL)"));
            auto w = start();
            const QStringList combo = items(w->ui.cboBook);
            BookListDialog d(w->store().db(), dialogs, w.get());
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            for (const QString& step : c.steps) {
                QListWidget* list = step.contains(u'1') ? d.List1 : d.List2;
                if (step.contains(u':')) {
                    list->setCurrentRow(step.section(u':', 1).toInt());
                } else if (step.startsWith(u"dbl")) {
                    QVERIFY(list->currentItem());
                    const QPoint at = list->visualItemRect(list->currentItem()).center();
                    // A double click begins with a click.
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
                    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
                } else {
                    d.findChild<QPushButton*>(step)->click();
                }
            }
            QCOMPARE(joined(d.List1), c.paused);
            QCOMPARE(joined(d.List2), c.selected);
            QCOMPARE(BookListDialog::chosenRow(d.List1), c.pausedChosen);
            QCOMPARE(BookListDialog::chosenRow(d.List2), c.selectedChosen);
            // Moves write nothing before OK; the combo follows from the next start only.
            QCOMPARE(bookRows(*fx), c.written.isEmpty() ? u"A:0:1,B:1:1,C:2:1,D:3:1,E:4:0,F:5:"_s : c.written);
            QCOMPARE(d.result(), c.written.isEmpty() ? int(QDialog::Rejected) : int(QDialog::Accepted));
            QCOMPARE(items(w->ui.cboBook), combo);
            QVERIFY(dialogs.messages.isEmpty());
        }
    }

    // Renames are written at once, whatever OK or Cancel; OK with nothing selected asks first.
    void dialogRenamesAtOnce() {
        auto w = start();
        BookListDialog d(w->store().db(), dialogs, w.get());
        d.show();
        d.chkNameChg->setChecked(true);
        QVERIFY(d.Text2->isEnabled());
        // An empty entry leaves the frame as it was.
        d.List2->setCurrentRow(1);
        d.List2->setCurrentRow(2);
        QCOMPARE(d.Text2->text(), QStringLiteral("唐诗选"));
        QVERIFY(!d.cmdNameChg->isEnabled());
        d.List2->setCurrentRow(1);
        // Names in use, and blank names, are refused; a free name with a quote is taken.
        for (const char* name : {"隐藏", "蓝溪诗汇", "   ", "唐人's诗"}) {
            d.Text2->setText(QString::fromUtf8(name));
            d.cmdNameChg->click();
        }
        const QString refused = u"!:该目录名已有存在！ @【目录】排序|!:该目录名已有存在！ @【目录】排序"_s;
        QCOMPARE(said(), refused);
        QCOMPARE(joined(d.List2), QStringLiteral("宋词选,唐人's诗,"));
        // Moving the books around and cancelling: only the renames stay.
        d.cmdunSelectAll->click();
        d.cmdCancel->click();
        const QString renamed = u"宋词选:0:1,唐人's诗:1:1,隐藏:2:0,:3:1"_s;
        QCOMPARE(bookRows(*fx), renamed);
        BookListDialog again(w->store().db(), dialogs, w.get());
        again.show();
        again.cmdunSelectAll->click();
        dialogs.answers = {false, true};
        again.cmdOk->click();
        QCOMPARE(said(), refused + u"|?:系统未有选入目录！ @【目录】排序"_s);
        QVERIFY(again.isVisible());
        QCOMPARE(bookRows(*fx), renamed);
        again.cmdOk->click();
        QCOMPARE(again.result(), int(QDialog::Accepted));
        QCOMPARE(bookRows(*fx), u"隐藏:0:0,宋词选:1:0,唐人's诗:2:0,:3:0"_s);
    }
};

QTEST_MAIN(BooksTest)
#include "books_test.moc"
