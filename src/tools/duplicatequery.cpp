#include "tools/duplicatequery.h"

#include "browse/historyline.h"
#include "db/sqltext.h"

#include <optional>

QString ClearFirstClausesStatement() {
    return QStringLiteral("update poetry set fbook_del='' where fbook_del<>'' or isnull(fbook_del)");
}

QString FillFirstClausesStatement() {
    return QStringLiteral(
        "update poetry set fbook_del=left(fcontent,instr(fcontent,'，')-1) where instr(fcontent,'，')>0");
}

void RebuildFirstClauses(SqlDatabase& db) {
    // The value the two updates leave: the text before the first "，", or the
    // empty text (also for a NULL content). A row already holding exactly that
    // value (compared case-sensitively, since the column ignores Latin case) is
    // not written again, so a repeated check rewrites almost nothing.
    static const QString clause = QStringLiteral(
        "(CASE WHEN instr(fContent,'，')>0 THEN substr(fContent,1,instr(fContent,'，')-1) ELSE '' END)");
    db.execNative(QStringLiteral("UPDATE Poetry SET fBook_del=") + clause +
                  QStringLiteral(" WHERE fBook_del IS NOT ") + clause + QStringLiteral(" COLLATE BINARY"));
}

QString DuplicateRowsQuery() {
    return QStringLiteral("select  distinct a.fpoemid,a.fPoet,a.fTitle,a.fbook_del,count(b.fpoemid) as fTry ") +
           QStringLiteral("from poetry a left join poetry b on a.fbook_del=b.fbook_del ") +
           QStringLiteral("Where '' & a.fbook_del<>'' ") +
           QStringLiteral("group by a.fpoemid,a.fPoet,a.fTitle,a.fbook_del ") +
           QStringLiteral("Having Count(b.fpoemid) > 1 ") + QStringLiteral("order by a.fTitle");
}

QList<DuplicateRow> ReadDuplicateRows(SqlDatabase& db, int cap) {
    QList<DuplicateRow> rows;
    SqlStatement st = db.prepare(DuplicateRowsQuery());
    while (rows.size() < cap && st.next()) {
        DuplicateRow r;
        r.poemId = st.int64(0);
        r.poet = st.text(1);
        r.title = st.text(2);
        r.firstClause = st.text(3);
        r.tries = st.int64(4);
        rows.append(r);
    }
    return rows;
}

QList<DuplicateEntry> DuplicateEntries(const QList<DuplicateRow>& rows) {
    QList<DuplicateEntry> entries;
    // No title before the first row: a first run with an empty title gets its
    // entry like any other.
    std::optional<QString> previous;
    for (const DuplicateRow& r : rows) {
        if (!previous || r.title != *previous)
            entries.prepend(DuplicateEntry{FormatTitlePoet(r.title, r.poet), r.poemId, r.firstClause});
        previous = r.title;
    }
    return entries;
}

QString DuplicateGroupFilter(const QString& firstClause) {
    return QStringLiteral("Where a.fBook_del=") + sqlText(firstClause);
}
