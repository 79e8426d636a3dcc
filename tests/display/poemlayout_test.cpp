#include "display/poemlayout.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString kNotes = u"此诗写远客思乡之情。"_s;

PoemFields quietNight() {
    return {u"静夜思"_s, u"李白"_s, u"唐"_s, QString(), u"床前明月光，疑是地上霜。\r\n举头望明月，低头思故乡。"_s, kNotes};
}

// The paragraph kinds in order, as a compact string ("11334").
std::string kinds(const PoemLayout& l) {
    std::string out;
    for (const LayoutParagraph& p : l.paragraphs) out += char('0' + p.lineKind);
    return out;
}

} // namespace

TEST(PoemLayout, QuietNightParagraphsRunsAndPartStarts) {
    const PoemLayout l = BuildPoemLayout(quietNight());
    EXPECT_EQ(l.plainText(), u"静夜思 (李白·唐)\n\n床前明月光，疑是地上霜。\n举头望明月，低头思故乡。\n\n"_s + kNotes);
    // Title in its own character format, the bracket in the author's; the whole
    // first line takes the author line's paragraph format.
    ASSERT_EQ(l.paragraphs.size(), 6);
    EXPECT_EQ(l.paragraphs[0].runs, (QList<LayoutRun>{{u"静夜思"_s, TitleLine}, {u" (李白·唐)"_s, AuthorLine}}));
    EXPECT_EQ(kinds(l), "113334");
    // Title 3 + bracket 7 + two breaks; the content's two lines of 12 and its closing breaks; the notes.
    EXPECT_EQ(l.PartStart, (std::array<qint32, 4>{12, 12, 12 + 12 + 1 + 12 + 2, 39 + 10}));
}

TEST(PoemLayout, PrefaceOnlyWhenNotEmptyAndMissingFields) {
    PoemFields p = quietNight();
    p.preface = u" "_s; // one blank is a preface: its line and the blank line after it
    EXPECT_EQ(kinds(BuildPoemLayout(p)), "11223334");
    p.preface = u"序一\r\n序二"_s;
    const PoemLayout two = BuildPoemLayout(p);
    EXPECT_EQ(two.plainText().mid(two.PartStart[0], two.PartStart[1] - two.PartStart[0]), u"序一\n序二\n\n"_s);

    p.notes = QString();
    const PoemLayout noNotes = BuildPoemLayout(p);
    EXPECT_TRUE(noNotes.plainText().endsWith(u"故乡。\n\n"_s));
    EXPECT_EQ(noNotes.PartStart[2], noNotes.PartStart[3]);
    // Every field null: only the bracket and the breaks remain.
    const PoemLayout nothing = BuildPoemLayout(PoemFields{});
    EXPECT_EQ(kinds(nothing), "11334");
    EXPECT_EQ(nothing.PartStart, (std::array<qint32, 4>{6, 6, 8, 8}));
}

TEST(PoemLayout, StoredLineBreaksSplitAndNothingElseChanges) {
    PoemFields p = quietNight();
    // CR LF, a lone CR, a lone LF, and LF CR (two breaks: an empty line between).
    p.content = u"  甲 \r\n乙\r丙\n丁\n\r戊\t"_s;
    p.title = u"上\r\n下"_s;
    const PoemLayout l = BuildPoemLayout(p);
    EXPECT_EQ(l.plainText().mid(l.PartStart[1], l.PartStart[2] - l.PartStart[1]), u"  甲 \n乙\n丙\n丁\n\n戊\t\n\n"_s);
    EXPECT_EQ(kinds(l), "01133333334");
    // A break inside the title keeps the first part in the title's paragraph format.
    EXPECT_EQ(l.paragraphs[1].runs.first(), (LayoutRun{u"下"_s, TitleLine}));
}

// Characters outside the BMP and the pane's own separators: the real document's test.

TEST(PoemSearchFollowUp, LooksOnlyInsideTheTermsPart) {
    PoemFields p{u"月夜"_s, u"李白"_s, u"唐"_s, u"Moon 序"_s, u"床前明月光，\r\n低头思故乡。"_s, u"注：明月 MOON"_s};
    const PoemLayout l = BuildPoemLayout(p);
    const QString text = l.plainText();
    const auto& ps = l.PartStart;
    // The title's 月 comes first, the content's is selected.
    EXPECT_EQ(FindSearchTermInPoem(text, ps, u"月"_s, {}, {}), (TextRange{ps[1] + 3, 1}));
    // A content term wins over a notes term even when only the notes hold theirs.
    EXPECT_FALSE(FindSearchTermInPoem(text, ps, u"注"_s, u"注"_s, {}));
    // Notes from their start to the end; letters regardless of case.
    EXPECT_EQ(FindSearchTermInPoem(text, ps, {}, u"moon"_s, u"序"_s), (TextRange{ps[2] + 5, 4}));
    // Preface last; its Moon is found there although the notes hold one too.
    EXPECT_EQ(FindSearchTermInPoem(text, ps, {}, {}, u"mOOn"_s), (TextRange{ps[0], 4}));
    // Only outside its part, nowhere, or over the end of its part: nothing.
    EXPECT_FALSE(FindSearchTermInPoem(text, ps, {}, {}, u"床"_s));
    EXPECT_FALSE(FindSearchTermInPoem(text, ps, {}, {}, {}));
    EXPECT_FALSE(FindSearchTermInPoem(text, ps, u"故乡。\n\n注"_s, {}, {}));
    EXPECT_TRUE(FindSearchTermInPoem(text, ps, u"故乡。\n\n"_s, {}, {}));
    // 𠀀 and 𠀁 are two units each; half a pair matches only inside a pair: never selected.
    const PoemLayout pairs = BuildPoemLayout({u"𠀀月"_s, {}, {}, {}, u"𠀀月𠀁"_s, {}});
    const QString t2 = pairs.plainText();
    const auto& ps2 = pairs.PartStart;
    EXPECT_EQ(FindSearchTermInPoem(t2, ps2, u"月"_s, {}, {}), (TextRange{ps2[1] + 2, 1}));
    EXPECT_EQ(FindSearchTermInPoem(t2, ps2, u"𠀁"_s, {}, {}), (TextRange{ps2[1] + 3, 2}));
    EXPECT_FALSE(FindSearchTermInPoem(t2, ps2, QString(QChar(0xD840)), {}, {}));
    EXPECT_FALSE(FindSearchTermInPoem(t2, ps2, QChar(0xDC00) + u"月"_s, {}, {}));
}

TEST(LineGeometry, IndentsInCharacterWidthsNeverLeftOfTheEdge) {
    const struct { qint16 indent, hanging, offset; LineGeometry expected; } cases[] = { // w = 10, h = 16
        {2, -2, 0, {0, 20}},   // every line two widths in, a wrapped line at the edge
        {1, 2, 0, {30, -20}},  // hanging: the following lines further right
        {3, -5, 0, {0, 30}},   // following lines would lie left of the edge
        {-4, 6, 0, {20, -20}}, // so would the first line
        // Baseline shift in fifths of the height, and as percent of the font height.
        {0, 0, 1, {0, 0, 3.2, 20}},
        {0, 0, -2, {0, 0, -6.4, -40}},
    };
    for (const auto& c : cases) {
        TemplateLine line;
        line.Indent = c.indent;
        line.HangingIndent = c.hanging;
        line.Offset = c.offset;
        EXPECT_EQ(LineGeometryFor(line, 10, 16), c.expected) << c.indent << " " << c.hanging << " " << c.offset;
    }
}
