// Pinyin readings looked up in hzPy, and the hint built from the pane's selection.
#include "display/pinyin.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

static std::string s(const QString& v) { return v.toStdString(); }

TEST(Pinyin, ReadsEachCharacterAndBuildsTheHint) {
    FixtureDb fx;
    fx.fillSample();
    // 长 has two readings stored out of rank order; 𠀀 lies outside the BMP.
    fx.db().execNative(u"INSERT INTO hzPy (hz,py1,py2) VALUES ('长','zhǎng',2),('长','cháng',1),"
                       "('乐','lè',1),('乐','yuè',2),('乐','yào',3),('𠀀','qiū',1),('光','guāng',1)"_s);
    const std::pair<const char*, const char*> cases[] = {
        // One character: every reading, in py2 order, "/"-joined, then a blank; several: the first of each.
        {"乐", "lè/yuè/yào "}, {"长", "cháng/zhǎng "}, {"长乐", "cháng lè "},
        // Characters without a reading stand for themselves; a quote is looked up safely.
        {"明月，光", "míng yuè ， guāng "}, {"A", "A "}, {"\r\n", "\r \n "}, {"'月", "' yuè "},
        // A character outside the BMP is one character: alone it gets all its
        // readings, among others one item; its halves are never looked up apart.
        {"𠀀", "qiū "}, {"𠀀长", "qiū cháng "}, {"😀", "😀 "}, {"", ""}};
    for (const auto& [text, readings] : cases) EXPECT_EQ(s(PinyinOf(fx.db(), QString::fromUtf8(text))), readings);
    EXPECT_EQ(s(PinyinHintText(fx.db(), u"乐"_s)), "[乐]：lè/yuè/yào ");
    EXPECT_EQ(s(PinyinHintText(fx.db(), u"月\u2029明"_s)), "[月明]：yuè míng ");
    // Only a line break: empty brackets and the colon; nothing selected: no hint.
    EXPECT_EQ(s(PinyinHintText(fx.db(), u"\r\n"_s)), "[]：");
    EXPECT_EQ(s(PinyinHintText(fx.db(), QString())), "");
    // A failed lookup leaves the character.
    fx.db().execNative(u"DROP TABLE hzPy"_s);
    EXPECT_EQ(s(PinyinOf(fx.db(), u"明月"_s)), "明 月 ");
    SqlDatabase closed;
    EXPECT_EQ(s(PinyinOf(closed, u"乐"_s)), "乐 ");
    // The hint takes sixteen characters without the first line break.
    const std::pair<const char*, const char*> selections[] = {
        {"一二三四五六七八九十甲乙丙丁戊己庚辛壬癸", "一二三四五六七八九十甲乙丙丁戊己"},
        // Only the first CR LF goes; a later one stays. The pane's paragraph separator is its CR LF.
        {"a\r\nb\r\nc", "ab\r\nc"}, {"光，\u2029疑是", "光，疑是"}, {"\u2029", ""},
        // A CR LF counts two characters; cut after its CR, nothing is removed.
        {"一二三四五六七八九十甲乙丙丁戊\r\n己", "一二三四五六七八九十甲乙丙丁戊\r"},
        // Characters outside the BMP count one each and are never cut in half.
        {"𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀", "𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀"}};
    for (const auto& [selected, shown] : selections) EXPECT_EQ(s(PinyinHintSelection(QString::fromUtf8(selected))), shown);
}
