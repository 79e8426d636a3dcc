#pragma once
// The poem editor's rules that need no windows: the count field's rule, the
// notes heading and the statements that add, change and delete a poem.
#include <QString>

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
    QString qty; // a whole number, written bare
    QString preface;
    QString content;
    QString notes;
};

// " fPoet ='<poet>' And fTitle='<title>'": the poet already has a poem of this title.
QString PoemDuplicateCondition(const QString& poet, const QString& title);
// " '' & fPoemID='<id>' and fPoet ='<poet>' And fTitle='<title>'": the loaded poem.
QString PoemRowCondition(const QString& id, const QString& poet, const QString& title);
// Insert of a new poem, filed in no book.
QString PoemInsertStatement(const PoemRecord& r);
// Update of the loaded poem (identified by id, loaded poet and loaded title).
QString PoemUpdateStatement(const PoemRecord& r, const QString& id, const QString& loadedPoet,
                            const QString& loadedTitle);
// "Delete From Poetry Where " and the row condition.
QString PoemDeleteStatement(const QString& id, const QString& poet, const QString& title);
