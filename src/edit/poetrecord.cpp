#include "edit/poetrecord.h"

#include <initializer_list>

namespace {

// Every value is bound as text, never as NULL: an empty name or biography is
// stored, and compared, as an empty text.
SqlStatement bound(SqlDatabase& db, const QString& sql, std::initializer_list<QString> values) {
    SqlStatement st = db.prepare(sql);
    int i = 0;
    for (const QString& v : values) st.bind(++i, v.isNull() ? QStringLiteral("") : v);
    return st;
}

qint64 count(SqlDatabase& db, const QString& sql, const QString& poet) {
    SqlStatement st = bound(db, sql, {poet});
    return st.next() && !st.isNull(0) ? st.int64(0) : 0;
}

} // namespace

QString PoetBiography(SqlDatabase& db, const QString& poet) {
    SqlStatement st = bound(db, QStringLiteral("select fBrief from Poet Where fPoet=?1"), {poet});
    return st.next() ? st.text(0) : QString();
}

bool PoetExists(SqlDatabase& db, const QString& poet) {
    return count(db, QStringLiteral("select count(*) from Poet Where fPoet=?1"), poet) >= 1;
}

qint64 PoemCountOfPoet(SqlDatabase& db, const QString& poet) {
    return count(db, QStringLiteral("select count(*) from Poetry Where fPoet=?1"), poet);
}

void InsertPoet(SqlDatabase& db, const QString& poet, const QString& biography) {
    bound(db, QStringLiteral("Insert Into Poet (fPoet,fBrief) Values (?1,?2)"), {poet, biography}).next();
}

void UpdatePoetBiography(SqlDatabase& db, const QString& poet, const QString& biography) {
    bound(db, QStringLiteral("Update Poet Set fBrief=?2 Where fPoet=?1"), {poet, biography}).next();
}

void DeletePoet(SqlDatabase& db, const QString& poet) {
    bound(db, QStringLiteral("Delete From Poet Where fPoet=?1"), {poet}).next();
}
