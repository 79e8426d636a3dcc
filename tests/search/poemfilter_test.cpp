#include "search/poemfilter.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(PoemFilter, TermsInTheFixedOrderWithValuesSplicedAsTyped) {
    const std::pair<PoemSearchFields, QString> cases[] = {
        {{}, u""_s},
        // type, style, title, poet, dynasty, content, preface, notes, count.
        {{u"词"_s, u"宋"_s, u"浣溪沙"_s, u"晏"_s, u"春"_s, u"花"_s, u"序"_s, u"注"_s, u">=2"_s},
         u" And '' & a.fType = '词' And a.fStyle = '浣溪沙' And a.fTitle like '%春%' And a.fPoet Like '晏%'"
         " And a.fDynasty = '宋' And a.fContent like '%花%' And a.fPre like '%序%' And a.fMemo like '%注%'"
         " And a.fQty >=2"_s},
        // A single blank is a value; nothing is trimmed or case-folded.
        {{.title = u" "_s}, u" And a.fTitle like '% %'"_s},
        {{.dynasty = u" Tang "_s}, u" And a.fDynasty = ' Tang '"_s},
        // Every quote inside a value is doubled, in every kind of term.
        {{.type = u"a'b"_s, .poet = u"O'"_s, .title = u"Moon's"_s, .notes = u"''"_s},
         u" And '' & a.fType = 'a''b' And a.fTitle like '%Moon''s%' And a.fPoet Like 'O''%' And a.fMemo like '%''''%'"_s},
        // Wildcards keep their meaning.
        {{.content = u"5%_"_s}, u" And a.fContent like '%5%_%'"_s},
        // The count term uses the normalised count.
        {{.count = u" 3 "_s}, u" And a.fQty = 3"_s}, {{.count = u"<>1"_s}, u" And a.fQty <>1"_s},
        {{.count = u">= 2"_s}, u" And a.fQty >=2"_s},
    };
    for (const auto& [search, terms] : cases) EXPECT_EQ(BuildPoemFilter(search), u" Where 1=1"_s + terms);
    // Text that is not a count never reaches the statement.
    for (const char* bad : {"abc", "=>3", "99999", " ", "1 or 1=1", "1; delete from Poetry", "> 1'--"})
        EXPECT_EQ(BuildPoemFilter({.count = QString::fromUtf8(bad)}), u" Where 1=1"_s) << bad;
}

TEST(SearchCount, NormalisedAsTheFieldIsOnFocusLoss) {
    const std::pair<const char*, const char*> kept[] = {
        {"", ""}, {"3", "3"}, {" 3 ", "3"}, {"\t7 ", "7"}, {"0", "0"}, {"-3", "-3"}, {"+4", "4"}, {"-0.4", "0"},
        {"3.6", "4"}, {"1e2", "100"},
        // Halves to the even neighbour; the 16-bit range after rounding.
        {"2.5", "2"}, {"3.5", "4"}, {"-2.5", "-2"}, {".5", "0"}, {"32767", "32767"}, {"-32768", "-32768"},
        // Operator first, the number after it converted the same way.
        {"<>1", "<>1"}, {">= 2", ">=2"}, {"> 5", ">5"}, {">=2.5", ">=2"}, {"<=-2", "<=-2"}, {"< 3 ", "<3"}, {"=7", "=7"}};
    for (const auto& [typed, result] : kept)
        EXPECT_EQ(NormalizeSearchCount(QString::fromUtf8(typed)), std::optional(QString::fromUtf8(result))) << typed;
    // Emptied: out of range, an operator the rules do not know (the first one
    // found decides), nothing numeric after the operator, not a number.
    for (const char* typed : {"32767.5", "99999", "-32769", ">99999", "=>3", "<<3", "<>", ">", " >3", "abc", " ",
                              "3 3", "3x", "1,000", "0x10", "inf", "nan", "1e", ".", "-", "三"})
        EXPECT_FALSE(NormalizeSearchCount(QString::fromUtf8(typed)).has_value()) << typed;
}
