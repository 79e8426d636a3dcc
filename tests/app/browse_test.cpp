// Browsing through the real widgets: the tree, the title list with its history
// and counters, the book selector and the templates.
#include "app/settings.h"
#include "browse/historyline.h"
#include "browse/navigationtreemodel.h"
#include "browse/titlelistview.h"
#include "display/displaycontroller.h"
#include "support/windowtest.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QIcon>
#include <QTreeView>

namespace {

QStringList topNodes(QTreeView* t) {
    QStringList out;
    for (int i = 0; i < t->model()->rowCount(); ++i) out << t->model()->index(i, 0).data().toString();
    return out;
}

// The first node, at any level, with this text.
QModelIndex node(QTreeView* t, const QString& text) {
    const QModelIndexList found =
        t->model()->match(t->model()->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? QModelIndex() : found.first();
}

QModelIndex top(QTreeView* t, int row) { return t->model()->index(row, 0); }

} // namespace

class BrowseTest : public WindowTest {
    Q_OBJECT

    // A started window whose title list and tree run under the model checker
    // from here on: every fill, append, edit and reset is checked as it happens.
    std::unique_ptr<MainWindow> start() {
        auto w = WindowTest::start();
        const auto fatal = QAbstractItemModelTester::FailureReportingMode::Fatal;
        new QAbstractItemModelTester(w->browse->model(), fatal, w.get());
        new QAbstractItemModelTester(w->ui.tvwList->model(), fatal, w.get());
        return w;
    }

private slots:
    void startupShowsTheFirstPoetsPoems() {
        auto w = start();
        auto* tree = w->findChild<QTreeView*>(QStringLiteral("tvwList"));
        // The whole collection was listed first; its first title (Moon's Song by
        // Li Bai) put Li Bai into the poet panel, so the tree selects his node.
        QCOMPARE(topNodes(tree), (QStringList{u"Li Bai"_s, u"无名氏"_s, u"李商隐"_s, u"李白"_s, u"杜甫"_s, u"苏轼"_s}));
        QCOMPARE(tree->currentIndex().data().toString(), QStringLiteral("Li Bai"));
        QCOMPARE(titles(*w), QStringList{u"Moon's Song"_s});
        QCOMPARE(w->ui.mySelect->text(), QStringLiteral("目前选入：1题 (3首)"));
        QCOMPARE(w->ui.myTotal->text(), QStringLiteral("系统总计：9题 (12首)"));
        QCOMPARE(HistoryLineId(w->ui.cboTitle2->itemText(0)), 9);
        QCOMPARE(w->ui.RichTextBox1->document()->firstBlock().text(), QStringLiteral("Moon's Song (Li Bai·唐)"));
        QVERIFY(dialogs.messages.isEmpty());
        // By poet there are no children.
        for (int i = 0; i < tree->model()->rowCount(); ++i) QCOMPARE(tree->model()->rowCount(top(tree, i)), 0);
    }

    void clickingNodesListsTheirPoems() {
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        auto* tree = w->findChild<QTreeView*>(QStringLiteral("tvwList"));
        const QModelIndex libai = node(tree, QStringLiteral("李白"));
        QVERIFY(libai.isValid());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(libai).center());
        // The poet value is a prefix: 李 would also find 李商隐, but a node is exact text.
        QCOMPARE(titles(*w), (QStringList{u"早发白帝城"_s, u"静夜思"_s}));
        QCOMPARE(w->ui.RichTextBox1->document()->firstBlock().text(), QStringLiteral("早发白帝城 (李白·唐)"));
    }

    void treeNodesKeepTheirTextsKeysAndChildren() {
        // Groups with children, without, and the last group's children: each node
        // answers with its own text and key, whatever the texts' byte lengths.
        NavigationTreeModel::Nodes nodes;
        nodes.addChild("orphan", 99); // no group yet: ignored
        nodes.addGroup("唐", 0);
        nodes.addChild("李白", 1);
        nodes.addChild("Du Fu", 2);
        nodes.addGroup("", 3);
        nodes.addGroup("宋", 4);
        nodes.addChild("苏轼", 5);
        NavigationTreeModel m;
        QAbstractItemModelTester checker(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
        m.reset(std::move(nodes), QStringLiteral("wall"), QStringLiteral("poet"));
        QCOMPARE(m.rowCount(), 3);
        QCOMPARE(m.rowCount(m.groupIndex(0)), 2);
        QCOMPARE(m.rowCount(m.groupIndex(1)), 0);
        QCOMPARE(m.text(m.childIndex(0, 1)), QStringLiteral("Du Fu"));
        QCOMPARE(m.text(m.childIndex(2, 0)), QStringLiteral("苏轼"));
        QCOMPARE(m.data(m.childIndex(0, 0), NavigationTreeModel::KeyRole).toString(), QStringLiteral("C1"));
        QCOMPARE(m.data(m.groupIndex(2), NavigationTreeModel::KeyRole).toString(), QStringLiteral("B4"));
        QCOMPARE(m.data(m.groupIndex(2), NavigationTreeModel::ImageRole).toString(), QStringLiteral("wall"));
        m.clear();
        QCOMPARE(m.rowCount(), 0);
    }

    // A collection of a few hundred thousand poems: the totals panels at the
    // window's first size still show their whole text.
    void statusPanelsShowWholeCollectionTotals() {
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->ui.myTotal->setText(QStringLiteral("系统总计：345018题 (345018首)"));
        w->ui.mySelect->setText(QStringLiteral("目前选入：345018题 (345018首)"));
        for (QLabel* panel : {w->ui.myTotal, w->ui.mySelect, w->ui.myModel, w->ui.myState})
            QTRY_VERIFY2(panel->width() >= panel->sizeHint().width(), qPrintable(panel->objectName()));
    }

    void groupingByDynastyAndForm() {
        auto w = start();
        auto* tree = w->findChild<QTreeView*>(QStringLiteral("tvwList"));
        w->ui.cboList->setCurrentIndex(0);
        // The empty dynasty has no listed order: its group comes first.
        QCOMPARE(topNodes(tree), (QStringList{u""_s, u"唐"_s, u"宋"_s}));
        QStringList tang;
        for (int i = 0; i < tree->model()->rowCount(top(tree, 1)); ++i)
            tang << tree->model()->index(i, 0, top(tree, 1)).data().toString();
        QCOMPARE(tang, (QStringList{u"Li Bai"_s, u"李商隐"_s, u"李白"_s, u"杜甫"_s}));
        // Li Bai (in the poet panel) is selected under 唐.
        QCOMPARE(tree->currentIndex().data().toString(), QStringLiteral("Li Bai"));
        // The empty group applies no dynasty condition: every poem is listed.
        w->browse->tvwList_NodeClick(top(tree, 0));
        QCOMPARE(w->browse->model()->size(), 9);
        // A child node lists its poet within its dynasty.
        w->browse->tvwList_NodeClick(node(tree, QStringLiteral("苏轼")));
        QCOMPARE(titles(*w), (QStringList{u"念奴娇·赤壁怀古"_s, u"水调歌头"_s}));

        w->ui.cboList->setCurrentIndex(2);
        // NULL and empty forms share one group with empty text.
        QCOMPARE(topNodes(tree).first(), QString());
        QCOMPARE(tree->model()->rowCount(top(tree, 0)), 2);
        w->browse->tvwList_NodeClick(node(tree, QStringLiteral("七言律诗")));
        QCOMPARE(titles(*w), QStringList{u"登高"_s});

        // Choosing the grouping that is shown does not rebuild the tree.
        int resets = 0;
        connect(tree->model(), &QAbstractItemModel::modelReset, this, [&resets] { ++resets; });
        w->browse->cboList_Click();
        QCOMPARE(resets, 0);
    }

    void emptyDatabaseWarns() {
        fx->db().execNative(QStringLiteral("DELETE FROM Poetry"));
        auto w = start();
        QCOMPARE(w->ui.tvwList->model()->rowCount(), 0);
        QCOMPARE(w->browse->model()->size(), 0);
        QCOMPARE(dialogs.marked(), QStringList{u"!:目前未有诗词选入！"_s});
        QCOMPARE(w->ui.myTotal->text(), QStringLiteral("系统总计：0题"));
    }

    void fillReplaceAppendEditAndFailure() {
        auto w = start();
        const QString shown = w->ui.RichTextBox1->toPlainText();
        // Nothing matches: the list empties, the pane keeps its poem.
        w->FillTitleList(QStringLiteral(" Where 1=0"), QStringLiteral("a.fTitle"), QStringLiteral("0"));
        QCOMPARE(w->browse->model()->size(), 0);
        QCOMPARE(w->ui.mySelect->text(), QStringLiteral("目前选入：0题"));
        QCOMPARE(w->ui.RichTextBox1->toPlainText(), shown);
        // Five, then an append numbers on from L5 and counts titles only.
        w->FillTitleList(QStringLiteral(" Where a.fDynasty='唐' And a.fPoet<>'Li Bai'"), QStringLiteral("a.fTitle"),
                         QStringLiteral("0"));
        QCOMPARE(w->browse->model()->size(), 5);
        w->FillTitleList(QStringLiteral(" Where a.fDynasty='宋'"), QStringLiteral("a.fTitle"), QStringLiteral("1"));
        QCOMPARE(w->browse->model()->size(), 7);
        QCOMPARE(w->browse->model()->key(5), QStringLiteral("L5"));
        QCOMPARE(w->ui.mySelect->text(), QStringLiteral("目前选入：7题"));
        // Rows the poem editor inserts, renames and removes, under the checker.
        TitleListModel* m = w->browse->model();
        const QString second = m->row(1).title;
        m->insertRow(1, m->row(1));
        m->setRowText(0, QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"));
        QCOMPARE(titles(*w).mid(0, 3), (QStringList{u"甲"_s, second, second}));
        QCOMPARE(m->row(0).poet, QStringLiteral("乙"));
        m->removeRowAt(2);
        QCOMPARE(titles(*w).mid(0, 2), (QStringList{u"甲"_s, second}));
        QCOMPARE(m->size(), 7);
        // A rejected query clears the list quietly.
        dialogs.messages.clear();
        w->FillTitleList(QStringLiteral(" Where no_such_column=1"), QString(), QStringLiteral("1"));
        QCOMPARE(w->browse->model()->size(), 0);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void historyKeepsThirtyOneDistinctLines() {
        fx->db().execNative(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<40) "
            "INSERT INTO Poetry (fBookID,fType,fStyle,fPoet,fDynasty,fTitle,fContent,fQty) "
            "SELECT -1,'诗','','甲','唐','题'||substr('00'||i,-2,2),'床前',1 FROM n"));
        auto w = start();
        w->FillTitleList(QStringLiteral(" Where a.fPoet='甲'"), QStringLiteral("a.fTitle"), QStringLiteral("0"));
        w->ui.cboTitle2->clear();
        // Row 0 is already selected by the fill: 31 other poems.
        for (int row = 1; row <= 31; ++row) w->browse->selectRow(row);
        QCOMPARE(w->ui.cboTitle2->count(), 31);
        // The same poem again: one line for it, at the top.
        w->browse->selectRow(5);
        QCOMPARE(w->ui.cboTitle2->count(), 31);
        QCOMPARE(HistoryLineId(w->ui.cboTitle2->itemText(0)), w->browse->model()->row(5).poemId);
        // A 32nd poem drops the oldest line.
        const qint32 oldest = HistoryLineId(w->ui.cboTitle2->itemText(30));
        w->browse->selectRow(35);
        QCOMPARE(w->ui.cboTitle2->count(), 31);
        for (int i = 0; i < 31; ++i) QVERIFY(HistoryLineId(w->ui.cboTitle2->itemText(i)) != oldest);
    }

    // A history line chosen from the popup shows its poem even when the list does
    // not hold it; the current poem stays the one chosen in the list; choosing
    // the same line again brings its poem back after another was drawn.
    void historyPickShowsItsPoemAgain() {
        auto w = startActive();
        QVERIFY(w);
        w->FillTitleList(QStringLiteral(" Where a.fPoet='李白'"), QStringLiteral("a.fTitle"), QStringLiteral("0"));
        QTest::keyClick(w->ui.lstTitle->listView(), Qt::Key_Down); // 静夜思 after 早发白帝城
        w->FillTitleList(QStringLiteral(" Where a.fPoet='苏轼'"), QStringLiteral("a.fTitle"), QStringLiteral("0"));
        const auto shown = [&] { return w->ui.RichTextBox1->document()->firstBlock().text(); };
        QVERIFY(chooseInPopup(w->ui.cboTitle2, 2));
        QVERIFY(shown().startsWith(QStringLiteral("早发白帝城")));
        // The list's own choice is drawn again: 苏轼's first poem.
        w->display->RenderSelectedPoem();
        QVERIFY(shown().startsWith(QStringLiteral("念奴娇")));
        QVERIFY(chooseInPopup(w->ui.cboTitle2, 2));
        QVERIFY(shown().startsWith(QStringLiteral("早发白帝城")));
    }

    void rightClickOpensTheListMenu() {
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QWidget* viewport = w->ui.lstTitle->listView()->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!w->ui.mnuLst->isVisible());
        QTest::mousePress(viewport, Qt::RightButton, {}, QPoint(5, 5));
        QTRY_VERIFY(w->ui.mnuLst->isVisible());
        w->ui.mnuLst->hide();
        // The view styles switch the one model between the two views; large
        // icons show the large picture, the other styles the small one.
        QVERIFY(triggerEnabled(*w, "mnuList_3"));
        QCOMPARE(w->ui.lstTitle->currentView()->model()->rowCount(), w->browse->model()->size());
        const QModelIndex first = w->browse->model()->index(0, 0);
        const auto icon = [&] { return first.data(Qt::DecorationRole).value<QIcon>().cacheKey(); };
        const qint64 small = icon();
        QVERIFY(triggerEnabled(*w, "mnuList_0"));
        QVERIFY(icon() != small);
    }

    void bookSelectorListsABook() {
        auto w = start();
        w->ui.cboBook->setCurrentIndex(2); // 唐诗选
        QCOMPARE(titles(*w), (QStringList{u"早发白帝城"_s, u"春望"_s, u"静夜思"_s}));
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[书籍目录]"));
        w->ui.cboBook->setCurrentIndex(0);
        QCOMPARE(w->browse->model()->size(), 9);
        // A listed name that no longer exists leaves the list as it was.
        fx->db().execNative(QStringLiteral("DELETE FROM PoetBook WHERE fBook='宋词选'"));
        w->ui.cboBook->setCurrentIndex(1);
        QCOMPARE(w->browse->model()->size(), 9);
    }

    void templatesLoadByPositionAndDefault() {
        fx->db().execNative(QStringLiteral(
            "INSERT INTO PoetrySet (fModel,fID,fFontName,fFontSize,fFontBold,fFontItalic,fFontUnderline,fFontColor,"
            "fAlign,fIndent,fHangingIndent,fOffset) VALUES "
            "('3# 短',7,'楷体',20,0,0,0,0,1,1,0,0),('3# 短',8,'楷体',21,0,0,0,0,1,1,0,0),"
            "('3# 短',9,'楷体',22,0,0,0,0,1,1,0,0)"));
        auto w = start();
        DisplayController* d = w->display;
        QCOMPARE(items(w->ui.cboModel), (QStringList{u"1# 标准模板"_s, u"3# 短"_s}));
        QVERIFY(w->ui.chkModel->isChecked() && !w->ui.chkModel->isEnabled());
        // Three rows: kinds 0-2 by position, 3 and 4 keep the previous template's values.
        w->ui.cboModel->setCurrentIndex(1);
        QCOMPARE(d->CurrentTemplate[0].FontSize, quint8(20));
        QCOMPARE(d->CurrentTemplate[2].FontSize, quint8(22));
        QCOMPARE(d->CurrentTemplate[3].FontSize, quint8(14));
        QVERIFY(!w->ui.chkModel->isChecked() && w->ui.chkModel->isEnabled());
        QCOMPARE(w->ui.myModel->text(), QStringLiteral("诗词模板：3# 短"));
        // The biography box follows the notes line.
        QCOMPARE(w->ui.txtPoet2->font().pointSize(), 10);
    }

    void makingATemplateTheDefault() {
        fx->db().execNative(QStringLiteral(
            "INSERT INTO PoetrySet (fModel,fID,fFontName,fFontSize,fFontBold,fFontItalic,fFontUnderline,fFontColor,"
            "fAlign,fIndent,fHangingIndent,fOffset) VALUES ('2# 居中',0,'黑体',18,1,0,0,0,2,0,0,0)"));
        {
            auto w = start();
            w->show();
            w->ui.fraModel->show();
            const int other = w->ui.cboModel->findText(QStringLiteral("2# 居中"));
            w->ui.cboModel->setCurrentIndex(other);
            dialogs.answers = {false};
            w->ui.chkModel->click();
            QCOMPARE(dialogs.texts().last(), QStringLiteral("确定: 将当前模板[2# 居中] 设为系统启动时的缺省模板 ?"));
            QCOMPARE(Settings::defaultModel(), QStringLiteral("1# 标准模板"));
            w->ui.chkModel->setChecked(false);
            // Ticked the way a screen reader does it: the toggle action.
            dialogs.answers = {true};
            QAccessibleInterface* box = QAccessible::queryAccessibleInterface(w->ui.chkModel);
            QVERIFY(box && box->actionInterface());
            box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            QVERIFY(w->ui.chkModel->isChecked() && !w->ui.chkModel->isEnabled());
            QCOMPARE(Settings::defaultModel(), QStringLiteral("2# 居中"));
        }
        auto w2 = start();
        QCOMPARE(w2->ui.cboModel->currentText(), QStringLiteral("2# 居中"));
        QCOMPARE(w2->display->CurrentTemplate[0].FontSize, quint8(18));
    }

    void emptyTemplateTableOffersTheStandardName() {
        fx->db().execNative(QStringLiteral("DELETE FROM PoetrySet"));
        auto w = start();
        QCOMPARE(items(w->ui.cboModel), QStringList{u"1# 标准模板"_s});
        QVERIFY(w->ui.chkModel->isChecked() && !w->ui.chkModel->isEnabled());
        const QTextCharFormat f = w->ui.RichTextBox1->document()->firstBlock().begin().fragment().charFormat();
        QCOMPARE(qRound(f.fontPointSize()), 9);
        QCOMPARE(f.foreground().color(), QColor(Qt::black));
    }
};

QTEST_MAIN(BrowseTest)
#include "browse_test.moc"
