#pragma once
// The values the poem panel's pick lists offer, read from the store.
#include "db/sqlitedb.h"

#include <QStringList>

// Every poet, by name. Throws SqlError.
QStringList PoetNames(SqlDatabase& db);
// The dynasties in their display order. Throws SqlError.
QStringList DynastyNames(SqlDatabase& db);
// The categories and the forms the poems use, each once, sorted; empty values
// left out. Throw SqlError.
QStringList PoemTypes(SqlDatabase& db);
QStringList PoemStyles(SqlDatabase& db);
