// Booklet geometry: the flow of poems over pages, vertical cells and their
// columns, the practice grid's rows.
#include "tools/bookletlayout.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Cells as text: each column joined, columns separated by "|".
QString columnsText(const QList<QList<VerticalCell>>& columns) {
    QStringList out;
    for (const auto& column : columns) {
        QString s;
        for (const VerticalCell& c : column) s += c.source;
        out << s;
    }
    return out.join(u'|');
}

QString rowsText(const QList<QStringList>& rows) {
    QStringList out;
    for (const QStringList& r : rows) out << r.join(QString());
    return out.join(u'|');
}

} // namespace

TEST(BookletFlow, PlacesPoemsByTheBreakingRules) {
    struct Case {
        const char* name;
        QList<QList<double>> poems; // unit extents per poem, page extent 100, gap 10
        QList<QList<FlowSlice>> expected;
        int pages;
    };
    const Case cases[] = {
        {"two fit on one page", {{20, 20}, {30}}, {{{0, 0, 0, 2}}, {{0, 50, 0, 1}}}, 1},
        {"one that fits a page starts a new one",
         {{60}, {20, 30}},
         {{{0, 0, 0, 1}}, {{1, 0, 0, 2}}},
         2},
        {"a long poem starts where it is and continues",
         {{30}, {25, 25, 25, 25, 25}},
         {{{0, 0, 0, 1}}, {{0, 40, 0, 2}, {1, 0, 2, 5}}},
         2},
        {"a long poem with less than a third left starts a new page",
         {{75}, {40, 40, 40}},
         {{{0, 0, 0, 1}}, {{1, 0, 0, 2}, {2, 0, 2, 3}}},
         3},
        {"a unit longer than the page stands alone", {{150, 10}}, {{{0, 0, 0, 1}, {1, 0, 1, 2}}}, 2},
    };
    for (const Case& c : cases) {
        PageFlow flow(100, 10);
        for (qsizetype i = 0; i < c.poems.size(); ++i)
            EXPECT_EQ(flow.place(c.poems[i]), c.expected[i]) << c.name << " poem " << i;
        EXPECT_EQ(flow.pageCount(), c.pages) << c.name;
    }
}

TEST(BookletVertical, MapsPunctuationToVerticalForms) {
    struct Case {
        QString line;
        QStringList drawn;
        QList<GlyphPlace> places;
    };
    using P = GlyphPlace;
    const Case cases[] = {
        {QStringLiteral("月，光。"), {u"月"_s, u"︐"_s, u"光"_s, u"︒"_s}, {P::Upright, P::UpperRight, P::Upright, P::UpperRight}},
        {QStringLiteral("「问」（注）《书》"),
         {u"﹁"_s, u"问"_s, u"﹂"_s, u"︵"_s, u"注"_s, u"︶"_s, u"︽"_s, u"书"_s, u"︾"_s},
         QList<P>(9, P::Upright)},
        {QStringLiteral("“说”：…"), {u"﹁"_s, u"说"_s, u"﹂"_s, u"︓"_s, u"︙"_s}, QList<P>(5, P::Upright)},
        // A Latin run is one turned cell of half a cell per character; 𠀀 stays whole.
        {QStringLiteral("风Tang 300年𠀀"), {u"风"_s, u"Tang 300"_s, u"年"_s, u"𠀀"_s}, {P::Upright, P::Turned, P::Upright, P::Upright}},
    };
    for (const Case& c : cases) {
        const QList<VerticalCell> cells = VerticalCells(c.line);
        QStringList drawn;
        QList<GlyphPlace> places;
        for (const VerticalCell& cell : cells) {
            drawn << cell.text;
            places << cell.place;
        }
        EXPECT_EQ(drawn, c.drawn) << c.line.toStdString();
        EXPECT_EQ(places, c.places) << c.line.toStdString();
    }
    EXPECT_EQ(VerticalCells(QStringLiteral("Tang 300"))[0].span, 4);
    EXPECT_EQ(VerticalCells(QStringLiteral("ABC"))[0].span, 2);
}

TEST(BookletVertical, ColumnsKeepPunctuationWithItsText) {
    struct Case {
        QString line;
        int perColumn;
        QString columns;
    };
    const Case cases[] = {
        {QStringLiteral("床前明月光疑是地上霜"), 5, QStringLiteral("床前明月光|疑是地上霜")},
        // A closing mark never begins a column: the character before it moves on.
        {QStringLiteral("床前明月光，疑是地上霜。"), 5, QStringLiteral("床前明月|光，疑是地|上霜。")},
        {QStringLiteral("一二三。」四"), 3, QStringLiteral("一二|三。」|四")},
        // An opening mark never ends a column.
        {QStringLiteral("一二「三」"), 3, QStringLiteral("一二|「三」")},
        // Nothing to move: breaks where the column fills.
        {QStringLiteral("，，，，"), 2, QStringLiteral("，，|，，")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(columnsText(BreakColumns(VerticalCells(c.line), c.perColumn)), c.columns)
            << c.line.toStdString();
    // 3,574 characters fill 179 columns of 20.
    const QList<QList<VerticalCell>> long_ = BreakColumns(VerticalCells(QString(3574, u'字')), 20);
    EXPECT_EQ(long_.size(), 179);
}

TEST(BookletGrid, OneSquarePerCharacterRowsKeepPunctuation) {
    struct Case {
        QString line;
        int perRow;
        QString rows;
    };
    const Case cases[] = {
        {QStringLiteral("白日依山尽，"), 6, QStringLiteral("白日依山尽，")},
        {QStringLiteral("白日依山尽，黄河"), 5, QStringLiteral("白日依山|尽，黄河")},
        {QStringLiteral("𠀀a b"), 2, QStringLiteral("𠀀a|b")},
        // A verse longer than a row breaks after its clause.
        {QStringLiteral("洞房昨夜停红烛，待晓堂前拜舅姑。"), 11, QStringLiteral("洞房昨夜停红烛，|待晓堂前拜舅姑。")},
        {QStringLiteral("一二，三四五六七八九十"), 8, QStringLiteral("一二，三四五六七|八九十")},
    };
    for (const Case& c : cases) EXPECT_EQ(rowsText(GridRows(c.line, c.perRow)), c.rows) << c.line.toStdString();
    EXPECT_EQ(GridRows(QStringLiteral("𠀀"), 4).value(0).size(), 1);
}

TEST(BookletPages, FramesAndContents) {
    const PageFrame a4 = BookletPageFrame(BookletPageSize::A4);
    EXPECT_NEAR(a4.page.width(), 595.3, 0.1);
    EXPECT_NEAR(a4.page.height(), 841.9, 0.1);
    EXPECT_GT(a4.footer.top(), a4.body.bottom());
    EXPECT_LT(a4.footer.bottom(), a4.page.height());
    EXPECT_LT(BookletPageFrame(BookletPageSize::A5).body.width(), BookletPageFrame(BookletPageSize::B5).body.width());
    EXPECT_EQ(ContentsPageCount(0, 30), 0);
    EXPECT_EQ(ContentsPageCount(30, 30), 1);
    EXPECT_EQ(ContentsPageCount(31, 30), 2);
    EXPECT_EQ(TextLines(QStringLiteral("甲\r\n乙\r丙\n\r\n")), QStringList({u"甲"_s, u"乙"_s, u"丙"_s}));
}
