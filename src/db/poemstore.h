#pragma once
// The program's one connection to its poem database, the open-and-validate
// operation and the small lookups several parts of the program share.
#include "messagesink.h"
#include "search/searchindex.h"
#include "sqlitedb.h"

#include <QDate>
#include <QElapsedTimer>
#include <QSet>
#include <QString>
#include <functional>

// Told while an open waits for a file another program holds, so that the wait
// can be shown and stopped.
class BusyWait {
public:
    virtual ~BusyWait() = default;
    // Asked again and again while the file stays held; elapsedMs counts from the
    // first refusal. False stops the wait (the open then fails as busy).
    virtual bool keepWaiting(const QString& path, int elapsedMs) = 0;
    // The wait is over: the file came free, or waiting stopped.
    virtual void waitOver() {}
};

class PoemStore {
public:
    explicit PoemStore(MessageSink* sink) : m_sink(sink) {}
    virtual ~PoemStore() = default;
    PoemStore(const PoemStore&) = delete;
    PoemStore& operator=(const PoemStore&) = delete;

    // Why the last OpenPoemDatabase gave -1 (None after a success).
    enum class OpenProblem { None, Missing, CannotOpen, NotPoemDatabase, Busy, NeedsRecovery, Damaged, Other };

    // Opens `path` writable when mode is 1, locked (no writes, other writers kept
    // out) otherwise. Returns 1, 0 (opened locked after the read-only fallback or
    // on request) or -1 (nothing usable; the connection is then closed). Every
    // failure is reported to the user through the message sink, each kind with
    // its own message.
    qint16 OpenPoemDatabase(qint16 mode, const QString& path);
    OpenProblem lastOpenProblem() const { return m_problem; }
    void close();
    bool isOpen() const { return m_db.isOpen(); }
    SqlDatabase& db() { return m_db; }
    // The index of the searched text in the open database.
    SearchIndex& searchIndex() { return m_searchIndex; }
    // The file last opened successfully.
    const QString& path() const { return m_path; }

    // Number of rows of `table` matching `condition` (may be empty); -1 on any failure.
    qint32 FindTable(const QString& table, const QString& condition);
    // Largest bookmark number; 0 when there is none or the query fails.
    qint32 getMaxBookmark();
    // -1 when absent; a failing query throws SqlError to the caller.
    qint32 FindPoemID(const QString& title, const QString& poet, const QString& style);
    qint32 FindBookID(const QString& name);

    // Shows a failed read to the user. A table missing from the file is named
    // once per file and run, however often the read is tried again.
    void reportReadFailure(const SqlError& error);

    // Where an open that finds the file held by another program reports its wait.
    void setBusyWait(BusyWait* wait) { m_busyWait = wait; }
    // Daily backups before the first write (on by default; turning them on again
    // takes effect at the next open); tests set the day.
    void setDailyBackups(bool on) {
        m_backupsOn = on;
        if (!on) m_db.setBeforeWrite({});
    }
    void setClockForTesting(std::function<QDate()> today) { m_today = std::move(today); }

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
    static OpenProblem problemOf(int rc, const QString& path);
    OpenProblem settle(bool writable, bool handleWritable, QString* detail);
    void report(OpenProblem problem, const QString& path, const QString& detail);
    static int onBusy(void* store, int count);
    void beforeWrite();

    MessageSink* m_sink;
    SqlDatabase m_db;
    SearchIndex m_searchIndex{m_db};
    QString m_path;
    OpenProblem m_problem = OpenProblem::None;
    QSet<QString> m_reportedTables;

    BusyWait* m_busyWait = nullptr;
    QString m_waitPath;
    QElapsedTimer m_waitClock;
    bool m_waitAsked = false;
    bool m_waitStopped = false;

    bool m_backupsOn = true;
    bool m_backupWarned = false;
    QDate m_backupDay;
    std::function<QDate()> m_today;
};
