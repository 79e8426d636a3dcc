#include "poemstore.h"

#include "sqltext.h"

#include <QFileInfo>
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

void PoemStore::close() {
    m_searchIndex.detach();
    m_db.close();
}

qint16 PoemStore::OpenPoemDatabase(qint16 mode, const QString& path) {
    close();
    bool writable = mode == 1;
    qint16 result = writable ? 1 : 0;

    // A file that is not there cannot be read-only: say so at once instead of
    // asking the read-only question first.
    if (!QFileInfo(path).isFile()) {
        m_sink->message(QStringLiteral("无法打开数据库文件 %1 。\n\n文件不存在。").arg(path),
                        MessageSink::Icon::Critical);
        return -1;
    }

    for (;;) {
        QString error;
        const int rc = openFile(path, writable, &error);
        if (rc == SQLITE_OK) break;
        if (classify(rc) == FailureKind::Generic) {
            if (writable) {
                m_sink->message(QStringLiteral("数据库文件 %1 只读 ?").arg(path), MessageSink::Icon::Warning);
                result = 0;
                writable = false;
                continue;
            }
            m_sink->message(QStringLiteral("无法打开数据库文件 %1 。\n\n%2").arg(path, error),
                            MessageSink::Icon::Critical);
            return -1;
        }
        m_sink->message(QStringLiteral("系统无法打开数据库文件 %1，请确认您已经安装了“数据访问组件”。\n\n"
                                       "提示：您可以从 [澄川诗词网站] %2 下载，或者从 [Microsoft网站] 下载该组件。")
                            .arg(path, kProductWebPage),
                        MessageSink::Icon::Critical);
        return -1;
    }

    sqlite3_busy_timeout(m_db.handle(), kBusyTimeoutMs);

    if (FindTable(QStringLiteral("Poetry"), QStringLiteral("1=0")) == -1) {
        close();
        m_sink->message(path + QStringLiteral(" 并不是《蓝溪诗汇》数据库文件，操作失败！"),
                        MessageSink::Icon::Critical);
        return -1;
    }

    if (!writable) {
        // Locked mode: hold a read transaction for as long as the file is open.
        // Its shared lock keeps every other writer from committing.
        try {
            m_db.execNative(QStringLiteral("BEGIN"));
            m_db.execNative(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        } catch (const SqlError& e) {
            close();
            m_sink->message(QStringLiteral("无法打开数据库文件 %1 。\n\n%2").arg(path, e.message()),
                            MessageSink::Icon::Critical);
            return -1;
        }
    }
    m_searchIndex.attach(writable);
    return result;
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
