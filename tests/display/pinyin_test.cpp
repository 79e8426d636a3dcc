// Pinyin readings looked up in hzPy, and the hint built from the pane's selection.
#include "display/pinyin.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

namespace {

std::string s(const QString& v) { return v.toStdString(); }

class PinyinTest : public ::testing::Test {
protected:
    void SetUp() override {
        fx.fillSample();
        // 长 has two readings stored out of rank order; 𠀀 lies outside the BMP.
        fx.db().execNative(QStringLiteral("INSERT INTO hzPy (hz,py1,py2) VALUES ('长','zhǎng',2),('长','cháng',1),"
                                          "('乐','lè',1),('乐','yuè',2),('乐','yào',3),('𠀀','qiū',1),('光','guāng',1)"));
    }
    FixtureDb fx;
};

struct OfCase {
    const char* text;
    const char* readings;
};

class PinyinOfTable : public PinyinTest, public ::testing::WithParamInterface<OfCase> {};

TEST_P(PinyinOfTable, ReadsEachCharacter) {
    const OfCase& c = GetParam();
    EXPECT_EQ(s(PinyinOf(fx.db(), QString::fromUtf8(c.text))), c.readings);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PinyinOfTable,
    ::testing::Values(
        // One character: every reading, in py2 order, "/"-joined, then a blank.
        OfCase{"乐", "lè/yuè/yào "}, OfCase{"长", "cháng/zhǎng "},
        // Several characters: the first reading of each.
        OfCase{"长乐", "cháng lè "},
        // Characters without a reading stand for themselves.
        OfCase{"明月，光", "míng yuè ， guāng "}, OfCase{"A", "A "}, OfCase{"\r\n", "\r \n "},
        // A quote is looked up safely.
        OfCase{"'月", "' yuè "},
        // A character outside the BMP is one character: alone it gets all its
        // readings, among others one item; its halves are never looked up apart.
        OfCase{"𠀀", "qiū "}, OfCase{"𠀀长", "qiū cháng "}, OfCase{"😀", "😀 "}, OfCase{"", ""}));

TEST_F(PinyinTest, FailedLookupLeavesTheCharacter) {
    fx.db().execNative(QStringLiteral("DROP TABLE hzPy"));
    EXPECT_EQ(s(PinyinOf(fx.db(), QStringLiteral("明月"))), "明 月 ");
    SqlDatabase closed;
    EXPECT_EQ(s(PinyinOf(closed, QStringLiteral("乐"))), "乐 ");
}

struct SelectionCase {
    const char* selected;
    const char* shown;
};

class SelectionTable : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(SelectionTable, TakesSixteenCharactersWithoutTheFirstLineBreak) {
    EXPECT_EQ(s(PinyinHintSelection(QString::fromUtf8(GetParam().selected))), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectionTable,
    ::testing::Values(
        // 20 characters: the first 16.
        SelectionCase{"一二三四五六七八九十甲乙丙丁戊己庚辛壬癸", "一二三四五六七八九十甲乙丙丁戊己"},
        // Only the first CR LF goes; a later one stays.
        SelectionCase{"a\r\nb\r\nc", "ab\r\nc"},
        // The pane's paragraph separator is its CR LF.
        SelectionCase{"光，\u2029疑是", "光，疑是"}, SelectionCase{"\u2029", ""},
        // A CR LF counts two characters; cut after its CR, nothing is removed.
        SelectionCase{"一二三四五六七八九十甲乙丙丁戊\r\n己", "一二三四五六七八九十甲乙丙丁戊\r"},
        // Characters outside the BMP count one each and are never cut in half.
        SelectionCase{"𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀", "𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀"}));

TEST_F(PinyinTest, HintText) {
    EXPECT_EQ(s(PinyinHintText(fx.db(), QStringLiteral("乐"))), "[乐]：lè/yuè/yào ");
    EXPECT_EQ(s(PinyinHintText(fx.db(), QStringLiteral("月\u2029明"))), "[月明]：yuè míng ");
    // Only a line break: empty brackets and the colon.
    EXPECT_EQ(s(PinyinHintText(fx.db(), QStringLiteral("\r\n"))), "[]：");
    // Nothing selected: no hint.
    EXPECT_EQ(s(PinyinHintText(fx.db(), QString())), "");
}

} // namespace
