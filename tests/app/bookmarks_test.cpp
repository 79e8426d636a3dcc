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

    // Each command on a fresh file: the poem ids listed ("+": then appended), the only bookmark's
    // number, on poem 6 (-1: the sample's 1:5 and 4:3), the information shown, the bookmarks afterwards.
    void commands() {
        const QString all = u"i:所有选入诗词（选入 3题）：书签插入完毕!"_s;
        const struct { QString command, listed; int highest; QString message, marks; } cases[] = {
            {u"mnuBookmarkAdd_1"_s, u"2,3,8"_s, 7, all, u"2:8,3:9,6:7,8:10"_s},
            {u"mnuBookmarkAdd_0"_s, u"2,3,8"_s, 7, u"i:早发白帝城：书签插入完毕!"_s, u"2:8,6:7"_s},
            {u"cmdBookmarkAdd"_s, u"3,8"_s, 7, u"i:春望：书签插入完毕!"_s, u"3:8,6:7"_s},
            {u"mnuBookmarkAdd_1"_s, u"2,3+2"_s, 7, all, u"2:10,3:9,6:7"_s}, // the same poem twice: the later number
            {u"mnuBookmarkAdd_1"_s, u""_s, 7, u""_s, u"6:7"_s},
            {u"mnuBookmarkDel_0"_s, u"1,4"_s, -1, u"i:静夜思：书签删除完毕!"_s, u"4:3"_s},
            {u"cmdBookmarkDel"_s, u"4"_s, -1, u"i:念奴娇·赤壁怀古：书签删除完毕!"_s, u"1:5"_s},
            {u"mnuBookmarkDel_1"_s, u"1,2,4"_s, -1, u"i:所有选入诗词：书签删除完毕!"_s, u""_s},
            {u"mnuBookmarkDel_0"_s, u"2"_s, -1, u"i:早发白帝城：书签删除完毕!"_s, u"1:5,4:3"_s},
            {u"mnuBookmarkDel_1"_s, u""_s, -1, u""_s, u"1:5,4:3"_s},
            {u"mnuBookmarkDelAll"_s, u"2"_s, -1, u"i:所有书签删除完毕!"_s, u""_s},
            {u"mnuBookmarkDelAll"_s, u""_s, -1, u""_s, u"1:5,4:3"_s}};
        for (const auto& c : cases) {
            freshFixture();
            if (c.highest >= 0) fx->db().execNative(u"UPDATE Poetry SET fBookmark=(fPoemID=6)*%1"_s.arg(c.highest));
            auto w = start();
            listPoems(*w, c.listed);
            QVERIFY2(press(*w, c.command), qPrintable(c.command));
            QCOMPARE(dialogs.marked().join(u'|'), c.message);
            QCOMPARE(bookmarks(*fx), c.marks);
        }
    }
};

QTEST_MAIN(BookmarksTest)
#include "bookmarks_test.moc"
