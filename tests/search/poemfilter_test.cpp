#include "search/poemfilter.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Only the count filled in.
QString countFilter(const QString& count) {
    return BuildPoemFilter({.count = count});
}

} // namespace

TEST(PoemFilter, TermsFollowTheFixedOrder) {
    EXPECT_EQ(BuildPoemFilter({}), QStringLiteral(" Where 1=1"));
    // The terms come as type, style, title, poet, dynasty, content, preface,
    // notes, count.
    EXPECT_EQ(BuildPoemFilter({u"词"_s, u"宋"_s, u"浣溪沙"_s, u"晏"_s, u"春"_s, u"花"_s, u"序"_s, u"注"_s, u">=2"_s}),
              QStringLiteral(" Where 1=1 And '' & a.fType = '词' And a.fStyle = '浣溪沙'"
                             " And a.fTitle like '%春%' And a.fPoet Like '晏%' And a.fDynasty = '宋'"
                             " And a.fContent like '%花%' And a.fPre like '%序%' And a.fMemo like '%注%'"
                             " And a.fQty >=2"));

}

TEST(PoemFilter, ValuesAreSplicedAsTyped) {
    // A single blank is a value; nothing is trimmed or case-folded.
    EXPECT_EQ(BuildPoemFilter({.title = QStringLiteral(" ")}),
              QStringLiteral(" Where 1=1 And a.fTitle like '% %'"));
    EXPECT_EQ(BuildPoemFilter({.dynasty = QStringLiteral(" Tang ")}),
              QStringLiteral(" Where 1=1 And a.fDynasty = ' Tang '"));
    // Every quote inside a value is doubled, in every kind of term.
    EXPECT_EQ(BuildPoemFilter({.type = QStringLiteral("a'b"),
                               .poet = QStringLiteral("O'"),
                               .title = QStringLiteral("Moon's"),
                               .notes = QStringLiteral("''")}),
              QStringLiteral(" Where 1=1 And '' & a.fType = 'a''b' And a.fTitle like '%Moon''s%'"
                             " And a.fPoet Like 'O''%' And a.fMemo like '%''''%'"));
    // Wildcards keep their meaning.
    EXPECT_EQ(BuildPoemFilter({.content = QStringLiteral("5%_")}),
              QStringLiteral(" Where 1=1 And a.fContent like '%5%_%'"));
}

TEST(PoemFilter, CountTermUsesTheNormalisedCount) {
    EXPECT_EQ(countFilter(QStringLiteral(" 3 ")), QStringLiteral(" Where 1=1 And a.fQty = 3"));
    EXPECT_EQ(countFilter(QStringLiteral("<>1")), QStringLiteral(" Where 1=1 And a.fQty <>1"));
    EXPECT_EQ(countFilter(QStringLiteral(">= 2")), QStringLiteral(" Where 1=1 And a.fQty >=2"));
    // Text that is not a count never reaches the statement.
    for (const char* bad : {"abc", "=>3", "99999", " ", "1 or 1=1", "1; delete from Poetry", "> 1'--"})
        EXPECT_EQ(countFilter(QString::fromUtf8(bad)), QStringLiteral(" Where 1=1")) << bad;
}

TEST(SearchCount, NormalisedAsTheFieldIsOnFocusLoss) {
    const std::pair<const char*, const char*> kept[] = {
        {"", ""}, {"3", "3"}, {" 3 ", "3"}, {"\t7 ", "7"}, {"0", "0"}, {"-3", "-3"}, {"+4", "4"},
        {"-0.4", "0"}, {"3.6", "4"}, {"1e2", "100"},
        // Halves to the even neighbour; the 16-bit range after rounding.
        {"2.5", "2"}, {"3.5", "4"}, {"-2.5", "-2"}, {".5", "0"}, {"32767", "32767"}, {"-32768", "-32768"},
        // Operator first, the number after it converted the same way.
        {"<>1", "<>1"}, {">= 2", ">=2"}, {"> 5", ">5"}, {">=2.5", ">=2"}, {"<=-2", "<=-2"}, {"< 3 ", "<3"},
        {"=7", "=7"}};
    for (const auto& [typed, result] : kept) {
        const std::optional<QString> got = NormalizeSearchCount(QString::fromUtf8(typed));
        ASSERT_TRUE(got.has_value()) << typed;
        EXPECT_EQ(*got, QString::fromUtf8(result)) << typed;
    }
    // Emptied: out of range, an operator the rules do not know (the first one
    // found decides), nothing numeric after the operator, not a number.
    for (const char* typed : {"32767.5", "99999", "-32769", ">99999", "=>3", "<<3", "<>", ">", " >3", "abc",
                              " ", "3 3", "3x", "1,000", "0x10", "inf", "nan", "1e", ".", "-", "三"})
        EXPECT_FALSE(NormalizeSearchCount(QString::fromUtf8(typed)).has_value()) << typed;
}
