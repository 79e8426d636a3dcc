#pragma once
// The rows of the title list, read from the store. Kept apart from the model so
// the fill can be measured and tested without windows.
#include "browse/textspans.h"
#include "db/sqlitedb.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

// One row as the rest of the program sees it.
struct TitleRow {
    QString title;
    QString style;
    QString poet;
    qint32 poemId = 0;
    qint32 bookmark = 0;
};

// The rows of one list, held compactly: titles as the store gives them (UTF-8)
// in one buffer, and each form and poet text once for all rows naming it. The
// whole collection's list takes a fraction of the memory of a string per field,
// and is filled and freed without an allocation per row.
class TitleRows {
public:
    int size() const { return int(m_rows.size()); }
    bool empty() const { return m_rows.empty(); }
    TitleRow operator[](int i) const;
    QString title(int i) const;
    const QString& style(int i) const { return m_texts[size_t(m_rows[size_t(i)].style)]; }
    const QString& poet(int i) const { return m_texts[size_t(m_rows[size_t(i)].poet)]; }
    qint32 poemId(int i) const { return m_rows[size_t(i)].poemId; }

    // A row as the store gives it.
    void append(QByteArrayView title, QByteArrayView style, QByteArrayView poet, qint32 poemId, qint32 bookmark);
    void append(const TitleRow& r) { insert(size(), r); }
    void append(const TitleRows& other);
    void insert(int at, const TitleRow& r);
    void erase(int at) { m_rows.erase(m_rows.begin() + at); }
    // Replaces the title, poet and form of row i.
    void setText(int i, const QString& title, const QString& poet, const QString& style);
    void swap(TitleRows& other) noexcept {
        m_rows.swap(other.m_rows);
        m_titles.swap(other.m_titles);
        m_texts.swap(other.m_texts);
        m_textIndex.swap(other.m_textIndex);
    }

private:
    struct Row {
        TextSpans::Span title;
        qint32 style = 0; // in m_texts
        qint32 poet = 0;
        qint32 poemId = 0;
        qint32 bookmark = 0;
    };
    qint32 text(QByteArrayView utf8);
    qint32 text(const QString& s) { return text(QByteArrayView(s.toUtf8())); }
    Row stored(const TitleRow& r);

    std::vector<Row> m_rows;
    TextSpans m_titles;
    std::vector<QString> m_texts;
    QHash<QByteArray, qint32> m_textIndex;
};

// The titles a filter clause selects and the poems they hold (the sum of their
// counts; 0 when there are no titles or no counts).
struct PoemCounts {
    qint64 titles = 0;
    qint64 poems = 0;
    bool operator==(const PoemCounts&) const = default;
};

// The title-list query for a filter clause and an ORDER BY list. Each row also
// carries the poem's count, so that the list is counted by the pass that reads it.
QString TitleListQuery(const QString& filter, const QString& order);
// Runs the query and returns its rows; with `counts`, also the titles and poems
// of the filter, the same numbers its Count(*) and sum(fQty) give, from the same
// pass instead of two more. Throws SqlError.
TitleRows ReadTitleRows(SqlDatabase& db, const QString& filter, const QString& order, PoemCounts* counts = nullptr);
