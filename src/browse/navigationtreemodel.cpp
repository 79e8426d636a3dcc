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

NavigationTreeModel::NavigationTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void NavigationTreeModel::reset(std::vector<Group> groups, const QString& groupImage, const QString& childImage) {
    beginResetModel();
    m_groups = std::move(groups);
    m_groupImage = groupImage;
    m_childImage = childImage;
    endResetModel();
}

// A group node's internal id is 0; a child's is its group's row + 1.
QModelIndex NavigationTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    if (!parent.isValid()) return row < int(m_groups.size()) ? createIndex(row, 0, quintptr(0)) : QModelIndex();
    if (parent.internalId() != 0) return {};
    const Group& g = m_groups[size_t(parent.row())];
    return row < int(g.children.size()) ? createIndex(row, 0, quintptr(parent.row() + 1)) : QModelIndex();
}

QModelIndex NavigationTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == 0) return {};
    return createIndex(int(child.internalId() - 1), 0, quintptr(0));
}

int NavigationTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return int(m_groups.size());
    if (parent.internalId() != 0) return 0;
    return int(m_groups[size_t(parent.row())].children.size());
}

int NavigationTreeModel::columnCount(const QModelIndex&) const { return 1; }

bool NavigationTreeModel::hasChildren(const QModelIndex& parent) const {
    if (!parent.isValid()) return !m_groups.empty();
    return parent.internalId() == 0 && !m_groups[size_t(parent.row())].children.empty();
}

Qt::ItemFlags NavigationTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.internalId() != 0 || m_groups[size_t(index.row())].children.empty()) f |= Qt::ItemNeverHasChildren;
    return f;
}

QString NavigationTreeModel::text(const QModelIndex& index) const {
    if (!index.isValid()) return {};
    if (index.internalId() == 0) return m_groups[size_t(index.row())].text;
    return m_groups[size_t(index.internalId() - 1)].children[size_t(index.row())].text;
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
    case KeyRole: {
        const qint32 n = group ? m_groups[size_t(index.row())].number
                               : m_groups[size_t(index.internalId() - 1)].children[size_t(index.row())].number;
        return QString(QChar(group ? u'B' : u'C')) + QString::number(n);
    }
    case ImageRole:
        return group ? m_groupImage : m_childImage;
    default:
        return {};
    }
}
