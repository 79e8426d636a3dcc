#pragma once
// Reading templates from the PoetrySet table, and deleting one.
#include "db/sqlitedb.h"
#include "display/templateline.h"

#include <QStringList>

// Loads the stored rows of `name` into `current` by row position (the first row
// into line kind 0, ...), at most five; kinds after the last row keep their
// values. With no stored row every kind takes the default values. Returns the
// number of rows used. Throws SqlError.
int LoadTemplateRows(SqlDatabase& db, const QString& name, Template& current);
// The stored template names in the order the store returns them. Throws SqlError.
QStringList StoredTemplateNames(SqlDatabase& db);
// Deletes every row of the template `name`. Throws SqlError.
void DeleteTemplate(SqlDatabase& db, const QString& name);
