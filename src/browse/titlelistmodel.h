#pragma once
// The model behind lstTitle: four columns 标题, 作者, 格式 and the hidden poem id.
// Item keys are "L" + the row number; a fill replaces or appends in one batch.
// Rows the poem editor adds carry keys "tmp" + a number instead.
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

    void replaceRows(TitleRows rows);
    void appendRows(const TitleRows& rows);
    void clear();
    void removeRowAt(int row);

    TitleRow row(int r) const { return m_rows[r]; }
    qint32 poemId(int r) const { return m_rows.poemId(r); }
    QString title(int r) const { return m_rows.title(r); }
    int size() const { return m_rows.size(); }
    // Keys are stored as numbers: n >= 0 is "L<n>", n < 0 is "tmp<-n-1>".
    QString key(int r) const {
        const qint32 k = m_keys[size_t(r)];
        return k >= 0 ? QStringLiteral("L") + QString::number(k) : QStringLiteral("tmp") + QString::number(-qint64(k) - 1);
    }
    // The next key number: rows added later continue from here (keys stay unique).
    int nextKey() const { return m_nextKey; }
    void insertRow(int at, TitleRow r, const QString& keyPrefixNumber = QString());
    // Appends a row keyed "tmp<n>"; when that key is taken, the next free number
    // above n is used. Returns the key given.
    QString appendTmpRow(TitleRow r, qint32 n);
    // Replaces the title, poet and style shown in row r.
    void setRowText(int r, const QString& title, const QString& poet, const QString& style);
    // The large-icon view shows the large icon ("book3"), the others the small one ("leaf").
    void setLargeIcons(bool large);

private:
    TitleRows m_rows;
    std::vector<qint32> m_keys;
    int m_nextKey = 0;
    QIcon m_large;
    QIcon m_small;
    bool m_largeIcons = false;
};
