#include "browse/browsecontroller.h"

#include "app/artwork.h"
#include "app/busycursor.h"
#include "app/combochoice.h"
#include "app/session.h"
#include "app/windowframe.h"
#include "browse/historyline.h"
#include "browse/navigationtreemodel.h"
#include "browse/titlelistmodel.h"
#include "browse/titlelistview.h"
#include "db/messagesink.h"
#include "db/poemstore.h"
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

// The pictures of a grouping's groups and children.
struct GroupingImages {
    const char* group;
    const char* child;
};

GroupingImages imagesOf(TitleGrouping grouping) {
    switch (grouping) {
    case TitleGrouping::ByDynasty: return {"wall", "poet"};
    case TitleGrouping::ByPoet: return {"poet", "clsdfold"};
    case TitleGrouping::ByForm: return {"clsdfold", "poet"};
    }
    return {"", ""};
}

// The grouping of an entry of the grouping list; false for any other index.
bool groupingAt(int index, TitleGrouping* grouping) {
    if (index < 0 || index > 2) return false;
    *grouping = TitleGrouping(index);
    return true;
}

} // namespace

BrowseController::BrowseController(const BrowseUi& controls, PoemStore& store, MessageSink& messages,
                                   Session& session, WindowFrame& frame, QObject* parent)
    : QObject(parent), ui(controls), m_store(store), m_messages(messages), m_session(session) {
    m_model = new TitleListModel(this);
    TitleListView* list = ui.lstTitle;
    list->setModel(m_model);
    list->setToolTip(QStringLiteral("选入作品列表"));
    // Column widths in twips: 4322, 2117, 2117 and a hidden id column.
    QTreeView* details = list->detailsView();
    details->setColumnWidth(0, frame.twipsToPixels(4322));
    details->setColumnWidth(1, frame.twipsToPixels(2117));
    details->setColumnWidth(2, frame.twipsToPixels(2117));
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

    connectChoice(ui.cboTitle2, this, [this] { cboTitle2_Click(); });

    m_tree = new NavigationTreeModel(this);
    QTreeView* tree = ui.tvwList;
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
        if (watched == ui.tvwList->viewport()) m_nodeChangesAtPress = m_nodeChanges;
        else m_rowChangesAtPress = m_rowChanges;
    }
    return QObject::eventFilter(watched, event);
}

// ---- Title list ----

void BrowseController::FillTitleList(const QString& filter, const QString& order, const QString& mode) {
    FillTitleList(filter, order, mode.trimmed().toDouble() == 0.0 ? ListFill::Replace : ListFill::Append);
}

void BrowseController::FillTitleList(const QString& filter, const QString& order, ListFill fill) {
    BusyCursor busy;
    const bool replace = fill == ListFill::Replace;
    m_filling = true;
    // The rows shown so far go first, so two large lists are never held at once.
    if (replace) m_model->clear();
    PoemCounts counts;
    try {
        TitleRows rows = ReadTitleRows(m_store.db(), filter, order, replace ? &counts : nullptr);
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
        // Counted by the pass that read the rows.
        m_session.setListed(counts.titles, counts.poems);
    } else {
        // An append counts the list's titles; its poems are not counted again.
        m_session.setListed(m_model->size(), 0, false);
    }
    lstTitle_Click();
}

void BrowseController::UpdateCounters(const QString& filter, bool totals) {
    BusyCursor busy;
    PoemCounts counts;
    try {
        counts = CountPoems(m_store.db(), filter);
    } catch (const SqlError&) {
        counts = PoemCounts{};
    }
    if (totals) m_session.setTotals(counts.titles, counts.poems);
    else m_session.setListed(counts.titles, counts.poems);
}

int BrowseController::selectedRow() const {
    const QModelIndex i = ui.lstTitle->listView()->selectionModel()->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void BrowseController::selectRow(int row) {
    QItemSelectionModel* sel = ui.lstTitle->listView()->selectionModel();
    const QModelIndex i = m_model->index(row, 0);
    sel->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ui.lstTitle->currentView()->scrollTo(i);
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
    QComboBox* history = ui.cboTitle2;
    m_session.setShownPoemId(r.poemId);
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

void BrowseController::lstTitle_MouseDown(const QPoint& globalPos) { ui.mnuLst->popup(globalPos); }

void BrowseController::cboTitle2_Click() {
    const int index = ui.cboTitle2->currentIndex();
    if (index < 0) return;
    const qint64 id = ui.cboTitle2->itemData(index).toLongLong();
    if (id <= 0) return;
    // The shown poem stays the one last chosen in the title list: a look at
    // another poem through the history does not move an armed edit to it.
    emit poemChosen(id);
}

void BrowseController::RemoveHistoryEntry(qint32 id, int force) {
    QComboBox* history = ui.cboTitle2;
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
    TitleGrouping grouping;
    if (!groupingAt(ui.cboList->currentIndex(), &grouping)) return;
    const GroupingImages images = imagesOf(grouping);
    const QString groupImage = QString::fromLatin1(images.group);
    const QString childImage = QString::fromLatin1(images.child);
    const QString poetInEditor = ui.cboPoet2->currentText();
    QTreeView* tree = ui.tvwList;

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
        ReadGroupingRows(m_store.db(), grouping, filter, [&](QByteArrayView group, QByteArrayView child) {
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
        });
    } catch (const SqlError& e) {
        m_store.reportReadFailure(e);
    }
    const bool empty = nodes.empty();
    m_tree->reset(std::move(nodes), groupImage, childImage);

    if (empty) {
        m_treeFilling = false;
        m_model->clear();
        m_messages.message(QStringLiteral("目前未有诗词选入！"), MessageSink::Icon::Warning);
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
    const int index = ui.cboList->currentIndex();
    if (m_shownGrouping == index) return;
    FillNavigationTree(QString());
    m_shownGrouping = index;
}

void BrowseController::tvwList_NodeClick(const QModelIndex& node) {
    if (!node.isValid()) return;
    BusyCursor busy;
    QString dynasty, style, poet;
    const bool group = node.data(NavigationTreeModel::KeyRole).toString().startsWith(u'B');
    const QString text = m_tree->text(node);
    const QString parent = m_tree->text(node.parent());
    TitleGrouping grouping;
    if (!groupingAt(ui.cboList->currentIndex(), &grouping)) return;
    switch (grouping) {
    case TitleGrouping::ByDynasty:
        if (group) dynasty = text;
        else dynasty = parent, poet = text;
        break;
    case TitleGrouping::ByPoet:
        if (group) poet = text;
        else style = text, poet = parent;
        break;
    case TitleGrouping::ByForm:
        if (group) style = text;
        else style = parent, poet = text;
        break;
    }
    const QString filter = BuildPoemFilter({.dynasty = dynasty, .style = style, .poet = poet});
    FillTitleList(filter, QStringLiteral("a.fTitle,a.fPoet"), ListFill::Replace);
    ui.myState->setText(QStringLiteral("状态：[查询]"));
}

// ---- Book selector ----

void BrowseController::cboBook_Click() {
    // Runs only while the combo is shown (not replaced by the duplicate picker's
    // layout) and no book name is being typed.
    if (ui.cboBook->isHidden()) return;
    if (m_session.inputState() != InputState::Free) return;
    BusyCursor busy;
    const int index = ui.cboBook->currentIndex();
    QString filter;
    if (index >= 1) {
        qint32 id = -1;
        try {
            id = m_store.FindBookID(ui.cboBook->itemText(index));
        } catch (const SqlError& e) {
            m_store.reportReadFailure(e);
            return;
        }
        if (id == -1) return;
        filter = QStringLiteral(" Where a.fBookID=") + QString::number(id);
    }
    FillTitleList(filter, QStringLiteral("a.fTitle,a.fPoet"), ListFill::Replace);
    ui.myState->setText(QStringLiteral("状态：[") + ui.cboBook->toolTip() + u']');
}
