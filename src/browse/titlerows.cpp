#include "titlerows.h"

#include <QHash>

QString TitleListQuery(const QString& filter, const QString& order) {
    QString sql = QStringLiteral("select distinct a.fTitle,a.fStyle,a.fPoet,a.fPoemID,a.fBookmark,a.fBook_del from Poetry a ") +
                  filter;
    if (!order.isEmpty()) sql += QStringLiteral(" Order by ") + order;
    return sql;
}

std::vector<TitleRow> ReadTitleRows(SqlDatabase& db, const QString& filter, const QString& order) {
    std::vector<TitleRow> rows;
    // Forms and poets repeat over thousands of rows: the rows share one copy of
    // each, looked up by the stored bytes before any text is made.
    QHash<QByteArray, QString> shared;
    const auto share = [&shared](QByteArrayView v) -> QString {
        if (v.isNull()) return QString();
        const auto it = shared.constFind(QByteArray::fromRawData(v.data(), v.size()));
        if (it != shared.cend()) return *it;
        const QString s = QString::fromUtf8(v);
        shared.insert(v.toByteArray(), s);
        return s;
    };
    SqlStatement st = db.prepare(TitleListQuery(filter, order));
    while (st.next()) {
        TitleRow r;
        r.title = st.text(0);
        r.style = share(st.utf8(1));
        r.poet = share(st.utf8(2));
        r.poemId = qint32(st.int64(3));
        r.bookmark = qint32(st.int64(4));
        r.bookDel = st.text(5);
        rows.push_back(std::move(r));
    }
    return rows;
}
