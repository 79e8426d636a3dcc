// Writing a template back: the statements, the rows they leave, all or nothing.
#include "display/templatestore.h"
#include "display/templatewriter.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

namespace {

std::string s(const QString& v) { return v.toStdString(); }

TemplateLine sampleLine() {
    TemplateLine l;
    l.FontName = QStringLiteral("楷体");
    l.FontSize = 12;
    l.FontBold = 1;
    l.FontColor = 0x0000FF;
    l.Align = 2;
    l.Indent = -2;
    l.HangingIndent = 3;
    l.Offset = -1;
    return l;
}

TEST(TemplateStatements, NumbersAsDecimalsTextsAsLiterals) {
    EXPECT_EQ(s(TemplateUpdateSql(sampleLine(), QStringLiteral("2# 诗人's"), 3)),
              "Update PoetrySet Set fFontName='楷体',fFontSize=12,fFontBold=1,fFontItalic=0,fFontUnderline=0,"
              "fFontColor=255,fAlign=2,fIndent=-2,fHangingIndent=3,fOffset=-1 Where fModel ='2# 诗人''s' And fID=3");
    EXPECT_EQ(s(TemplateInsertSql(sampleLine(), QStringLiteral("新"), 0)),
              "Insert Into PoetrySet (fFontName,fFontSize,fFontBold,fFontItalic,fFontUnderline,fFontColor,fAlign,"
              "fIndent,fHangingIndent,fOffset,fModel,fID) Values ('楷体',12,1,0,0,255,2,-2,3,-1,'新',0)");
}

TEST(TemplateStatements, PercentSignsInNamesStayAsWritten) {
    TemplateLine l = sampleLine();
    l.FontName = QStringLiteral("%2%1");
    const QString sql = TemplateInsertSql(l, QStringLiteral("%3"), 4);
    EXPECT_NE(sql.indexOf(QStringLiteral("('%2%1',12,")), -1) << s(sql);
    EXPECT_NE(sql.indexOf(QStringLiteral(",'%3',4)")), -1) << s(sql);
}

class WriteTemplateTest : public ::testing::Test {
protected:
    void SetUp() override { fx.fillSample(); }
    Template loaded(const QString& name) {
        Template t = DefaultTemplate();
        LoadTemplateRows(fx.db(), name, t);
        return t;
    }
    qint64 rows(const QString& name) {
        return fx.count(QStringLiteral("SELECT count(*) FROM PoetrySet WHERE fModel='") + name + u'\'');
    }
    FixtureDb fx;
};

TEST_F(WriteTemplateTest, SaveUpdatesEveryLineKind) {
    Template t = loaded(QStringLiteral("1# 标准模板"));
    t[3] = sampleLine();
    t[0].FontSize = 20;
    WriteTemplate(fx.db(), QStringLiteral("1# 标准模板"), t, TemplateWriteMode::Save);
    EXPECT_EQ(rows(QStringLiteral("1# 标准模板")), 5);
    EXPECT_EQ(loaded(QStringLiteral("1# 标准模板")), t);
}

TEST_F(WriteTemplateTest, NewInsertsFiveRows) {
    Template t = loaded(QStringLiteral("1# 标准模板"));
    t[4].Offset = 7;
    WriteTemplate(fx.db(), QStringLiteral("2# 新模板"), t, TemplateWriteMode::New);
    EXPECT_EQ(rows(QStringLiteral("2# 新模板")), 5);
    EXPECT_EQ(loaded(QStringLiteral("2# 新模板")), t);
    EXPECT_EQ(rows(QStringLiteral("1# 标准模板")), 5);
}

// Saving into a template that has no stored rows (the placeholder of an empty
// table) writes its rows instead of updating nothing.
TEST_F(WriteTemplateTest, SaveIntoATemplateWithoutRowsInsertsThem) {
    fx.db().execNative(QStringLiteral("DELETE FROM PoetrySet"));
    Template t = DefaultTemplate();
    t[0].FontBold = 1;
    WriteTemplate(fx.db(), QStringLiteral("1# 标准模板"), t, TemplateWriteMode::Save);
    EXPECT_EQ(rows(QStringLiteral("1# 标准模板")), 5);
    EXPECT_EQ(loaded(QStringLiteral("1# 标准模板")), t);
}

TEST_F(WriteTemplateTest, SaveCompletesATemplateWithMissingLineKinds) {
    fx.db().execNative(QStringLiteral("DELETE FROM PoetrySet WHERE fID>=3"));
    Template t = loaded(QStringLiteral("1# 标准模板"));
    t[4] = sampleLine();
    WriteTemplate(fx.db(), QStringLiteral("1# 标准模板"), t, TemplateWriteMode::Save);
    EXPECT_EQ(rows(QStringLiteral("1# 标准模板")), 5);
    EXPECT_EQ(fx.count(QStringLiteral("SELECT count(DISTINCT fID) FROM PoetrySet")), 5);
    EXPECT_EQ(loaded(QStringLiteral("1# 标准模板")), t);
}

TEST_F(WriteTemplateTest, AFailingLineLeavesNothingWritten) {
    fx.db().execNative(QStringLiteral("CREATE TRIGGER diskfull BEFORE INSERT ON PoetrySet WHEN NEW.fID=3 "
                                      "BEGIN SELECT RAISE(ABORT,'database or disk is full'); END"));
    fx.db().execNative(QStringLiteral("CREATE TRIGGER stuck BEFORE UPDATE ON PoetrySet WHEN NEW.fID=2 "
                                      "BEGIN SELECT RAISE(ABORT,'database is locked'); END"));
    const Template before = loaded(QStringLiteral("1# 标准模板"));
    Template t = before;
    for (TemplateLine& l : t) l.FontSize = 30;
    try {
        WriteTemplate(fx.db(), QStringLiteral("2# 新模板"), t, TemplateWriteMode::New);
        FAIL() << "no error";
    } catch (const SqlError& e) {
        EXPECT_EQ(s(e.message()), "database or disk is full");
    }
    EXPECT_EQ(rows(QStringLiteral("2# 新模板")), 0);
    EXPECT_THROW(WriteTemplate(fx.db(), QStringLiteral("1# 标准模板"), t, TemplateWriteMode::Save), SqlError);
    EXPECT_EQ(loaded(QStringLiteral("1# 标准模板")), before);
    // The connection is usable again afterwards.
    fx.db().execNative(QStringLiteral("DROP TRIGGER diskfull"));
    WriteTemplate(fx.db(), QStringLiteral("2# 新模板"), t, TemplateWriteMode::New);
    EXPECT_EQ(rows(QStringLiteral("2# 新模板")), 5);
}

} // namespace
