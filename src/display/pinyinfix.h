#pragma once
// A reader's corrections of the computed readings, per poem, kept in table
// PinyinFix (created when missing; the program's given statements never name
// it). A correction is stored for a poem, a part of it (its title or its
// content), the position of the character in that part counted in characters
// (code points, as SQLite's substr counts them), the character itself and the
// chosen reading.
//
// Two triggers keep the table in step with Poetry whoever changes it: deleting
// a poem deletes its corrections, and changing a poem's title or content keeps
// the corrections whose character is still at its place and deletes the rest
// (a character inserted before a correction moves it, so that correction goes).
#include "db/sqlitedb.h"

#include <QList>
#include <QString>

enum class PoemPart : int { Title = 0, Content = 1 };

struct PinyinFix {
    PoemPart part = PoemPart::Content;
    qint32 position = 0; // in code points from the start of the part
    QString character;
    QString reading;

    bool operator==(const PinyinFix&) const = default;
};

class PinyinFixStore {
public:
    explicit PinyinFixStore(SqlDatabase& db) : m_db(db) {}

    // The poem's corrections, by part and position; none when the table is
    // missing. Throws SqlError on other failures.
    QList<PinyinFix> load(qint64 poemId);
    // Stores (or replaces) one correction, creating the table when missing.
    void save(qint64 poemId, const PinyinFix& fix);
    // Deletes every correction of the poem; nothing when the table is missing.
    void clear(qint64 poemId);
    bool tableExists();

private:
    void ensureTable();
    SqlDatabase& m_db;
};
