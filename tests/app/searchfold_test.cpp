// 简繁通查 and the search index through the real window: the menu entry and
// its saved state, a folded search from the search panel with the stored
// characters selected, and the index built on opening with its progress shown.
#include "app/settings.h"
#include "search/searchcontroller.h"
#include "support/windowtest.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>

using namespace Qt::StringLiterals;

class SearchFoldTest : public WindowTest {
    Q_OBJECT

    void addTraditionalPoem() {
        fx->db().execNative(QStringLiteral("INSERT INTO Poetry (fTitle, fPoet, fContent, fQty) "
                                           "VALUES ('長安', '蘇軾', '長安一片月\r\n風吹不盡', 1)"));
    }
    static QLabel* indexPanel(MainWindow& w) { return w.findChild<QLabel*>(QStringLiteral("mySearchIndex")); }

private slots:
    void initTestCase() { redirectSettings(); }
    void init() { freshFixture(); }

    void menuEntryIsSaved() {
        auto w = start();
        QAction* fold = w->ui.mnuSeek->findChild<QAction*>(QStringLiteral("mnuSeekFold"));
        QVERIFY(fold);
        QVERIFY(w->ui.mnuSeek->actions().contains(fold));
        QCOMPARE(fold->text(), QStringLiteral("简繁通查"));
        QVERIFY(fold->isCheckable());
        QVERIFY(fold->isChecked());
        fold->trigger();
        QVERIFY(!Settings::foldScripts());
        QCOMPARE(Settings::raw(QStringLiteral("Search_Fold")), QStringLiteral("0"));
        w.reset();
        w = start();
        QVERIFY(!w->ui.mnuSeekFold->isChecked());
        w->ui.mnuSeekFold->trigger();
        QVERIFY(Settings::foldScripts());
    }

    void foldedSearchFromThePanel_data() {
        QTest::addColumn<bool>("fold");
        QTest::addColumn<QStringList>("found");
        QTest::addColumn<QStringList>("poems");
        // The sample holds two poems of 苏轼; the traditional spelling finds them folded.
        QTest::newRow("on") << true << QStringList{u"長安"_s} << QStringList{u"念奴娇·赤壁怀古"_s, u"水调歌头"_s, u"長安"_s};
        QTest::newRow("off") << false << QStringList{} << QStringList{u"長安"_s};
    }
    void foldedSearchFromThePanel() {
        QFETCH(bool, fold);
        QFETCH(QStringList, found);
        QFETCH(QStringList, poems);
        addTraditionalPoem();
        auto w = start();
        if (!fold) w->ui.mnuSeekFold->trigger();
        w->ui.cmdSeek->click();
        w->ui.txtContent->setPlainText(QStringLiteral("风吹"));
        w->ui.cmdSeekOk->click();
        QCOMPARE(titles(*w), found);
        // The term is marked in the script the poem is stored in.
        if (fold) QCOMPARE(w->ui.RichTextBox1->textCursor().selectedText(), QStringLiteral("風吹"));
        w->ui.txtContent->clear();
        w->ui.cboPoet->setEditText(QStringLiteral("蘇軾"));
        w->ui.cmdSeekOk->click();
        QCOMPARE(titles(*w), poems);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void indexBuiltOnOpening() {
        // Enough poems for the build to run in steps, with its progress shown.
        fx->db().execNative(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
            "INSERT INTO Poetry (fTitle, fPoet, fContent, fQty) SELECT '题' || i, '某', '明月' || i || '首', 1 FROM n"));
        addTraditionalPoem();
        auto w = start();
        QLabel* panel = indexPanel(*w);
        QVERIFY(panel);
        QVERIFY(panel->isVisibleTo(w.get()));
        QVERIFY(panel->text().startsWith(QStringLiteral("索引")));
        QCOMPARE(panel->toolTip(), QStringLiteral("正在建立检索索引"));
        QTRY_VERIFY_WITH_TIMEOUT(!panel->isVisibleTo(w.get()), 20000);
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM SearchIndexLog")), 0);
        w->ui.cmdSeek->click();
        w->ui.txtContent->setPlainText(QStringLiteral("長安"));
        w->ui.cmdSeekOk->click();
        QCOMPARE(titles(*w), QStringList{u"長安"_s});
        // Locked, nothing is built and the search still finds its poems.
        w->mnuToolLock_Click();
        QCOMPARE(int(w->session().writeMode()), 0);
        QVERIFY(!panel->isVisibleTo(w.get()));
        w->ui.cmdSeekOk->click();
        QCOMPARE(titles(*w), QStringList{u"長安"_s});
    }
};

QTEST_MAIN(SearchFoldTest)
#include "searchfold_test.moc"
