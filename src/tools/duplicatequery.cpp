#include "tools/duplicatequery.h"

#include "browse/historyline.h"
#include "db/sqltext.h"

#include <QHash>
#include <algorithm>
#include <sqlite3.h>
#include <vector>

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
    // The rows of DuplicateRowsQuery, in its order, found in one pass over the
    // table instead of a self-join that builds a temporary index every run.
    // Clauses are grouped as the column compares them (Latin case ignored);
    // rows are ordered by title as the store orders it (NULL first, then the
    // UTF-8 bytes with Latin case ignored), equal titles in poem-id order.
    struct Rec {
        qint64 id;
        QByteArray poet, title, clause;
        bool titleNull;
    };
    std::vector<Rec> recs;
    QHash<QByteArray, qint64> counts;
    SqlStatement st = db.prepareNative(
        QStringLiteral("SELECT fPoemID,fPoet,fTitle,fBook_del FROM Poetry WHERE fBook_del<>'' ORDER BY fPoemID"));
    while (st.next()) {
        Rec r;
        r.id = st.int64(0);
        r.poet = st.utf8(1).toByteArray();
        const QByteArrayView t = st.utf8(2);
        r.titleNull = t.isNull();
        r.title = t.toByteArray();
        r.clause = st.utf8(3).toByteArray();
        ++counts[r.clause.toLower()];
        recs.push_back(std::move(r));
    }
    std::vector<const Rec*> dup;
    for (const Rec& r : recs)
        if (counts.value(r.clause.toLower()) > 1) dup.push_back(&r);
    std::stable_sort(dup.begin(), dup.end(), [](const Rec* a, const Rec* b) {
        if (a->titleNull != b->titleNull) return a->titleNull;
        return sqlite3_stricmp(a->title.constData(), b->title.constData()) < 0;
    });
    QList<DuplicateRow> rows;
    for (const Rec* r : dup) {
        if (rows.size() >= cap) break;
        rows.append({r->id, QString::fromUtf8(r->poet), QString::fromUtf8(r->title), QString::fromUtf8(r->clause),
                     counts.value(r->clause.toLower())});
    }
    return rows;
}

QList<DuplicateEntry> DuplicateEntries(const QList<DuplicateRow>& rows) {
    QList<DuplicateEntry> entries;
    // The previous title starts as the empty text, so a first run of untitled
    // rows (they sort first) starts no entry.
    QString previous;
    for (const DuplicateRow& r : rows) {
        if (r.title != previous)
            entries.prepend(DuplicateEntry{FormatTitlePoet(r.title, r.poet), r.poemId, r.firstClause});
        previous = r.title;
    }
    return entries;
}

QString DuplicateGroupFilter(const QString& firstClause) {
    // Latin case ignored whatever the column's own collation, as the check
    // groups the clauses.
    return QStringLiteral("Where a.fBook_del=") + sqlText(firstClause) + QStringLiteral(" COLLATE NOCASE");
}
