// Writing a template back: the rows it leaves. (All or nothing is checked through
// the template panel and under injected write failures.)
#include "db/sqltext.h"
#include "display/templatestore.h"
#include "display/templatewriter.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Each way of writing leaves exactly five rows for the template, which load back
// as written, and leaves the other templates alone.
TEST(WriteTemplate, WritesFiveRowsThatLoadBack) {
    const QString standard = u"1# 标准模板"_s;
    const std::tuple<const char*, const char*, QString, TemplateWriteMode> cases[] = {
        {"a new template", "", u"2# 新's %3模板"_s, TemplateWriteMode::New},
        // The placeholder of an empty table: its rows are written, not updated.
        {"save into a template without rows", "DELETE FROM PoetrySet", standard, TemplateWriteMode::Save},
        {"save completes missing line kinds", "DELETE FROM PoetrySet WHERE fID>=3", standard, TemplateWriteMode::Save},
        {"save over a name with a quote", "UPDATE PoetrySet SET fModel='3# 旧''s %1'", u"3# 旧's %1"_s,
         TemplateWriteMode::Save},
    };
    for (const auto& [name, setUp, model, mode] : cases) {
        SCOPED_TRACE(name);
        FixtureDb fx;
        fx.fillSample();
        if (*setUp) fx.db().execNative(QString::fromUtf8(setUp));
        const auto loaded = [&](const QString& from) {
            Template t = DefaultTemplate();
            LoadTemplateRows(fx.db(), from, t);
            return t;
        };
        // Rows of the template, and of those the distinct line kinds: "5/5".
        const auto rows = [&](const QString& of) {
            return fx.text(u"SELECT count(*)||'/'||count(DISTINCT fID) FROM PoetrySet WHERE fModel="_s + sqlText(of));
        };
        Template t = loaded(mode == TemplateWriteMode::New ? standard : model);
        t[0].FontSize = 20;
        // A face name with a quote and argument markers, stored as written.
        t[3] = {u"楷's %2%1"_s, 12, 1, 0, 0, 0x0000FF, 2, -2, 3, -1};
        WriteTemplate(fx.db(), model, t, mode);
        EXPECT_EQ(rows(model), u"5/5"_s);
        EXPECT_EQ(loaded(model), t);
        if (mode == TemplateWriteMode::New) {
            EXPECT_EQ(rows(standard), u"5/5"_s);
        }
    }
}
