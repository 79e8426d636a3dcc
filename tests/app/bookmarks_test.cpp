// Bookmarks through the real widgets: the bookmark query, inserting and
// deleting bookmarks for the current poem or every listed poem, clearing them,
// checked against fBookmark of Poetry afterwards.
#include "search/bookmarkcontroller.h"
#include "support/windowtest.h"

namespace {

// Every bookmark by poem id: "1:5,4:3".
QString bookmarks(FixtureDb& fx) {
    return fx.text(QStringLiteral("SELECT ifnull(group_concat(fPoemID||':'||fBookmark),'') FROM "
                                  "(SELECT fPoemID, fBookmark FROM Poetry WHERE fBookmark<>0 ORDER BY fPoemID)"));
}

// Replacing fill with the poems of `ids` in id order; "+" then an appending fill.
void listPoems(MainWindow& w, const QString& ids) {
    const QStringList parts = ids.split(u'+');
    for (int i = 0; i < parts.size(); ++i)
        w.FillTitleList(QStringLiteral(" Where a.fPoemID in (%1)").arg(parts[i].isEmpty() ? u"0"_s : parts[i]),
                        QStringLiteral("a.fPoemID"), i > 0 ? u"1"_s : u"0"_s);
}

} // namespace

class BookmarksTest : public WindowTest {
    Q_OBJECT

    // Presses a toolbar button or triggers a menu entry by name, as a user can:
    // only when it is there and enabled.
    static bool press(MainWindow& w, const QString& name) {
        auto* button = w.findChild<QToolButton*>(name);
        if (!button) return triggerEnabled(w.findChild<QAction*>(name));
        if (!button->isEnabled()) return false;
        button->click();
        return true;
    }

private slots:
    void queryListsNewestFirst() {
        // A negative number is no bookmark.
        fx->db().execNative(QStringLiteral("UPDATE Poetry SET fBookmark=-2 WHERE fPoemID=7"));
        auto w = start();
        w->ui.cmdBmkSeek->click();
        QCOMPARE(titles(*w), (QStringList{u"静夜思"_s, u"念奴娇·赤壁怀古"_s}));
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[书签查询]"));
        // The menu entry does the same, and works while the database is locked.
        QVERIFY(triggerEnabled(*w, "mnuToolLock"));
        listPoems(*w, QStringLiteral("2"));
        QVERIFY(triggerEnabled(*w, "mnuBmkSeek"));
        QCOMPARE(titles(*w), (QStringList{u"静夜思"_s, u"念奴娇·赤壁怀古"_s}));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void commands_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("listed");  // poem ids in the title list ("+": then appended)
        QTest::addColumn<int>("highest");     // the only bookmark, on poem 6; -1: the sample's 1:5 and 4:3
        QTest::addColumn<QString>("message"); // an information message, if any
        QTest::addColumn<QString>("marks");   // bookmarks afterwards
        const QString all = QStringLiteral("i:所有选入诗词（选入 3题）：书签插入完毕!");
        QTest::newRow("insert all listed") << "mnuBookmarkAdd_1" << "2,3,8" << 7 << all << "2:8,3:9,6:7,8:10";
        QTest::newRow("insert current") << "mnuBookmarkAdd_0" << "2,3,8" << 7 << "i:早发白帝城：书签插入完毕!" << "2:8,6:7";
        QTest::newRow("insert, toolbar") << "cmdBookmarkAdd" << "3,8" << 7 << "i:春望：书签插入完毕!" << "3:8,6:7";
        QTest::newRow("first bookmark") << "mnuBookmarkAdd_0" << "5" << 0 << "i:水调歌头：书签插入完毕!" << "5:1";
        QTest::newRow("re-bookmarking moves to the top") << "mnuBookmarkAdd_0" << "6" << 7 << "i:无题：书签插入完毕!" << "6:8";
        QTest::newRow("the same poem twice keeps the later number") << "mnuBookmarkAdd_1" << "2,3+2" << 7 << all
                                                                    << "2:10,3:9,6:7";
        QTest::newRow("insert, empty list") << "mnuBookmarkAdd_1" << "" << 7 << "" << "6:7";
        QTest::newRow("delete current") << "mnuBookmarkDel_0" << "1,4" << -1 << "i:静夜思：书签删除完毕!" << "4:3";
        QTest::newRow("delete, toolbar") << "cmdBookmarkDel" << "4" << -1 << "i:念奴娇·赤壁怀古：书签删除完毕!" << "1:5";
        QTest::newRow("delete all listed") << "mnuBookmarkDel_1" << "1,2,4" << -1 << "i:所有选入诗词：书签删除完毕!" << "";
        QTest::newRow("delete, no bookmark") << "mnuBookmarkDel_0" << "2" << -1 << "i:早发白帝城：书签删除完毕!" << "1:5,4:3";
        QTest::newRow("delete, empty list") << "mnuBookmarkDel_1" << "" << -1 << "" << "1:5,4:3";
        QTest::newRow("clear all") << "mnuBookmarkDelAll" << "2" << -1 << "i:所有书签删除完毕!" << "";
        QTest::newRow("clear all, empty list") << "mnuBookmarkDelAll" << "" << -1 << "" << "1:5,4:3";
    }
    void commands() {
        QFETCH(QString, command);
        QFETCH(QString, listed);
        QFETCH(int, highest);
        QFETCH(QString, message);
        QFETCH(QString, marks);
        if (highest >= 0) fx->db().execNative(QStringLiteral("UPDATE Poetry SET fBookmark=(fPoemID=6)*%1").arg(highest));
        auto w = start();
        listPoems(*w, listed);
        QVERIFY(press(*w, command));
        QCOMPARE(dialogs.marked().join(u'|'), message);
        QCOMPARE(bookmarks(*fx), marks);
    }
};

QTEST_MAIN(BookmarksTest)
#include "bookmarks_test.moc"
