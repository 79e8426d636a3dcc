#pragma once
// Reads the seed files under data/ into a poem database.
#include "db/sqlitedb.h"

#include <QString>

struct SeedCounts {
    int poems = 0;
    int poets = 0;
    int briefs = 0;
    int dynasties = 0;
    int pinyinRows = 0;
    int templates = 0;
};

// Fills an empty database that already has the schema. Throws SqlError, or
// std::runtime_error for a seed file that is missing or malformed.
SeedCounts loadSeeds(SqlDatabase& db, const QString& dataDir);
