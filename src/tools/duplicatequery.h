#pragma once
// The store side of the duplicate check. Two poems count as duplicates when
// their content up to the first full-width comma "，" (their first clause) is
// the same. The check keeps each poem's first clause in the scratch column
// Poetry.fBook_del and finds the shared ones with a self-join.
#include "db/sqlitedb.h"

#include <QList>
#include <QString>

// The two updates that define the scratch column: empty it, then write the
// first clause of every poem whose content holds a "，" after its first
// character. Kept as statements so tests can compare RebuildFirstClauses with them.
QString ClearFirstClausesStatement();
QString FillFirstClausesStatement();

// Rewrites fBook_del of every poem with its first clause (the empty text when
// the content has no "，" or starts with one): the same values the two
// statements above leave, in one pass that writes only the rows whose value
// changes. Throws SqlError; the caller runs it inside a transaction.
void RebuildFirstClauses(SqlDatabase& db);

// The poems whose first clause at least one other poem shares, in title order,
// with the size of their group (fTry counts the poem itself).
QString DuplicateRowsQuery();

struct DuplicateRow {
    qint64 poemId = 0;
    QString poet;
    QString title; // a NULL title reads as the empty text
    QString firstClause;
    qint64 tries = 0;

    bool operator==(const DuplicateRow&) const = default;
};

// At most this many rows of the query are read.
inline constexpr int kDuplicateRowCap = 101;

// Runs DuplicateRowsQuery and reads its rows in order, stopping after `cap`
// rows. Throws SqlError.
QList<DuplicateRow> ReadDuplicateRows(SqlDatabase& db, int cap = kDuplicateRowCap);

// One entry of the duplicate list: its text (FormatTitlePoet of title and
// poet), the poem id and the first clause.
struct DuplicateEntry {
    QString text;
    qint64 poemId = 0;
    QString firstClause;

    bool operator==(const DuplicateEntry&) const = default;
};

// The list entries, top first. Each run of rows with the same title gives one
// entry, taken from the run's first row; since every new entry goes to the top
// of the list, the entries come out in reverse title order.
QList<DuplicateEntry> DuplicateEntries(const QList<DuplicateRow>& rows);

// The title-list filter of the group that shares `firstClause`.
QString DuplicateGroupFilter(const QString& firstClause);
