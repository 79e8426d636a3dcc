#pragma once
// Pinyin readings chosen by context. A character that has several readings
// (多音字) takes the reading the longest phrase around it gives: phrases come
// from two tables compiled into the program, the hand-written readings
// particular to classical verse (data/pyverse.tsv) and the words and idioms of
// a general dictionary (data/pyphrase.tsv). A character outside every phrase
// takes its first reading in table hzPy that has a tone. Nothing here is stored: readings are
// worked out each time a poem is shown.
#include "db/sqlitedb.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

// Where a character's reading came from.
enum class ReadingSource {
    Phrase,     // a phrase of the general table
    Verse,      // the table of readings particular to verse
    First,      // the character's first reading in hzPy
    Correction, // a reader's correction for this poem
};

// One Han character of a text and its reading.
struct CharReading {
    qint32 offset = 0; // UTF-16 offset in the text
    qint32 length = 1; // 2 for a character outside the BMP
    QString reading;   // empty when the character has no reading at all
    ReadingSource source = ReadingSource::First;

    bool operator==(const CharReading&) const = default;
};

// A table of phrases, each with one reading per character.
class PhraseTable {
public:
    // Lines "phrase TAB readings", readings separated by blanks; a line whose
    // reading count differs from its character count, a "#" comment or a blank
    // line is skipped. Phrases longer than kMaxPhraseLength are skipped too.
    void parse(const QByteArray& tsv);
    void add(const QString& phrase, const QStringList& readings);
    const QStringList* find(const QString& phrase) const;
    int size() const { return int(m_phrases.size()); }
    int maxLength() const { return m_maxLength; }

    // The tables compiled into the program, loaded on first use.
    static const PhraseTable& verse();
    static const PhraseTable& general();

    static constexpr int kMaxPhraseLength = 12;

private:
    QHash<QString, QStringList> m_phrases;
    int m_maxLength = 0;
};

// The readings of one character in rank order (the first is the most common);
// empty when the character has none.
using ReadingLookup = std::function<QStringList(char32_t)>;

// hzPy's readings of a character, looked up once per character and kept. A
// failed lookup (no table, closed database) gives no readings.
class HzPyReadings {
public:
    explicit HzPyReadings(SqlDatabase& db) : m_db(db) {}
    QStringList operator()(char32_t c);
    void clear() { m_cache.clear(); }

private:
    SqlDatabase& m_db;
    QHash<char32_t, QStringList> m_cache;
};

// The reading a character takes outside every phrase: its first reading with
// a tone. Verse is read syllable by syllable, so a neutral-tone reading that
// hzPy ranks first for modern usage (子 zi, 著 zhe) gives way to the toned one;
// the first reading when none has a tone, the empty text when there is none.
QString FirstVerseReading(const QStringList& readings);

// Whether the code point is a Han character (CJK ideographs of every block).
bool IsHanCharacter(char32_t c);

// The readings of every Han character of `text`. Phrases are matched inside
// runs of Han characters (punctuation, blanks, letters and line breaks end a
// run). For each character the longest phrase covering it decides; of two
// phrases of one length the verse table's wins, then the one starting first.
// Single characters of the verse table count as phrases of length one (they
// replace the hzPy first reading for verse, as 地 dì rather than de).
QList<CharReading> ReadText(QStringView text, const ReadingLookup& lookup,
                            const PhraseTable& verse = PhraseTable::verse(),
                            const PhraseTable& general = PhraseTable::general());
