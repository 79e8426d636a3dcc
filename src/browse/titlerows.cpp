#include "titlerows.h"

QString TitleListQuery(const QString& filter, const QString& order) {
    QString sql = QStringLiteral("select distinct a.fTitle,a.fStyle,a.fPoet,a.fPoemID,a.fBookmark,a.fBook_del from Poetry a ") +
                  filter;
    if (!order.isEmpty()) sql += QStringLiteral(" Order by ") + order;
    return sql;
}

std::vector<TitleRow> ReadTitleRows(SqlDatabase& db, const QString& filter, const QString& order) {
    std::vector<TitleRow> rows;
    SqlStatement st = db.prepare(TitleListQuery(filter, order));
    while (st.next()) {
        TitleRow r;
        r.title = st.text(0);
        r.style = st.text(1);
        r.poet = st.text(2);
        r.poemId = qint32(st.int64(3));
        r.bookmark = qint32(st.int64(4));
        r.bookDel = st.text(5);
        rows.push_back(std::move(r));
    }
    return rows;
}
