// The list's counts taken from the pass that reads it, against the counting
// statements they replace, and the counts of a whole table.
#include "browse/browsequeries.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

namespace {

// Count(*) and sum(fQty) over the filter, as the status bar counted a list before.
PoemCounts countedApart(SqlDatabase& db, const QString& filter) {
    PoemCounts c;
    SqlStatement st = db.prepare(QStringLiteral("Select Count(*),sum(a.fQty) from Poetry a ") + filter);
    EXPECT_TRUE(st.next());
    c.titles = st.int64(0);
    c.poems = c.titles > 0 && !st.isNull(1) ? st.int64(1) : 0;
    return c;
}

std::vector<qint32> ids(const TitleRows& rows) {
    std::vector<qint32> out;
    for (int i = 0; i < rows.size(); ++i) out.push_back(rows.poemId(i));
    return out;
}

} // namespace

TEST(BrowseQueries, ListCountsFromTheFillMatchTheCountingStatements) {
    FixtureDb fx;
    fx.fillSample();
    // Counts missing (NULL) or zero, and the same poem filed twice under one title,
    // poet, form and bookmark: two rows, both counted.
    fx.db().execNative(QStringLiteral(
        "INSERT INTO Poetry (fBookID,fType,fStyle,fPoet,fDynasty,fTitle,fContent,fQty) VALUES "
        "(-1,'诗','乐府','无名氏','汉','古诗','甲',NULL),"
        "(-1,'诗','乐府','无名氏','汉','古诗','甲',NULL),"
        "(-1,'诗','乐府','无名氏','汉','长歌行','乙',3),"
        "(-1,'诗','乐府','无名氏','汉','长歌行','乙',3),"
        "(-1,'诗','乐府','无名氏','汉','短歌行','丙',0)"));
    const QString order = QStringLiteral("a.fTitle,a.fPoet");
    for (const QString& filter : {QString(), QStringLiteral(" Where a.fPoet='无名氏'"),
                                 QStringLiteral(" Where a.fTitle='古诗'"), QStringLiteral(" Where a.fQty Is Null"),
                                 QStringLiteral(" Where a.fDynasty='唐'"), QStringLiteral(" Where 1=0")}) {
        SCOPED_TRACE(filter.toStdString());
        PoemCounts fromFill{-1, -1};
        const TitleRows rows = ReadTitleRows(fx.db(), filter, order, &fromFill);
        const PoemCounts apart = countedApart(fx.db(), filter);
        EXPECT_EQ(fromFill, apart);
        EXPECT_EQ(CountPoems(fx.db(), filter), apart);
        // Counting changes neither the rows nor their order.
        EXPECT_EQ(ids(rows), ids(ReadTitleRows(fx.db(), filter, order)));
    }
    EXPECT_EQ(CountPoems(fx.db(), QStringLiteral(" Where a.fTitle='古诗'")), (PoemCounts{2, 0}));
    EXPECT_EQ(CountPoems(fx.db(), QStringLiteral(" Where a.fTitle='长歌行'")), (PoemCounts{2, 6}));
    // A rejected clause is the caller's to handle.
    EXPECT_THROW(CountPoems(fx.db(), QStringLiteral(" Where no_such_column=1")), SqlError);
}
