// The poet panel through the real widgets: the biography following the shown
// poem, arming modify and delete, inserting, updating and deleting poets with
// their questions and refusals, the two poet lists kept parallel.
#include "db/sqltext.h"
#include "edit/poeteditor.h"
#include "support/windowtest.h"

namespace {

// The stored biography, "<none>" when the poet has no row (names compared exactly).
QString brief(FixtureDb& fx, const QString& poet) {
    SqlStatement st = fx.db().prepareNative(u"SELECT ifnull(fBrief,'') FROM Poet WHERE fPoet="_s +
                                            sqlText(poet) + u" COLLATE BINARY"_s);
    return st.next() ? st.text(0) : u"<none>"_s;
}

void showPoemsOf(MainWindow& w, const QString& poet) {
    w.FillTitleList(u" Where a.fPoet='"_s + poet + u'\'', u"a.fTitle"_s, u"0"_s);
}

} // namespace

class PoetEditorTest : public WindowTest {
    Q_OBJECT

    // Clicks the poet panel's confirm (its question answered yes when `yes`); the last message.
    QString confirm(MainWindow& w, bool yes = false) {
        if (yes) dialogs.answers = {true};
        w.ui.cmdPoetOk->click();
        return dialogs.messages.isEmpty() ? QString() : dialogs.messages.last().text;
    }

    // Both poet lists hold the same names at the same positions.
    static bool parallel(MainWindow& w) { return items(w.ui.cboPoet) == items(w.ui.cboPoet2); }

private slots:
    // Modify then delete armed in one window; Escape leaves each, the biography stays.
    void arming() {
        auto w = startActive();
        QVERIFY(w);
        showPoemsOf(*w, u"李白"_s);
        for (const bool remove : {false, true}) {
            QVERIFY(triggerEnabled(remove ? w->ui.mnuPoetDel : w->ui.mnuPoetEdit));
            QCOMPARE(w->ui.txtPoet2->isReadOnly(), remove);
            QCOMPARE(w->ui.cboPoet2->isEnabled(), !remove);
            QVERIFY(w->ui.cmdPoetOk->isVisible());
            QCOMPARE(w->ui.myState->text(), remove ? u"状态：[作者删除]"_s : u"状态：[作者修改]"_s);
            QTRY_COMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(),
                         remove ? u"cmdPoetOk"_s : u"txtPoet2"_s);
            QTest::keyClick(w.get(), Qt::Key_Escape);
            QVERIFY(!w->ui.cmdPoetOk->isVisible());
            QVERIFY(w->ui.txtPoet2->isReadOnly() && !w->ui.cboPoet2->isEnabled());
            QCOMPARE(w->ui.myState->text(), u"状态：[查询]"_s);
            QCOMPARE(w->ui.txtPoet2->toPlainText(), u"字太白，号青莲居士。"_s);
        }
    }

    // A poet without a row gets one; its biography is then updated, stored with
    // the store's line breaks (quotes and wildcards: the statements' own test).
    // A poet with poems is refused deletion; one without loses its row, from both lists.
    void insertUpdateDelete() {
        fx->db().execNative(u"INSERT INTO Poet (fPoet,fBrief) VALUES ('王维','诗佛')"_s);
        auto w = start();
        // Li Bai (Latin letters) has poems but no biography row.
        QCOMPARE(w->ui.cboPoet2->currentText(), u"Li Bai"_s);
        QVERIFY(triggerEnabled(w->ui.mnuPoetEdit));
        w->ui.txtPoet2->setPlainText(u"𠀀𠀁唐代诗人。\n第二行"_s);
        confirm(*w); // cancelled: nothing written
        QCOMPARE(dialogs.marked(), QStringList{u"?:Li Bai：作者不存在，是否新增？"_s});
        QCOMPARE(brief(*fx, u"Li Bai"_s), u"<none>"_s);
        confirm(*w, true);
        QCOMPARE(brief(*fx, u"Li Bai"_s), u"𠀀𠀁唐代诗人。\r\n第二行"_s);
        // Listed in both poet lists at the same place, sorted in.
        QCOMPARE(items(w->ui.cboPoet), (QStringList{u"Li Bai"_s, u"李商隐"_s, u"李白"_s, u"杜甫"_s, u"王维"_s, u"苏轼"_s}));
        QVERIFY(parallel(*w));
        // Still armed: an unchanged confirm says so.
        confirm(*w);
        QCOMPARE(dialogs.marked().last(), u"i:作者信息未有修改!"_s);
        w->ui.txtPoet2->setPlainText(u"又"_s);
        QCOMPARE(confirm(*w, true), u"Li Bai：修改作者资料，确认？"_s);
        QCOMPARE(brief(*fx, u"Li Bai"_s), u"又"_s);
        QCOMPARE(fx->count(u"SELECT count(*) FROM Poet"_s), 6);
        w->ui.cboPoet->setEditText(u"杜甫"_s);
        w->ui.cboPoet2->setCurrentIndex(3); // as the renderer sets it
        QVERIFY(triggerEnabled(w->ui.mnuPoetDel));
        dialogs.messages.clear();
        confirm(*w, true);
        QCOMPARE(dialogs.marked(),
                 (QStringList{u"?:杜甫：删除作者资料，确认？"_s, u"i:杜甫：作者尚有诗词作品（2题），不可删除。"_s}));
        QCOMPARE(brief(*fx, u"杜甫"_s), u"字子美。"_s);
        dialogs.messages.clear();
        w->ui.cboPoet2->setCurrentIndex(4);
        QCOMPARE(w->ui.txtPoet2->toPlainText(), u"诗佛"_s);
        QCOMPARE(confirm(*w), u"王维：删除作者资料，确认？"_s); // cancelled
        QCOMPARE(brief(*fx, u"王维"_s), u"诗佛"_s);
        confirm(*w, true);
        QCOMPARE(brief(*fx, u"王维"_s), u"<none>"_s);
        QCOMPARE(items(w->ui.cboPoet), (QStringList{u"Li Bai"_s, u"李商隐"_s, u"李白"_s, u"杜甫"_s, u"苏轼"_s}));
        QVERIFY(parallel(*w));
        QVERIFY(w->ui.txtPoet2->toPlainText().isEmpty());
        // The poem panel's poet field is not touched.
        QCOMPARE(w->ui.cboPoet->currentText(), u"杜甫"_s);
    }

    // Another poet's poem, or a name typed in, replaces the biography while
    // modify is armed; nothing counts as changed then.
    void biographyFollowsTheShownPoet() {
        auto w = start();
        // Arming a poet action clears the flag a poem modify set.
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[2]));
        w->ui.txtPre->setPlainText(u"改了"_s);
        QVERIFY(triggerEnabled(w->ui.mnuPoetEdit));
        w->ui.cmdEditOk->click();
        QCOMPARE(dialogs.texts(), QStringList{u"记录信息未有修改!"_s});
        dialogs.messages.clear();
        w->ui.txtPoet2->setPlainText(u"未存的文字"_s);
        showPoemsOf(*w, u"苏轼"_s);
        QCOMPARE(w->ui.cboPoet2->currentText(), u"苏轼"_s);
        QCOMPARE(w->ui.txtPoet2->toPlainText(), u"字子瞻，号东坡居士。"_s);
        QCOMPARE(confirm(*w), u"作者信息未有修改!"_s);
        showPoemsOf(*w, u"李商隐"_s); // a NULL biography reads as empty
        QVERIFY(w->ui.txtPoet2->toPlainText().isEmpty());
        w->ui.cboPoet2->setEditText(u"杜甫"_s);
        QCOMPARE(w->ui.txtPoet2->toPlainText(), u"字子美。"_s);
        w->ui.cboPoet2->setEditText(u"王维"_s);
        confirm(*w);
        QCOMPARE(dialogs.texts(), (QStringList{u"作者信息未有修改!"_s, u"作者信息未有修改!"_s}));
        // A refused insert: the store's reason, nothing written, nothing listed, the text kept.
        fx->db().execNative(u"CREATE TRIGGER refuse BEFORE INSERT ON Poet BEGIN SELECT RAISE(ABORT,'写入被拒绝'); END"_s);
        w->ui.txtPoet2->setPlainText(u"简介"_s);
        confirm(*w, true);
        QCOMPARE(dialogs.marked().last(), u"!:数据库写入失败，本次修改已全部撤销。\r\n\r\n写入被拒绝"_s);
        QCOMPARE(brief(*fx, u"王维"_s), u"<none>"_s);
        QCOMPARE(w->ui.cboPoet->count() + w->ui.cboPoet2->count(), 8);
        QCOMPARE(w->ui.txtPoet2->toPlainText(), u"简介"_s);
        // A biography without a name is refused.
        w->ui.cboPoet2->setEditText(QString());
        w->ui.txtPoet2->setPlainText(u"无名"_s);
        QCOMPARE(confirm(*w), u"请输入作者姓名!"_s);
        QCOMPARE(fx->count(u"SELECT count(*) FROM Poet WHERE fPoet=''"_s), 0);
    }
};

QTEST_MAIN(PoetEditorTest)
#include "poeteditor_test.moc"
