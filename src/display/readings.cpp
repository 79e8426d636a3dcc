#include "display/readings.h"

#include <QFile>

namespace {

PhraseTable loadTable(const QString& resource) {
    PhraseTable t;
    QFile f(resource);
    if (f.open(QIODevice::ReadOnly)) t.parse(f.readAll());
    return t;
}

// A reading with a tone mark (the neutral tone has none; ü alone is no tone).
bool hasTone(const QString& reading) {
    for (const QChar c : reading.normalized(QString::NormalizationForm_D))
        if (c == QChar(0x0300) || c == QChar(0x0301) || c == QChar(0x0304) || c == QChar(0x030C)) return true;
    return false;
}

struct Code {
    char32_t c;
    qint32 offset;
    qint32 length;
};

} // namespace

void PhraseTable::parse(const QByteArray& tsv) {
    m_phrases.reserve(m_phrases.size() + tsv.count('\n') + 1);
    qsizetype from = 0;
    while (from < tsv.size()) {
        qsizetype end = tsv.indexOf('\n', from);
        if (end < 0) end = tsv.size();
        const QByteArrayView line(tsv.constData() + from, end - from);
        from = end + 1;
        if (line.isEmpty() || line.front() == '#') continue;
        const qsizetype tab = line.indexOf('\t');
        if (tab <= 0) continue;
        const QString phrase = QString::fromUtf8(line.first(tab));
        const QStringList readings =
            QString::fromUtf8(line.sliced(tab + 1)).trimmed().split(u' ', Qt::SkipEmptyParts);
        add(phrase, readings);
    }
}

void PhraseTable::add(const QString& phrase, const QStringList& readings) {
    const qsizetype n = phrase.toUcs4().size();
    if (n == 0 || n > kMaxPhraseLength || readings.size() != n) return;
    m_phrases.insert(phrase, readings);
    m_maxLength = qMax(m_maxLength, int(n));
}

const QStringList* PhraseTable::find(const QString& phrase) const {
    const auto it = m_phrases.constFind(phrase);
    return it == m_phrases.constEnd() ? nullptr : &it.value();
}

const PhraseTable& PhraseTable::verse() {
    static const PhraseTable t = loadTable(QStringLiteral(":/data/pyverse.tsv"));
    return t;
}

const PhraseTable& PhraseTable::general() {
    static const PhraseTable t = loadTable(QStringLiteral(":/data/pyphrase.tsv"));
    return t;
}

QStringList HzPyReadings::operator()(char32_t c) {
    const auto it = m_cache.constFind(c);
    if (it != m_cache.constEnd()) return it.value();
    QStringList readings;
    try {
        SqlStatement st = m_db.prepareNative(QStringLiteral("SELECT py1 FROM hzPy WHERE hz=?1 ORDER BY py2"));
        st.bind(1, QString::fromUcs4(&c, 1));
        while (st.next()) readings << st.text(0);
    } catch (const SqlError&) {
        readings.clear();
    }
    m_cache.insert(c, readings);
    return readings;
}

QString FirstVerseReading(const QStringList& readings) {
    for (const QString& r : readings)
        if (hasTone(r)) return r;
    return readings.isEmpty() ? QString() : readings.first();
}

bool IsHanCharacter(char32_t c) {
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0x20000 && c <= 0x3FFFF) || c == 0x3007;
}

QList<CharReading> ReadText(QStringView text, const ReadingLookup& lookup, const PhraseTable& verse,
                            const PhraseTable& general) {
    QList<CharReading> out;
    QList<Code> run;
    const int longest = qMax(verse.maxLength(), general.maxLength());

    auto flush = [&] {
        const qsizetype n = run.size();
        if (n == 0) return;
        // Best phrase so far for each character: its length, its table (2 verse,
        // 1 general) and its reading; a later phrase must be strictly better.
        struct Best {
            int length = 0;
            int table = 0;
            QString reading;
        };
        QList<Best> best(n);
        QString key;
        for (qsizetype start = 0; start < n; ++start) {
            key.clear();
            for (qsizetype len = 1; len <= longest && start + len <= n; ++len) {
                const Code& k = run[start + len - 1];
                key += text.sliced(k.offset, k.length);
                for (int table = 2; table >= 1; --table) {
                    if (len == 1 && table == 1) continue; // general single characters are not used
                    const QStringList* r = (table == 2 ? verse : general).find(key);
                    if (!r) continue;
                    for (qsizetype i = 0; i < len; ++i) {
                        Best& b = best[start + i];
                        if (len > b.length || (len == b.length && table > b.table))
                            b = Best{int(len), table, r->at(i)};
                    }
                    break;
                }
            }
        }
        for (qsizetype i = 0; i < n; ++i) {
            CharReading r{run[i].offset, run[i].length, QString(), ReadingSource::First};
            if (best[i].length > 0) {
                r.reading = best[i].reading;
                r.source = best[i].table == 2 ? ReadingSource::Verse : ReadingSource::Phrase;
            } else {
                r.reading = FirstVerseReading(lookup(run[i].c));
            }
            out.append(r);
        }
        run.clear();
    };

    for (qsizetype i = 0; i < text.size();) {
        char32_t c = text[i].unicode();
        qint32 len = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            len = 2;
        }
        if (IsHanCharacter(c))
            run.append(Code{c, qint32(i), len});
        else
            flush();
        i += len;
    }
    flush();
    return out;
}
