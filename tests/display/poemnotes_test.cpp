// Notes placed on the pane's positions, and the lifecycle of the readers'
// corrections in their table.
#include "display/poemnotes.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QStringList fixedReadings(char32_t c) {
    switch (c) {
    case U'床': return {QStringLiteral("chuáng")};
    case U'前': return {QStringLiteral("qián")};
    case U'月': return {QStringLiteral("yuè")};
    case U'乐': return {QStringLiteral("lè"), QStringLiteral("yuè")};
    default: return {};
    }
}

// "position:pinyin" for each note with pinyin.
std::string placed(const PoemNotes& notes) {
    QStringList out;
    for (const PoemNote& n : notes.notes)
        if (!n.pinyin.isEmpty()) out << QString::number(n.position) + u':' + n.pinyin;
    return out.join(u' ').toStdString();
}

struct PlaceCase {
    const char* title;
    const char* content;
    QList<PinyinFix> fixes;
    const char* expected;
};

class Placing : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(Placing, NotesSitOnTheirPanePositions) {
    const PlaceCase& c = GetParam();
    PoemFields poem{QString::fromUtf8(c.title), QStringLiteral("李白"), QStringLiteral("唐"), QString(),
                    QString::fromUtf8(c.content), QString()};
    const PoemLayout layout = BuildPoemLayout(poem);
    const PoemNotes notes = AnnotatePoem(poem, layout, fixedReadings, c.fixes, NoteOptions{true, false});
    EXPECT_EQ(placed(notes), c.expected);
    // Every note's character is the pane's character at its position.
    const QString pane = layout.plainText();
    for (const PoemNote& n : notes.notes) EXPECT_EQ(pane.mid(n.position, n.length), n.character);
}

const PinyinFix fixContent(qint32 pos, const char* ch, const char* reading) {
    return PinyinFix{PoemPart::Content, pos, QString::fromUtf8(ch), QString::fromUtf8(reading)};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Placing,
    ::testing::Values(
        // Title "床" at 0; the content starts after " (李白·唐)" and a blank line:
        // 1 + 7 + 2 = position 10; CR LF is one position.
        PlaceCase{"床", "月，\r\n乐前", {}, "0:chuáng 10:yuè 13:lè 14:qián"},
        // A correction names its part, its position in characters and its character.
        PlaceCase{"床", "月，\r\n乐前", {fixContent(4, "乐", "yuè")}, "0:chuáng 10:yuè 13:yuè 14:qián"},
        // A correction whose character is no longer there, or past the end: ignored.
        PlaceCase{"床", "月，\r\n乐前", {fixContent(3, "乐", "yuè"), fixContent(99, "月", "x")},
                  "0:chuáng 10:yuè 13:lè 14:qián"},
        // A character outside the BMP is one character of two units; Latin, digits, blanks carry nothing.
        PlaceCase{"", "𠀀A1 月", {fixContent(4, "月", "yuè!")}, "14:yuè!"},
        // No reading at all: no pinyin note.
        PlaceCase{"无", "", {}, ""}));

TEST(PlainText, PinyinLineAboveEachLine) {
    PoemFields poem{QStringLiteral("床前"), QStringLiteral("李白"), QStringLiteral("唐"), QString(),
                    QStringLiteral("床前月，\r\nAB"), QString()};
    const PoemLayout layout = BuildPoemLayout(poem);
    const PoemNotes notes = AnnotatePoem(poem, layout, fixedReadings, {}, NoteOptions{true, false});
    EXPECT_EQ(PlainTextWithPinyin(layout, notes).toStdString(),
              "chuáng qián\n床前 (李白·唐)\n\nchuáng qián yuè\n床前月，\nAB\n\n");
}

// The corrections table: created on first save, gone with its poem, pruned
// when the poem's text moves its character.
class Corrections : public ::testing::Test {
protected:
    void SetUp() override { fx.fillSample(); }
    QString rows(qint64 id) {
        QStringList out;
        for (const PinyinFix& f : store.load(id))
            out << QString::number(int(f.part)) + u':' + QString::number(f.position) + f.character + f.reading;
        return out.join(u' ');
    }
    FixtureDb fx;
    PinyinFixStore store{fx.db()};
};

TEST_F(Corrections, Lifecycle) {
    EXPECT_FALSE(store.tableExists());
    EXPECT_EQ(rows(1), u""_s);
    store.clear(1); // no table: nothing to do
    // 静夜思: 床前明月光，疑是地上霜。 — 地 is the 9th character (index 8).
    store.save(1, PinyinFix{PoemPart::Content, 8, QStringLiteral("地"), QStringLiteral("de")});
    store.save(1, PinyinFix{PoemPart::Content, 0, QStringLiteral("床"), QStringLiteral("chuang")});
    store.save(1, PinyinFix{PoemPart::Title, 0, QStringLiteral("静"), QStringLiteral("jìng")});
    store.save(2, PinyinFix{PoemPart::Content, 0, QStringLiteral("朝"), QStringLiteral("cháo")});
    EXPECT_TRUE(store.tableExists());
    store.save(1, PinyinFix{PoemPart::Content, 8, QStringLiteral("地"), QStringLiteral("dì")}); // replaces
    EXPECT_EQ(rows(1).toStdString(), "0:0静jìng 1:0床chuang 1:8地dì");

    // An edit that keeps 地 in place but changes 床 drops only the 床 correction.
    fx.db().execNative(QStringLiteral(
        "UPDATE Poetry SET fContent='窗前明月光，疑是地上霜。\r\n举头望明月，低头思故乡。' WHERE fPoemID=1"));
    EXPECT_EQ(rows(1).toStdString(), "0:0静jìng 1:8地dì");
    // A character inserted in front moves 地: its correction goes; the title's stays.
    fx.db().execNative(QStringLiteral("UPDATE Poetry SET fContent='啊' || fContent WHERE fPoemID=1"));
    EXPECT_EQ(rows(1).toStdString(), "0:0静jìng");
    // Changing other fields keeps everything.
    fx.db().execNative(QStringLiteral("UPDATE Poetry SET fMemo='x', fTitle='静夜思' WHERE fPoemID=1"));
    EXPECT_EQ(rows(1).toStdString(), "0:0静jìng");

    // Deleting a poem deletes its corrections only.
    fx.db().execNative(QStringLiteral("DELETE FROM Poetry WHERE fPoemID=1"));
    EXPECT_EQ(fx.count(QStringLiteral("SELECT count(*) FROM PinyinFix WHERE fPoemID=1")), 0);
    EXPECT_EQ(rows(2).toStdString(), "1:0朝cháo");
    store.clear(2);
    EXPECT_EQ(rows(2).toStdString(), "");
}

} // namespace
