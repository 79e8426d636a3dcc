#include "tools/rtfwriter.h"

#include "support/rtfreader.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

PoemFields quietNight() {
    PoemFields p;
    p.title = QStringLiteral("静夜思");
    p.poet = QStringLiteral("李白");
    p.dynasty = QStringLiteral("唐");
    p.preface = QStringLiteral("{序}");
    p.content = QStringLiteral("床前明月光，疑是地上霜。\r\n举头望明月，低头思故乡。");
    p.notes = QStringLiteral("C:\\注");
    return p;
}

// The sample "1# 标准模板": a bold red centred 黑体 title, 楷体 author and
// preface lines, a 宋体 content line indented two characters.
Template standardTemplate() {
    Template t = DefaultTemplate();
    t[TitleLine] = {QStringLiteral("黑体"), 16, 1, 0, 0, 0x0000FF, 2, 0, 0, 0};
    t[AuthorLine] = {QStringLiteral("楷体"), 11, 0, 0, 0, 0, 0, 0, 0, 0};
    t[PrefaceLine] = {QStringLiteral("楷体"), 11, 0, 1, 0, 0x808000, 0, 2, 0, 0};
    t[ContentLine] = {QStringLiteral("宋体"), 14, 0, 0, 1, 0, 1, 1, 2, 2};
    t[NotesLine] = {QStringLiteral("宋体"), 10, 0, 0, 0, 0, 0, 0, 0, -1};
    return t;
}

RtfMeasures measures() {
    RtfMeasures m;
    for (int k = 0; k < kTemplateLineCount; ++k) m[size_t(k)] = {300, 400};
    return m;
}

bool has(const RtfParagraph& p, const QString& control) { return p.controls.contains(control); }

} // namespace

TEST(RtfWriter, EscapesEveryCharacterAReaderMightMisread) {
    struct Case {
        QString text;
        QByteArray rtf;
    };
    const QList<Case> cases = {
        {QStringLiteral("plain ASCII 1+1=2"), "plain ASCII 1+1=2"},
        {QStringLiteral("\\{}"), "\\\\\\{\\}"},
        {QStringLiteral("一"), "\\u19968?"},
        // Above 32767 the number is the signed 16-bit value.
        {QStringLiteral("静"), "\\u-26791?"},
        {QStringLiteral("，"), "\\u-244?"},
        {QStringLiteral("é"), "\\u233?"},
        // A character outside the BMP is its two surrogates.
        {QString::fromUcs4(U"\U00020000"), "\\u-10176?\\u-9216?"},
        {QStringLiteral("a\tb"), "a\\tab b"},
        {QStringLiteral("a") + QChar::LineSeparator + QStringLiteral("b"), "a\\line b"},
        {QStringLiteral("a\x01\x1f" "b"), "ab"},
    };
    for (const Case& c : cases) EXPECT_EQ(RtfEscape(c.text), c.rtf) << c.text.toStdString();
}

TEST(RtfWriter, ReadsBackAsThePanesTextWithFontsAndColours) {
    const PoemLayout layout = BuildPoemLayout(quietNight());
    const QByteArray rtf = WritePoemRtf(layout, standardTemplate(), measures());
    // Nothing but ASCII in the file.
    for (const char c : rtf) ASSERT_GE(uchar(c), 0) << "non-ASCII byte";
    for (const char c : rtf) ASSERT_LT(uchar(c), 0x80);

    const RtfReadBack back = ReadRtf(rtf);
    EXPECT_TRUE(back.wellFormed);
    EXPECT_EQ(back.text(), layout.plainText());
    EXPECT_EQ(back.fonts, (QStringList{u"黑体"_s, u"楷体"_s, u"宋体"_s}));
    EXPECT_EQ(back.charsets, (QStringList{u"134"_s, u"134"_s, u"134"_s}));
    // FontColor is 0x00BBGGRR.
    EXPECT_EQ(back.colours, (QStringList{u"auto"_s, u"255,0,0"_s, u"0,0,0"_s, u"0,128,128"_s}));
    EXPECT_EQ(back.paragraphs.size(), layout.paragraphs.size());
}

TEST(RtfWriter, ParagraphAndCharacterFormatsFollowTheLineKinds) {
    const PoemLayout layout = BuildPoemLayout(quietNight());
    const RtfReadBack back = ReadRtf(WritePoemRtf(layout, standardTemplate(), measures()));
    // Title and author, blank, preface, blank, two content lines, blank, notes.
    ASSERT_EQ(back.paragraphs.size(), 8);
    for (int i = 0; i < back.paragraphs.size(); ++i) {
        const RtfParagraph& p = back.paragraphs[i];
        switch (layout.paragraphs[i].lineKind) {
        case AuthorLine:
            EXPECT_TRUE(has(p, u"ql"_s) && has(p, u"li0"_s) && has(p, u"fi0"_s)) << i;
            EXPECT_TRUE(has(p, u"fs22"_s)) << i;
            break;
        case PrefaceLine:
            // Indent 2 of a 300-twip character.
            EXPECT_TRUE(has(p, u"li600"_s) && has(p, u"fi0"_s)) << i;
            EXPECT_TRUE(has(p, u"i"_s) && has(p, u"cf3"_s)) << i;
            break;
        case ContentLine:
            // Right-aligned; first line at 1 character, the following at 1+2: a hanging indent.
            EXPECT_TRUE(has(p, u"qr"_s) && has(p, u"li900"_s) && has(p, u"fi-600"_s)) << i;
            if (!layout.paragraphs[i].runs.isEmpty()) {
                EXPECT_TRUE(has(p, u"ul"_s) && has(p, u"fs28"_s)) << i;
                // Two fifths of a 400-twip height is 160 twips, 16 half-points up.
                EXPECT_TRUE(has(p, u"up16"_s)) << i;
            }
            break;
        case NotesLine:
            EXPECT_TRUE(has(p, u"dn8"_s) && has(p, u"fs20"_s)) << i;
            break;
        default:
            ADD_FAILURE() << "unexpected paragraph kind at " << i;
        }
    }
    // The title run: 黑体 (font 0), 16 points, bold, red (colour 1), centred
    // alignment belongs to the title line, whose paragraph the author line owns.
    const RtfParagraph& first = back.paragraphs[0];
    const qsizetype titleRun = first.controls.indexOf(QStringLiteral("f0"));
    ASSERT_GE(titleRun, 0);
    EXPECT_EQ(first.controls.mid(titleRun, 4), (QStringList{u"f0"_s, u"fs32"_s, u"cf1"_s, u"b"_s}));
    EXPECT_FALSE(first.controls.contains(QStringLiteral("qc")));
}

TEST(RtfWriter, EmptyPaneAndNegativeIndentsStayWithinTheEdge) {
    const QByteArray empty = WritePoemRtf(PoemLayout{}, DefaultTemplate(), measures());
    const RtfReadBack none = ReadRtf(empty);
    EXPECT_TRUE(none.wellFormed);
    EXPECT_EQ(none.text(), QString());

    // A first line left of the edge starts at the edge: no negative indent.
    Template t = DefaultTemplate();
    t[ContentLine].Indent = -2;
    t[ContentLine].HangingIndent = 1;
    PoemFields p;
    p.content = QStringLiteral("一");
    const PoemLayout layout = BuildPoemLayout(p);
    const RtfReadBack back = ReadRtf(WritePoemRtf(layout, t, measures()));
    for (int i = 0; i < layout.paragraphs.size(); ++i)
        if (layout.paragraphs[i].lineKind == ContentLine) {
            EXPECT_TRUE(has(back.paragraphs[i], u"li0"_s) && has(back.paragraphs[i], u"fi0"_s)) << i;
        }
}
