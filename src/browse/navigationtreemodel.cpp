#include "browse/navigationtreemodel.h"

#include "app/artwork.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>

namespace {

QIcon nodeIcon(const QString& image) {
    static const QIcon wall = Artwork::toolIcon(QStringLiteral("朝"), QColor(0x8d, 0x6e, 0x63));
    static const QIcon poet = Artwork::toolIcon(QStringLiteral("人"), QColor(0x2e, 0x7d, 0x32));
    // "clsdfold" closed, "openfold" shown when the node is selected.
    static const QIcon folder = [] {
        QIcon i = QApplication::style()->standardIcon(QStyle::SP_DirClosedIcon);
        i.addPixmap(QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon).pixmap(16), QIcon::Selected);
        return i;
    }();
    if (image == u"wall") return wall;
    if (image == u"poet") return poet;
    return folder;
}

} // namespace

void NavigationTreeModel::Nodes::addGroup(QByteArrayView text, qint32 number) {
    m_groups.push_back({m_text.add(text), number});
    m_firstChild.push_back(qint32(m_children.size()));
}

void NavigationTreeModel::Nodes::addChild(QByteArrayView text, qint32 number) {
    if (m_groups.empty()) return;
    m_children.push_back({m_text.add(text), number});
}

int NavigationTreeModel::Nodes::childCount(int group) const {
    const size_t g = size_t(group);
    const size_t end = g + 1 < m_firstChild.size() ? size_t(m_firstChild[g + 1]) : m_children.size();
    return int(end - size_t(m_firstChild[g]));
}

NavigationTreeModel::NavigationTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void NavigationTreeModel::reset(Nodes nodes, const QString& groupImage, const QString& childImage) {
    beginResetModel();
    m_nodes = std::move(nodes);
    m_groupImage = groupImage;
    m_childImage = childImage;
    endResetModel();
}

// A group node's internal id is 0; a child's is its group's row + 1.
QModelIndex NavigationTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    if (!parent.isValid()) return row < m_nodes.groupCount() ? createIndex(row, 0, quintptr(0)) : QModelIndex();
    if (parent.internalId() != 0) return {};
    return row < m_nodes.childCount(parent.row()) ? createIndex(row, 0, quintptr(parent.row() + 1)) : QModelIndex();
}

QModelIndex NavigationTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == 0) return {};
    return createIndex(int(child.internalId() - 1), 0, quintptr(0));
}

int NavigationTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return m_nodes.groupCount();
    if (parent.internalId() != 0) return 0;
    return m_nodes.childCount(parent.row());
}

int NavigationTreeModel::columnCount(const QModelIndex&) const { return 1; }

bool NavigationTreeModel::hasChildren(const QModelIndex& parent) const {
    if (!parent.isValid()) return !m_nodes.empty();
    return parent.internalId() == 0 && m_nodes.childCount(parent.row()) > 0;
}

Qt::ItemFlags NavigationTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.internalId() != 0 || m_nodes.childCount(index.row()) == 0) f |= Qt::ItemNeverHasChildren;
    return f;
}

const NavigationTreeModel::Nodes::Node& NavigationTreeModel::node(const QModelIndex& index) const {
    if (index.internalId() == 0) return m_nodes.m_groups[size_t(index.row())];
    return m_nodes.m_children[size_t(m_nodes.m_firstChild[size_t(index.internalId() - 1)] + index.row())];
}

QString NavigationTreeModel::text(const QModelIndex& index) const {
    if (!index.isValid()) return {};
    return m_nodes.m_text.text(node(index).text);
}

QVariant NavigationTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const bool group = index.internalId() == 0;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return text(index);
    case Qt::DecorationRole:
        return nodeIcon(group ? m_groupImage : m_childImage);
    case KeyRole:
        return QString(QChar(group ? u'B' : u'C')) + QString::number(node(index).number);
    case ImageRole:
        return group ? m_groupImage : m_childImage;
    default:
        return {};
    }
}
