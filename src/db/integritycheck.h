#pragma once
// The database check of the tools menu: SQLite's integrity_check over the file,
// on a connection of its own, and its result in plain words.
#include <QString>
#include <QStringList>
#include <functional>

struct IntegrityReport {
    enum class Outcome { Sound, Damaged, Cancelled, Failed };
    Outcome outcome = Outcome::Failed;
    // The problems as SQLite words them (it stops listing at 100).
    QStringList problems;
    // Why the check could not run to its end (Failed).
    QString error;
};

// Checks the file at `path` through a read-only connection of its own, so it runs
// beside the program's connection, also while that holds the lock. `keepGoing` is
// asked every few thousand steps; false stops the check (Cancelled).
IntegrityReport CheckIntegrity(const QString& path, const std::function<bool()>& keepGoing);

// The report as the user reads it.
QString DescribeIntegrity(const IntegrityReport& report, const QString& path);

inline constexpr int kIntegrityMaxProblems = 100;
