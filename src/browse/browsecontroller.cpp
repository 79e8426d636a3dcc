#include "browse/browsecontroller.h"

#include "app/artwork.h"
#include "app/busycursor.h"
#include "app/combochoice.h"
#include "app/mainwindow.h"
#include "browse/historyline.h"
#include "browse/navigationtreemodel.h"
#include "browse/titlelistmodel.h"
#include "browse/titlelistview.h"
#include "db/sqltext.h"
#include "search/poemfilter.h"

#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QStyle>
#include <QTreeView>
#include <QEvent>
#include <limits>

namespace {

struct Grouping {
    const char* query;
    const char* groupImage;
    const char* childImage;
};

// Index 0 by dynasty, 1 by poet, 2 by form.
const Grouping kGroupings[] = {
    {"select distinct a.fDynasty,a.fPoet,b.fID from (Poetry a Left Join PoetDynasty b On a.fDynasty=b.fDynasty) "
     "%1 Order By b.fID,a.fPoet",
     "wall", "poet"},
    {"select distinct a.fPoet,'' as bb from Poetry a %1 Order By a.fPoet", "poet", "clsdfold"},
    {"select distinct a.fStyle,a.fPoet from Poetry a %1 Order By a.fStyle,a.fPoet", "clsdfold", "poet"},
};

} // namespace

BrowseController::BrowseController(MainWindow& window) : QObject(&window), w(window) {
    m_model = new TitleListModel(this);
    TitleListView* list = w.ui.lstTitle;
    list->setModel(m_model);
    list->setToolTip(QStringLiteral("选入作品列表"));
    // Column widths in twips: 4322, 2117, 2117 and a hidden id column.
    QTreeView* details = list->detailsView();
    details->setColumnWidth(0, w.twipsToPixels(4322));
    details->setColumnWidth(1, w.twipsToPixels(2117));
    details->setColumnWidth(2, w.twipsToPixels(2117));
    details->setColumnHidden(3, true);

    // A click shows its poem once: through the change of the current row, or, when
    // the row was current already, through the click itself. The press stamp tells
    // the two apart (a change made from code or by the keyboard swallows nothing).
    connect(list->listView()->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                ++m_rowChanges;
                if (m_filling || !current.isValid()) return;
                lstTitle_Click();
            });
    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(list->listView()),
                                 static_cast<QAbstractItemView*>(list->detailsView())}) {
        v->viewport()->installEventFilter(this);
    }
    connect(list, &TitleListView::itemClicked, this, [this](int) {
        if (m_rowChanges == m_rowChangesAtPress) lstTitle_ItemClick();
    });
    connect(list, &TitleListView::rightButtonPressed, this, &BrowseController::lstTitle_MouseDown);
    m_model->setLargeIcons(list->viewStyle() == 0);
    connect(list, &TitleListView::viewStyleChanged, m_model, [this](int style) { m_model->setLargeIcons(style == 0); });

    connectChoice(w.ui.cboTitle2, this, [this] { cboTitle2_Click(); });

    m_tree = new NavigationTreeModel(this);
    QTreeView* tree = w.ui.tvwList;
    tree->setModel(m_tree);
    tree->viewport()->installEventFilter(this);
    connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        ++m_nodeChanges;
        if (m_treeFilling || !current.isValid()) return;
        tvwList_NodeClick(current);
    });
    connect(tree, &QTreeView::clicked, this, [this](const QModelIndex& node) {
        if (m_nodeChanges == m_nodeChangesAtPress) tvwList_NodeClick(node);
    });
}

bool BrowseController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == w.ui.tvwList->viewport()) m_nodeChangesAtPress = m_nodeChanges;
        else m_rowChangesAtPress = m_rowChanges;
    }
    return QObject::eventFilter(watched, event);
}

// ---- Title list ----

void BrowseController::FillTitleList(const QString& filter, const QString& order, const QString& mode) {
    BusyCursor busy;
    // The mode text compared as a number: 0 replaces, anything else appends.
    const bool replace = mode.trimmed().toDouble() == 0.0;
    m_filling = true;
    // The rows shown so far go first, so two large lists are never held at once.
    if (replace) m_model->clear();
    try {
        TitleRows rows = ReadTitleRows(w.store().db(), filter, order);
        if (replace) m_model->replaceRows(std::move(rows));
        else m_model->appendRows(rows);
    } catch (const SqlError&) {
        // A rejected query ends the fill quietly with an empty list.
        m_model->clear();
        m_filling = false;
        lstTitle_Click();
        return;
    }
    // An append keeps the user's selection; a new list starts at its first row.
    if (m_model->size() > 0 && (replace || selectedRow() < 0)) selectRow(0);
    m_filling = false;
    if (replace) {
        UpdateCounters(filter, false);
    } else {
        // An append counts the list's titles; its poems are not counted again.
        w.session().setListed(m_model->size(), 0, false);
    }
    lstTitle_Click();
}

void BrowseController::UpdateCounters(const QString& filter, bool totals) {
    BusyCursor busy;
    qint64 n = 0;
    qint64 m = 0;
    try {
        w.store().db().scalarInt(QStringLiteral("Select Count(*) from Poetry a ") + filter, &n);
        if (n > 0 && !w.store().db().scalarInt(QStringLiteral("Select sum(a.fQty) from Poetry a ") + filter, &m))
            m = 0;
    } catch (const SqlError&) {
        n = 0;
        m = 0;
    }
    if (totals) w.session().setTotals(n, m);
    else w.session().setListed(n, m);
}

int BrowseController::selectedRow() const {
    const QModelIndex i = w.ui.lstTitle->listView()->selectionModel()->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void BrowseController::selectRow(int row) {
    QItemSelectionModel* sel = w.ui.lstTitle->listView()->selectionModel();
    const QModelIndex i = m_model->index(row, 0);
    sel->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    w.ui.lstTitle->currentView()->scrollTo(i);
}

void BrowseController::lstTitle_Click() {
    if (m_model->size() == 0) return;
    int row = selectedRow();
    if (row < 0) {
        row = 0;
        const bool was = m_filling;
        m_filling = true;
        selectRow(0);
        m_filling = was;
    }
    const TitleRow r = m_model->row(row);
    const QString id = QString::number(r.poemId);
    QComboBox* history = w.ui.cboTitle2;
    w.session().setShownPoemId(r.poemId);
    history->blockSignals(true);
    RemoveHistoryEntry(r.poemId, 1);
    while (history->count() > 30) history->removeItem(history->count() - 1);
    // The line shows the id as it always did; the id itself travels beside it.
    history->insertItem(0, FormatHistoryLine(r.title, r.poet, id), qint64(r.poemId));
    history->setCurrentIndex(-1);
    history->blockSignals(false);
    // Choosing the new top line is what shows the poem.
    history->setCurrentIndex(0);
}

void BrowseController::lstTitle_ItemClick() { lstTitle_Click(); }

void BrowseController::lstTitle_MouseDown(const QPoint& globalPos) { w.ui.mnuLst->popup(globalPos); }

void BrowseController::cboTitle2_Click() {
    const int index = w.ui.cboTitle2->currentIndex();
    if (index < 0) return;
    const qint64 id = w.ui.cboTitle2->itemData(index).toLongLong();
    if (id <= 0) return;
    // The shown poem stays the one last chosen in the title list: a look at
    // another poem through the history does not move an armed edit to it.
    w.RenderPoem(QString::number(id));
}

void BrowseController::RemoveHistoryEntry(qint32 id, int force) {
    QComboBox* history = w.ui.cboTitle2;
    for (int i = 0; i < history->count(); ++i) {
        if (history->itemData(i).toLongLong() == id) {
            if (force == 1 || i > 0) {
                const bool blocked = history->blockSignals(true);
                history->removeItem(i);
                history->blockSignals(blocked);
            }
            return;
        }
    }
}

// ---- Navigation tree ----

void BrowseController::FillNavigationTree(const QString& filter) {
    const int index = w.ui.cboList->currentIndex();
    if (index < 0 || index > 2) return;
    const Grouping& g = kGroupings[index];
    const QString groupImage = QString::fromLatin1(g.groupImage);
    const QString childImage = QString::fromLatin1(g.childImage);
    const QString poetInEditor = w.ui.cboPoet2->currentText();
    QTreeView* tree = w.ui.tvwList;

    m_treeFilling = true;
    NavigationTreeModel::Nodes nodes;
    // The node to select: the last one naming the poet in the poet panel.
    int selectGroup = -1;
    int selectChild = -1;
    // Rows of one group come together: the group's text is compared as stored
    // bytes, and every text goes into the tree as stored.
    const QByteArray poetBytes = poetInEditor.toUtf8();
    const bool groupIsPoet = groupImage == u"poet";
    const bool childIsPoet = childImage == u"poet";
    qint32 counter = 0;
    try {
        SqlStatement st = w.store().db().prepare(QString::fromUtf8(g.query).arg(filter));
        while (st.next()) {
            const QByteArrayView group = st.utf8(0);
            const QByteArrayView child = st.utf8(1);
            if (nodes.empty() || group != nodes.lastGroupText()) {
                nodes.addGroup(group, counter++);
                if (groupIsPoet && group == QByteArrayView(poetBytes)) {
                    selectGroup = nodes.groupCount() - 1;
                    selectChild = -1;
                }
            }
            if (!child.isEmpty()) {
                nodes.addChild(child, counter++);
                if (childIsPoet && child == QByteArrayView(poetBytes)) {
                    selectGroup = nodes.groupCount() - 1;
                    selectChild = nodes.childCount(selectGroup) - 1;
                }
            }
        }
    } catch (const SqlError& e) {
        w.store().reportReadFailure(e);
    }
    const bool empty = nodes.empty();
    m_tree->reset(std::move(nodes), groupImage, childImage);

    if (empty) {
        m_treeFilling = false;
        m_model->clear();
        w.dialogs().message(QStringLiteral("目前未有诗词选入！"), MessageSink::Icon::Warning);
        return;
    }
    if (selectGroup < 0) selectGroup = 0;
    const QModelIndex node =
        selectChild >= 0 ? m_tree->childIndex(selectGroup, selectChild) : m_tree->groupIndex(selectGroup);
    tree->selectionModel()->setCurrentIndex(node, QItemSelectionModel::ClearAndSelect);
    m_treeFilling = false;
    tvwList_NodeClick(node);
    tree->expand(node);
    tree->scrollTo(node);
}

void BrowseController::cboList_Click() {
    const int index = w.ui.cboList->currentIndex();
    if (MainWindow::tag(w.ui.cboList).toInt() == index) return;
    FillNavigationTree(QString());
    MainWindow::setTag(w.ui.cboList, QString::number(index));
}

void BrowseController::tvwList_NodeClick(const QModelIndex& node) {
    if (!node.isValid()) return;
    BusyCursor busy;
    QString dynasty, style, poet;
    const bool group = node.data(NavigationTreeModel::KeyRole).toString().startsWith(u'B');
    const QString text = m_tree->text(node);
    const QString parent = m_tree->text(node.parent());
    switch (w.ui.cboList->currentIndex()) {
    case 0:
        if (group) dynasty = text;
        else dynasty = parent, poet = text;
        break;
    case 1:
        if (group) poet = text;
        else style = text, poet = parent;
        break;
    case 2:
        if (group) style = text;
        else style = parent, poet = text;
        break;
    default:
        return;
    }
    const QString filter = BuildPoemFilter(QString(), dynasty, style, poet, QString(), QString(), QString(), QString(),
                                           QString());
    FillTitleList(filter, QStringLiteral("a.fTitle,a.fPoet"), QStringLiteral("0"));
    w.ui.myState->setText(QStringLiteral("状态：[查询]"));
}

// ---- Book selector ----

void BrowseController::cboBook_Click() {
    // Runs only while the combo is shown (not replaced by the duplicate picker's
    // layout) and no book name is being typed.
    if (w.ui.cboBook->isHidden()) return;
    if (w.session().inputState() != InputState::Free) return;
    BusyCursor busy;
    const int index = w.ui.cboBook->currentIndex();
    QString filter;
    if (index >= 1) {
        qint32 id = -1;
        try {
            id = w.store().FindBookID(w.ui.cboBook->itemText(index));
        } catch (const SqlError& e) {
            w.store().reportReadFailure(e);
            return;
        }
        if (id == -1) return;
        filter = QStringLiteral(" Where a.fBookID=") + QString::number(id);
    }
    FillTitleList(filter, QStringLiteral("a.fTitle,a.fPoet"), QStringLiteral("0"));
    w.ui.myState->setText(QStringLiteral("状态：[") + w.ui.cboBook->toolTip() + u']');
}
