#pragma once
// Browsing: the navigation tree, the title list with its history and counters,
// and the book selector's listing. Works on the main window's controls and state.
#include <QObject>
#include <QString>

class MainWindow;
class NavigationTreeModel;
class QModelIndex;
class TitleListModel;

class BrowseController : public QObject {
    Q_OBJECT
public:
    explicit BrowseController(MainWindow& window);

    TitleListModel* model() const { return m_model; }

    // Title list and counters.
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

    // Book selector.
    void cboBook_Click();

private:
    MainWindow& w;
    TitleListModel* m_model;
    NavigationTreeModel* m_tree = nullptr;
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
