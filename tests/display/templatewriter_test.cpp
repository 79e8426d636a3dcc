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

Template loaded(FixtureDb& fx, const QString& name) {
    Template t = DefaultTemplate();
    LoadTemplateRows(fx.db(), name, t);
    return t;
}

// Rows of the template, and of those the distinct line kinds: "5/5".
std::string rows(FixtureDb& fx, const QString& name) {
    return s(fx.text(QStringLiteral("SELECT count(*)||'/'||count(DISTINCT fID) FROM PoetrySet WHERE fModel='") +
                     name + u'\''));
}

// Each way of writing leaves exactly five rows for the template, which load back
// as written, and leaves the other templates alone.
TEST(WriteTemplate, WritesFiveRowsThatLoadBack) {
    const QString standard = QStringLiteral("1# 标准模板");
    struct Case {
        const char* name;
        const char* setUp; // run on the sample first
        QString model;
        TemplateWriteMode mode;
    };
    const Case cases[] = {
        {"save over every line kind", "", standard, TemplateWriteMode::Save},
        {"a new template", "", QStringLiteral("2# 新模板"), TemplateWriteMode::New},
        // The placeholder of an empty table: its rows are written, not updated.
        {"save into a template without rows", "DELETE FROM PoetrySet", standard, TemplateWriteMode::Save},
        {"save completes missing line kinds", "DELETE FROM PoetrySet WHERE fID>=3", standard,
         TemplateWriteMode::Save},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FixtureDb fx;
        fx.fillSample();
        if (*c.setUp) fx.db().execNative(QString::fromUtf8(c.setUp));
        Template t = loaded(fx, standard);
        t[0].FontSize = 20;
        t[3] = sampleLine();
        t[4].Offset = 7;
        WriteTemplate(fx.db(), c.model, t, c.mode);
        EXPECT_EQ(rows(fx, c.model), "5/5");
        EXPECT_EQ(loaded(fx, c.model), t);
        if (c.model != standard) EXPECT_EQ(rows(fx, standard), "5/5");
    }
}

TEST(WriteTemplate, AFailingLineLeavesNothingWritten) {
    FixtureDb fx;
    fx.fillSample();
    fx.db().execNative(QStringLiteral("CREATE TRIGGER diskfull BEFORE INSERT ON PoetrySet WHEN NEW.fID=3 "
                                      "BEGIN SELECT RAISE(ABORT,'database or disk is full'); END"));
    fx.db().execNative(QStringLiteral("CREATE TRIGGER stuck BEFORE UPDATE ON PoetrySet WHEN NEW.fID=2 "
                                      "BEGIN SELECT RAISE(ABORT,'database is locked'); END"));
    const Template before = loaded(fx, QStringLiteral("1# 标准模板"));
    Template t = before;
    for (TemplateLine& l : t) l.FontSize = 30;
    try {
        WriteTemplate(fx.db(), QStringLiteral("2# 新模板"), t, TemplateWriteMode::New);
        FAIL() << "no error";
    } catch (const SqlError& e) {
        EXPECT_EQ(s(e.message()), "database or disk is full");
    }
    EXPECT_EQ(rows(fx, QStringLiteral("2# 新模板")), "0/0");
    EXPECT_THROW(WriteTemplate(fx.db(), QStringLiteral("1# 标准模板"), t, TemplateWriteMode::Save), SqlError);
    EXPECT_EQ(loaded(fx, QStringLiteral("1# 标准模板")), before);
    // The connection is usable again afterwards.
    fx.db().execNative(QStringLiteral("DROP TRIGGER diskfull"));
    WriteTemplate(fx.db(), QStringLiteral("2# 新模板"), t, TemplateWriteMode::New);
    EXPECT_EQ(rows(fx, QStringLiteral("2# 新模板")), "5/5");
}

} // namespace
