// Bookmarks through the real widgets: the bookmark query, inserting and
// deleting bookmarks for the current poem or every listed poem, clearing them,
// checked against fBookmark of Poetry afterwards.
#include "app/mainwindow.h"
#include "browse/browsecontroller.h"
#include "browse/titlelistmodel.h"
#include "search/bookmarkcontroller.h"
#include "support/scripteddialogs.h"
#include "support/windowtest.h"

#include <QAction>
#include <QLabel>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

using Icon = MessageSink::Icon;

namespace {

// Every bookmark by poem id: "1:5,4:3".
QString bookmarks(FixtureDb& fx) {
    return fx.text(QStringLiteral("SELECT ifnull(group_concat(fPoemID||':'||fBookmark),'') FROM "
                                  "(SELECT fPoemID, fBookmark FROM Poetry WHERE fBookmark<>0 ORDER BY fPoemID)"));
}

// Replacing fill with the poems of `ids` in id order; "+" then an appending fill.
void listPoems(MainWindow& w, const QString& ids) {
    const QStringList parts = ids.split(u'+');
    const auto fill = [&](const QString& part, const char* mode) {
        w.FillTitleList(QStringLiteral(" Where a.fPoemID in (%1)").arg(part.isEmpty() ? QStringLiteral("0") : part),
                        QStringLiteral("a.fPoemID"), QString::fromLatin1(mode));
    };
    fill(parts[0], "0");
    if (parts.size() > 1) fill(parts[1], "1");
}

// Presses a toolbar button or triggers a menu entry by name, as a user can:
// only when it is there and enabled.
bool press(MainWindow& w, const QString& name) {
    if (auto* button = w.findChild<QToolButton*>(name)) {
        if (!button->isEnabled()) return false;
        button->click();
        return true;
    }
    QAction* a = w.findChild<QAction*>(name);
    if (!a || !a->isEnabled()) return false;
    a->trigger();
    return true;
}

} // namespace

class BookmarksTest : public WindowTest {
    Q_OBJECT

    // The sample's bookmarks replaced by one of number `highest` on poem 6 (none when 0).
    void setHighest(int highest) {
        fx->db().execNative(QStringLiteral("UPDATE Poetry SET fBookmark=0"));
        if (highest > 0)
            fx->db().execNative(QStringLiteral("UPDATE Poetry SET fBookmark=%1 WHERE fPoemID=6").arg(highest));
    }

private slots:
    void initTestCase() { redirectSettings(); }
    void init() { freshFixture(); }

    void queryListsNewestFirst() {
        // A negative number is no bookmark.
        fx->db().execNative(QStringLiteral("UPDATE Poetry SET fBookmark=-2 WHERE fPoemID=7"));
        auto w = start();
        w->ui.cmdBmkSeek->click();
        QCOMPARE(titles(*w), (QStringList{u"静夜思"_s, u"念奴娇·赤壁怀古"_s}));
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[书签查询]"));
        QCOMPARE(w->ui.mySelect->text(), QStringLiteral("目前选入：2题 (2首)"));
        QVERIFY(w->ui.cmdBmkSeek->isEnabled());
        QVERIFY(dialogs.messages.isEmpty());
        // The menu entry does the same, and works while the database is locked.
        w->session().setWriteMode(WriteMode::Locked);
        w->UpdateCaption();
        listPoems(*w, QStringLiteral("2"));
        QVERIFY(triggerEnabled(*w, "mnuBmkSeek"));
        QCOMPARE(titles(*w), (QStringList{u"静夜思"_s, u"念奴娇·赤壁怀古"_s}));
    }

    void inserting_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("listed");
        QTest::addColumn<int>("highest");
        QTest::addColumn<QStringList>("messages"); // all information messages
        QTest::addColumn<QString>("marks");        // bookmarks afterwards
        QTest::addColumn<QStringList>("query");    // the bookmark query afterwards

        QTest::newRow("all listed after a highest of 7")
            << "mnuBookmarkAdd_1" << "2,3,8" << 7 << QStringList{u"所有选入诗词（选入 3题）：书签插入完毕!"_s}
            << "2:8,3:9,6:7,8:10" << QStringList{u"登高"_s, u"春望"_s, u"早发白帝城"_s, u"无题"_s};
        QTest::newRow("current poem") << "mnuBookmarkAdd_0" << "2,3,8" << 7
                                      << QStringList{u"早发白帝城：书签插入完毕!"_s} << "2:8,6:7"
                                      << QStringList{u"早发白帝城"_s, u"无题"_s};
        QTest::newRow("toolbar button, current poem") << "cmdBookmarkAdd" << "3,8" << 7
                                                      << QStringList{u"春望：书签插入完毕!"_s} << "3:8,6:7"
                                                      << QStringList{u"春望"_s, u"无题"_s};
        QTest::newRow("first bookmark when there are none")
            << "mnuBookmarkAdd_0" << "5" << 0 << QStringList{u"水调歌头：书签插入完毕!"_s} << "5:1"
            << QStringList{u"水调歌头"_s};
        QTest::newRow("re-bookmarking moves to the top")
            << "mnuBookmarkAdd_0" << "6" << 7 << QStringList{u"无题：书签插入完毕!"_s} << "6:8" << QStringList{u"无题"_s};
        QTest::newRow("the same poem twice keeps the later number")
            << "mnuBookmarkAdd_1" << "2,3+2" << 7 << QStringList{u"所有选入诗词（选入 3题）：书签插入完毕!"_s}
            << "2:10,3:9,6:7" << QStringList{u"早发白帝城"_s, u"春望"_s, u"无题"_s};
        QTest::newRow("empty list") << "mnuBookmarkAdd_1" << "" << 7 << QStringList{} << "6:7" << QStringList{u"无题"_s};
        QTest::newRow("empty list, button") << "cmdBookmarkAdd" << "" << 7 << QStringList{} << "6:7"
                                            << QStringList{u"无题"_s};
    }

    void inserting() {
        QFETCH(QString, command);
        QFETCH(QString, listed);
        QFETCH(int, highest);
        QFETCH(QStringList, messages);
        QFETCH(QString, marks);
        QFETCH(QStringList, query);
        setHighest(highest);
        auto w = start();
        listPoems(*w, listed);
        dialogs.messages.clear();
        QVERIFY(press(*w, command));
        QCOMPARE(dialogs.texts(), messages);
        for (const auto& m : dialogs.messages) {
            QCOMPARE(m.icon, Icon::Information);
            QCOMPARE(m.title, QStringLiteral("澄川软件"));
        }
        QCOMPARE(bookmarks(*fx), marks);
        w->ui.cmdBmkSeek->click();
        QCOMPARE(titles(*w), query);
    }

    void deleting_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("listed");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("marks");

        // The sample marks poem 1 with 5 and poem 4 with 3.
        QTest::newRow("current poem") << "mnuBookmarkDel_0" << "1,4" << QStringList{u"静夜思：书签删除完毕!"_s} << "4:3";
        QTest::newRow("toolbar button") << "cmdBookmarkDel" << "4" << QStringList{u"念奴娇·赤壁怀古：书签删除完毕!"_s}
                                        << "1:5";
        QTest::newRow("all listed, marked or not") << "mnuBookmarkDel_1" << "1,2,4"
                                                   << QStringList{u"所有选入诗词：书签删除完毕!"_s} << "";
        QTest::newRow("a poem without bookmark") << "mnuBookmarkDel_0" << "2" << QStringList{u"早发白帝城：书签删除完毕!"_s}
                                                 << "1:5,4:3";
        QTest::newRow("empty list") << "mnuBookmarkDel_1" << "" << QStringList{} << "1:5,4:3";
        QTest::newRow("clear all") << "mnuBookmarkDelAll" << "2" << QStringList{u"所有书签删除完毕!"_s} << "";
        QTest::newRow("clear all, empty list") << "mnuBookmarkDelAll" << "" << QStringList{} << "1:5,4:3";
    }

    void deleting() {
        QFETCH(QString, command);
        QFETCH(QString, listed);
        QFETCH(QStringList, messages);
        QFETCH(QString, marks);
        auto w = start();
        listPoems(*w, listed);
        dialogs.messages.clear();
        QVERIFY(press(*w, command));
        QCOMPARE(dialogs.texts(), messages);
        for (const auto& m : dialogs.messages) QCOMPARE(m.icon, Icon::Information);
        QCOMPARE(bookmarks(*fx), marks);
    }

    void afterClearingTheQueryIsEmptyAndNumberingRestarts() {
        auto w = start();
        w->ui.cmdBmkSeek->click();
        QCOMPARE(titles(*w).size(), 2);
        QVERIFY(triggerEnabled(*w, "mnuBookmarkDelAll"));
        QCOMPARE(dialogs.texts(), QStringList{u"所有书签删除完毕!"_s});
        // The list shown is not refreshed by the commands.
        QCOMPARE(titles(*w).size(), 2);
        w->ui.cmdBmkSeek->click();
        QCOMPARE(titles(*w), QStringList{});
        // Nothing listed: the insert says nothing and marks nothing.
        w->ui.cmdBookmarkAdd->click();
        QCOMPARE(dialogs.messages.size(), 1);
        listPoems(*w, QStringLiteral("8"));
        w->ui.cmdBookmarkAdd->click();
        QCOMPARE(bookmarks(*fx), QStringLiteral("8:1"));
    }

    void failuresRollBackAndWarn_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("warning");

        QTest::newRow("insert all") << "mnuBookmarkAdd_1" << "插入书签操作失败，未作任何修改！\n\nlocked row";
        QTest::newRow("delete all") << "mnuBookmarkDel_1" << "删除书签操作失败，未作任何修改！\n\nlocked row";
        QTest::newRow("clear all") << "mnuBookmarkDelAll" << "清空书签操作失败，未作任何修改！\n\nlocked row";
    }

    void failuresRollBackAndWarn() {
        QFETCH(QString, command);
        QFETCH(QString, warning);
        fx->db().execNative(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE OF fBookmark ON Poetry "
                                           "WHEN OLD.fPoemID=4 BEGIN SELECT RAISE(ABORT,'locked row'); END"));
        auto w = start();
        // Poem 1 comes before the failing poem 4 and is written first.
        listPoems(*w, QStringLiteral("1,4"));
        dialogs.messages.clear();
        QVERIFY(press(*w, command));
        QCOMPARE(dialogs.marked(), QStringList{u"!:"_s + warning});
        QCOMPARE(bookmarks(*fx), QStringLiteral("1:5,4:3"));
    }
};

QTEST_MAIN(BookmarksTest)
#include "bookmarks_test.moc"
