#pragma once
// A copy of the database a day, made before the day's first write, in a folder
// "backup" beside the file: backup/<name>-YYYYMMDD.mdb for poem.mdb's name
// "poem". The newest copies are kept, the older ones removed.
#include <QDate>
#include <QString>

class SqlDatabase;

namespace DailyBackup {

inline constexpr int kKeep = 7;

QString folderFor(const QString& dbPath);
QString fileFor(const QString& dbPath, const QDate& day);

// Copies the database open on `db` (the file at dbPath) through SQLite's online
// backup, unless the day's copy exists already, then removes all but the newest
// `keep` copies of this file. False with the reason in `error` when no copy
// could be made; a failed removal of an old copy is no failure.
bool make(SqlDatabase& db, const QString& dbPath, const QDate& day, QString* error, int keep = kKeep);

} // namespace DailyBackup
