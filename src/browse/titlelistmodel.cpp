#include "titlelistmodel.h"

#include "app/artwork.h"

#include <thread>

#include <algorithm>
#include <limits>

TitleListModel::TitleListModel(QObject* parent) : QAbstractTableModel(parent) {
    m_large = Artwork::toolIcon(QStringLiteral("诗"), QColor(0x1f, 0x5f, 0xa8)); // "book3"
    m_small = Artwork::toolIcon(QStringLiteral("叶"), QColor(0x2e, 0x7d, 0x32)); // "leaf"
}

int TitleListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_rows.size()); }

int TitleListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 4; }

QVariant TitleListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size()) return {};
    const int r = index.row();
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case 0: return m_rows.title(r);
        case 1: return m_rows.poet(r);
        case 2: return m_rows.style(r);
        case 3: return QString::number(m_rows.poemId(r));
        }
        return {};
    case Qt::DecorationRole:
        return index.column() == 0 ? QVariant(m_largeIcons ? m_large : m_small) : QVariant();
    case Qt::UserRole:
        return key(index.row());
    default:
        return {};
    }
}

QVariant TitleListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case 0: return QStringLiteral("标题");
    case 1: return QStringLiteral("作者");
    case 2: return QStringLiteral("格式");
    default: return QString();
    }
}

namespace {
// A list's rows sit in a few large blocks, but its poet texts number in the
// thousands for a large list: such a list is freed beside the window's thread,
// so the new list shows at once. The rows are no longer reachable from anything
// else (texts shared with them are reference counted atomically).
void release(TitleRows&& rows) {
    if (rows.size() <= 1000) return; // freed here, as it goes
    std::thread([r = std::move(rows)]() mutable { TitleRows().swap(r); }).detach();
}
} // namespace

void TitleListModel::replaceRows(TitleRows rows) {
    beginResetModel();
    TitleRows old;
    old.swap(m_rows);
    m_rows = std::move(rows);
    m_keys.resize(size_t(m_rows.size()));
    for (size_t i = 0; i < m_keys.size(); ++i) m_keys[i] = qint32(i);
    m_nextKey = m_rows.size();
    endResetModel();
    release(std::move(old));
}

void TitleListModel::appendRows(const TitleRows& rows) {
    if (rows.empty()) return;
    // Appended keys number on from the current count of items.
    const int first = m_rows.size();
    beginInsertRows(QModelIndex(), first, first + rows.size() - 1);
    m_rows.append(rows);
    int k = first;
    for (int i = 0; i < rows.size(); ++i) m_keys.push_back(k++);
    m_nextKey = qMax(m_nextKey, k);
    endInsertRows();
}

void TitleListModel::clear() { replaceRows({}); }

void TitleListModel::removeRowAt(int row) {
    if (row < 0 || row >= m_rows.size()) return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(row);
    m_keys.erase(m_keys.begin() + row);
    endRemoveRows();
}

void TitleListModel::insertRow(int at, TitleRow r, const QString&) {
    at = qBound(0, at, m_rows.size());
    beginInsertRows(QModelIndex(), at, at);
    m_rows.insert(at, r);
    m_keys.insert(m_keys.begin() + at, m_nextKey++);
    endInsertRows();
}

QString TitleListModel::appendTmpRow(TitleRow r, qint32 n) {
    n = qMax<qint32>(0, n);
    // Keys of tmp rows are -(n+1); look for a free one from n on.
    while (n < std::numeric_limits<qint32>::max() &&
           std::find(m_keys.begin(), m_keys.end(), -n - 1) != m_keys.end())
        ++n;
    const int at = m_rows.size();
    beginInsertRows(QModelIndex(), at, at);
    m_rows.append(r);
    m_keys.push_back(-n - 1);
    endInsertRows();
    return key(at);
}

void TitleListModel::setRowText(int r, const QString& title, const QString& poet, const QString& style) {
    if (r < 0 || r >= m_rows.size()) return;
    m_rows.setText(r, title, poet, style);
    emit dataChanged(index(r, 0), index(r, 3));
}

void TitleListModel::setLargeIcons(bool large) {
    if (large == m_largeIcons) return;
    m_largeIcons = large;
    if (!m_rows.empty()) emit dataChanged(index(0, 0), index(size() - 1, 0), {Qt::DecorationRole});
}
