#include "tools/rtfwriter.h"

#include "support/rtfreader.h"

#include <QMap>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// The sample "1# 标准模板": a bold red centred 黑体 title, 楷体 author and
// preface lines, a 宋体 content line indented two characters.
static Template standardTemplate() {
    Template t = DefaultTemplate();
    t[TitleLine] = {u"黑体"_s, 16, 1, 0, 0, 0x0000FF, 2, 0, 0, 0};
    t[AuthorLine] = {u"楷体"_s, 11, 0, 0, 0, 0, 0, 0, 0, 0};
    t[PrefaceLine] = {u"楷体"_s, 11, 0, 1, 0, 0x808000, 0, 2, 0, 0};
    t[ContentLine] = {u"宋体"_s, 14, 0, 0, 1, 0, 1, 1, 2, 2};
    t[NotesLine] = {u"宋体"_s, 10, 0, 0, 0, 0, 0, 0, 0, -1};
    return t;
}

static RtfMeasures measures() {
    RtfMeasures m;
    for (int k = 0; k < kTemplateLineCount; ++k) m[size_t(k)] = {300, 400};
    return m;
}

static bool has(const RtfParagraph& p, const QString& control) { return p.controls.contains(control); }

TEST(RtfWriter, EscapesEveryCharacterAReaderMightMisread) {
    const std::pair<QString, QByteArray> cases[] = {
        {u"plain ASCII 1+1=2"_s, "plain ASCII 1+1=2"}, {u"\\{}"_s, "\\\\\\{\\}"},
        // Above 32767 the number is the signed 16-bit value; outside the BMP, two surrogates.
        {u"静"_s, "\\u-26791?"}, {u"é"_s, "\\u233?"}, {QString::fromUcs4(U"\U00020000"), "\\u-10176?\\u-9216?"},
        {u"a\tb"_s, "a\\tab b"}, {u"a"_s + QChar::LineSeparator + u"b"_s, "a\\line b"}, {u"a\x01\x1f" "b"_s, "ab"},
    };
    for (const auto& [text, rtf] : cases) EXPECT_EQ(RtfEscape(text), rtf) << text.toStdString();
}

TEST(RtfWriter, ReadsBackAsThePanesTextWithTheLineKindsFormats) {
    const PoemLayout layout = BuildPoemLayout({u"静夜思"_s, u"李白"_s, u"唐"_s, u"{序}"_s,
                                               u"床前明月光，疑是地上霜。\r\n举头望明月，低头思故乡。"_s, u"C:\\注"_s});
    const QByteArray rtf = WritePoemRtf(layout, standardTemplate(), measures());
    // Nothing but ASCII in the file.
    for (const char c : rtf) ASSERT_LT(uchar(c), 0x80);
    const RtfReadBack back = ReadRtf(rtf);
    EXPECT_TRUE(back.wellFormed);
    EXPECT_EQ(back.text(), layout.plainText());
    EXPECT_EQ(back.fonts, (QStringList{u"黑体"_s, u"楷体"_s, u"宋体"_s}));
    EXPECT_EQ(back.charsets, (QStringList{u"134"_s, u"134"_s, u"134"_s}));
    // FontColor is 0x00BBGGRR.
    EXPECT_EQ(back.colours, (QStringList{u"auto"_s, u"255,0,0"_s, u"0,0,0"_s, u"0,128,128"_s}));

    // Title and author, blank, preface, blank, two content lines, blank, notes. The
    // preface is indented 2 of a 300-twip character; the content is right-aligned,
    // its first line at 1 character, the following at 1+2 (a hanging indent), and
    // raised two fifths of a 400-twip height: 160 twips, 16 half-points.
    const QMap<int, QStringList> controls = {
        {AuthorLine, {u"ql"_s, u"li0"_s, u"fi0"_s, u"fs22"_s}},
        {PrefaceLine, {u"li600"_s, u"fi0"_s, u"i"_s, u"cf3"_s}},
        {ContentLine, {u"qr"_s, u"li900"_s, u"fi-600"_s}},
        {NotesLine, {u"dn8"_s, u"fs20"_s}}};
    ASSERT_EQ(back.paragraphs.size(), 8);
    for (int i = 0; i < back.paragraphs.size(); ++i) {
        const LayoutParagraph& laid = layout.paragraphs[i];
        QStringList expected = controls.value(laid.lineKind, {u"?"_s});
        if (laid.lineKind == ContentLine && !laid.runs.isEmpty()) expected << u"ul"_s << u"fs28"_s << u"up16"_s;
        for (const QString& c : expected) EXPECT_TRUE(has(back.paragraphs[i], c)) << i << c.toStdString();
    }
    // The title run: 黑体 (font 0), 16 points, bold, red (colour 1); centred
    // alignment belongs to the title line, whose paragraph the author line owns.
    const RtfParagraph& first = back.paragraphs[0];
    const qsizetype titleRun = first.controls.indexOf(u"f0"_s);
    ASSERT_GE(titleRun, 0);
    EXPECT_EQ(first.controls.mid(titleRun, 4), (QStringList{u"f0"_s, u"fs32"_s, u"cf1"_s, u"b"_s}));
    EXPECT_FALSE(first.controls.contains(u"qc"_s));
    // An empty pane is still a well-formed file. (Indents come from the pane's own geometry.)
    const RtfReadBack none = ReadRtf(WritePoemRtf(PoemLayout{}, DefaultTemplate(), measures()));
    EXPECT_TRUE(none.wellFormed && none.text().isEmpty());
}
