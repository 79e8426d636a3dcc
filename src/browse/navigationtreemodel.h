#pragma once
// The navigation tree's nodes: group nodes at the top, child nodes under them.
// Held as two plain levels so a tree of tens of thousands of nodes is built in
// one pass and shown by a QTreeView without an item object per node.
#include <QAbstractItemModel>
#include <QString>
#include <vector>

class NavigationTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // Roles: the node's key ("B<n>" or "C<n>") and its image name.
    static constexpr int KeyRole = Qt::UserRole;
    static constexpr int ImageRole = Qt::UserRole + 1;

    struct Child {
        QString text;
        qint32 number = 0;
    };
    struct Group {
        QString text;
        qint32 number = 0;
        std::vector<Child> children;
    };

    explicit NavigationTreeModel(QObject* parent = nullptr);

    // Replaces every node in one reset.
    void reset(std::vector<Group> groups, const QString& groupImage, const QString& childImage);
    void clear() { reset({}, m_groupImage, m_childImage); }

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Asked for every node when the view lays the tree out: answered directly.
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    bool isGroup(const QModelIndex& index) const { return index.isValid() && index.internalId() == 0; }
    QString text(const QModelIndex& index) const;
    // The node of a group or of a child of a group.
    QModelIndex groupIndex(int group) const { return index(group, 0); }
    QModelIndex childIndex(int group, int child) const { return index(child, 0, groupIndex(group)); }

private:
    std::vector<Group> m_groups;
    QString m_groupImage;
    QString m_childImage;
};
