// The statement translation, and each point of the dialect the program's
// statements rely on, run against a fixture database.
#include "db/jetdialect.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(JetDialect, TranslationKeepsParametersLiteralsAndJoinsWhole) {
    const std::pair<QString, QString> cases[] = {
        {u"Where '' & fType<>''"_s, u"Where (('' || ifnull(fType,'')) COLLATE NOCASE)<>''"_s},
        {u"where fbook_del<>'' or isnull(fbook_del)"_s, u"where fbook_del<>'' or ((fbook_del) IS NULL)"_s},
        // A bound parameter is one operand of the concatenation, numbered or not.
        {u"Update PoetBook Set fBook=?1 Where '' & fBook=?2 And fBookID<>?3"_s,
         u"Update PoetBook Set fBook=?1 Where (('' || ifnull(fBook,'')) COLLATE NOCASE)=?2 And fBookID<>?3"_s},
        {u"Where '' & ?12=fTitle And fPoet=?2"_s,
         u"Where (('' || ifnull(?12,'')) COLLATE NOCASE)=fTitle And fPoet=?2"_s},
        {u"Where '' & fPoemID=? And left(?3,2)='ab'"_s,
         u"Where (('' || ifnull(fPoemID,'')) COLLATE NOCASE)=? And substr(?3,1,2)='ab'"_s},
        // Left joins, string literals and unbalanced statements (for SQLite to reject) stay as written.
        {u"from (Poetry a Left Join PoetDynasty b On a.fDynasty=b.fDynasty)"_s, {}},
        {u"Insert Into Poet (fPoet,fBrief) Values ('a & b','isnull(x) left(y,2) ''&''')"_s, {}},
        {u"select left(x from t"_s, {}},
    };
    for (const auto& [jet, sqlite] : cases) EXPECT_EQ(translateJetSql(jet), sqlite.isNull() ? jet : sqlite);
}

// '' & X makes NULL "" and numbers their decimal text; = and <> ignore Latin
// case; isnull and left work; names ignore case.
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
        {"select count(*) from POETBOOK where FBOOKSELECTED=1", "3"},
        {"select left(fContent,instr(fContent,'，')-1) from Poetry Where fPoemID=1", "床前明月光"},
        {"select count(*) from Poetry Where fPoet='LI BAI'", "1"},
        {"select count(*) from Poetry Where fPoet<>'li bai'", "8"},
        {"select count(*) from Poetry Where fTitle='MOON''S SONG'", "1"},
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
