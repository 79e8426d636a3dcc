#pragma once
// The poet rows the poet panel reads and writes: a poet's biography, whether a
// poet has a row or poems, and adding, updating and deleting a poet. Names are
// compared as the store compares them (without regard to Latin case).
#include "db/sqlitedb.h"

#include <QString>

// The biography of `poet`; empty when the poet has no row or none is stored.
// Throws SqlError.
QString PoetBiography(SqlDatabase& db, const QString& poet);
// Whether `poet` has a row of its own. Throws SqlError.
bool PoetExists(SqlDatabase& db, const QString& poet);
// The number of poems filed under `poet`. Throws SqlError.
qint64 PoemCountOfPoet(SqlDatabase& db, const QString& poet);

// The writes; each throws SqlError.
void InsertPoet(SqlDatabase& db, const QString& poet, const QString& biography);
void UpdatePoetBiography(SqlDatabase& db, const QString& poet, const QString& biography);
void DeletePoet(SqlDatabase& db, const QString& poet);
