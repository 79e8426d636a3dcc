#include "poemstore.h"

#include "dailybackup.h"
#include "sqltext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <sqlite3.h>

const QString PoemStore::kDatabasePassword = QStringLiteral("qkm宋&");

int PoemStore::openFile(const QString& path, bool writable, QString* error) {
    const int rc = m_db.open(path, !writable);
    if (rc != SQLITE_OK) {
        *error = m_db.lastError();
        return rc;
    }
    if (writable && sqlite3_db_readonly(m_db.handle(), "main") == 1) {
        m_db.close();
        *error = QStringLiteral("文件只读。");
        return SQLITE_READONLY;
    }
    return SQLITE_OK;
}

PoemStore::FailureKind PoemStore::classify(int rc) {
    switch (rc & 0xff) {
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_IOERR:
    case SQLITE_AUTH:
        return FailureKind::Generic;
    default:
        return FailureKind::Other;
    }
}

namespace {

bool hasSqliteHeader(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(16) == QByteArray("SQLite format 3\0", 16);
}

} // namespace

// What a failure of the first reads says about the file.
PoemStore::OpenProblem PoemStore::problemOf(int rc, const QString& path) {
    switch (rc & 0xff) {
    case SQLITE_ERROR: // no Poetry table
        return OpenProblem::NotPoemDatabase;
    case SQLITE_NOTADB:
        // A file that says it is an SQLite database and then is not one is damaged.
        return hasSqliteHeader(path) ? OpenProblem::Damaged : OpenProblem::NotPoemDatabase;
    case SQLITE_CORRUPT:
        return OpenProblem::Damaged;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return OpenProblem::Busy;
    case SQLITE_READONLY:
        // A hot journal (or a write-ahead log) left by an interrupted write, which
        // a connection that may not write cannot play back.
        if (rc == SQLITE_READONLY_ROLLBACK || rc == SQLITE_READONLY_RECOVERY || rc == SQLITE_READONLY_CANTINIT)
            return OpenProblem::NeedsRecovery;
        return OpenProblem::CannotOpen;
    default:
        return OpenProblem::CannotOpen;
    }
}

void PoemStore::close() {
    m_searchIndex.detach();
    m_db.setBeforeWrite({});
    m_db.close();
}

int PoemStore::onBusy(void* store, int) {
    auto* s = static_cast<PoemStore*>(store);
    if (s->m_waitStopped) return 0;
    if (!s->m_waitClock.isValid()) s->m_waitClock.start();
    const qint64 elapsed = s->m_waitClock.elapsed();
    if (elapsed >= kBusyTimeoutMs) return 0;
    if (s->m_busyWait) {
        s->m_waitAsked = true;
        if (!s->m_busyWait->keepWaiting(s->m_waitPath, int(elapsed))) {
            s->m_waitStopped = true;
            return 0;
        }
    }
    sqlite3_sleep(40);
    return 1;
}

// The first reads, which find out what the file is, and in locked mode the lock.
PoemStore::OpenProblem PoemStore::settle(bool writable, bool handleWritable, QString* detail) {
    m_waitClock.invalidate();
    m_waitAsked = false;
    m_waitStopped = false;
    sqlite3_busy_handler(m_db.handle(), &PoemStore::onBusy, this);
    OpenProblem problem = OpenProblem::None;
    try {
        // The file is a poem database when it has the Poetry table. This first
        // read also plays back a hot journal when the connection may write.
        qint64 n = 0;
        m_db.scalarInt(QStringLiteral("select count(*) from Poetry Where 1=0"), &n);
        if (!writable) {
            if (handleWritable) {
                // Locked: the connection holds the write lock for as long as the
                // file is open, which keeps every other writer out in any journal
                // mode (a read transaction alone does not stop a writer to a
                // write-ahead log), and refuses every change of its own.
                m_db.execNative(QStringLiteral("BEGIN IMMEDIATE"));
                m_db.execNative(QStringLiteral("PRAGMA query_only=1"));
            } else {
                // A file that cannot be written here: a read transaction keeps
                // writers of a rollback journal from committing.
                m_db.execNative(QStringLiteral("BEGIN"));
                m_db.execNative(QStringLiteral("SELECT count(*) FROM sqlite_master"));
            }
        }
    } catch (const SqlError& e) {
        problem = problemOf(e.code(), m_waitPath);
        *detail = e.message();
    }
    if (m_waitAsked && m_busyWait) m_busyWait->waitOver();
    // Later statements wait as the command time-out says.
    sqlite3_busy_timeout(m_db.handle(), kBusyTimeoutMs);
    return problem;
}

void PoemStore::report(OpenProblem problem, const QString& path, const QString& detail) {
    const QString file = QDir::toNativeSeparators(path);
    QString text;
    switch (problem) {
    case OpenProblem::NotPoemDatabase:
        text = path + QStringLiteral(" 并不是《蓝溪诗汇》数据库文件，操作失败！");
        break;
    case OpenProblem::Busy:
        text = QStringLiteral("数据库文件 %1 正被另一个程序占用，现在无法打开。\n\n"
                              "请关闭正在使用它的程序后再试。")
                   .arg(file);
        break;
    case OpenProblem::NeedsRecovery:
        text = QStringLiteral("数据库文件 %1 需要恢复：上次写入没有完成，留下了未完成的日志文件。\n\n"
                              "恢复需要以可写方式打开它一次，而这个文件现在不能写入。"
                              "请让文件可写（例如复制到可写的磁盘上）后再打开。")
                   .arg(file);
        break;
    case OpenProblem::Damaged:
        text = QStringLiteral("数据库文件 %1 已损坏，无法打开。\n\n%2\n\n"
                              "如果它旁边的 backup 文件夹里有备份，可以用最近的备份代替它。")
                   .arg(file, detail);
        break;
    default:
        text = QStringLiteral("无法打开数据库文件 %1 。\n\n%2").arg(path, detail);
        break;
    }
    m_sink->message(text, MessageSink::Icon::Critical);
}

qint16 PoemStore::OpenPoemDatabase(qint16 mode, const QString& path) {
    close();
    m_problem = OpenProblem::None;
    bool writable = mode == 1;
    qint16 result = writable ? 1 : 0;

    // A file that is not there cannot be read-only: say so at once instead of
    // asking the read-only question first.
    if (!QFileInfo(path).isFile()) {
        m_sink->message(QStringLiteral("无法打开数据库文件 %1 。\n\n文件不存在。").arg(path),
                        MessageSink::Icon::Critical);
        m_problem = OpenProblem::Missing;
        return -1;
    }

    // Locked mode, too, opens the file for writing where it can: only to hold
    // the write lock (see settle).
    bool mayWrite = true;
    for (;;) {
        QString error;
        const bool openWritable = writable || mayWrite;
        const int rc = openFile(path, openWritable, &error);
        if (rc == SQLITE_OK) break;
        if (classify(rc) == FailureKind::Generic) {
            if (writable) {
                m_sink->message(QStringLiteral("数据库文件 %1 只读 ?").arg(path), MessageSink::Icon::Warning);
                result = 0;
                writable = false;
                mayWrite = false;
                continue;
            }
            if (openWritable) {
                mayWrite = false;
                continue;
            }
            m_sink->message(QStringLiteral("无法打开数据库文件 %1 。\n\n%2").arg(path, error),
                            MessageSink::Icon::Critical);
            m_problem = OpenProblem::CannotOpen;
            return -1;
        }
        m_sink->message(QStringLiteral("系统无法打开数据库文件 %1，请确认您已经安装了“数据访问组件”。\n\n"
                                       "提示：您可以从 [澄川诗词网站] %2 下载，或者从 [Microsoft网站] 下载该组件。")
                            .arg(path, kProductWebPage),
                        MessageSink::Icon::Critical);
        m_problem = OpenProblem::Other;
        return -1;
    }

    m_waitPath = path;
    QString detail;
    const OpenProblem problem = settle(writable, writable || mayWrite, &detail);
    if (problem != OpenProblem::None) {
        close();
        m_problem = problem;
        report(problem, path, detail);
        return -1;
    }
    if (path != m_path) m_reportedTables.clear();
    m_path = path;
    // Never while locked: nothing is written then.
    if (writable && m_backupsOn) m_db.setBeforeWrite([this] { beforeWrite(); });
    m_searchIndex.attach(writable);
    return result;
}

void PoemStore::beforeWrite() {
    const QDate today = m_today ? m_today() : QDate::currentDate();
    if (today == m_backupDay) return;
    // A day that turns in the middle of a transaction that has written already
    // gets its copy at the next write after it, never with half a change in it.
    if (sqlite3_txn_state(m_db.handle(), "main") == SQLITE_TXN_WRITE) return;
    m_backupDay = today;
    QString error;
    if (DailyBackup::make(m_db, m_path, today, &error) || m_backupWarned) return;
    // Once a run: the write goes ahead all the same.
    m_backupWarned = true;
    m_sink->message(QStringLiteral("今天的自动备份没有做成：%1\n\n%2\n\n修改照常进行；本次运行不再提示。")
                        .arg(QDir::toNativeSeparators(DailyBackup::fileFor(m_path, today)), error),
                    MessageSink::Icon::Warning);
}

void PoemStore::reportReadFailure(const SqlError& error) {
    static const QRegularExpression missing(QStringLiteral("^no such table: (?:\\w+\\.)?(\\S+)$"));
    const QRegularExpressionMatch m = missing.match(error.message());
    if (!m.hasMatch()) {
        m_sink->message(error.message(), MessageSink::Icon::Warning);
        return;
    }
    const QString table = m.captured(1);
    if (m_reportedTables.contains(table.toLower())) return;
    m_reportedTables.insert(table.toLower());
    m_sink->message(QStringLiteral("数据库文件 %1 中没有数据表 %2，用到它的内容无法显示。\n\n本次运行不再提示。")
                        .arg(QDir::toNativeSeparators(m_path), table),
                    MessageSink::Icon::Warning);
}

qint32 PoemStore::FindTable(const QString& table, const QString& condition) {
    QString sql = QStringLiteral("select count(*) from ") + table;
    if (!condition.isEmpty()) sql += QStringLiteral(" Where ") + condition;
    try {
        qint64 n = 0;
        if (!m_db.scalarInt(sql, &n)) return -1;
        return n > INT32_MAX ? -1 : qint32(n);
    } catch (const SqlError&) {
        return -1;
    }
}

qint32 PoemStore::getMaxBookmark() {
    try {
        qint64 n = 0;
        if (!m_db.scalarInt(QStringLiteral("select max(fBookmark) from Poetry"), &n)) return 0;
        return qint32(n);
    } catch (const SqlError&) {
        return 0;
    }
}

qint32 PoemStore::FindPoemID(const QString& title, const QString& poet, const QString& style) {
    qint64 id = -1;
    const QString sql = QStringLiteral("select fPoemID from Poetry Where '' & fStyle=%1 and fPoet =%2 And fTitle=%3")
                            .arg(sqlText(style), sqlText(poet), sqlText(title));
    if (!m_db.scalarInt(sql, &id)) return -1;
    return qint32(id);
}

qint32 PoemStore::FindBookID(const QString& name) {
    qint64 id = -1;
    if (!m_db.scalarInt(QStringLiteral("select fBookID from PoetBook Where '' & fBook=%1").arg(sqlText(name)), &id))
        return -1;
    return qint32(id);
}
