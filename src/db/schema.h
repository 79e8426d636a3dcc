#pragma once
// The six tables of a poem database, as the program's own files declare them.
// Text columns compare without regard to Latin case, as the statements expect.
#include "sqlitedb.h"

// Creates the tables and indexes in an empty database. Throws SqlError.
void createPoemSchema(SqlDatabase& db);
