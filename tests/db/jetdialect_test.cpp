// Each point of the dialect the program's statements rely on, run against a fixture database.
#include "db/jetdialect.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// '' & X makes NULL "" and numbers their decimal text; = and <> ignore Latin
// case; isnull and left work; string literals are kept as written; names ignore case.
TEST(JetDialect, RunsAgainstTheSample) {
    FixtureDb fx;
    fx.fillSample();
    const std::pair<const char*, const char*> cases[] = {
        {"select count(*) from Poetry Where '' & fType<>''", "7"},
        {"select count(*) from Poetry Where '' & fType='' And isnull(fType)", "1"},
        {"select count(*) from Poetry Where '' & fPoemID='3'", "1"},
        {"select count(*) from Poetry Where '' & fPoet='li bai'", "1"},
        {"select count(*) from PoetBook Where '' & fBook=''", "1"},
        {"select '' & fQty from Poetry Where fPoemID=9", "3"},
        {"select left(fContent,instr(fContent,'，')-1) from Poetry Where fPoemID=1", "床前明月光"},
        {"select count(*) from Poetry Where fPoet='LI BAI'", "1"},
        {"select count(*) from Poetry Where fPoet<>'li bai'", "8"},
        {"select count(*) from Poetry Where fTitle='MOON''S SONG'", "1"},
        {"select 'a & b, isnull(x) left(y,2) ''&'''", "a & b, isnull(x) left(y,2) '&'"},
    };
    for (const auto& [jet, result] : cases) {
        SqlStatement st = fx.db().prepare(QString::fromUtf8(jet));
        ASSERT_TRUE(st.next()) << jet;
        EXPECT_EQ(st.text(0), QString::fromUtf8(result)) << jet;
    }
    SqlStatement st = fx.db().prepare(u"select fpoemid, FTITLE, '' as bb from Poetry where fPoemID=1"_s);
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.text(u"fTitle"_s), u"静夜思"_s);
    EXPECT_EQ(st.columnIndex(u"BB"_s), 2);
}
