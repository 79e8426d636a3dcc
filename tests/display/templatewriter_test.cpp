// Writing a template back: the rows it leaves. (All or nothing is checked through
// the template panel and under injected write failures.)
#include "display/templatestore.h"
#include "display/templatewriter.h"
#include "db/sqltext.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

namespace {

std::string s(const QString& v) { return v.toStdString(); }

// A face name with a quote and argument markers, stored as written.
TemplateLine sampleLine() {
    TemplateLine l;
    l.FontName = QStringLiteral("楷's %2%1");
    l.FontSize = 12;
    l.FontBold = 1;
    l.FontColor = 0x0000FF;
    l.Align = 2;
    l.Indent = -2;
    l.HangingIndent = 3;
    l.Offset = -1;
    return l;
}

Template loaded(FixtureDb& fx, const QString& name) {
    Template t = DefaultTemplate();
    LoadTemplateRows(fx.db(), name, t);
    return t;
}

// Rows of the template, and of those the distinct line kinds: "5/5".
std::string rows(FixtureDb& fx, const QString& name) {
    return s(fx.text(QStringLiteral("SELECT count(*)||'/'||count(DISTINCT fID) FROM PoetrySet WHERE fModel=") +
                     sqlText(name)));
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
        {"a new template", "", QStringLiteral("2# 新's %3模板"), TemplateWriteMode::New},
        // The placeholder of an empty table: its rows are written, not updated.
        {"save into a template without rows", "DELETE FROM PoetrySet", standard, TemplateWriteMode::Save},
        {"save completes missing line kinds", "DELETE FROM PoetrySet WHERE fID>=3", standard,
         TemplateWriteMode::Save},
        {"save over a name with a quote", "UPDATE PoetrySet SET fModel='3# 旧''s %1'", QStringLiteral("3# 旧's %1"),
         TemplateWriteMode::Save},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FixtureDb fx;
        fx.fillSample();
        if (*c.setUp) fx.db().execNative(QString::fromUtf8(c.setUp));
        Template t = loaded(fx, c.mode == TemplateWriteMode::New ? standard : c.model);
        t[0].FontSize = 20;
        t[3] = sampleLine();
        t[4].Offset = 7;
        WriteTemplate(fx.db(), c.model, t, c.mode);
        EXPECT_EQ(rows(fx, c.model), "5/5");
        EXPECT_EQ(loaded(fx, c.model), t);
        if (c.mode == TemplateWriteMode::New) {
            EXPECT_EQ(rows(fx, standard), "5/5");
        }
    }
}

} // namespace
