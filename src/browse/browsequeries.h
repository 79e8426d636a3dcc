#pragma once
// The statements behind browsing: the rows the navigation tree is grouped from
// and the counts the status bar shows.
#include "browse/titlerows.h"
#include "db/sqlitedb.h"

#include <QByteArrayView>
#include <QString>
#include <functional>

// How the navigation tree groups the poems, in the order of the grouping list.
enum class TitleGrouping { ByDynasty = 0, ByPoet = 1, ByForm = 2 };

// Reads the pairs the tree is built from, for the poems a filter clause selects:
// by dynasty (dynasty, poet) in the dynasties' display order, by poet (poet, "")
// and by form (form, poet). Rows of one group come together; the texts are the
// store's bytes, valid during the call only. Throws SqlError.
void ReadGroupingRows(SqlDatabase& db, TitleGrouping grouping, const QString& filter,
                      const std::function<void(QByteArrayView group, QByteArrayView child)>& row);

// Counts the poems of a filter clause ("" for the whole table). Throws SqlError.
PoemCounts CountPoems(SqlDatabase& db, const QString& filter);
