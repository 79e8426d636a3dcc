#pragma once
// The model behind lstTitle: four columns 标题, 作者, 格式 and the hidden poem id.
// Item keys are "L" + the row number; a fill replaces or appends in one batch.
#include "browse/titlerows.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <vector>

class TitleListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TitleListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void replaceRows(std::vector<TitleRow> rows);
    void appendRows(std::vector<TitleRow> rows);
    void clear();
    void removeRowAt(int row);

    const TitleRow& row(int r) const { return m_rows[size_t(r)]; }
    TitleRow& row(int r) { return m_rows[size_t(r)]; }
    int size() const { return int(m_rows.size()); }
    QString key(int r) const { return QStringLiteral("L") + QString::number(m_keys[size_t(r)]); }
    // The next key number: rows added later continue from here (keys stay unique).
    int nextKey() const { return m_nextKey; }
    void insertRow(int at, TitleRow r, const QString& keyPrefixNumber = QString());

private:
    std::vector<TitleRow> m_rows;
    std::vector<qint32> m_keys;
    int m_nextKey = 0;
    QIcon m_large;
    QIcon m_small;
};
