#pragma once
// The rows of the title list, read from the store. Kept apart from the model so
// the fill can be measured and tested without windows.
#include "db/sqlitedb.h"

#include <QString>
#include <vector>

struct TitleRow {
    QString title;
    QString style;
    QString poet;
    qint32 poemId = 0;
    qint32 bookmark = 0;
    QString bookDel;
};

// The title-list query for a filter clause and an ORDER BY list.
QString TitleListQuery(const QString& filter, const QString& order);
// Runs the query and returns its rows. Throws SqlError.
std::vector<TitleRow> ReadTitleRows(SqlDatabase& db, const QString& filter, const QString& order);
