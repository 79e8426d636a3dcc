#pragma once
// The navigation tree's nodes: group nodes at the top, child nodes under them.
// Held as two plain levels so a tree of tens of thousands of nodes is built in
// one pass and shown by a QTreeView without an item object per node. Node texts
// are kept as UTF-8 in one buffer, as the database hands them over: a text is
// made only for the rows the view asks about, and a tree is built and freed
// without an allocation per node.
#include "browse/textspans.h"

#include <QAbstractItemModel>
#include <QString>
#include <vector>

class NavigationTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // Roles: the node's key ("B<n>" or "C<n>") and its image name.
    static constexpr int KeyRole = Qt::UserRole;
    static constexpr int ImageRole = Qt::UserRole + 1;

    // The nodes of one tree, gathered in order before they are shown.
    class Nodes {
    public:
        void addGroup(QByteArrayView text, qint32 number);
        // A child of the last group added.
        void addChild(QByteArrayView text, qint32 number);
        bool empty() const { return m_groups.empty(); }
        // The text of the last group added, as stored (valid until the next add).
        QByteArrayView lastGroupText() const {
            return m_groups.empty() ? QByteArrayView() : m_text.bytes(m_groups.back().text);
        }
        int groupCount() const { return int(m_groups.size()); }
        int childCount(int group) const;

    private:
        friend class NavigationTreeModel;
        struct Node {
            TextSpans::Span text;
            qint32 number = 0;
        };
        TextSpans m_text;
        std::vector<Node> m_groups;
        std::vector<qint32> m_firstChild; // per group, into m_children
        std::vector<Node> m_children;
    };

    explicit NavigationTreeModel(QObject* parent = nullptr);

    // Replaces every node in one reset.
    void reset(Nodes nodes, const QString& groupImage, const QString& childImage);
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
    const Nodes::Node& node(const QModelIndex& index) const;
    Nodes m_nodes;
    QString m_groupImage;
    QString m_childImage;
};
