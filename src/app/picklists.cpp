#include "app/picklists.h"

namespace {
QStringList column(SqlDatabase& db, const QString& sql) {
    QStringList values;
    SqlStatement st = db.prepare(sql);
    while (st.next()) values << st.text(0);
    return values;
}
} // namespace

QStringList PoetNames(SqlDatabase& db) { return column(db, QStringLiteral("select fPoet from Poet Order by fPoet")); }

QStringList DynastyNames(SqlDatabase& db) {
    return column(db, QStringLiteral("select fDynasty from PoetDynasty Order By fID"));
}

QStringList PoemTypes(SqlDatabase& db) {
    return column(db, QStringLiteral("select distinct fType from Poetry Where '' & fType<>'' Order By fType"));
}

QStringList PoemStyles(SqlDatabase& db) {
    return column(db, QStringLiteral("select distinct fStyle from Poetry Where '' & fStyle<>'' Order By fStyle"));
}
