#pragma once
// Thin RAII wrapper over the SQLite C API. Statements handed to prepare()/exec()
// are written in the program's Jet dialect and translated before they are prepared;
// the *Native variants take SQLite text as it is (schema creation, pragmas).
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <stdexcept>

struct sqlite3;
struct sqlite3_stmt;

// A failed statement whose failure the caller must see (lookups whose failures
// "reach the caller", editor writes that must be rolled back and reported).
class SqlError : public std::runtime_error {
public:
    SqlError(const QString& message, int code)
        : std::runtime_error(message.toStdString()), m_message(message), m_code(code) {}
    const QString& message() const { return m_message; }
    int code() const { return m_code; }

private:
    QString m_message;
    int m_code;
};

class SqlStatement {
public:
    SqlStatement() = default;
    SqlStatement(sqlite3_stmt* stmt, sqlite3* db);
    SqlStatement(SqlStatement&& other) noexcept;
    SqlStatement& operator=(SqlStatement&& other) noexcept;
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;
    ~SqlStatement();

    // Values for the statement's parameters ?1, ?2, ... (1-based); a null
    // QString binds NULL. Throw SqlError on failure.
    void bind(int i, const QString& value);
    void bind(int i, qint64 value);
    // Text already in UTF-8, as bulk writes hold it: bound without a conversion.
    // Always text, an empty or null view as "".
    void bindUtf8(int i, QByteArrayView utf8);
    // Makes the statement ready to run again with new bound values.
    void reset();
    // Steps to the next row. False at the end of the rows; throws SqlError on failure.
    bool next();
    int columnCount() const;
    QString columnName(int i) const;
    // Index of a column by name, ignoring case as the store does; -1 when absent.
    int columnIndex(const QString& name) const;
    bool isNull(int i) const;
    QString text(int i) const;
    // The column's text as the store holds it (UTF-8), valid until the next step;
    // a null view for NULL.
    QByteArrayView utf8(int i) const;
    qint64 int64(int i) const;
    double real(int i) const;
    QString text(const QString& name) const { return text(checkedIndex(name)); }
    qint64 int64(const QString& name) const { return int64(checkedIndex(name)); }
    bool isNull(const QString& name) const { return isNull(checkedIndex(name)); }
    void finalize();

private:
    int checkedIndex(const QString& name) const;
    sqlite3_stmt* m_stmt = nullptr;
    sqlite3* m_db = nullptr;
};

class SqlDatabase {
public:
    SqlDatabase() = default;
    ~SqlDatabase();
    SqlDatabase(const SqlDatabase&) = delete;
    SqlDatabase& operator=(const SqlDatabase&) = delete;

    // Opens an existing file (never creates one unless create is true).
    // Returns the SQLite result code; on failure the handle is closed again.
    int open(const QString& path, bool readOnly, bool create = false);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    sqlite3* handle() const { return m_db; }

    // Jet-dialect statements: translated, then prepared. Throw SqlError on failure.
    SqlStatement prepare(const QString& jetSql);
    void exec(const QString& jetSql);
    // SQLite statements as they are.
    SqlStatement prepareNative(const QString& sql);
    void execNative(const QString& sql);

    // Convenience: first column of the first row; null QVariant-like via ok flag.
    // Returns false when the query has no row or the value is NULL.
    bool scalarInt(const QString& jetSql, qint64* value);

    // Called before a statement that changes the file is first stepped: at its
    // prepare, so whatever the hook does (a backup copy) sees the file as it was.
    // Never called again while it runs. An empty function disarms it.
    void setBeforeWrite(std::function<void()> hook) { m_beforeWrite = std::move(hook); }

    int changes() const;
    qint64 lastInsertRowId() const;
    QString lastError() const;
    int lastErrorCode() const;

private:
    [[noreturn]] void fail(const QString& what);
    sqlite3* m_db = nullptr;
    QString m_openError;
    std::function<void()> m_beforeWrite;
    bool m_inBeforeWrite = false;
};

// A group of writes that belong together: rolled back unless commit() is reached.
// It holds the write lock from its start (waiting up to the busy timeout for it).
class SqlTransaction {
public:
    explicit SqlTransaction(SqlDatabase& db);
    ~SqlTransaction();
    void commit();
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;

private:
    SqlDatabase& m_db;
    bool m_done = false;
};
