#include "tools/bookletlayout.h"

#include "display/pinyinfix.h"
#include "display/readings.h"

#include <QChar>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
constexpr double kEpsilon = 1e-6;

struct VerticalMark {
    char32_t from;
    char32_t to;
};

// Marks that have a vertical presentation form.
constexpr VerticalMark kVerticalForms[] = {
    {0xFF08, 0xFE35}, {0xFF09, 0xFE36}, // （ ）
    {0xFF5B, 0xFE37}, {0xFF5D, 0xFE38}, // ｛ ｝
    {0x3014, 0xFE39}, {0x3015, 0xFE3A}, // 〔 〕
    {0x3010, 0xFE3B}, {0x3011, 0xFE3C}, // 【 】
    {0x300A, 0xFE3D}, {0x300B, 0xFE3E}, // 《 》
    {0x3008, 0xFE3F}, {0x3009, 0xFE40}, // 〈 〉
    {0x300C, 0xFE41}, {0x300D, 0xFE42}, // 「 」
    {0x300E, 0xFE43}, {0x300F, 0xFE44}, // 『 』
    {0x201C, 0xFE41}, {0x201D, 0xFE42}, // “ ” as 「 」
    {0x2018, 0xFE43}, {0x2019, 0xFE44}, // ‘ ’ as 『 』
    {0x3016, 0xFE17}, {0x3017, 0xFE18}, // 〖 〗
    {0xFF1A, 0xFE13}, {0xFF1B, 0xFE14}, // ： ；
    {0x2026, 0xFE19}, {0x22EF, 0xFE19}, // … ⋯
    {0x2014, 0xFE31}, {0x2015, 0xFE31}, // — ―
    // The comma, pause mark and full stops: forms drawn in the upper right.
    {0xFF0C, 0xFE10}, {0x3001, 0xFE11}, {0x3002, 0xFE12}, {0xFF0E, 0xFE12},
};

constexpr char32_t kOpening[] = {0xFF08, 0xFF5B, 0x3014, 0x3010, 0x300A, 0x3008, 0x300C,
                                 0x300E, 0x201C, 0x2018, 0x3016, u'(', u'['};
constexpr char32_t kClosing[] = {0xFF09, 0xFF5D, 0x3015, 0x3011, 0x300B, 0x3009, 0x300D, 0x300F,
                                 0x201D, 0x2019, 0x3017, 0xFF0C, 0x3002, 0x3001, 0xFF0E, 0xFF1A,
                                 0xFF1B, 0xFF01, 0xFF1F, 0x2026, 0x22EF, u')', u']', u',', u'.',
                                 u'!', u'?', u';', u':'};

// Marks set in the upper right of their cell in vertical text.
bool sitsUpperRight(char32_t c) {
    return c == 0xFF0C || c == 0x3002 || c == 0x3001 || c == 0xFF0E;
}

bool isBlank(char32_t c) {
    return c == u' ' || c == 0x3000 || c == u'\t';
}

// Characters set turned in vertical text: Latin letters, digits and the other
// half-width characters that have no vertical form.
bool isTurned(char32_t c) {
    if (c >= 0x2E80 || c == 0x00B7 || isBlank(c)) return false;
    for (const VerticalMark& m : kVerticalForms)
        if (m.from == c) return false;
    return true;
}

char32_t firstCodePoint(QStringView s) {
    if (s.isEmpty()) return 0;
    if (s.size() > 1 && s[0].isHighSurrogate() && s[1].isLowSurrogate())
        return QChar::surrogateToUcs4(s[0], s[1]);
    return s[0].unicode();
}

char32_t lastCodePoint(QStringView s) {
    if (s.isEmpty()) return 0;
    const qsizetype n = s.size();
    if (n > 1 && s[n - 1].isLowSurrogate() && s[n - 2].isHighSurrogate())
        return QChar::surrogateToUcs4(s[n - 2], s[n - 1]);
    return s[n - 1].unicode();
}

// Break points of items of the given spans into lines of `per`, keeping an
// opening mark off a line's end and a closing one off a line's start.
// With `atClauses`, a line that breaks breaks after the last closing mark in
// its second half, so a verse keeps its clauses whole.
template <typename Item, typename Span, typename Opens, typename Closes>
QList<QList<Item>> breakLines(const QList<Item>& items, int per, Span span, Opens opens,
                              Closes closes, bool atClauses = false) {
    QList<QList<Item>> lines;
    const qsizetype n = items.size();
    qsizetype i = 0;
    while (i < n) {
        qsizetype j = i;
        int used = 0;
        while (j < n && used + span(items[j]) <= per) used += span(items[j++]);
        if (j == i) {
            j = i + 1;
        } else if (j < n) {
            qsizetype k = j;
            while (k > i + 1 && (opens(items[k - 1]) || closes(items[k]))) --k;
            if (!(opens(items[k - 1]) || closes(items[k]))) j = k;
            if (atClauses) {
                for (qsizetype c = j; c > i + (j - i) / 2; --c) {
                    if (closes(items[c - 1]) && !closes(items[c])) {
                        j = c;
                        break;
                    }
                }
            }
        }
        lines.append(items.mid(i, j - i));
        i = j;
    }
    return lines;
}

} // namespace

QStringList SplitCharacters(QStringView text) {
    QStringList out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        out.append(text.sliced(i, pair ? 2 : 1).toString());
        if (pair) ++i;
    }
    return out;
}

// ---- Pages ----

PageFrame BookletPageFrame(BookletPageSize size) {
    QSizeF mm;
    switch (size) {
    case BookletPageSize::A5: mm = QSizeF(148, 210); break;
    case BookletPageSize::B5: mm = QSizeF(176, 250); break;
    case BookletPageSize::A4: mm = QSizeF(210, 297); break;
    }
    PageFrame f;
    f.page = mm * kPointsPerMm;
    const double margin = std::min(f.page.width(), f.page.height()) / 10.0;
    f.body = QRectF(margin, margin, f.page.width() - 2 * margin, f.page.height() - 2 * margin);
    f.footer = QRectF(margin, f.body.bottom() + margin * 0.2, f.body.width(), margin * 0.6);
    return f;
}

void PageFlow::newPage() {
    ++m_page;
    m_at = 0;
}

QList<FlowSlice> PageFlow::place(const QList<double>& units) {
    double total = 0;
    for (double u : units) total += u;
    if (m_used && m_at > 0) {
        const double left = m_extent - m_at - m_gap;
        if (total <= left + kEpsilon)
            m_at += m_gap;
        else if (total <= m_extent + kEpsilon || left < m_extent / 3.0)
            newPage();
        else
            m_at += m_gap;
    }
    m_used = true;

    QList<FlowSlice> slices;
    FlowSlice slice{m_page, m_at, 0, 0};
    for (qsizetype i = 0; i < units.size(); ++i) {
        if (m_at + units[i] > m_extent + kEpsilon && m_at > 0) {
            slice.end = int(i);
            if (slice.end > slice.first) slices.append(slice);
            newPage();
            slice = FlowSlice{m_page, 0, int(i), int(i)};
        }
        m_at += units[i];
    }
    slice.end = int(units.size());
    if (slice.end > slice.first) slices.append(slice);
    return slices;
}

// ---- Vertical text ----

QString VerticalForm(char32_t c) {
    for (const VerticalMark& m : kVerticalForms)
        if (m.from == c) return QString(QChar(char16_t(m.to)));
    return QString::fromUcs4(&c, 1);
}

bool IsOpeningPunctuation(char32_t c) {
    return std::find(std::begin(kOpening), std::end(kOpening), c) != std::end(kOpening);
}

bool IsClosingPunctuation(char32_t c) {
    return std::find(std::begin(kClosing), std::end(kClosing), c) != std::end(kClosing);
}

QList<VerticalCell> VerticalCells(QStringView line, const QStringList& notes) {
    const QStringList chars = SplitCharacters(line);
    const bool annotated = notes.size() == chars.size();
    QList<VerticalCell> cells;
    for (qsizetype i = 0; i < chars.size();) {
        const char32_t c = firstCodePoint(chars[i]);
        if (isTurned(c)) {
            // A Latin run, blanks inside it kept, blanks after it left out.
            qsizetype j = i;
            qsizetype last = i;
            while (j < chars.size() && (isTurned(firstCodePoint(chars[j])) || firstCodePoint(chars[j]) == u' ')) {
                if (firstCodePoint(chars[j]) != u' ') last = j;
                ++j;
            }
            VerticalCell cell;
            for (qsizetype k = i; k <= last; ++k) cell.source += chars[k];
            cell.text = cell.source;
            cell.place = GlyphPlace::Turned;
            cell.span = int((last - i + 2) / 2);
            cells.append(cell);
            i = last + 1;
            continue;
        }
        VerticalCell cell;
        cell.source = chars[i];
        cell.text = isBlank(c) ? QString() : VerticalForm(c);
        cell.place = sitsUpperRight(c) ? GlyphPlace::UpperRight : GlyphPlace::Upright;
        if (annotated) cell.notes = QStringList{notes[i]};
        cells.append(cell);
        ++i;
    }
    return cells;
}

QList<QList<VerticalCell>> BreakColumns(const QList<VerticalCell>& cells, int perColumn) {
    return breakLines(
        cells, std::max(perColumn, 1), [](const VerticalCell& c) { return c.span; },
        [](const VerticalCell& c) { return IsOpeningPunctuation(lastCodePoint(c.source)); },
        [](const VerticalCell& c) { return IsClosingPunctuation(firstCodePoint(c.source)); });
}

// ---- Practice grid ----

QList<QStringList> GridRows(QStringView line, int perRow) {
    QStringList chars;
    for (const QString& c : SplitCharacters(line))
        if (!isBlank(firstCodePoint(c))) chars.append(c);
    const QList<QList<QString>> rows = breakLines(
        QList<QString>(chars), std::max(perRow, 1), [](const QString&) { return 1; },
        [](const QString& c) { return IsOpeningPunctuation(firstCodePoint(c)); },
        [](const QString& c) { return IsClosingPunctuation(firstCodePoint(c)); }, true);
    QList<QStringList> out;
    for (const QList<QString>& r : rows) out.append(QStringList(r));
    return out;
}

// ---- Contents ----

int ContentsPageCount(qsizetype entries, int perPage) {
    if (entries <= 0) return 0;
    const qsizetype per = std::max(perPage, 1);
    return int((entries + per - 1) / per);
}

// ---- Source ----

bool ReadBookletPoem(SqlDatabase& db, qint32 id, PoemFields* poem) {
    SqlStatement st = db.prepareNative(
        QStringLiteral("select fTitle, fPoet, fDynasty, fPre, fContent, fMemo from Poetry where fPoemID = ") +
        QString::number(id));
    if (!st.next()) return false;
    *poem = PoemFields{st.text(0), st.text(1), st.text(2), st.text(3), st.text(4), st.text(5)};
    return true;
}

QStringList TextLines(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    QStringList lines = t.split(u'\n');
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) lines.removeLast();
    return lines;
}

// ---- Pinyin ----

BookletNotes BookletPinyin(SqlDatabase& db) {
    auto readings = std::make_shared<HzPyReadings>(db);
    return [&db, readings](qint32 id, const PoemFields& poem, const PoemLayout& layout) {
        QList<PinyinFix> fixes;
        try {
            fixes = PinyinFixStore(db).load(id);
        } catch (const SqlError&) {
            // Without its corrections a poem still gets the computed readings.
        }
        return AnnotatePoem(poem, layout, [readings](char32_t c) { return (*readings)(c); }, fixes,
                            NoteOptions{true, false});
    };
}

QStringList PartPinyin(const PoemNotes& notes, PoemPart part, const QString& field) {
    QStringList out(SplitCharacters(field).size());
    for (const PoemNote& n : notes.notes)
        if (n.part == part && n.partIndex >= 0 && n.partIndex < out.size()) out[n.partIndex] = n.pinyin;
    return out;
}

QList<QStringList> LineNotes(const QString& text, const QStringList& perCharacter) {
    const QStringList chars = SplitCharacters(text);
    QList<QStringList> lines(1);
    for (qsizetype i = 0; i < chars.size(); ++i) {
        if (chars[i] == QStringLiteral("\r") || chars[i] == QStringLiteral("\n")) {
            if (chars[i] == QStringLiteral("\r") && i + 1 < chars.size() && chars[i + 1] == QStringLiteral("\n")) ++i;
            lines.append(QStringList());
            continue;
        }
        lines.last().append(i < perCharacter.size() ? perCharacter[i] : QString());
    }
    return lines;
}
