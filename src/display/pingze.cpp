#include "display/pingze.h"

#include "display/readings.h"

#include <QFile>

#include <array>

namespace {

ToneTable loadTable() {
    ToneTable t;
    QFile f(QStringLiteral(":/data/pingze.tsv"));
    if (f.open(QIODevice::ReadOnly)) t.parse(f.readAll());
    return t;
}

// The four clause types of five characters; a seven-character clause puts two
// characters of the tone opposite to its first in front.
const std::array<const char*, 4> kFive = {"zzppz", "ppzzp", "pppzz", "zzzpp"}; // A B C D
// The four standard 绝句 patterns as clause types; a 律诗 continues with the
// clauses A B C D or C D A B that follow by the same alternation.
struct Pattern {
    std::array<int, 8> clauses;
};
const std::array<Pattern, 4> kPatterns = {{
    {{0, 1, 2, 3, 0, 1, 2, 3}}, // first clause A: not rhymed
    {{3, 1, 2, 3, 0, 1, 2, 3}}, // first clause D: rhymed
    {{2, 3, 0, 1, 2, 3, 0, 1}}, // first clause C: not rhymed
    {{1, 3, 0, 1, 2, 3, 0, 1}}, // first clause B: rhymed
}};

QString clauseTones(int type, int length) {
    QString five = QString::fromLatin1(kFive[size_t(type)]);
    if (length == 7) {
        const QChar other = five[0] == u'p' ? u'z' : u'p';
        five.prepend(QString(2, other));
    }
    return five;
}

bool counts(int position, int length) { return position == length - 1 || position % 2 == 1; }

struct Clause {
    QList<ToneNote> chars;
};

} // namespace

void ToneTable::parse(const QByteArray& tsv) {
    const QString text = QString::fromUtf8(tsv);
    for (QStringView line : QStringView(text).split(u'\n')) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0) continue;
        const QList<uint> code = line.first(tab).toUcs4();
        const QStringView t = line.sliced(tab + 1).trimmed();
        if (code.size() != 1 || t.size() != 1) continue;
        const Tone tone = t[0] == u'平' ? Tone::Level : t[0] == u'仄' ? Tone::Oblique : t[0] == u'中' ? Tone::Either : Tone::Unknown;
        if (tone != Tone::Unknown) set(char32_t(code[0]), tone);
    }
}

const ToneTable& ToneTable::standard() {
    static const ToneTable t = loadTable();
    return t;
}

QString ToneMark(Tone t) {
    switch (t) {
    case Tone::Level: return QStringLiteral("○");
    case Tone::Oblique: return QStringLiteral("●");
    case Tone::Either: return QStringLiteral("◐");
    case Tone::Unknown: break;
    }
    return QString();
}

VerseCheck CheckVerse(QStringView content, const ToneTable& table) {
    QList<Clause> clauses;
    Clause current;
    auto close = [&] {
        if (!current.chars.isEmpty()) clauses.append(current);
        current = Clause{};
    };
    for (qsizetype i = 0; i < content.size();) {
        char32_t c = content[i].unicode();
        qint32 len = 1;
        if (content[i].isHighSurrogate() && i + 1 < content.size() && content[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(content[i], content[i + 1]);
            len = 2;
        }
        if (IsHanCharacter(c))
            current.chars.append(ToneNote{qint32(i), len, table.tone(c), false, false});
        else
            close();
        i += len;
    }
    close();

    VerseCheck check;
    const qsizetype n = clauses.size();
    if (n < 2 || n % 2 != 0) return check;
    const qsizetype length = clauses.first().chars.size();
    if (length != 5 && length != 7) return check;
    for (const Clause& c : clauses)
        if (c.chars.size() != length) return check;
    check.clauseLength = int(length);
    check.clauseCount = int(n);

    if (n == 4 || n == 8) {
        // The pattern with the fewest breaks; the first listed wins a tie.
        int bestPattern = 0;
        int bestBreaks = -1;
        for (int p = 0; p < int(kPatterns.size()); ++p) {
            int breaks = 0;
            for (qsizetype k = 0; k < n; ++k) {
                const QString tones = clauseTones(kPatterns[size_t(p)].clauses[size_t(k)], int(length));
                for (qsizetype i = 0; i < length; ++i) {
                    const Tone t = clauses[k].chars[i].tone;
                    if (!counts(int(i), int(length)) || (t != Tone::Level && t != Tone::Oblique)) continue;
                    if ((t == Tone::Level) != (tones[i] == u'p')) ++breaks;
                }
            }
            if (bestBreaks < 0 || breaks < bestBreaks) {
                bestBreaks = breaks;
                bestPattern = p;
            }
        }
        const Pattern& pattern = kPatterns[size_t(bestPattern)];
        const QString first = clauseTones(pattern.clauses[0], int(length));
        const bool firstRhymes = first.back() == u'p';
        check.pattern = (first[1] == u'p' ? QStringLiteral("平起") : QStringLiteral("仄起")) +
                        (firstRhymes ? QStringLiteral("首句入韵") : QStringLiteral("首句不入韵"));
        for (qsizetype k = 0; k < n; ++k) {
            const QString tones = clauseTones(pattern.clauses[size_t(k)], int(length));
            for (qsizetype i = 0; i < length; ++i) {
                ToneNote& note = clauses[k].chars[i];
                if (counts(int(i), int(length)) && (note.tone == Tone::Level || note.tone == Tone::Oblique))
                    note.breaks = (note.tone == Tone::Level) != (tones[i] == u'p');
            }
            if (k % 2 == 1 || (k == 0 && firstRhymes)) clauses[k].chars.last().rhyme = true;
        }
    }
    for (const Clause& c : clauses) check.notes += c.chars;
    return check;
}
