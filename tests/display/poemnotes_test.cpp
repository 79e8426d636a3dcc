// Notes placed on the pane's positions, and the lifecycle of the readers'
// corrections in their table.
#include "display/poemnotes.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

static QStringList fixedReadings(char32_t c) {
    static const QHash<char32_t, QStringList> table{
        {U'床', {u"chuáng"_s}}, {U'前', {u"qián"_s}}, {U'月', {u"yuè"_s}}, {U'乐', {u"lè"_s, u"yuè"_s}}};
    return table.value(c);
}

static PinyinFix fix(qint32 pos, const QString& ch, const QString& reading, PoemPart part = PoemPart::Content) {
    return PinyinFix{part, pos, ch, reading};
}

TEST(PoemNotes, NotesSitOnTheirPanePositions) {
    const std::tuple<QString, QString, QList<PinyinFix>, const char*> cases[] = {
        // Title "床" at 0; the content starts after " (李白·唐)" and a blank line:
        // 1 + 7 + 2 = position 10; CR LF is one position.
        {u"床"_s, u"月，\r\n乐前"_s, {}, "0:chuáng 10:yuè 13:lè 14:qián"},
        // A correction names its part, its position in characters and its character.
        {u"床"_s, u"月，\r\n乐前"_s, {fix(4, u"乐"_s, u"yuè"_s)}, "0:chuáng 10:yuè 13:yuè 14:qián"},
        // A correction whose character is no longer there, or past the end: ignored.
        {u"床"_s, u"月，\r\n乐前"_s, {fix(3, u"乐"_s, u"yuè"_s), fix(99, u"月"_s, u"x"_s)},
         "0:chuáng 10:yuè 13:lè 14:qián"},
        // A character outside the BMP is one character of two units; Latin, digits, blanks carry nothing.
        {u""_s, u"𠀀A1 月"_s, {fix(4, u"月"_s, u"yuè!"_s)}, "14:yuè!"},
        {u"无"_s, u""_s, {}, ""}, // no reading at all: no pinyin note
    };
    for (const auto& [title, content, fixes, expected] : cases) {
        const PoemFields poem{title, u"李白"_s, u"唐"_s, {}, content, {}};
        const PoemLayout layout = BuildPoemLayout(poem);
        QStringList placed;
        for (const PoemNote& n : AnnotatePoem(poem, layout, fixedReadings, fixes, NoteOptions{true, false}).notes) {
            if (!n.pinyin.isEmpty()) placed << QString::number(n.position) + u':' + n.pinyin;
            EXPECT_EQ(layout.plainText().mid(n.position, n.length), n.character);
        }
        EXPECT_EQ(placed.join(u' ').toStdString(), expected);
    }
    // Plain text: a pinyin line above each line.
    const PoemFields poem{u"床前"_s, u"李白"_s, u"唐"_s, {}, u"床前月，\r\nAB"_s, {}};
    const PoemLayout layout = BuildPoemLayout(poem);
    const PoemNotes notes = AnnotatePoem(poem, layout, fixedReadings, {}, NoteOptions{true, false});
    EXPECT_EQ(PlainTextWithPinyin(layout, notes).toStdString(),
              "chuáng qián\n床前 (李白·唐)\n\nchuáng qián yuè\n床前月，\nAB\n\n");
}

// The corrections table: created on first save, gone with its poem, pruned
// when the poem's text moves its character.
TEST(PoemNotes, CorrectionsLifecycle) {
    FixtureDb fx;
    fx.fillSample();
    PinyinFixStore store{fx.db()};
    const auto rows = [&](qint64 id) {
        QStringList out;
        for (const PinyinFix& f : store.load(id))
            out << QString::number(int(f.part)) + u':' + QString::number(f.position) + f.character + f.reading;
        return out.join(u' ').toStdString();
    };
    EXPECT_FALSE(store.tableExists());
    store.clear(1); // no table: nothing to do
    // 静夜思: 床前明月光，疑是地上霜。 — 地 is the 9th character (index 8).
    store.save(1, fix(8, u"地"_s, u"de"_s));
    store.save(1, fix(0, u"床"_s, u"chuang"_s));
    store.save(1, fix(0, u"静"_s, u"jìng"_s, PoemPart::Title));
    store.save(2, fix(0, u"朝"_s, u"cháo"_s));
    store.save(1, fix(8, u"地"_s, u"dì"_s)); // replaces
    EXPECT_EQ(rows(1), "0:0静jìng 1:0床chuang 1:8地dì");
    // An edit that keeps 地 in place but changes 床 drops only the 床 correction.
    fx.db().execNative(
        u"UPDATE Poetry SET fContent='窗前明月光，疑是地上霜。\r\n举头望明月，低头思故乡。' WHERE fPoemID=1"_s);
    EXPECT_EQ(rows(1), "0:0静jìng 1:8地dì");
    // A character inserted in front moves 地: its correction goes; the title's stays.
    fx.db().execNative(u"UPDATE Poetry SET fContent='啊' || fContent WHERE fPoemID=1"_s);
    // Changing other fields keeps everything.
    fx.db().execNative(u"UPDATE Poetry SET fMemo='x', fTitle='静夜思' WHERE fPoemID=1"_s);
    EXPECT_EQ(rows(1), "0:0静jìng");
    // Deleting a poem deletes its corrections only.
    fx.db().execNative(u"DELETE FROM Poetry WHERE fPoemID=1"_s);
    EXPECT_EQ(fx.count(u"SELECT count(*) FROM PinyinFix WHERE fPoemID=1"_s), 0);
    EXPECT_EQ(rows(2), "1:0朝cháo");
    store.clear(2);
    EXPECT_EQ(rows(2), "");
}
