// 简繁通查 and the search index through the real window: the menu entry and
// its saved state, a folded search from the search panel with the stored
// characters selected, and the index built on opening with its progress shown.
#include "app/settings.h"
#include "search/searchcontroller.h"
#include "support/windowtest.h"

class SearchFoldTest : public WindowTest {
    Q_OBJECT

private slots:
    // The index is built on opening, in steps for this many poems, its progress
    // shown. A folded search from the panel finds the other script and selects
    // the term as stored; the menu entry turns it off, and is saved across starts.
    void indexThenFoldedSearchAndItsMenuEntry() {
        fx->db().execNative(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
            "INSERT INTO Poetry (fTitle, fPoet, fContent, fQty) SELECT '题' || i, '某', '明月' || i || '首', 1 FROM n"));
        fx->db().execNative(QStringLiteral("INSERT INTO Poetry (fTitle, fPoet, fContent, fQty) "
                                           "VALUES ('長安', '蘇軾', '長安一片月\r\n風吹不盡', 1)"));
        auto w = start();
        QLabel* panel = w->findChild<QLabel*>(u"mySearchIndex"_s);
        QVERIFY(panel && panel->isVisibleTo(w.get()));
        QVERIFY(panel->text().startsWith(QStringLiteral("索引")));
        QTRY_VERIFY_WITH_TIMEOUT(!panel->isVisibleTo(w.get()), 20000);
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM SearchIndexLog")), 0);
        QVERIFY(w->ui.mnuSeekFold->isChecked());
        w->ui.cmdSeek->click();
        const auto search = [&](const QString& content, const QString& poet) {
            w->ui.txtContent->setPlainText(content);
            w->ui.cboPoet->setEditText(poet);
            w->ui.cmdSeekOk->click();
            return titles(*w);
        };
        QCOMPARE(search(u"风吹"_s, {}), QStringList{u"長安"_s});
        QCOMPARE(w->ui.RichTextBox1->textCursor().selectedText(), u"風吹"_s);
        // The sample holds two poems of 苏轼; the traditional spelling finds them folded.
        QCOMPARE(search({}, u"蘇軾"_s), (QStringList{u"念奴娇·赤壁怀古"_s, u"水调歌头"_s, u"長安"_s}));
        w->ui.mnuSeekFold->trigger();
        QCOMPARE(search(u"风吹"_s, {}), QStringList{});
        QCOMPARE(search({}, u"蘇軾"_s), QStringList{u"長安"_s});
        QVERIFY(dialogs.messages.isEmpty());
        w.reset();
        w = start();
        QVERIFY(!w->ui.mnuSeekFold->isChecked());
        w->ui.mnuSeekFold->trigger();
        QVERIFY(Settings::foldScripts());
    }
};

QTEST_MAIN(SearchFoldTest)
#include "searchfold_test.moc"
