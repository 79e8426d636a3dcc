#include "search/bookmarkstore.h"

#include <QtGlobal>

QString BookmarkedFilter() { return QStringLiteral(" Where a.fBookmark>0"); }

QString BookmarkedOrder() { return QStringLiteral("a.fBookmark desc"); }

namespace {
void setBookmarks(SqlDatabase& db, const QList<qint32>& poemIds, qint64 first, bool counting) {
    SqlStatement st = db.prepare(QStringLiteral("Update Poetry Set fBookmark=?1 Where fPoemID=?2"));
    qint64 number = first;
    for (qint32 poemId : poemIds) {
        st.bind(1, number);
        st.bind(2, qint64(poemId));
        st.next();
        st.reset();
        if (counting) ++number;
    }
}
} // namespace

void AddBookmarks(SqlDatabase& db, const QList<qint32>& poemIds) {
    SqlTransaction t(db);
    qint64 highest = 0;
    if (!db.scalarInt(QStringLiteral("select max(fBookmark) from Poetry"), &highest)) highest = 0;
    setBookmarks(db, poemIds, qMax<qint64>(highest, 0) + 1, true);
    t.commit();
}

void RemoveBookmarks(SqlDatabase& db, const QList<qint32>& poemIds) {
    SqlTransaction t(db);
    setBookmarks(db, poemIds, 0, false);
    t.commit();
}

void RemoveAllBookmarks(SqlDatabase& db) {
    SqlTransaction t(db);
    db.exec(QStringLiteral("Update Poetry Set fBookmark=0 Where fBookmark <> 0"));
    t.commit();
}
