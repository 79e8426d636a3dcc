// The list's counts taken from the pass that reads it, against the counting
// statements they replace, and the counts of a whole table.
#include "browse/browsequeries.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(BrowseQueries, ListCountsFromTheFillMatchTheCountingStatements) {
    FixtureDb fx;
    fx.fillSample();
    // Counts missing (NULL) or zero, and the same poem filed twice under one title,
    // poet, form and bookmark: two rows, both counted.
    fx.db().execNative(u"INSERT INTO Poetry (fBookID,fType,fStyle,fPoet,fDynasty,fTitle,fContent,fQty) VALUES "
                       "(-1,'诗','乐府','无名氏','汉','古诗','甲',NULL),(-1,'诗','乐府','无名氏','汉','古诗','甲',NULL),"
                       "(-1,'诗','乐府','无名氏','汉','长歌行','乙',3),(-1,'诗','乐府','无名氏','汉','长歌行','乙',3),"
                       "(-1,'诗','乐府','无名氏','汉','短歌行','丙',0)"_s);
    const QString order = u"a.fTitle,a.fPoet"_s;
    for (const QString& filter : {QString(), u" Where a.fPoet='无名氏'"_s, u" Where a.fTitle='古诗'"_s,
                                 u" Where a.fQty Is Null"_s, u" Where a.fDynasty='唐'"_s, u" Where 1=0"_s}) {
        SCOPED_TRACE(filter.toStdString());
        // Count(*) and sum(fQty) over the filter, as the status bar counted a list before.
        SqlStatement st = fx.db().prepare(u"Select Count(*),sum(a.fQty) from Poetry a "_s + filter);
        ASSERT_TRUE(st.next());
        const PoemCounts apart{st.int64(0), st.int64(0) > 0 && !st.isNull(1) ? st.int64(1) : 0};
        PoemCounts fromFill{-1, -1};
        ReadTitleRows(fx.db(), filter, order, &fromFill);
        EXPECT_EQ(fromFill, apart);
        EXPECT_EQ(CountPoems(fx.db(), filter), apart);
    }
    EXPECT_EQ(CountPoems(fx.db(), u" Where a.fTitle='古诗'"_s), (PoemCounts{2, 0}));
    EXPECT_EQ(CountPoems(fx.db(), u" Where a.fTitle='长歌行'"_s), (PoemCounts{2, 6}));
    // A rejected clause is the caller's to handle.
    EXPECT_THROW(CountPoems(fx.db(), u" Where no_such_column=1"_s), SqlError);
}
