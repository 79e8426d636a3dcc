#pragma once
// The poem editor's rules that need no windows: the count field's rule, the
// notes heading, and the reads and writes that add, change and delete a poem.
#include "db/sqlitedb.h"

#include <QString>
#include <optional>

// The count field when it loses focus during an edit: a number becomes the
// nearest whole number (halves to even); anything that is not a number, and a
// number outside -32768..32767, becomes "1". "2.5" → "2", "abc" → "1".
QString NormalizeEditCount(const QString& count);
// The count as an edit writes it: NormalizeEditCount, and below 1 → "1".
QString ConfirmedEditCount(const QString& count);

// The notes as they are stored: "【注释】" and CR LF in front unless the notes
// already begin with that heading.
QString WithNotesHeading(const QString& notes);

// Multi-line field text as the database keeps it: every line break CR LF.
QString WithCrLf(const QString& text);

// The nine fields of a poem record, as typed (not trimmed).
struct PoemRecord {
    QString title;
    QString poet;
    QString dynasty;
    QString type;
    QString style;
    QString qty; // a whole number, stored as a number
    QString preface;
    QString content;
    QString notes;
};

// The poem rows the editor reads and writes. The loaded poem is named by its
// id together with the poet and title it was loaded with, so that a poem
// renamed or replaced meanwhile is not written over. Each throws SqlError.

// Whether the poet already has a poem of this title; the poem `exceptId` (when
// not 0) does not count, so that a poem may change the case of its own title.
bool PoemTitleTaken(SqlDatabase& db, const QString& poet, const QString& title, qint64 exceptId = 0);
// The stored count of the loaded poem (NULL reads 0); none when it is gone.
std::optional<qint64> StoredPoemQty(SqlDatabase& db, qint64 id, const QString& loadedPoet,
                                    const QString& loadedTitle);
// Adds the poem, filed in no book.
void InsertPoem(SqlDatabase& db, const PoemRecord& r);
// Writes the fields over the loaded poem; false when no row was changed.
bool UpdatePoem(SqlDatabase& db, const PoemRecord& r, qint64 id, const QString& loadedPoet,
                const QString& loadedTitle);
void DeletePoem(SqlDatabase& db, qint64 id, const QString& loadedPoet, const QString& loadedTitle);
