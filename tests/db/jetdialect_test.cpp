// The statement translation, and each point of the dialect the program's
// statements rely on, run against a fixture database.
#include "db/jetdialect.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(JetDialect, RewritesConcatenationIsnullAndLeft) {
    EXPECT_EQ(translateJetSql(QStringLiteral("Where '' & fType<>''")),
              QStringLiteral("Where (('' || ifnull(fType,'')) COLLATE NOCASE)<>''"));
    EXPECT_EQ(translateJetSql(QStringLiteral("Where '' & a.fPoemID='12'")),
              QStringLiteral("Where (('' || ifnull(a.fPoemID,'')) COLLATE NOCASE)='12'"));
    EXPECT_EQ(translateJetSql(QStringLiteral("where fbook_del<>'' or isnull(fbook_del)")),
              QStringLiteral("where fbook_del<>'' or ((fbook_del) IS NULL)"));
    EXPECT_EQ(translateJetSql(QStringLiteral("set fbook_del=left(fcontent,instr(fcontent,'，')-1)")),
              QStringLiteral("set fbook_del=substr(fcontent,1,instr(fcontent,'，')-1)"));
    // Parameters are left for binding, also right after a concatenation.
    EXPECT_EQ(translateJetSql(QStringLiteral("Update PoetBook Set fBook=?1 Where '' & fBook=?2 And fBookID<>?3")),
              QStringLiteral("Update PoetBook Set fBook=?1 Where (('' || ifnull(fBook,'')) COLLATE NOCASE)=?2 "
                             "And fBookID<>?3"));
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
    EXPECT_EQ(column(QStringLiteral("select '' & fQty from Poetry Where fPoemID=9")), QStringList{u"3"_s});
}

// Table, column and alias names ignore case, in statements and in the result's columns.
TEST_F(Dialect, NamesIgnoreCase) {
    EXPECT_EQ(count(QStringLiteral("select count(*) from POETBOOK where FBOOKSELECTED=1")), 3);
    SqlStatement st = fx.db().prepare(QStringLiteral("select fpoemid, FTITLE, '' as bb from Poetry where fPoemID=1"));
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.text(QStringLiteral("fTitle")), QStringLiteral("静夜思"));
    EXPECT_EQ(st.columnIndex(QStringLiteral("BB")), 2);
}

// isnull, instr (1-based, 0 when absent), left.
TEST_F(Dialect, Functions) {
    EXPECT_EQ(count(QStringLiteral("select count(*) from Poetry Where isnull(fType)")), 1);
    EXPECT_EQ(count(QStringLiteral("select instr(fContent,'，') from Poetry Where fPoemID=1")), 6);
    EXPECT_EQ(count(QStringLiteral("select instr(fContent,'X') from Poetry Where fPoemID=1")), 0);
    EXPECT_EQ(column(QStringLiteral("select left(fContent,instr(fContent,'，')-1) from Poetry Where fPoemID=1")),
              QStringList{u"床前明月光"_s});
}

// =, <> and like ignore the case of Latin letters. (Insert defaults and aggregates
// over no rows are checked through the windows that rely on them.)
TEST_F(Dialect, ComparisonIgnoresLatinCase) {
    EXPECT_EQ(count(QStringLiteral("select count(*) from Poetry Where fPoet='LI BAI'")), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from Poetry Where fPoet<>'li bai'")), 8);
    EXPECT_EQ(count(QStringLiteral("select count(*) from Poetry Where fTitle='MOON''S SONG'")), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from Poetry Where fTitle like 'moon''s song'")), 1);
}

