#pragma once
// The program's one connection to its poem database, the open-and-validate
// operation and the small lookups several parts of the program share.
#include "messagesink.h"
#include "search/searchindex.h"
#include "sqlitedb.h"

#include <QString>

class PoemStore {
public:
    explicit PoemStore(MessageSink* sink) : m_sink(sink) {}
    virtual ~PoemStore() = default;
    PoemStore(const PoemStore&) = delete;
    PoemStore& operator=(const PoemStore&) = delete;

    // Opens `path` writable when mode is 1, locked (read-only, other writers kept
    // out) otherwise. Returns 1, 0 (opened locked after the read-only fallback or
    // on request) or -1 (nothing usable; the connection is then closed). Every
    // failure is reported to the user through the message sink.
    qint16 OpenPoemDatabase(qint16 mode, const QString& path);
    void close();
    bool isOpen() const { return m_db.isOpen(); }
    SqlDatabase& db() { return m_db; }
    // The index of the searched text in the open database.
    SearchIndex& searchIndex() { return m_searchIndex; }

    // Number of rows of `table` matching `condition` (may be empty); -1 on any failure.
    qint32 FindTable(const QString& table, const QString& condition);
    // Largest bookmark number; 0 when there is none or the query fails.
    qint32 getMaxBookmark();
    // -1 when absent; a failing query throws SqlError to the caller.
    qint32 FindPoemID(const QString& title, const QString& poet, const QString& style);
    qint32 FindBookID(const QString& name);

    static constexpr int kBusyTimeoutMs = 30000;
    // Kept for the file format's sake only: the store has no file password.
    static const QString kDatabasePassword;

protected:
    // Opens the file; returns an SQLite result code. A file that opens but cannot
    // be written when writing was asked for reports SQLITE_READONLY. Tests override
    // this to simulate read-only media (root ignores file permissions).
    virtual int openFile(const QString& path, bool writable, QString* error);

private:
    enum class FailureKind { Generic, Other };
    static FailureKind classify(int rc);

    MessageSink* m_sink;
    SqlDatabase m_db;
    SearchIndex m_searchIndex{m_db};
};
