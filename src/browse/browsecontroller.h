#pragma once
// Browsing: the navigation tree, the title list with its history and counters,
// and the book selector's listing.
#include "browse/browsequeries.h"

#include <QObject>
#include <QString>

class MessageSink;
class NavigationTreeModel;
class PoemStore;
class QComboBox;
class QLabel;
class QMenu;
class QModelIndex;
class QTreeView;
class Session;
class TitleListModel;
class TitleListView;
class WindowFrame;

// The controls browsing works on.
struct BrowseUi {
    TitleListView* lstTitle = nullptr;
    QComboBox* cboTitle2 = nullptr;
    QTreeView* tvwList = nullptr;
    QComboBox* cboList = nullptr;
    QComboBox* cboPoet2 = nullptr;
    QComboBox* cboBook = nullptr;
    QMenu* mnuLst = nullptr;
    QLabel* myState = nullptr;
};

// Whether a fill replaces the list or adds to its end.
enum class ListFill { Replace, Append };

class BrowseController : public QObject {
    Q_OBJECT
public:
    BrowseController(const BrowseUi& ui, PoemStore& store, MessageSink& messages, Session& session,
                     WindowFrame& frame, QObject* parent);

    TitleListModel* model() const { return m_model; }

    // Title list and counters.
    void FillTitleList(const QString& filter, const QString& order, ListFill fill);
    // The mode as a number in text: 0 replaces, anything else appends.
    void FillTitleList(const QString& filter, const QString& order, const QString& mode);
    void UpdateCounters(const QString& filter, bool totals);
    void lstTitle_Click();
    void lstTitle_ItemClick();
    void lstTitle_MouseDown(const QPoint& globalPos);
    void cboTitle2_Click();
    void RemoveHistoryEntry(qint32 id, int force);
    // The selected row of the title list, or -1.
    int selectedRow() const;
    void selectRow(int row);

    // Navigation tree.
    void FillNavigationTree(const QString& filter);
    void cboList_Click();
    void tvwList_NodeClick(const QModelIndex& node);
    NavigationTreeModel* treeModel() const { return m_tree; }
    // The entry of the grouping list the tree was last built for; -1 before the first.
    int shownGrouping() const { return m_shownGrouping; }

    // Book selector.
    void cboBook_Click();

signals:
    // A poem was chosen to be shown (a line of the history box).
    void poemChosen(qint64 poemId);

private:
    BrowseUi ui;
    PoemStore& m_store;
    MessageSink& m_messages;
    Session& m_session;
    TitleListModel* m_model;
    NavigationTreeModel* m_tree = nullptr;
    int m_shownGrouping = -1;
    bool m_filling = false;
    bool m_treeFilling = false;
    // Changes of the current row/node, and their count when the mouse went down.
    quint64 m_rowChanges = 0;
    quint64 m_rowChangesAtPress = 0;
    quint64 m_nodeChanges = 0;
    quint64 m_nodeChangesAtPress = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
