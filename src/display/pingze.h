#pragma once
// Level and oblique tones (平仄) of regular verse. The tone of each character
// comes from a table compiled into the program (data/pingze.tsv), built by
// vote over the tone patterns the chinese-poetry corpus gives for its Tang and
// Song shi; the classical system holds there, so 入声 characters (白, 国, 十, 一)
// are oblique. A poem whose clauses all have five or seven characters gets a
// mark under every character; a 绝句 (four clauses) or 律诗 (eight) is also
// checked against the standard patterns of its form.
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

enum class Tone : char {
    Unknown = 0, // not in the table: no mark
    Level = 'p',   // 平 ○
    Oblique = 'z', // 仄 ●
    Either = 'e',  // may be read in both ○●: ◐
};

class ToneTable {
public:
    // Lines "character TAB 平|仄|中".
    void parse(const QByteArray& tsv);
    void set(char32_t c, Tone t) { m_tones.insert(c, t); }
    Tone tone(char32_t c) const { return m_tones.value(c, Tone::Unknown); }
    int size() const { return int(m_tones.size()); }

    // The table compiled into the program, loaded on first use.
    static const ToneTable& standard();

private:
    QHash<char32_t, Tone> m_tones;
};

// The mark drawn under a character: ○, ●, ◐, or the empty text for Unknown.
QString ToneMark(Tone t);

// One character of a poem's content in the tone check.
struct ToneNote {
    qint32 offset = 0; // UTF-16 offset in the content
    qint32 length = 1;
    Tone tone = Tone::Unknown;
    bool breaks = false; // breaks the standard pattern at a position that counts
    bool rhyme = false;  // a rhyme position of the pattern

    bool operator==(const ToneNote&) const = default;
};

// The form the check found.
struct VerseCheck {
    int clauseLength = 0; // 5 or 7; 0 when the content is not regular verse
    int clauseCount = 0;
    // The standard pattern the poem was checked against ("仄起首句不入韵" ...),
    // empty when the clause count is neither 4 nor 8.
    QString pattern;
    QList<ToneNote> notes;
};

// Checks a poem's content. Clauses are the runs of Han characters between
// punctuation, blanks and line breaks. The content qualifies when it has at
// least two clauses, an even number of them, all five or all seven characters
// long; otherwise the result has clauseLength 0 and no notes. Four or eight
// clauses are compared with the four standard patterns of 绝句 and 律诗 (平起 or
// 仄起, first clause rhymed or not) and the closest is taken: a character
// breaks it when its tone is the opposite of the pattern's at a position that
// counts (the 2nd, 4th, 6th and the last of a clause; the others are free, 一
// 三五不论), and the last character of every even clause, and of the first
// clause where the pattern rhymes there, is a rhyme position.
VerseCheck CheckVerse(QStringView content, const ToneTable& table = ToneTable::standard());
