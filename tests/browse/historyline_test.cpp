#include "browse/historyline.h"
#include "browse/titlerows.h"
#include "db/textwidth.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// "title/poet/style/id" of rows first..end, comma-joined.
static QString dump(const TitleRows& rows, int first = 0, int end = -1) {
    QStringList out;
    for (int i = first; i < (end < 0 ? rows.size() : end); ++i) {
        const TitleRow r = rows[i];
        out << QStringList{r.title, r.poet, r.style, QString::number(r.poemId)}.join(u'/');
    }
    return out.join(u',');
}

TEST(HistoryLine, PadsAndCutsByDisplayColumnsIdRightAligned) {
    // Eight Chinese characters fill the 16 columns exactly; nine are cut to six and
    // marked; short titles are padded to 16 columns.
    EXPECT_EQ(FormatTitlePoet(u"一二三四五六七八"_s, u"李白"_s), u"一二三四五六七八(李白)"_s);
    EXPECT_EQ(FormatTitlePoet(u"一二三四五六七八九"_s, u"李白"_s), u"一二三四五六... (李白)"_s);
    EXPECT_EQ(FormatTitlePoet(u"春望"_s, u"杜甫"_s), u"春望"_s + QString(12, u' ') + u"(杜甫)"_s);
    // The id stands right-aligned after forty columns.
    const QString line = FormatHistoryLine(u"静夜思"_s, u"李白"_s, u"1234"_s);
    EXPECT_EQ(AnsiByteLength(line.left(line.size() - 15)), 40);
    EXPECT_EQ(line.right(15), QString(11, u' ') + u"1234"_s);
    EXPECT_EQ(HistoryLineId(line), 1234);
    // A long poet name is cut within 40 columns (a double-width character never
    // straddles the edge, so 39 here); the id still reads from the end.
    const QString longLine = FormatHistoryLine(u"一二三四五六七八九十"_s, QString(30, QChar(0x674E)), u"987654"_s);
    EXPECT_EQ(AnsiByteLength(longLine.left(longLine.size() - 15)), 39);
    EXPECT_EQ(HistoryLineId(longLine), 987654);
    EXPECT_EQ(HistoryLineId(u"no id here at all, none"_s), -1);
}

TEST(TitleRows, ReadsTheTitleListQueryWithoutACap) {
    FixtureDb fx;
    // More rows than a 16-bit counter holds.
    fx.db().execNative(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<40000) "
                       "INSERT INTO Poetry (fBookID,fType,fStyle,fPoet,fDynasty,fTitle,fContent,fQty) "
                       "SELECT -1,'诗','五言绝句','p'||(i%50),'唐','t'||i,'c',1 FROM n"_s);
    const TitleRows all = ReadTitleRows(fx.db(), QString(), u"a.fTitle,a.fPoet"_s);
    ASSERT_EQ(all.size(), 40000);
    EXPECT_EQ(dump(all, 0, 1) + u',' + all.poet(39999), u"t1/p1/五言绝句/1,p49"_s);
}

TEST(TitleRows, EditsAndAppendsKeepEveryRowsOwnTexts) {
    TitleRows rows;
    rows.append(QByteArrayView("静夜思"), QByteArrayView("五言绝句"), QByteArrayView("李白"), 1, 0);
    rows.append(QByteArrayView(""), QByteArrayView(), QByteArrayView("李白"), 2, 3);
    rows.insert(1, {u"春晓"_s, u"五言绝句"_s, u"孟浩然"_s, 7, 0});
    rows.setText(0, u"夜思"_s, u"Li Bai"_s, u"古诗"_s);
    // Rows with their poet and form from another list: its texts are mapped in.
    TitleRows more;
    more.append(QByteArrayView("登鹳雀楼"), QByteArrayView("五言绝句"), QByteArrayView("王之涣"), 9, 0);
    more.append(QByteArrayView("望庐山瀑布"), QByteArrayView("七言绝句"), QByteArrayView("李白"), 10, 0);
    rows.append(more);
    rows.erase(2);
    EXPECT_EQ(dump(rows), u"夜思/Li Bai/古诗/1,春晓/孟浩然/五言绝句/7,登鹳雀楼/王之涣/五言绝句/9,望庐山瀑布/李白/七言绝句/10"_s);
}
