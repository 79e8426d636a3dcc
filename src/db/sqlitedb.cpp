#include "sqlitedb.h"

#include "jetdialect.h"

#include <sqlite3.h>

SqlStatement::SqlStatement(sqlite3_stmt* stmt, sqlite3* db) : m_stmt(stmt), m_db(db) {}

SqlStatement::SqlStatement(SqlStatement&& other) noexcept : m_stmt(other.m_stmt), m_db(other.m_db) {
    other.m_stmt = nullptr;
}

SqlStatement& SqlStatement::operator=(SqlStatement&& other) noexcept {
    if (this != &other) {
        finalize();
        m_stmt = other.m_stmt;
        m_db = other.m_db;
        other.m_stmt = nullptr;
    }
    return *this;
}

SqlStatement::~SqlStatement() { finalize(); }

void SqlStatement::finalize() {
    if (m_stmt) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

void SqlStatement::bind(int i, const QString& value) {
    int rc = SQLITE_MISUSE;
    if (m_stmt) {
        if (value.isNull()) {
            rc = sqlite3_bind_null(m_stmt, i);
        } else {
            const QByteArray utf8 = value.toUtf8();
            rc = sqlite3_bind_text(m_stmt, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        }
    }
    if (rc != SQLITE_OK) throw SqlError(QString::fromUtf8(sqlite3_errstr(rc)), rc);
}

void SqlStatement::bind(int i, qint64 value) {
    const int rc = m_stmt ? sqlite3_bind_int64(m_stmt, i, value) : SQLITE_MISUSE;
    if (rc != SQLITE_OK) throw SqlError(QString::fromUtf8(sqlite3_errstr(rc)), rc);
}

void SqlStatement::bindUtf8(int i, QByteArrayView utf8) {
    const char* text = utf8.data() ? utf8.data() : "";
    const int rc = m_stmt ? sqlite3_bind_text(m_stmt, i, text, int(utf8.size()), SQLITE_TRANSIENT) : SQLITE_MISUSE;
    if (rc != SQLITE_OK) throw SqlError(QString::fromUtf8(sqlite3_errstr(rc)), rc);
}

void SqlStatement::reset() {
    if (!m_stmt) return;
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

bool SqlStatement::next() {
    if (!m_stmt) return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const QString msg = QString::fromUtf8(sqlite3_errmsg(m_db));
    const int code = sqlite3_extended_errcode(m_db);
    finalize();
    throw SqlError(msg, code);
}

int SqlStatement::columnCount() const { return m_stmt ? sqlite3_column_count(m_stmt) : 0; }

QString SqlStatement::columnName(int i) const {
    return QString::fromUtf8(sqlite3_column_name(m_stmt, i));
}

int SqlStatement::columnIndex(const QString& name) const {
    const int n = columnCount();
    for (int i = 0; i < n; ++i) {
        if (columnName(i).compare(name, Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
}

int SqlStatement::checkedIndex(const QString& name) const {
    const int i = columnIndex(name);
    if (i < 0) throw SqlError(QStringLiteral("no column %1").arg(name), SQLITE_ERROR);
    return i;
}

bool SqlStatement::isNull(int i) const { return sqlite3_column_type(m_stmt, i) == SQLITE_NULL; }

QString SqlStatement::text(int i) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i));
    if (!p) return QString();
    return QString::fromUtf8(p, sqlite3_column_bytes(m_stmt, i));
}

QByteArrayView SqlStatement::utf8(int i) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i));
    if (!p) return QByteArrayView();
    return QByteArrayView(p, sqlite3_column_bytes(m_stmt, i));
}

qint64 SqlStatement::int64(int i) const { return sqlite3_column_int64(m_stmt, i); }

double SqlStatement::real(int i) const { return sqlite3_column_double(m_stmt, i); }

SqlDatabase::~SqlDatabase() { close(); }

int SqlDatabase::open(const QString& path, bool readOnly, bool create) {
    close();
    int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (create && !readOnly) flags |= SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        m_openError = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(m_db);
        m_db = nullptr;
        return rc;
    }
    sqlite3_extended_result_codes(m_db, 1);
    return rc;
}

void SqlDatabase::close() {
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

void SqlDatabase::fail(const QString& what) {
    const QString msg = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("数据库未打开");
    const int code = m_db ? sqlite3_extended_errcode(m_db) : SQLITE_MISUSE;
    Q_UNUSED(what);
    throw SqlError(msg, code);
}

SqlStatement SqlDatabase::prepareNative(const QString& sql) {
    if (!m_db) fail(sql);
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        fail(sql);
    }
    SqlStatement st(stmt, m_db);
    if (m_beforeWrite && !m_inBeforeWrite && stmt && !sqlite3_stmt_readonly(stmt)) {
        m_inBeforeWrite = true;
        try {
            m_beforeWrite();
        } catch (...) {
            m_inBeforeWrite = false;
            throw;
        }
        m_inBeforeWrite = false;
    }
    return st;
}

SqlStatement SqlDatabase::prepare(const QString& jetSql) { return prepareNative(translateJetSql(jetSql)); }

void SqlDatabase::execNative(const QString& sql) {
    SqlStatement st = prepareNative(sql);
    while (st.next()) {
    }
}

void SqlDatabase::exec(const QString& jetSql) { execNative(translateJetSql(jetSql)); }

bool SqlDatabase::scalarInt(const QString& jetSql, qint64* value) {
    SqlStatement st = prepare(jetSql);
    if (!st.next() || st.isNull(0)) return false;
    *value = st.int64(0);
    return true;
}

int SqlDatabase::changes() const { return m_db ? sqlite3_changes(m_db) : 0; }

qint64 SqlDatabase::lastInsertRowId() const { return m_db ? sqlite3_last_insert_rowid(m_db) : 0; }

QString SqlDatabase::lastError() const {
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : m_openError;
}

int SqlDatabase::lastErrorCode() const { return m_db ? sqlite3_extended_errcode(m_db) : 0; }

// IMMEDIATE: the write lock is taken at the start. A transaction that first
// reads and then writes while another connection writes (the search index's
// builder, an import) would otherwise fail at once instead of waiting.
SqlTransaction::SqlTransaction(SqlDatabase& db) : m_db(db) { m_db.execNative(QStringLiteral("BEGIN IMMEDIATE")); }

SqlTransaction::~SqlTransaction() {
    if (!m_done) {
        try {
            m_db.execNative(QStringLiteral("ROLLBACK"));
        } catch (const SqlError&) {
            // A failed statement may already have ended the transaction.
        }
    }
}

void SqlTransaction::commit() {
    m_db.execNative(QStringLiteral("COMMIT"));
    m_done = true;
}
