#include "titlerows.h"

TitleRow TitleRows::operator[](int i) const {
    const Row& r = m_rows[size_t(i)];
    return {title(i), m_texts[size_t(r.style)], m_texts[size_t(r.poet)], r.poemId, r.bookmark};
}

QString TitleRows::title(int i) const { return m_titles.text(m_rows[size_t(i)].title); }

qint32 TitleRows::text(QByteArrayView utf8) {
    // Looked up by the bytes themselves before any key or text is made.
    const auto it = m_textIndex.constFind(QByteArray::fromRawData(utf8.data(), utf8.size()));
    if (it != m_textIndex.cend()) return *it;
    const qint32 n = qint32(m_texts.size());
    m_texts.push_back(QString::fromUtf8(utf8));
    m_textIndex.insert(utf8.toByteArray(), n);
    return n;
}

void TitleRows::append(QByteArrayView title, QByteArrayView style, QByteArrayView poet, qint32 poemId,
                       qint32 bookmark) {
    Row r;
    r.title = m_titles.add(title);
    r.style = text(style);
    r.poet = text(poet);
    r.poemId = poemId;
    r.bookmark = bookmark;
    m_rows.push_back(r);
}

void TitleRows::append(const TitleRows& other) {
    m_rows.reserve(m_rows.size() + other.m_rows.size());
    const qint32 base = m_titles.append(other.m_titles);
    std::vector<qint32> mapped(other.m_texts.size());
    for (size_t k = 0; k < mapped.size(); ++k) mapped[k] = text(other.m_texts[k]);
    for (Row r : other.m_rows) {
        r.title.start += base;
        r.style = mapped[size_t(r.style)];
        r.poet = mapped[size_t(r.poet)];
        m_rows.push_back(r);
    }
}

TitleRows::Row TitleRows::stored(const TitleRow& t) {
    Row r;
    r.title = m_titles.add(t.title.toUtf8());
    r.style = text(t.style);
    r.poet = text(t.poet);
    r.poemId = t.poemId;
    r.bookmark = t.bookmark;
    return r;
}

void TitleRows::insert(int at, const TitleRow& r) { m_rows.insert(m_rows.begin() + at, stored(r)); }

void TitleRows::setText(int i, const QString& title, const QString& poet, const QString& style) {
    const Row& r = m_rows[size_t(i)];
    m_rows[size_t(i)] = stored({title, style, poet, r.poemId, r.bookmark});
}

QString TitleListQuery(const QString& filter, const QString& order) {
    QString sql = QStringLiteral("select distinct a.fTitle,a.fStyle,a.fPoet,a.fPoemID,a.fBookmark,a.fBook_del,a.fQty "
                                 "from Poetry a ") +
                  filter;
    if (!order.isEmpty()) sql += QStringLiteral(" Order by ") + order;
    return sql;
}

TitleRows ReadTitleRows(SqlDatabase& db, const QString& filter, const QString& order, PoemCounts* counts) {
    TitleRows rows;
    SqlStatement st = db.prepare(TitleListQuery(filter, order));
    // fBook_del (the duplicate check's scratch value) is selected but not kept.
    // fPoemID is the table's key, so "distinct" never merges two rows: every row
    // is one poem of the filter, as Count(*) counts them, and the counts add up
    // as sum(fQty) does, leaving NULL out.
    qint64 poems = 0;
    while (st.next()) {
        rows.append(st.utf8(0), st.utf8(1), st.utf8(2), qint32(st.int64(3)), qint32(st.int64(4)));
        if (!st.isNull(6)) poems += st.int64(6);
    }
    if (counts) *counts = {rows.size(), poems};
    return rows;
}
