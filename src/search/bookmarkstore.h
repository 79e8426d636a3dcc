#pragma once
// Bookmarks: a number in the poem's fBookmark, 0 for none. A new bookmark gets a
// number above every number in use, so the list of bookmarks, newest first, is
// the list ordered by that number descending.
#include "db/sqlitedb.h"

#include <QList>
#include <QString>

// The title list's filter and order for the bookmarked poems, newest first.
QString BookmarkedFilter();
QString BookmarkedOrder();

// Bookmarks the poems in the order given, each above every number in use; all
// or none. Throws SqlError (the highest number in use is read here, not taken as
// 0 on a failure, which would hand out numbers already in use).
void AddBookmarks(SqlDatabase& db, const QList<qint32>& poemIds);
// Removes the bookmarks of the poems, all or none. Throws SqlError.
void RemoveBookmarks(SqlDatabase& db, const QList<qint32>& poemIds);
// Removes every bookmark. Throws SqlError.
void RemoveAllBookmarks(SqlDatabase& db);
