#include "dailybackup.h"

#include "sqlitedb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <sqlite3.h>

namespace DailyBackup {

QString folderFor(const QString& dbPath) {
    return QFileInfo(dbPath).absoluteDir().filePath(QStringLiteral("backup"));
}

QString fileFor(const QString& dbPath, const QDate& day) {
    return QDir(folderFor(dbPath))
        .filePath(QFileInfo(dbPath).completeBaseName() + u'-' + day.toString(QStringLiteral("yyyyMMdd")) +
                  QStringLiteral(".mdb"));
}

namespace {

// Copies the main database of `source` into a new file at `target`.
bool copyDatabase(sqlite3* source, const QString& target, QString* error) {
    sqlite3* dest = nullptr;
    int rc = sqlite3_open_v2(target.toUtf8().constData(), &dest, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                             nullptr);
    if (rc == SQLITE_OK) {
        if (sqlite3_backup* b = sqlite3_backup_init(dest, "main", source, "main")) {
            // One step copies every page under one read lock: a consistent copy.
            const int step = sqlite3_backup_step(b, -1);
            // An I/O failure of any step is reported by finish (and left on the
            // destination connection); a busy source is not, and leaves the copy unfinished.
            rc = sqlite3_backup_finish(b);
            if (rc == SQLITE_OK && step != SQLITE_DONE) rc = step;
        } else {
            rc = sqlite3_extended_errcode(dest);
        }
    }
    if (rc != SQLITE_OK) {
        *error = QString::fromUtf8(dest && sqlite3_errcode(dest) != SQLITE_OK ? sqlite3_errmsg(dest)
                                                                               : sqlite3_errstr(rc));
    }
    sqlite3_close(dest);
    return rc == SQLITE_OK;
}

void removeOldCopies(const QString& dbPath, int keep) {
    const QDir dir(folderFor(dbPath));
    const QRegularExpression name(QStringLiteral("^") +
                                  QRegularExpression::escape(QFileInfo(dbPath).completeBaseName()) +
                                  QStringLiteral("-\\d{8}\\.mdb$"));
    QStringList copies;
    for (const QString& f : dir.entryList(QDir::Files, QDir::Name))
        if (name.match(f).hasMatch()) copies << f;
    // Dates written as yyyyMMdd sort by name.
    for (qsizetype i = 0; i + keep < copies.size(); ++i) QFile::remove(dir.filePath(copies[i]));
}

} // namespace

bool make(SqlDatabase& db, const QString& dbPath, const QDate& day, QString* error, int keep) {
    const QString target = fileFor(dbPath, day);
    if (QFileInfo::exists(target)) return true;
    if (!QDir().mkpath(folderFor(dbPath))) {
        *error = QStringLiteral("无法建立文件夹 %1 。").arg(QDir::toNativeSeparators(folderFor(dbPath)));
        return false;
    }
    // Written under another name first, so that a copy cut short (a full disk, a
    // crash) never passes for the day's backup.
    const QString part = target + QStringLiteral(".part");
    QFile::remove(part);
    if (!copyDatabase(db.handle(), part, error)) {
        QFile::remove(part);
        return false;
    }
    if (!QFile::rename(part, target)) {
        *error = QStringLiteral("无法把备份改名为 %1 。").arg(QDir::toNativeSeparators(target));
        QFile::remove(part);
        return false;
    }
    removeOldCopies(dbPath, keep);
    return true;
}

} // namespace DailyBackup
