#pragma once
// Reading the poem the pane shows and the poem the edit fields are loaded with.
#include "db/sqlitedb.h"
#include "display/poemlayout.h"
#include "edit/poemrecord.h"

#include <optional>

// The fields the pane draws of the poem with this id; none when there is no
// such poem. Throws SqlError.
std::optional<PoemFields> ReadShownPoem(SqlDatabase& db, qint64 poemId);
// Every field of the poem with this id, poet and title (the row the title list
// names); none when no row matches. A NULL count reads as 0. Throws SqlError.
std::optional<PoemRecord> ReadListedPoem(SqlDatabase& db, qint64 poemId, const QString& poet, const QString& title);
