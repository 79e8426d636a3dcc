// The poet panel through the real widgets: the biography following the shown
// poem, arming modify and delete, inserting, updating and deleting poets with
// their questions and refusals, the two poet lists kept parallel, the zoom.
#include "db/sqltext.h"
#include "edit/poeteditor.h"
#include "support/windowtest.h"

namespace {

// The stored biography, "<none>" when the poet has no row (names compared exactly).
QString brief(FixtureDb& fx, const QString& poet) {
    SqlStatement st = fx.db().prepareNative(QStringLiteral("SELECT ifnull(fBrief,'') FROM Poet WHERE fPoet=") +
                                            sqlText(poet) + QStringLiteral(" COLLATE BINARY"));
    return st.next() ? st.text(0) : QStringLiteral("<none>");
}

void showPoemsOf(MainWindow& w, const QString& poet) {
    w.FillTitleList(QStringLiteral(" Where a.fPoet='") + poet + u'\'', QStringLiteral("a.fTitle"), QStringLiteral("0"));
}

} // namespace

class PoetEditorTest : public WindowTest {
    Q_OBJECT

    QString lastText() const { return dialogs.messages.isEmpty() ? QString() : dialogs.messages.last().text; }

    // Both poet lists hold the same names at the same positions.
    static bool parallel(MainWindow& w) { return items(w.ui.cboPoet) == items(w.ui.cboPoet2); }

private slots:
    void arming_data() {
        QTest::addColumn<bool>("remove");
        QTest::addColumn<PoetEditor::Action>("action");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("focus");
        QTest::newRow("modify") << false << PoetEditor::Action::Modify << "状态：[作者修改]" << "txtPoet2";
        QTest::newRow("delete") << true << PoetEditor::Action::Delete << "状态：[作者删除]" << "cmdPoetOk";
    }
    void arming() {
        QFETCH(bool, remove);
        QFETCH(PoetEditor::Action, action);
        QFETCH(QString, state);
        QFETCH(QString, focus);
        auto w = startActive();
        QVERIFY(w);
        showPoemsOf(*w, QStringLiteral("李白"));
        QVERIFY(w->ui.txtPoet2->isReadOnly() && !w->ui.cboPoet2->isEnabled());
        QVERIFY(triggerEnabled(remove ? w->ui.mnuPoetDel : w->ui.mnuPoetEdit));
        QCOMPARE(w->poetEditor->action(), action);
        QCOMPARE(w->ui.txtPoet2->isReadOnly(), remove);
        QCOMPARE(w->ui.cboPoet2->isEnabled(), !remove);
        QVERIFY(w->ui.cmdPoetOk->isVisible());
        QCOMPARE(w->ui.myState->text(), state);
        QTRY_COMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(), focus);

        // Escape leaves: the panel rests again, the biography stays.
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(!w->ui.cmdPoetOk->isVisible());
        QVERIFY(w->ui.txtPoet2->isReadOnly() && !w->ui.cboPoet2->isEnabled());
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[查询]"));
        QCOMPARE(w->ui.txtPoet2->toPlainText(), QStringLiteral("字太白，号青莲居士。"));
        QVERIFY(dialogs.messages.isEmpty());
    }

    // A poet action while searching: leaving it names the mode 查询 although the
    // search panel stays, and Escape then leaves the search.
    void cancelWhileSearching() {
        auto w = startActive();
        QVERIFY(w);
        w->ui.cmdSeek->click();
        QVERIFY(triggerEnabled(w->ui.mnuPoetEdit));
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[作者修改]"));
        w->ui.cmdPoetCancel->click();
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[查询]"));
        QVERIFY(w->ui.fraSeek->isVisible());
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(!w->ui.fraSeek->isVisible());
    }

    // A poet without a row gets one; its biography is then updated, stored with
    // the store's line breaks. (Quotes and wildcards: the statements' own test.)
    void insertThenUpdate_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "唐代诗人。";
        QTest::newRow("outside the BMP, two lines") << "𠀀𠀁\n第二行";
    }
    void insertThenUpdate() {
        QFETCH(QString, text);
        QString stored = text;
        stored.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        auto w = start();
        // Li Bai (Latin letters) has poems but no biography row.
        QCOMPARE(w->ui.cboPoet2->currentText(), QStringLiteral("Li Bai"));
        QVERIFY(w->ui.txtPoet2->toPlainText().isEmpty());
        QVERIFY(triggerEnabled(w->ui.mnuPoetEdit));
        w->ui.txtPoet2->setPlainText(text);

        // Cancelled: nothing written.
        w->ui.cmdPoetOk->click();
        QCOMPARE(dialogs.marked(), QStringList{u"?:Li Bai：作者不存在，是否新增？"_s});
        QCOMPARE(brief(*fx, QStringLiteral("Li Bai")), QStringLiteral("<none>"));

        dialogs.answers = {true};
        w->ui.cmdPoetOk->click();
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(brief(*fx, QStringLiteral("Li Bai")), stored);
        // Listed in both poet lists at the same place, sorted in.
        QCOMPARE(items(w->ui.cboPoet), (QStringList{u"Li Bai"_s, u"李商隐"_s, u"李白"_s, u"杜甫"_s, u"苏轼"_s}));
        QVERIFY(parallel(*w));
        // Still armed: an unchanged confirm says so.
        w->ui.cmdPoetOk->click();
        QCOMPARE(dialogs.marked().last(), QStringLiteral("i:作者信息未有修改!"));

        w->ui.txtPoet2->setPlainText(text + QStringLiteral("又"));
        dialogs.answers = {true};
        w->ui.cmdPoetOk->click();
        QCOMPARE(lastText(), QStringLiteral("Li Bai：修改作者资料，确认？"));
        QCOMPARE(brief(*fx, QStringLiteral("Li Bai")), stored + QStringLiteral("又"));
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM Poet")), 5);
    }

    // A name typed in while modify is armed shows that poet's (empty) biography
    // and nothing counts as changed.
    void typedNewName() {
        auto w = start();
        QVERIFY(triggerEnabled(w->ui.mnuPoetEdit));
        w->ui.cboPoet2->setEditText(QStringLiteral("杜甫"));
        QCOMPARE(w->ui.txtPoet2->toPlainText(), QStringLiteral("字子美。"));
        w->ui.cboPoet2->setEditText(QStringLiteral("王维"));
        QVERIFY(w->ui.txtPoet2->toPlainText().isEmpty());
        w->ui.cmdPoetOk->click();
        QCOMPARE(dialogs.texts(), QStringList{u"作者信息未有修改!"_s});
        // A name with a quote is stored and listed like any other.
        w->ui.cboPoet2->setEditText(QStringLiteral("O'Neil"));
        w->ui.txtPoet2->setPlainText(QStringLiteral("诗人"));
        dialogs.answers = {true};
        w->ui.cmdPoetOk->click();
        QCOMPARE(lastText(), QStringLiteral("O'Neil：作者不存在，是否新增？"));
        QCOMPARE(brief(*fx, QStringLiteral("O'Neil")), QStringLiteral("诗人"));
        QCOMPARE(w->ui.cboPoet->itemText(0), QStringLiteral("O'Neil"));
        QVERIFY(parallel(*w));
        // A biography without a name is refused.
        w->ui.cboPoet2->setEditText(QString());
        w->ui.txtPoet2->setPlainText(QStringLiteral("无名"));
        w->ui.cmdPoetOk->click();
        QCOMPARE(lastText(), QStringLiteral("请输入作者姓名!"));
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM Poet WHERE fPoet=''")), 0);
    }

    void deletePoetWithPoemsIsRefused() {
        auto w = start();
        showPoemsOf(*w, QStringLiteral("杜甫"));
        QVERIFY(triggerEnabled(w->ui.mnuPoetDel));
        dialogs.answers = {true};
        w->ui.cmdPoetOk->click();
        QCOMPARE(dialogs.marked(),
                 (QStringList{u"?:杜甫：删除作者资料，确认？"_s, u"i:杜甫：作者尚有诗词作品（2题），不可删除。"_s}));
        QCOMPARE(brief(*fx, QStringLiteral("杜甫")), QStringLiteral("字子美。"));
        QCOMPARE(w->ui.cboPoet->count(), 4);
    }

    void deletePoetWithoutPoems() {
        fx->db().execNative(QStringLiteral("INSERT INTO Poet (fPoet,fBrief) VALUES ('王维','诗佛')"));
        auto w = start();
        QCOMPARE(items(w->ui.cboPoet), (QStringList{u"李商隐"_s, u"李白"_s, u"杜甫"_s, u"王维"_s, u"苏轼"_s}));
        w->ui.cboPoet->setEditText(QStringLiteral("杜甫"));
        // The panel shows 王维 (as the renderer would set it).
        w->ui.cboPoet2->setCurrentIndex(3);
        QCOMPARE(w->ui.txtPoet2->toPlainText(), QStringLiteral("诗佛"));
        QVERIFY(triggerEnabled(w->ui.mnuPoetDel));
        w->ui.cmdPoetOk->click();
        QCOMPARE(dialogs.texts(), QStringList{u"王维：删除作者资料，确认？"_s});
        QCOMPARE(brief(*fx, QStringLiteral("王维")), QStringLiteral("诗佛"));

        dialogs.answers = {true};
        w->ui.cmdPoetOk->click();
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(brief(*fx, QStringLiteral("王维")), QStringLiteral("<none>"));
        QCOMPARE(items(w->ui.cboPoet), (QStringList{u"李商隐"_s, u"李白"_s, u"杜甫"_s, u"苏轼"_s}));
        QVERIFY(parallel(*w));
        QVERIFY(w->ui.txtPoet2->toPlainText().isEmpty());
        // The poem panel's poet field is not touched.
        QCOMPARE(w->ui.cboPoet->currentText(), QStringLiteral("杜甫"));
    }

    // Arming a poet action clears the flag a poem modify set.
    void poetActionClearsTheSharedFlag() {
        auto w = start();
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[2]));
        w->ui.txtPre->setPlainText(QStringLiteral("改了"));
        QVERIFY(triggerEnabled(w->ui.mnuPoetEdit));
        w->ui.cmdEditOk->click();
        QCOMPARE(dialogs.texts(), QStringList{u"记录信息未有修改!"_s});
    }

    // Another poet's poem replaces the biography, also while modify is armed.
    void shownPoemReplacesTheBiography() {
        auto w = start();
        QVERIFY(triggerEnabled(w->ui.mnuPoetEdit));
        w->ui.txtPoet2->setPlainText(QStringLiteral("未存的文字"));
        showPoemsOf(*w, QStringLiteral("苏轼"));
        QCOMPARE(w->ui.cboPoet2->currentText(), QStringLiteral("苏轼"));
        QCOMPARE(w->ui.txtPoet2->toPlainText(), QStringLiteral("字子瞻，号东坡居士。"));
        // Nothing counts as changed now.
        w->ui.cmdPoetOk->click();
        QCOMPARE(dialogs.texts(), QStringList{u"作者信息未有修改!"_s});
        // A NULL biography reads as empty.
        showPoemsOf(*w, QStringLiteral("李商隐"));
        QVERIFY(w->ui.txtPoet2->toPlainText().isEmpty());
    }

    void refusedWrite() {
        auto w = start();
        fx->db().execNative(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Poet BEGIN "
                                           "SELECT RAISE(ABORT,'写入被拒绝'); END"));
        QVERIFY(triggerEnabled(w->ui.mnuPoetEdit));
        w->ui.txtPoet2->setPlainText(QStringLiteral("简介"));
        dialogs.answers = {true};
        w->ui.cmdPoetOk->click();
        QCOMPARE(dialogs.marked().last(), QStringLiteral("!:数据库写入失败，本次修改已全部撤销。\r\n\r\n写入被拒绝"));
        QCOMPARE(brief(*fx, QStringLiteral("Li Bai")), QStringLiteral("<none>"));
        QCOMPARE(w->ui.cboPoet->count(), 4);
        QVERIFY(parallel(*w));
        QCOMPARE(w->ui.txtPoet2->toPlainText(), QStringLiteral("简介"));
    }

    // The toolbar's edit buttons open their menus where the pointer is; the
    // zoom toggles the poet panel between the right column and the text column.
    void popupMenusAndZoom() {
        auto w = startActive();
        QVERIFY(w);
        const QPoint at(5, 6);
        QTest::mousePress(w->ui.cmdEdit, Qt::RightButton, {}, at);
        QTRY_VERIFY(w->ui.mnuEdit->isVisible());
        QCOMPARE(w->ui.mnuEdit->pos(), w->ui.cmdEdit->mapToGlobal(at));
        w->ui.mnuEdit->close();
        QTest::mousePress(w->ui.cmdPoet, Qt::LeftButton, {}, at);
        QTRY_VERIFY(w->ui.mnuPoet->isVisible());
        QCOMPARE(w->ui.mnuPoet->pos(), w->ui.cmdPoet->mapToGlobal(at));
        w->ui.mnuPoet->close();
        const QRect pane = w->ui.RichTextBox1->geometry();
        w->ui.cmdPoetExpand->click();
        QCOMPARE(w->ui.txtPoet2->x(), pane.x());
        QVERIFY(triggerEnabled(w->ui.mnuPoetExpand));
        QCOMPARE(w->ui.RichTextBox1->geometry(), pane);
    }
};

QTEST_MAIN(PoetEditorTest)
#include "poeteditor_test.moc"
