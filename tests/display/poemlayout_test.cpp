#include "display/poemlayout.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString kContent = QStringLiteral("床前明月光，疑是地上霜。\r\n举头望明月，低头思故乡。");
const QString kNotes = QStringLiteral("此诗写远客思乡之情。");

PoemFields quietNight() {
    PoemFields p;
    p.title = QStringLiteral("静夜思");
    p.poet = QStringLiteral("李白");
    p.dynasty = QStringLiteral("唐");
    p.content = kContent;
    p.notes = kNotes;
    return p;
}

// The paragraph kinds in order, as a compact string ("11334").
std::string kinds(const PoemLayout& l) {
    std::string out;
    for (const LayoutParagraph& p : l.paragraphs) out += char('0' + p.lineKind);
    return out;
}

QStringList texts(const PoemLayout& l) {
    QStringList out;
    for (const LayoutParagraph& p : l.paragraphs) out << p.text();
    return out;
}

} // namespace

TEST(PoemLayout, QuietNightParagraphsRunsAndPartStarts) {
    const PoemLayout l = BuildPoemLayout(quietNight());
    const QString text = l.plainText();
    EXPECT_EQ(text, QStringLiteral("静夜思 (李白·唐)\n\n床前明月光，疑是地上霜。\n举头望明月，低头思故乡。\n\n") + kNotes);

    // Title in its own character format, the bracket in the author's; the whole
    // first line takes the author line's paragraph format.
    ASSERT_EQ(l.paragraphs.size(), 6);
    EXPECT_EQ(l.paragraphs[0].lineKind, AuthorLine);
    EXPECT_EQ(l.paragraphs[0].runs,
              (QList<LayoutRun>{{QStringLiteral("静夜思"), TitleLine}, {QStringLiteral(" (李白·唐)"), AuthorLine}}));
    EXPECT_EQ(kinds(l), "113334");
    EXPECT_TRUE(l.paragraphs[1].runs.isEmpty());
    EXPECT_EQ(l.paragraphs[2].runs, (QList<LayoutRun>{{QStringLiteral("床前明月光，疑是地上霜。"), ContentLine}}));

    // Title 3 + bracket 7 + two breaks; the content's two lines of 12 and its
    // closing breaks; the notes to the end.
    EXPECT_EQ(l.PartStart, (std::array<qint32, 4>{12, 12, 12 + 12 + 1 + 12 + 2, 39 + 10}));
    EXPECT_EQ(l.PartStart[3], text.size());
    EXPECT_TRUE(text.mid(l.PartStart[1]).startsWith(QStringLiteral("床前")));
    EXPECT_EQ(text.mid(l.PartStart[2]), kNotes);
}

TEST(PoemLayout, PrefaceOnlyWhenNotEmpty) {
    PoemFields p = quietNight();
    const PoemLayout none = BuildPoemLayout(p);
    EXPECT_EQ(none.PartStart[1], none.PartStart[0]);
    EXPECT_EQ(kinds(none).find('2'), std::string::npos);

    // One blank is a preface: its line and the blank line after it.
    p.preface = QStringLiteral(" ");
    const PoemLayout blank = BuildPoemLayout(p);
    EXPECT_EQ(kinds(blank), "11223334");
    EXPECT_EQ(blank.PartStart[0], 12);
    EXPECT_EQ(blank.PartStart[1], 15);
    EXPECT_EQ(blank.plainText().mid(12, 3), QStringLiteral(" \n\n"));

    p.preface = QStringLiteral("序一\r\n序二");
    const PoemLayout two = BuildPoemLayout(p);
    EXPECT_EQ(kinds(two), "112223334");
    EXPECT_EQ(two.PartStart[1] - two.PartStart[0], 2 + 1 + 2 + 2);
    EXPECT_EQ(two.plainText().mid(two.PartStart[0], 7), QStringLiteral("序一\n序二\n\n"));
}

TEST(PoemLayout, EmptyAndMissingFields) {
    PoemFields p = quietNight();
    p.notes = QString();
    const PoemLayout noNotes = BuildPoemLayout(p);
    EXPECT_TRUE(noNotes.plainText().endsWith(QStringLiteral("故乡。\n\n")));
    EXPECT_EQ(noNotes.PartStart[2], noNotes.PartStart[3]);
    EXPECT_EQ(noNotes.paragraphs.last().lineKind, NotesLine);
    EXPECT_TRUE(noNotes.paragraphs.last().runs.isEmpty());

    // Every field null: only the bracket and the breaks remain.
    const PoemLayout nothing = BuildPoemLayout(PoemFields{});
    EXPECT_EQ(nothing.plainText(), QStringLiteral(" (·)\n\n\n\n"));
    EXPECT_EQ(kinds(nothing), "11334");
    EXPECT_EQ(nothing.paragraphs[0].runs, (QList<LayoutRun>{{QStringLiteral(" (·)"), AuthorLine}}));
    EXPECT_EQ(nothing.PartStart, (std::array<qint32, 4>{6, 6, 8, 8}));
}

TEST(PoemLayout, StoredLineBreaksSplitAndNothingElseChanges) {
    PoemFields p = quietNight();
    // CR LF, a lone CR, a lone LF, and LF CR (two breaks: an empty line between).
    p.content = QStringLiteral("  甲 \r\n乙\r丙\n丁\n\r戊\t");
    const PoemLayout l = BuildPoemLayout(p);
    EXPECT_EQ(texts(l).mid(2, 7),
              (QStringList{u"  甲 "_s, u"乙"_s, u"丙"_s, u"丁"_s, u""_s, u"戊\t"_s, u""_s}));
    EXPECT_EQ(kinds(l), "11" + std::string(7, '3') + "4");
    // 9 characters, 5 stored breaks, the 2 closing breaks.
    EXPECT_EQ(l.PartStart[2] - l.PartStart[1], 9 + 5 + 2);

    // A break inside the title keeps the first part in the title's paragraph format.
    p.title = QStringLiteral("上\r\n下");
    const PoemLayout t = BuildPoemLayout(p);
    EXPECT_EQ(t.paragraphs[0].lineKind, TitleLine);
    EXPECT_EQ(t.paragraphs[1].lineKind, AuthorLine);
    EXPECT_EQ(t.paragraphs[1].runs.first(), (LayoutRun{QStringLiteral("下"), TitleLine}));
    EXPECT_EQ(t.PartStart[0], 3 + 7 + 2);
}

TEST(PoemLayout, PositionsCountUtf16UnitsAndPaneSeparators) {
    PoemFields p = quietNight();
    p.title = QStringLiteral("𠀀");  // outside the BMP: two units
    p.content = QStringLiteral("𠀀月\u2029二\u2028三\u00A0四");
    const PoemLayout l = BuildPoemLayout(p);
    EXPECT_EQ(l.PartStart[0], 2 + 7 + 2);
    // The pane splits at a paragraph separator; it shows a line separator as a
    // line end and a no-break space as a blank, one position each.
    EXPECT_EQ(kinds(l), "113334");
    EXPECT_EQ(l.PartStart[2] - l.PartStart[1], 3 + 1 + 5 + 2);
    const QString text = l.plainText();
    EXPECT_EQ(text.mid(l.PartStart[1], l.PartStart[2] - l.PartStart[1]),
              QStringLiteral("𠀀月\n二\n三 四\n\n"));
    EXPECT_EQ(text.size(), l.PartStart[3]);
}

TEST(PoemSearchFollowUp, LooksOnlyInsideTheTermsPart) {
    PoemFields p = quietNight();
    p.title = QStringLiteral("月夜");
    p.preface = QStringLiteral("Moon 序");
    p.notes = QStringLiteral("注：明月 MOON");
    const PoemLayout l = BuildPoemLayout(p);
    const QString text = l.plainText();
    const auto& ps = l.PartStart;

    // The title's 月 comes first, the content's is selected.
    const auto hit = FindSearchTermInPoem(text, ps, QStringLiteral("月"), {}, {});
    ASSERT_TRUE(hit);
    EXPECT_EQ(*hit, (TextRange{ps[1] + 3, 1}));

    // A content term wins over a notes term even when only the notes hold theirs.
    EXPECT_FALSE(FindSearchTermInPoem(text, ps, QStringLiteral("注"), QStringLiteral("注"), {}));
    // Notes from their start to the end; letters regardless of case.
    EXPECT_EQ(FindSearchTermInPoem(text, ps, {}, QStringLiteral("moon"), QStringLiteral("序")),
              (TextRange{ps[2] + 5, 4}));
    // Preface last; its Moon is found there although the notes hold one too.
    EXPECT_EQ(FindSearchTermInPoem(text, ps, {}, {}, QStringLiteral("mOOn")), (TextRange{ps[0], 4}));
    // A term that occurs only outside its part, or nowhere, selects nothing.
    EXPECT_FALSE(FindSearchTermInPoem(text, ps, {}, {}, QStringLiteral("床")));
    EXPECT_FALSE(FindSearchTermInPoem(text, ps, QStringLiteral("夜"), {}, {}));
    EXPECT_FALSE(FindSearchTermInPoem(text, ps, {}, {}, {}));
    // A match running over the end of its part does not count.
    EXPECT_FALSE(FindSearchTermInPoem(text, ps, QStringLiteral("故乡。\n\n注"), {}, {}));
    EXPECT_TRUE(FindSearchTermInPoem(text, ps, QStringLiteral("故乡。\n\n"), {}, {}));
}

TEST(PoemSearchFollowUp, NeverSplitsASurrogatePair) {
    PoemFields p = quietNight();
    p.title = QStringLiteral("𠀀月");
    p.content = QStringLiteral("𠀀月𠀁");
    const PoemLayout l = BuildPoemLayout(p);
    const QString text = l.plainText();
    const auto& ps = l.PartStart;
    EXPECT_EQ(FindSearchTermInPoem(text, ps, QStringLiteral("月"), {}, {}), (TextRange{ps[1] + 2, 1}));
    EXPECT_EQ(FindSearchTermInPoem(text, ps, QStringLiteral("𠀁"), {}, {}), (TextRange{ps[1] + 3, 2}));
    // Half a pair matches only inside a pair: never selected.
    const QString high = QString(QChar(0xD840));
    const QString low = QString(QChar(0xDC00));
    EXPECT_FALSE(FindSearchTermInPoem(text, ps, high, {}, {}));
    EXPECT_FALSE(FindSearchTermInPoem(text, ps, low + QStringLiteral("月"), {}, {}));
}

TEST(LineGeometry, IndentsInCharacterWidthsNeverLeftOfTheEdge) {
    struct Case {
        qint16 indent, hanging;
        LineGeometry expected;  // for w = 10
    };
    const Case cases[] = {
        {2, -2, {0, 20}},   // every line two widths in, a wrapped line at the edge
        {1, 2, {30, -20}},  // hanging: the following lines further right
        {3, 0, {30, 0}},
        {3, -5, {0, 30}},   // following lines would lie left of the edge
        {-1, 0, {0, 0}},    // so would both
        {-4, 6, {20, -20}}, // so would the first line
    };
    for (const Case& c : cases) {
        TemplateLine line;
        line.Indent = c.indent;
        line.HangingIndent = c.hanging;
        EXPECT_EQ(LineGeometryFor(line, 10, 16), c.expected) << c.indent << " " << c.hanging;
    }
    // Baseline shift in fifths of the height, and as percent of the font height.
    TemplateLine raised;
    raised.Offset = 1;
    EXPECT_EQ(LineGeometryFor(raised, 12, 16), (LineGeometry{0, 0, 3.2, 20}));
    raised.Offset = -2;
    EXPECT_EQ(LineGeometryFor(raised, 12, 15), (LineGeometry{0, 0, -6.0, -40}));
}
