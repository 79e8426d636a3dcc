#pragma once
// The notes the poem pane draws around a poem's characters: the pinyin over
// each Han character of the title and the content, and the 平仄 mark under each
// character of regular verse, placed at the pane positions of the poem layout.
// Print and export read the same notes.
#include "display/pingze.h"
#include "display/pinyinfix.h"
#include "display/poemlayout.h"
#include "display/readings.h"

#include <QList>
#include <QString>

struct PoemNote {
    qint32 position = 0; // pane position of the character
    qint32 length = 1;   // UTF-16 units (2 outside the BMP)
    QString character;
    PoemPart part = PoemPart::Content;
    qint32 partIndex = 0; // position in the part in code points (see PinyinFix)
    QString pinyin;       // empty: no pinyin shown (mode off, or no reading)
    ReadingSource source = ReadingSource::First;
    Tone tone = Tone::Unknown; // Unknown: no mark (mode off, not verse, not in the table)
    bool breaks = false;
    bool rhyme = false;

    bool operator==(const PoemNote&) const = default;
};

struct PoemNotes {
    QList<PoemNote> notes; // in pane order
    VerseCheck verse;      // what the tone check found (clauseLength 0: not checked)

    bool isEmpty() const { return notes.isEmpty(); }
    bool hasPinyin() const;
    bool hasTones() const;
    // The note of the character at a pane position (its first unit or its
    // second), or null.
    const PoemNote* at(qint32 position) const;
};

struct NoteOptions {
    bool pinyin = false;
    bool tones = false;
};

// Notes for a poem laid out by BuildPoemLayout. Pinyin: every Han character of
// the title and the content, its reading from ReadText unless a correction for
// its part and position names the same character (a correction whose
// character differs, or whose position lies past the end, is ignored). Tones:
// the content's characters when CheckVerse finds regular verse.
PoemNotes AnnotatePoem(const PoemFields& poem, const PoemLayout& layout, const ReadingLookup& lookup,
                       const QList<PinyinFix>& fixes, const NoteOptions& options);

// Pane position where each layout paragraph begins.
QList<qint32> ParagraphStarts(const PoemLayout& layout);

// The syllables of the notes within [from, to) joined by blanks; the empty
// text when none of them has pinyin.
QString PinyinLineOf(const PoemNotes& notes, qint32 from, qint32 to);

// The layout as plain text (as PoemLayout::plainText), with the pinyin line of
// every paragraph that has pinyin written on a line of its own above it.
QString PlainTextWithPinyin(const PoemLayout& layout, const PoemNotes& notes);
