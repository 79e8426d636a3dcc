#pragma once
// The recycle bin: a deleted poem, and the text a modify replaced, kept in a
// table of their own (PoetryBin) with the time, so that they can be looked at
// and restored. The table is created by the first write that needs it; the
// program's other statements never read it.
#include "db/sqlitedb.h"
#include "edit/poemrecord.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

enum class BinKind { Deleted = 1, Replaced = 2 };

struct BinEntry {
    qint64 id = 0;
    BinKind kind = BinKind::Deleted;
    QString when; // "yyyy-MM-dd HH:mm:ss", local time
    qint32 poemId = -1;
    qint32 bookId = -1;
    qint32 bookmark = 0;
    PoemRecord poem;
};

class RecycleBin {
public:
    explicit RecycleBin(SqlDatabase& db) : m_db(db) {}

    static const QString kTable;

    // Copies the stored row of poem `poemId` into the bin, creating the table
    // when missing. Runs inside the caller's transaction, so the copy and the
    // delete or modify are written together or not at all. Throws SqlError.
    void keep(qint32 poemId, BinKind kind, const QDateTime& when = QDateTime::currentDateTime());

    // Every entry, newest first; none when the table is missing. Throws SqlError.
    QList<BinEntry> entries();
    std::optional<BinEntry> entry(qint64 id);

    enum class Outcome {
        InPlace,   // back under its own identifier
        AsNew,     // its identifier is held by another poem: stored as a new poem
        Duplicate, // the poet already has a poem of this title: nothing restored
        Gone,      // no such entry
    };
    struct Restored {
        Outcome outcome = Outcome::Gone;
        qint32 poemId = -1;
        QString title;
    };
    // Puts the entry back into Poetry with its book (when the book still exists)
    // and its bookmark, and takes it out of the bin, in one transaction. The
    // poem editor's rule holds: one poet cannot hold two poems of one title.
    // Throws SqlError; the database is then unchanged.
    Restored restore(qint64 id);

    // Removes every entry. Throws SqlError.
    void empty();

private:
    bool tableExists();
    void createTable();

    SqlDatabase& m_db;
};
