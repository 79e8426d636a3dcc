#pragma once
// Writing the current template back to the PoetrySet table: into a stored
// template (save) or as a new one (save as).
#include "db/sqlitedb.h"
#include "display/templateline.h"

#include <QString>

// How WriteTemplate writes: into the rows of an existing template, or new rows.
enum class TemplateWriteMode : int { New = 1, Save = 2 };

// The statements for line kind `kind` of template `name`, numbers as plain
// decimals, the name and the face as SQL text literals.
QString TemplateUpdateSql(const TemplateLine& line, const QString& name, int kind);
QString TemplateInsertSql(const TemplateLine& line, const QString& name, int kind);

// Writes the five lines of `lines` under `name` in one transaction: every line
// or none. Saving updates each line kind's row; a line kind without a stored
// row (a template that exists only as a name, such as the placeholder of an
// empty table) gets its row inserted, so the save never silently writes
// nothing. New inserts five rows. Throws SqlError; the transaction is then
// rolled back.
void WriteTemplate(SqlDatabase& db, const QString& name, const Template& lines, TemplateWriteMode mode);
