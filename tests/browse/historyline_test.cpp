#include "browse/historyline.h"
#include "browse/titlerows.h"
#include "db/textwidth.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

TEST(HistoryLine, PadsAndCutsByDisplayColumns) {
    // Eight Chinese characters fill the 16 columns exactly: no filler, no cut.
    const QString eight = QStringLiteral("一二三四五六七八");
    EXPECT_EQ(FormatTitlePoet(eight, QStringLiteral("李白")), eight + QStringLiteral("(李白)"));
    // Nine are cut to six and marked.
    EXPECT_EQ(FormatTitlePoet(QStringLiteral("一二三四五六七八九"), QStringLiteral("李白")),
              QStringLiteral("一二三四五六... (李白)"));
    // Short titles are padded to 16 columns.
    EXPECT_EQ(FormatTitlePoet(QStringLiteral("春望"), QStringLiteral("杜甫")),
              QStringLiteral("春望") + QString(12, u' ') + QStringLiteral("(杜甫)"));
    // A title of ten characters: its first six, the marker, then the poet.
    EXPECT_EQ(FormatTitlePoet(QStringLiteral("一二三四五六七八九十"), QStringLiteral("X")),
              QStringLiteral("一二三四五六... (X)"));
}

TEST(HistoryLine, IdStandsRightAlignedAfterFortyColumns) {
    const QString line = FormatHistoryLine(QStringLiteral("静夜思"), QStringLiteral("李白"), QStringLiteral("1234"));
    EXPECT_EQ(AnsiByteLength(line.left(line.size() - 15)), 40);
    EXPECT_EQ(line.right(15), QString(11, u' ') + QStringLiteral("1234"));
    EXPECT_EQ(HistoryLineId(line), 1234);
    // A long poet name is cut within 40 columns (a double-width character never
    // straddles the edge, so 39 here); the id still reads from the end.
    const QString longLine = FormatHistoryLine(QStringLiteral("一二三四五六七八九十"), QString(30, QChar(0x674E)),
                                               QStringLiteral("987654"));
    EXPECT_EQ(AnsiByteLength(longLine.left(longLine.size() - 15)), 39);
    EXPECT_EQ(HistoryLineId(longLine), 987654);
    EXPECT_EQ(HistoryLineId(QStringLiteral("no id here at all, none")), -1);
}

TEST(TitleRows, ReadsTheTitleListQueryWithoutACap) {
    FixtureDb fx;
    // More rows than a 16-bit counter holds.
    fx.db().execNative(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<40000) "
        "INSERT INTO Poetry (fBookID,fType,fStyle,fPoet,fDynasty,fTitle,fContent,fQty) "
        "SELECT -1,'诗','五言绝句','p'||(i%50),'唐','t'||i,'c',1 FROM n"));
    const TitleRows all = ReadTitleRows(fx.db(), QString(), QStringLiteral("a.fTitle,a.fPoet"));
    ASSERT_EQ(all.size(), 40000);
    EXPECT_EQ(all[0].title, QStringLiteral("t1"));
    EXPECT_EQ(all[0].poet, QStringLiteral("p1"));
    EXPECT_EQ(all[0].style, QStringLiteral("五言绝句"));
    EXPECT_EQ(all[0].poemId, 1);
    EXPECT_EQ(all[39999].title, QStringLiteral("t9999"));
    EXPECT_EQ(all.poet(39999), QStringLiteral("p49"));
    const TitleRows some =
        ReadTitleRows(fx.db(), QStringLiteral(" Where a.fPoet = 'p7'"), QStringLiteral("a.fTitle,a.fPoet"));
    EXPECT_EQ(some.size(), 800);
    EXPECT_EQ(TitleListQuery(QString(), QString()),
              QStringLiteral("select distinct a.fTitle,a.fStyle,a.fPoet,a.fPoemID,a.fBookmark,a.fBook_del,a.fQty from Poetry a "));
}

TEST(TitleRows, EditsAndAppendsKeepEveryRowsOwnTexts) {
    TitleRows rows;
    rows.append(QByteArrayView("静夜思"), QByteArrayView("五言绝句"), QByteArrayView("李白"), 1, 0);
    rows.append(QByteArrayView(""), QByteArrayView(), QByteArrayView("李白"), 2, 3);
    rows.insert(1, {QStringLiteral("春晓"), QStringLiteral("五言绝句"), QStringLiteral("孟浩然"), 7, 0});
    rows.setText(0, QStringLiteral("夜思"), QStringLiteral("Li Bai"), QStringLiteral("古诗"));

    // Rows with their poet and form from another list: its texts are mapped in.
    TitleRows more;
    more.append(QByteArrayView("登鹳雀楼"), QByteArrayView("五言绝句"), QByteArrayView("王之涣"), 9, 0);
    more.append(QByteArrayView("望庐山瀑布"), QByteArrayView("七言绝句"), QByteArrayView("李白"), 10, 0);
    rows.append(more);
    rows.erase(2);

    ASSERT_EQ(rows.size(), 4);
    const QStringList expected[] = {{"夜思", "Li Bai", "古诗", "1"},
                                    {"春晓", "孟浩然", "五言绝句", "7"},
                                    {"登鹳雀楼", "王之涣", "五言绝句", "9"},
                                    {"望庐山瀑布", "李白", "七言绝句", "10"}};
    for (int i = 0; i < rows.size(); ++i) {
        const TitleRow r = rows[i];
        EXPECT_EQ((QStringList{r.title, r.poet, r.style, QString::number(r.poemId)}), expected[i]) << i;
    }
    TitleRows moved;
    moved.swap(rows);
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(moved.title(3), QStringLiteral("望庐山瀑布"));
}
