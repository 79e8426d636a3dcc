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
#include <QTreeView>

namespace {

// The texts of the top nodes, or of a node's children.
QStringList nodes(QTreeView* t, const QModelIndex& parent = {}) {
    QStringList out;
    for (int i = 0; i < t->model()->rowCount(parent); ++i) out << t->model()->index(i, 0, parent).data().toString();
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
    void startupThenANodeClicked() {
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        auto* tree = w->ui.tvwList;
        // The whole collection was listed first; its first title (Moon's Song by
        // Li Bai) put Li Bai into the poet panel, so the tree selects his node.
        QCOMPARE(nodes(tree), (QStringList{u"Li Bai"_s, u"无名氏"_s, u"李商隐"_s, u"李白"_s, u"杜甫"_s, u"苏轼"_s}));
        QCOMPARE(tree->currentIndex().data().toString(), u"Li Bai"_s);
        QCOMPARE(titles(*w), QStringList{u"Moon's Song"_s});
        QCOMPARE((QStringList{w->ui.mySelect->text(), w->ui.myTotal->text()}),
                 (QStringList{u"目前选入：1题 (3首)"_s, u"系统总计：9题 (12首)"_s}));
        QVERIFY(dialogs.messages.isEmpty());
        // A node is exact text (李 would also find 李商隐).
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(node(tree, u"李白"_s)).center());
        QCOMPARE(titles(*w), (QStringList{u"早发白帝城"_s, u"静夜思"_s}));
        QCOMPARE(w->ui.RichTextBox1->document()->firstBlock().text(), u"早发白帝城 (李白·唐)"_s);
    }

    void groupingByDynastyAndForm() {
        auto w = start();
        auto* tree = w->ui.tvwList;
        w->ui.cboList->setCurrentIndex(0);
        // The empty dynasty has no listed order: its group comes first.
        QCOMPARE(nodes(tree), (QStringList{u""_s, u"唐"_s, u"宋"_s}));
        QCOMPARE(nodes(tree, top(tree, 1)), (QStringList{u"Li Bai"_s, u"李商隐"_s, u"李白"_s, u"杜甫"_s}));
        // Li Bai (in the poet panel) is selected under 唐.
        QCOMPARE(tree->currentIndex().data().toString(), u"Li Bai"_s);
        // The empty group applies no dynasty condition; a child lists its poet within its dynasty.
        w->browse->tvwList_NodeClick(top(tree, 0));
        QCOMPARE(w->browse->model()->size(), 9);
        w->browse->tvwList_NodeClick(node(tree, u"苏轼"_s));
        QCOMPARE(titles(*w), (QStringList{u"念奴娇·赤壁怀古"_s, u"水调歌头"_s}));

        w->ui.cboList->setCurrentIndex(2);
        // NULL and empty forms share one group with empty text.
        QCOMPARE(nodes(tree).first(), QString());
        QCOMPARE(tree->model()->rowCount(top(tree, 0)), 2);
        w->browse->tvwList_NodeClick(node(tree, u"七言律诗"_s));
        QCOMPARE(titles(*w), QStringList{u"登高"_s});
    }

    // No poems: a warning and nothing listed; no template: the standard one.
    void emptyPoemAndTemplateTables() {
        fx->db().execNative(u"DELETE FROM Poetry"_s);
        fx->db().execNative(u"DELETE FROM PoetrySet"_s);
        auto w = start();
        QCOMPARE(w->ui.tvwList->model()->rowCount() + w->browse->model()->size(), 0);
        QCOMPARE(dialogs.marked(), QStringList{u"!:目前未有诗词选入！"_s});
        QCOMPARE(w->ui.myTotal->text(), u"系统总计：0题"_s);
        QCOMPARE(items(w->ui.cboModel), QStringList{u"1# 标准模板"_s});
        QCOMPARE(w->display->CurrentTemplate[0].FontSize, quint8(9));
    }

    void fillReplaceAppendEditAndFailure() {
        auto w = start();
        TitleListModel* m = w->browse->model();
        const QString shown = w->ui.RichTextBox1->toPlainText();
        // Nothing matches: the list empties, the pane keeps its poem.
        w->FillTitleList(u" Where 1=0"_s, u"a.fTitle"_s, u"0"_s);
        QCOMPARE(m->size(), 0);
        QCOMPARE(w->ui.RichTextBox1->toPlainText(), shown);
        // Five, then an append numbers on from L5 and counts titles only.
        w->FillTitleList(u" Where a.fDynasty='唐' And a.fPoet<>'Li Bai'"_s, u"a.fTitle"_s, u"0"_s);
        QCOMPARE(m->size(), 5);
        w->FillTitleList(u" Where a.fDynasty='宋'"_s, u"a.fTitle"_s, u"1"_s);
        QCOMPARE(m->size(), 7);
        QCOMPARE(m->key(5), u"L5"_s);
        QCOMPARE(w->ui.mySelect->text(), u"目前选入：7题"_s);
        // Rows the poem editor inserts, renames and removes, under the checker.
        const QString second = m->row(1).title;
        m->insertRow(1, m->row(1));
        m->setRowText(0, u"甲"_s, u"乙"_s, u"丙"_s);
        QCOMPARE(titles(*w).mid(0, 3), (QStringList{u"甲"_s, second, second}));
        m->removeRowAt(2);
        QCOMPARE(titles(*w).mid(0, 2), (QStringList{u"甲"_s, second}));
        QCOMPARE(m->size(), 7);
        // A rejected query clears the list quietly.
        w->FillTitleList(u" Where no_such_column=1"_s, QString(), u"1"_s);
        QCOMPARE(m->size(), 0);
        QVERIFY(dialogs.messages.isEmpty());
        // Book entry 0, the whole collection, lists every poem (a book: the books' test);
        // a listed name that no longer exists leaves the list as it was.
        w->ui.cboBook->setCurrentIndex(2);
        w->ui.cboBook->setCurrentIndex(0);
        QCOMPARE(m->size(), 9);
        fx->db().execNative(u"DELETE FROM PoetBook WHERE fBook='宋词选'"_s);
        w->ui.cboBook->setCurrentIndex(1);
        QCOMPARE(m->size(), 9);
    }

    // The history keeps 31 distinct lines, the newest on top. A line chosen from
    // the popup shows its poem even when the list does not hold it, the list's
    // choice staying current.
    void history() {
        fx->db().execNative(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<40) "
                            "INSERT INTO Poetry (fBookID,fType,fStyle,fPoet,fDynasty,fTitle,fContent,fQty) "
                            "SELECT -1,'诗','','甲','唐','题'||substr('00'||i,-2,2),'床前',1 FROM n"_s);
        auto w = startActive();
        QVERIFY(w);
        const auto lineId = [&](int i) { return HistoryLineId(w->ui.cboTitle2->itemText(i)); };
        w->FillTitleList(u" Where a.fPoet='甲'"_s, u"a.fTitle"_s, u"0"_s);
        w->ui.cboTitle2->clear();
        for (int row = 1; row <= 31; ++row) w->browse->selectRow(row); // row 0 was selected by the fill
        w->browse->selectRow(5);
        QCOMPARE(lineId(0), w->browse->model()->row(5).poemId);
        const qint32 oldest = lineId(30);
        w->browse->selectRow(35);
        QCOMPARE(w->ui.cboTitle2->count(), 31);
        for (int i = 0; i < 31; ++i) QVERIFY(lineId(i) != oldest);

        w->FillTitleList(u" Where a.fPoet='李白'"_s, u"a.fTitle"_s, u"0"_s);
        QTest::keyClick(w->ui.lstTitle->listView(), Qt::Key_Down); // 静夜思 after 早发白帝城
        w->FillTitleList(u" Where a.fPoet='苏轼'"_s, u"a.fTitle"_s, u"0"_s);
        const auto shown = [&] { return w->ui.RichTextBox1->document()->firstBlock().text(); };
        QVERIFY(chooseInPopup(w->ui.cboTitle2, 2));
        QVERIFY(shown().startsWith(u"早发白帝城"_s));
        QCOMPARE(w->browse->selectedRow(), 0);
    }

    // A template of three rows takes kinds 0-2 by position, 3 and 4 keep the
    // previous template's; another made the default (asked first) starts next time.
    void templatesLoadAndTheDefault() {
        fx->db().execNative(u"INSERT INTO PoetrySet (fModel,fID,fFontName,fFontSize,fFontBold,fFontItalic,"
                            "fFontUnderline,fFontColor,fAlign,fIndent,fHangingIndent,fOffset) VALUES "
                            "('3# 短',7,'楷体',20,0,0,0,0,1,1,0,0),('3# 短',8,'楷体',21,0,0,0,0,1,1,0,0),"
                            "('3# 短',9,'楷体',22,0,0,0,0,1,1,0,0),('2# 居中',0,'黑体',18,1,0,0,0,2,0,0,0)"_s);
        {
            auto w = start();
            w->show();
            w->ui.fraModel->show();
            const Template& t = w->display->CurrentTemplate;
            QCOMPARE(items(w->ui.cboModel), (QStringList{u"1# 标准模板"_s, u"2# 居中"_s, u"3# 短"_s}));
            QVERIFY(w->ui.chkModel->isChecked() && !w->ui.chkModel->isEnabled());
            w->ui.cboModel->setCurrentIndex(2);
            QCOMPARE((QList<int>{t[0].FontSize, t[2].FontSize, t[3].FontSize}), (QList<int>{20, 22, 14}));
            QVERIFY(!w->ui.chkModel->isChecked() && w->ui.chkModel->isEnabled());
            QCOMPARE(w->ui.myModel->text(), u"诗词模板：3# 短"_s);
            w->ui.cboModel->setCurrentIndex(1);
            w->ui.chkModel->click(); // cancelled
            QCOMPARE(dialogs.texts().last(), u"确定: 将当前模板[2# 居中] 设为系统启动时的缺省模板 ?"_s);
            QCOMPARE(Settings::defaultModel(), u"1# 标准模板"_s);
            w->ui.chkModel->setChecked(false);
            // Ticked the way a screen reader does it: the toggle action.
            dialogs.answers = {true};
            QAccessibleInterface* box = QAccessible::queryAccessibleInterface(w->ui.chkModel);
            QVERIFY(box && box->actionInterface());
            box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            QVERIFY(w->ui.chkModel->isChecked() && !w->ui.chkModel->isEnabled());
            QCOMPARE(Settings::defaultModel(), u"2# 居中"_s);
        }
        auto w2 = start();
        QCOMPARE(w2->ui.cboModel->currentText(), u"2# 居中"_s);
        QCOMPARE(w2->display->CurrentTemplate[0].FontSize, quint8(18));
    }
};

QTEST_MAIN(BrowseTest)
#include "browse_test.moc"
