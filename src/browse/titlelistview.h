#pragma once
// The title list lstTitle: one model shown either by a QListView (large icons,
// small icons, list) or by a QTreeView (details), switched by the view style 0-3.
#include <QWidget>

class QAbstractItemModel;
class QAbstractItemView;
class QListView;
class QStackedLayout;
class QTreeView;

class TitleListView : public QWidget {
    Q_OBJECT
public:
    explicit TitleListView(QWidget* parent = nullptr);
    void setModel(QAbstractItemModel* model);
    QAbstractItemModel* model() const { return m_model; }
    // 0 large icons, 1 small icons, 2 list, 3 details.
    void setViewStyle(int style);
    int viewStyle() const { return m_style; }
    // 1 arrange along the left edge, 2 along the top edge.
    void setArrangement(int arrange);
    int arrangement() const { return m_arrange; }
    QAbstractItemView* currentView() const;
    QListView* listView() const { return m_list; }
    QTreeView* detailsView() const { return m_details; }

signals:
    void itemClicked(int row);
    void rightButtonPressed(const QPoint& globalPos);
    void viewStyleChanged(int style);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStackedLayout* m_stack;
    QListView* m_list;
    QTreeView* m_details;
    QAbstractItemModel* m_model = nullptr;
    int m_style = 2;
    int m_arrange = 1;
};
