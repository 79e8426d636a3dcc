// The statement translation, and each point of the dialect the program's
// statements rely on, run against a fixture database.
#include "db/jetdialect.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

TEST(JetDialect, RewritesConcatenationIsnullAndLeft) {
    EXPECT_EQ(translateJetSql(QStringLiteral("select count(*) from Poetry Where 1=0")),
              QStringLiteral("select count(*) from Poetry Where 1=0"));
    EXPECT_EQ(translateJetSql(QStringLiteral("Where '' & fType<>''")),
              QStringLiteral("Where (('' || ifnull(fType,'')) COLLATE NOCASE)<>''"));
    EXPECT_EQ(translateJetSql(QStringLiteral("Where '' & a.fPoemID='12'")),
              QStringLiteral("Where (('' || ifnull(a.fPoemID,'')) COLLATE NOCASE)='12'"));
    EXPECT_EQ(translateJetSql(QStringLiteral("where fbook_del<>'' or isnull(fbook_del)")),
              QStringLiteral("where fbook_del<>'' or ((fbook_del) IS NULL)"));
    EXPECT_EQ(translateJetSql(QStringLiteral("set fbook_del=left(fcontent,instr(fcontent,'，')-1)")),
              QStringLiteral("set fbook_del=substr(fcontent,1,instr(fcontent,'，')-1)"));
    // Joins named Left are no function.
    const QString join = QStringLiteral("from (Poetry a Left Join PoetDynasty b On a.fDynasty=b.fDynasty)");
    EXPECT_EQ(translateJetSql(join), join);
}

TEST(JetDialect, KeepsParametersWhole) {
    // A bound parameter is one operand of the concatenation, numbered or not.
    EXPECT_EQ(translateJetSql(QStringLiteral("Where '' & ?12=fTitle And fPoet=?2")),
              QStringLiteral("Where (('' || ifnull(?12,'')) COLLATE NOCASE)=fTitle And fPoet=?2"));
    EXPECT_EQ(translateJetSql(QStringLiteral("Where '' & fPoemID=? And left(?3,2)='ab'")),
              QStringLiteral("Where (('' || ifnull(fPoemID,'')) COLLATE NOCASE)=? And substr(?3,1,2)='ab'"));
}

TEST(JetDialect, LeavesStringLiteralsAlone) {
    const QString s = QStringLiteral("Insert Into Poet (fPoet,fBrief) Values ('a & b','isnull(x) left(y,2) ''&''')");
    EXPECT_EQ(translateJetSql(s), s);
    // An unbalanced statement is passed on for SQLite to reject.
    EXPECT_EQ(translateJetSql(QStringLiteral("select left(x from t")), QStringLiteral("select left(x from t"));
}

class Dialect : public ::testing::Test {
protected:
    void SetUp() override { fx.fillSample(); }
    qint64 count(const QString& jet) {
        SqlStatement st = fx.db().prepare(jet);
        return st.next() ? st.int64(0) : -1;
    }
    QStringList column(const QString& jet) {
        QStringList out;
        SqlStatement st = fx.db().prepare(jet);
        while (st.next()) out << (st.isNull(0) ? QStringLiteral("<null>") : st.text(0));
        return out;
    }
    FixtureDb fx;
};

// '' & X: NULL becomes "", numbers their decimal text, comparison ignores Latin case.
TEST_F(Dialect, EmptyConcatenation) {
    EXPECT_EQ(count(QStringLiteral("select count(*) from Poetry Where '' & fType<>''")), 7);
    EXPECT_EQ(count(QStringLiteral("select count(*) from Poetry Where '' & fType=''")), 2);
    EXPECT_EQ(count(QStringLiteral("select count(*) from Poetry Where '' & fPoemID='3'")), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from Poetry Where '' & fPoet='li bai'")), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from PoetBook Where '' & fBook=''")), 1);
    EXPECT_EQ(column(QStringLiteral("select '' & fQty from Poetry Where fPoemID=9")), QStringList{"3"});
}

// distinct, multi-column order with desc, parenthesised Left Join, aggregates,
// group by with Having, aliases.
TEST_F(Dialect, SelectForms) {
    EXPECT_EQ(column(QStringLiteral("select distinct fPoet from Poetry Where fDynasty='唐' Order By fPoet desc")).size(), 4);
    EXPECT_EQ(column(QStringLiteral("select fPoemID from Poetry Order By fBookmark desc, fPoemID")).mid(0, 3),
              (QStringList{"1", "4", "2"}));
    EXPECT_EQ(column(QStringLiteral("select distinct a.fDynasty,a.fPoet,b.fID from (Poetry a Left Join PoetDynasty b "
                                    "On a.fDynasty=b.fDynasty) Order By b.fID,a.fPoet"))
                  .first(),
              QString());
    EXPECT_EQ(count(QStringLiteral("select sum(fQty) from Poetry")), 12);
    EXPECT_EQ(column(QStringLiteral("select fPoet from Poetry group by fPoet Having Count(fPoemID) > 1 order by fPoet")),
              (QStringList{"李白", "杜甫", "苏轼"}));
    SqlStatement st = fx.db().prepare(QStringLiteral("select distinct a.fPoet,'' as bb from Poetry a"));
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.columnIndex(QStringLiteral("BB")), 1);
    SqlStatement st2 = fx.db().prepare(
        QStringLiteral("select a.fPoemID, count(b.fpoemid) as fTry from poetry a left join poetry b on a.fPoet=b.fPoet "
                       "group by a.fPoemID order by a.fPoemID"));
    ASSERT_TRUE(st2.next());
    EXPECT_EQ(st2.int64(QStringLiteral("ftry")), 2);
}

// Names ignore case.
TEST_F(Dialect, NamesIgnoreCase) {
    EXPECT_EQ(count(QStringLiteral("select count(*) from poetry where fbook_del is null")), 9);
    EXPECT_EQ(count(QStringLiteral("select count(*) from POETBOOK where FBOOKSELECTED=1")), 3);
    SqlStatement st = fx.db().prepare(QStringLiteral("select fpoemid, FTITLE from Poetry where fPoemID=1"));
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.text(QStringLiteral("fTitle")), QStringLiteral("静夜思"));
}

// like: _ is one character, % any number (the search's own terms are checked with the search).
TEST_F(Dialect, Like) {
    EXPECT_EQ(count(QStringLiteral("select count(*) from Poetry a Where a.fTitle like '春__'")), 0);
    EXPECT_EQ(count(QStringLiteral("select count(*) from Poetry a Where a.fTitle like '春_'")), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from Poetry a Where a.fTitle like '春%'")), 1);
}

// isnull, instr (1-based, 0 when absent), left.
TEST_F(Dialect, Functions) {
    EXPECT_EQ(count(QStringLiteral("select count(*) from Poetry Where isnull(fType)")), 1);
    EXPECT_EQ(count(QStringLiteral("select instr(fContent,'，') from Poetry Where fPoemID=1")), 6);
    EXPECT_EQ(count(QStringLiteral("select instr(fContent,'X') from Poetry Where fPoemID=1")), 0);
    EXPECT_EQ(column(QStringLiteral("select left(fContent,instr(fContent,'，')-1) from Poetry Where fPoemID=1")),
              QStringList{"床前明月光"});
}

// =, <> and like ignore the case of Latin letters. (Insert defaults and aggregates
// over no rows are checked through the windows that rely on them.)
TEST_F(Dialect, ComparisonIgnoresLatinCase) {
    EXPECT_EQ(count(QStringLiteral("select count(*) from Poetry Where fPoet='LI BAI'")), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from Poetry Where fPoet<>'li bai'")), 8);
    EXPECT_EQ(count(QStringLiteral("select count(*) from Poetry Where fTitle='MOON''S SONG'")), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from Poetry Where fTitle like 'moon''s song'")), 1);
}

