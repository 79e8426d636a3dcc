// Booklet geometry: the flow of poems over pages, vertical cells and their
// columns, the practice grid's rows.
#include "tools/bookletlayout.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(BookletFlow, PlacesPoemsByTheBreakingRules) {
    // Name, unit extents per poem (page extent 100, gap 10), slices per poem, pages.
    const std::tuple<const char*, QList<QList<double>>, QList<QList<FlowSlice>>, int> cases[] = {
        {"two fit on one page", {{20, 20}, {30}}, {{{0, 0, 0, 2}}, {{0, 50, 0, 1}}}, 1},
        // More than a third is left, yet a poem that fits a page is not split.
        {"one that fits a page starts a new one", {{40}, {30, 30}}, {{{0, 0, 0, 1}}, {{1, 0, 0, 2}}}, 2},
        {"a long poem starts where it is and continues", {{30}, {25, 25, 25, 25, 25}},
         {{{0, 0, 0, 1}}, {{0, 40, 0, 2}, {1, 0, 2, 5}}}, 2},
        {"a long poem with less than a third left starts a new page", {{75}, {40, 40, 40}},
         {{{0, 0, 0, 1}}, {{1, 0, 0, 2}, {2, 0, 2, 3}}}, 3},
        {"a unit longer than the page stands alone", {{150, 10}}, {{{0, 0, 0, 1}, {1, 0, 1, 2}}}, 2},
    };
    for (const auto& [name, poems, expected, pages] : cases) {
        PageFlow flow(100, 10);
        for (qsizetype i = 0; i < poems.size(); ++i) EXPECT_EQ(flow.place(poems[i]), expected[i]) << name << " poem " << i;
        EXPECT_EQ(flow.pageCount(), pages) << name;
    }
}

// Each cell as what is drawn @ where: 0 upright, 1 upper right, 2 turned.
TEST(BookletVertical, MapsPunctuationToVerticalForms) {
    const std::pair<QString, QString> cases[] = {
        {u"月，光。"_s, u"月@0 ︐@1 光@0 ︒@1"_s},
        {u"「问」（注）《书》"_s, u"﹁@0 问@0 ﹂@0 ︵@0 注@0 ︶@0 ︽@0 书@0 ︾@0"_s},
        // A Latin run is one turned cell of half a cell per character; 𠀀 stays whole.
        {u"风Tang 300年𠀀"_s, u"风@0 Tang 300@2 年@0 𠀀@0"_s},
    };
    for (const auto& [line, cells] : cases) {
        QStringList got;
        for (const VerticalCell& cell : VerticalCells(line)) got << cell.text + u'@' + QString::number(int(cell.place));
        EXPECT_EQ(got.join(u' '), cells) << line.toStdString();
    }
    EXPECT_EQ(VerticalCells(u"ABC"_s)[0].span, 2);
}

// Vertical columns and the practice grid's rows keep punctuation with its text.
TEST(BookletVertical, ColumnsAndGridRowsKeepPunctuationWithItsText) {
    const auto columns = [](const QString& line, int per) {
        QStringList out;
        for (const auto& column : BreakColumns(VerticalCells(line), per)) {
            out << QString();
            for (const VerticalCell& c : column) out.last() += c.source;
        }
        return out.join(u'|');
    };
    const auto grid = [](const QString& line, int per) {
        QStringList out;
        for (const QStringList& r : GridRows(line, per)) out << r.join(QString());
        return out.join(u'|');
    };
    const std::tuple<bool, QString, int, QString> cases[] = {
        // A closing mark never begins a column: the character before it moves on.
        {false, u"床前明月光，疑是地上霜。"_s, 5, u"床前明月|光，疑是地|上霜。"_s},
        {false, u"一二三。」四"_s, 3, u"一二|三。」|四"_s},
        // An opening mark never ends a column; with nothing to move, breaks where the column fills.
        {false, u"一二「三」"_s, 3, u"一二|「三」"_s},
        {false, u"，，，，"_s, 2, u"，，|，，"_s},
        {true, u"白日依山尽，黄河"_s, 5, u"白日依山|尽，黄河"_s},
        {true, u"𠀀a b"_s, 2, u"𠀀a|b"_s},
        // A verse longer than a row breaks after its clause.
        {true, u"洞房昨夜停红烛，待晓堂前拜舅姑。"_s, 11, u"洞房昨夜停红烛，|待晓堂前拜舅姑。"_s},
        {true, u"一二，三四五六七八九十"_s, 8, u"一二，三四五六七|八九十"_s},
    };
    for (const auto& [isGrid, line, per, expected] : cases)
        EXPECT_EQ(isGrid ? grid(line, per) : columns(line, per), expected) << line.toStdString();
    // 3,574 characters fill 179 columns of 20.
    EXPECT_EQ(BreakColumns(VerticalCells(QString(3574, u'字')), 20).size(), 179);
}

TEST(BookletPages, FramesAndTextLines) {
    const PageFrame a4 = BookletPageFrame(BookletPageSize::A4);
    EXPECT_TRUE(a4.footer.top() > a4.body.bottom() && a4.footer.bottom() < a4.page.height());
    EXPECT_EQ(TextLines(u"甲\r\n乙\r丙\n\r\n"_s), QStringList({u"甲"_s, u"乙"_s, u"丙"_s}));
}
