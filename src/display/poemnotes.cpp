#include "display/poemnotes.h"

#include <QHash>

#include <algorithm>

namespace {

// Pane position of every UTF-16 offset of a part that starts at `start`:
// CR LF is one paragraph break, every other unit one position (see
// BuildPoemLayout).
QList<qint32> panePositions(const QString& field, qint32 start) {
    QList<qint32> out(field.size() + 1);
    qint32 pos = start;
    for (qsizetype i = 0; i < field.size(); ++i) {
        out[i] = pos;
        if (field[i] == u'\r' && i + 1 < field.size() && field[i + 1] == u'\n') {
            out[++i] = pos;
        }
        ++pos;
    }
    out[field.size()] = pos;
    return out;
}

// Code point index of every UTF-16 offset.
QList<qint32> codeIndexes(const QString& field) {
    QList<qint32> out(field.size() + 1);
    qint32 k = 0;
    for (qsizetype i = 0; i < field.size(); ++i) {
        out[i] = k;
        if (field[i].isHighSurrogate() && i + 1 < field.size() && field[i + 1].isLowSurrogate()) out[++i] = k;
        ++k;
    }
    out[field.size()] = k;
    return out;
}

void addPart(PoemNotes& out, const QString& field, qint32 start, PoemPart part, const ReadingLookup& lookup,
             const QList<PinyinFix>& fixes, const NoteOptions& options, const VerseCheck* verse) {
    const QList<qint32> pane = panePositions(field, start);
    const QList<qint32> codes = codeIndexes(field);
    QHash<qint32, const PinyinFix*> fixAt;
    for (const PinyinFix& f : fixes)
        if (f.part == part) fixAt.insert(f.position, &f);

    QHash<qint32, const ToneNote*> toneAt;
    if (verse)
        for (const ToneNote& t : verse->notes) toneAt.insert(t.offset, &t);

    const QList<CharReading> readings = ReadText(field, lookup);
    for (const CharReading& r : readings) {
        PoemNote n;
        n.position = pane[r.offset];
        n.length = r.length;
        n.character = field.mid(r.offset, r.length);
        n.part = part;
        n.partIndex = codes[r.offset];
        if (options.pinyin) {
            n.pinyin = r.reading;
            n.source = r.source;
            const PinyinFix* fix = fixAt.value(n.partIndex);
            if (fix && fix->character == n.character && !fix->reading.isEmpty()) {
                n.pinyin = fix->reading;
                n.source = ReadingSource::Correction;
            }
        }
        if (const ToneNote* t = toneAt.value(r.offset)) {
            n.tone = t->tone;
            n.breaks = t->breaks;
            n.rhyme = t->rhyme;
        }
        if (!n.pinyin.isEmpty() || n.tone != Tone::Unknown || n.rhyme) out.notes.append(n);
    }
}

} // namespace

bool PoemNotes::hasPinyin() const {
    return std::any_of(notes.begin(), notes.end(), [](const PoemNote& n) { return !n.pinyin.isEmpty(); });
}

bool PoemNotes::hasTones() const {
    return std::any_of(notes.begin(), notes.end(), [](const PoemNote& n) { return n.tone != Tone::Unknown; });
}

const PoemNote* PoemNotes::at(qint32 position) const {
    auto it = std::upper_bound(notes.begin(), notes.end(), position,
                               [](qint32 p, const PoemNote& n) { return p < n.position; });
    if (it == notes.begin()) return nullptr;
    --it;
    return position < it->position + it->length ? &*it : nullptr;
}

PoemNotes AnnotatePoem(const PoemFields& poem, const PoemLayout& layout, const ReadingLookup& lookup,
                       const QList<PinyinFix>& fixes, const NoteOptions& options) {
    PoemNotes out;
    if (!options.pinyin && !options.tones) return out;
    if (options.pinyin) addPart(out, poem.title, 0, PoemPart::Title, lookup, fixes, options, nullptr);
    if (options.tones) out.verse = CheckVerse(poem.content);
    addPart(out, poem.content, layout.PartStart[1], PoemPart::Content, lookup, fixes, options,
            out.verse.clauseLength ? &out.verse : nullptr);
    return out;
}

QList<qint32> ParagraphStarts(const PoemLayout& layout) {
    QList<qint32> starts;
    qint32 pos = 0;
    for (const LayoutParagraph& p : layout.paragraphs) {
        starts.append(pos);
        pos += qint32(p.text().size()) + 1;
    }
    return starts;
}

QString PinyinLineOf(const PoemNotes& notes, qint32 from, qint32 to) {
    QStringList syllables;
    auto it = std::lower_bound(notes.notes.begin(), notes.notes.end(), from,
                               [](const PoemNote& n, qint32 p) { return n.position < p; });
    for (; it != notes.notes.end() && it->position < to; ++it)
        if (!it->pinyin.isEmpty()) syllables << it->pinyin;
    return syllables.join(u' ');
}

QString PlainTextWithPinyin(const PoemLayout& layout, const PoemNotes& notes) {
    const QList<qint32> starts = ParagraphStarts(layout);
    QString out;
    for (qsizetype i = 0; i < layout.paragraphs.size(); ++i) {
        if (i > 0) out += u'\n';
        const QString text = layout.paragraphs[i].text();
        const QString line = PinyinLineOf(notes, starts[i], starts[i] + qint32(text.size()));
        if (!line.isEmpty()) out += line + u'\n';
        out += text;
    }
    for (QChar& c : out) {
        if (c == QChar::LineSeparator) c = u'\n';
        else if (c == QChar::Nbsp) c = u' ';
    }
    return out;
}
