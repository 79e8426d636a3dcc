// Every statement the program sends to the poem database, with realistic values
// spliced in the way the program splices them, run through the dialect translation
// against a fixture database. Each case checks the rows that come back or the
// rows a write changed, worked out by hand from the fixture rows.
//
// Chinese text sorts by code point (the columns use NOCASE, which only folds
// Latin letters), so for example 无 < 李 < 杜 < 王 < 苏 and Latin before CJK.
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::string>;

const char* const kNull = "<null>";
const char* const kNoRow = "<none>";

// The title list query and its two counters; the filter and order are appended.
QString titleListSql(const QString& filter, const QString& order) {
    QString sql = QStringLiteral("select distinct a.fTitle,a.fStyle,a.fPoet,a.fPoemID,a.fBookmark,a.fBook_del "
                                 "from Poetry a ") +
                  filter;
    if (!order.isEmpty()) sql += QStringLiteral(" Order by ") + order;
    return sql;
}

// The three navigation tree queries; every caller passes an empty filter, the
// tree's node click narrows by poet with a filter of the same shape.
QString treeSql(int grouping, const QString& where) {
    switch (grouping) {
    case 0:
        return QStringLiteral("select distinct a.fDynasty,a.fPoet,b.fID from (Poetry a Left Join PoetDynasty b On "
                              "a.fDynasty=b.fDynasty) ") +
               where + QStringLiteral(" Order By b.fID,a.fPoet");
    case 1:
        return QStringLiteral("select distinct a.fPoet,'' as bb from Poetry a ") + where +
               QStringLiteral(" Order By a.fPoet");
    default:
        return QStringLiteral("select distinct a.fStyle,a.fPoet from Poetry a ") + where +
               QStringLiteral(" Order By a.fStyle,a.fPoet");
    }
}

// The duplicate check query, in the six pieces the check joins.
QString duplicateSql() {
    return QStringLiteral("select  distinct a.fpoemid,a.fPoet,a.fTitle,a.fbook_del,count(b.fpoemid) as fTry ") +
           QStringLiteral("from poetry a left join poetry b on a.fbook_del=b.fbook_del ") +
           QStringLiteral("Where '' & a.fbook_del<>'' ") +
           QStringLiteral("group by a.fpoemid,a.fPoet,a.fTitle,a.fbook_del ") +
           QStringLiteral("Having Count(b.fpoemid) > 1 ") + QStringLiteral("order by a.fTitle");
}

class Statements : public ::testing::Test {
protected:
    void SetUp() override { fx.fillSample(); }

    // Rows of a program statement, cells joined by '|', NULL shown as <null>.
    // With names, only those columns (looked up by name) in that order.
    Rows rows(const QString& jet, const QStringList& names = {}) {
        Rows out;
        SqlStatement st = fx.db().prepare(jet);
        while (st.next()) {
            QStringList cells;
            const int n = names.isEmpty() ? st.columnCount() : int(names.size());
            for (int i = 0; i < n; ++i) {
                const int c = names.isEmpty() ? i : st.columnIndex(names[i]);
                if (c < 0) throw std::runtime_error("no column " + names[i].toStdString());
                cells << (st.isNull(c) ? QString::fromLatin1(kNull) : st.text(c));
            }
            out.push_back(cells.join(u'|').toStdString());
        }
        return out;
    }
    // First column of the first row, or <none> when no row comes back.
    std::string one(const QString& jet) {
        const Rows r = rows(jet);
        return r.empty() ? kNoRow : r.front().substr(0, r.front().find('|'));
    }
    // A write; returns the number of rows it changed.
    int run(const QString& jet) {
        fx.db().exec(jet);
        return fx.db().changes();
    }
    // Poem ids of the title list, in list order.
    Rows titleIds(const QString& filter, const QString& order) {
        return rows(titleListSql(filter, order), {QStringLiteral("fPoemID")});
    }
    // "<titles>|<poems>" as the two counters read them.
    std::string counters(const QString& filter) {
        return one(QStringLiteral("Select Count(*) from Poetry a ") + filter) + "|" +
               one(QStringLiteral("Select sum(a.fQty) from Poetry a ") + filter);
    }
    void native(const char* sql) { fx.db().execNative(QString::fromUtf8(sql)); }

    FixtureDb fx;
};

// Validation, the shared lookups and the pick lists filled at start-up.
TEST_F(Statements, StartupListsAndLookups) {
    EXPECT_EQ(one(QStringLiteral("select count(*) from Poetry Where 1=0")), "0");
    EXPECT_EQ(one(QStringLiteral("select count(*) from Poet")), "4");
    EXPECT_EQ(one(QStringLiteral("select max(fBookmark) from Poetry")), "5");

    // Poem id by style, poet and title; a NULL style matches the empty style.
    const QString findPoem = QStringLiteral("select fPoemID from Poetry Where '' & fStyle='%1' and fPoet ='%2' And "
                                            "fTitle='%3'");
    EXPECT_EQ(one(findPoem.arg(QStringLiteral("乐府"), QStringLiteral("Li Bai"), QStringLiteral("Moon''s Song"))), "9");
    EXPECT_EQ(one(findPoem.arg(QString(), QStringLiteral("无名氏"), QStringLiteral("无题"))), "6");
    EXPECT_EQ(one(findPoem.arg(QString(), QStringLiteral("李商隐"), QStringLiteral("无题"))), "7");
    EXPECT_EQ(one(findPoem.arg(QStringLiteral("七言绝句"), QStringLiteral("李白"), QStringLiteral("静夜思"))), kNoRow);

    const QString findBook = QStringLiteral("select fBookID from PoetBook Where '' & fBook='%1'");
    EXPECT_EQ(one(findBook.arg(QStringLiteral("宋词选"))), "2");
    EXPECT_EQ(one(findBook.arg(QString())), "4");
    EXPECT_EQ(one(findBook.arg(QStringLiteral("元曲选"))), kNoRow);

    EXPECT_EQ(rows(QStringLiteral("select fPoet from Poet Order by fPoet")),
              (Rows{"李商隐", "李白", "杜甫", "苏轼"}));
    EXPECT_EQ(rows(QStringLiteral("select fDynasty from PoetDynasty Order By fID")),
              (Rows{"先秦", "唐", "五代", "宋"}));
    // The paused book 隐藏 is left out; the empty name is the caller's to skip.
    EXPECT_EQ(rows(QStringLiteral("select fBook from PoetBook Where fBookSelected=1 Order By fBookOrderID")),
              (Rows{"宋词选", "唐诗选", ""}));
    // NULL and empty categories and forms stay out of the lists.
    EXPECT_EQ(rows(QStringLiteral("select distinct fType from Poetry Where '' & fType<>'' Order By fType")),
              (Rows{"词", "诗"}));
    EXPECT_EQ(rows(QStringLiteral("select distinct fStyle from Poetry Where '' & fStyle<>'' Order By fStyle")),
              (Rows{"七言律诗", "七言绝句", "乐府", "五言律诗", "五言绝句", "念奴娇", "水调歌头"}));
}

// The three groupings of the navigation tree, unfiltered and narrowed to one poet prefix.
TEST_F(Statements, NavigationTree) {
    // 王维 under a dynasty the dynasty table does not list; two poems so that
    // distinct has a duplicate row to fold.
    native("INSERT INTO Poetry (fPoemID,fType,fStyle,fPoet,fDynasty,fTitle,fContent,fQty) VALUES "
           "(10,'诗','五言绝句','王维','盛唐','鹿柴','空山不见人，但闻人语响。',1),"
           "(11,'诗','五言绝句','王维','盛唐','竹里馆','独坐幽篁里，弹琴复长啸。',1)");

    // Unlisted dynasties ('' and 盛唐) have a NULL fID and come first.
    EXPECT_EQ(rows(treeSql(0, QString())),
              (Rows{"|无名氏|<null>", "盛唐|王维|<null>", "唐|Li Bai|6", "唐|李商隐|6", "唐|李白|6", "唐|杜甫|6",
                    "宋|苏轼|8"}));
    EXPECT_EQ(rows(treeSql(1, QString())),
              (Rows{"Li Bai|", "无名氏|", "李商隐|", "李白|", "杜甫|", "王维|", "苏轼|"}));
    // NULL form first, then the empty form, then the named ones.
    EXPECT_EQ(rows(treeSql(2, QString())),
              (Rows{"<null>|无名氏", "|李商隐", "七言律诗|杜甫", "七言绝句|李白", "乐府|Li Bai", "五言律诗|杜甫",
                    "五言绝句|李白", "五言绝句|王维", "念奴娇|苏轼", "水调歌头|苏轼"}));

    const QString li = QStringLiteral(" Where 1=1 And a.fPoet Like '李%'");
    EXPECT_EQ(rows(treeSql(0, li)), (Rows{"唐|李商隐|6", "唐|李白|6"}));
    EXPECT_EQ(rows(treeSql(1, li)), (Rows{"李商隐|", "李白|"}));
    EXPECT_EQ(rows(treeSql(2, li)), (Rows{"|李商隐", "七言绝句|李白", "五言绝句|李白"}));
}

// The title list with every kind of filter its callers build, and the two counters.
TEST_F(Statements, TitleListAndCounters) {
    const QString byTitle = QStringLiteral("a.fTitle,a.fPoet");
    // Whole collection: two poems titled 无题 are kept apart and ordered by poet.
    EXPECT_EQ(titleIds(QString(), byTitle), (Rows{"9", "4", "6", "7", "2", "3", "5", "8", "1"}));
    EXPECT_EQ(counters(QString()), "9|12");
    // Without an order list the statement ends after the filter.
    EXPECT_EQ(titleIds(QStringLiteral(" Where a.fPoemID=5"), QString()), Rows{"5"});

    // Bookmarks: newest first, full row as the list reads it.
    const QString marked = QStringLiteral(" Where a.fBookmark>0");
    EXPECT_EQ(rows(titleListSql(marked, QStringLiteral("a.fBookmark desc"))),
              (Rows{"静夜思|五言绝句|李白|1|5|<null>", "念奴娇·赤壁怀古|念奴娇|苏轼|4|3|<null>"}));
    EXPECT_EQ(counters(marked), "2|2");

    const QString book = QStringLiteral(" Where a.fBookID=1");
    EXPECT_EQ(titleIds(book, byTitle), (Rows{"2", "3", "1"}));
    EXPECT_EQ(counters(book), "3|3");

    // Search and tree clauses.
    struct Case {
        QString filter;
        Rows ids;
        std::string counts;
    };
    const Case cases[] = {
        {QStringLiteral(" Where 1=1"), {"9", "4", "6", "7", "2", "3", "5", "8", "1"}, "9|12"},
        {QStringLiteral(" Where 1=1 And '' & a.fType = '诗' And a.fTitle like '%春%'"), {"3"}, "1|1"},
        // NULL and empty categories never equal a named one.
        {QStringLiteral(" Where 1=1 And '' & a.fType = '诗'"), {"9", "2", "3", "8", "1"}, "5|7"},
        {QStringLiteral(" Where 1=1 And '' & a.fType = '词'"), {"4", "5"}, "2|2"},
        {QStringLiteral(" Where 1=1 And a.fPoet Like '李%'"), {"7", "2", "1"}, "3|3"},
        {QStringLiteral(" Where 1=1 And a.fPoet Like '杜%' And a.fDynasty = '唐'"), {"3", "8"}, "2|2"},
        {QStringLiteral(" Where 1=1 And '' & a.fType = '诗' And a.fStyle = '五言绝句' And a.fTitle like '%静%' And "
                        "a.fPoet Like '李%' And a.fDynasty = '唐' And a.fContent like '%明月%' And a.fMemo like "
                        "'%思乡%' And a.fQty = 1"),
         {"1"},
         "1|1"},
        {QStringLiteral(" Where 1=1 And a.fContent like '%明月%'"), {"6", "5", "1"}, "3|4"},
        {QStringLiteral(" Where 1=1 And a.fPre like '%中秋%'"), {"5"}, "1|1"},
        {QStringLiteral(" Where 1=1 And a.fTitle like '%n''s%'"), {"9"}, "1|3"},
        {QStringLiteral(" Where 1=1 And a.fTitle like '%MOON%'"), {"9"}, "1|3"},
        {QStringLiteral(" Where 1=1 And a.fQty >=2"), {"9", "6"}, "2|5"},
        {QStringLiteral(" Where 1=1 And a.fQty <>1"), {"9", "6"}, "2|5"},
        {QStringLiteral(" Where 1=1 And a.fQty = 3"), {"9"}, "1|3"},
        // Nothing selected: the poem sum is NULL.
        {QStringLiteral(" Where 1=1 And a.fPoet Like '白%'"), {}, "0|<null>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(titleIds(c.filter, byTitle), c.ids) << c.filter.toStdString();
        EXPECT_EQ(counters(c.filter), c.counts) << c.filter.toStdString();
    }
}

// Loading, updating, creating and deleting display templates.
TEST_F(Statements, Templates) {
    const QString load = QStringLiteral("select * from PoetrySet Where fModel ='%1' Order By fID");
    const QString standard = QStringLiteral("1# 标准模板");
    EXPECT_EQ(rows(load.arg(standard)),
              (Rows{"1# 标准模板|0|黑体|16|1|0|0|255|2|0|0|0", "1# 标准模板|1|楷体|11|0|0|0|0|0|0|0|0",
                    "1# 标准模板|2|楷体|11|0|0|0|0|0|2|0|0", "1# 标准模板|3|宋体|14|0|0|0|0|0|2|0|0",
                    "1# 标准模板|4|宋体|10|0|0|0|0|0|0|0|0"}));
    EXPECT_TRUE(rows(load.arg(QStringLiteral("2# 不存在"))).empty());
    EXPECT_EQ(rows(QStringLiteral("select distinct fModel from PoetrySet")), Rows{"1# 标准模板"});

    // Saving over the template: one update per line kind, negative numbers included.
    const QString update = QStringLiteral(
        "Update PoetrySet Set fFontName='%1',fFontSize=%2,fFontBold=%3,fFontItalic=0,fFontUnderline=1,"
        "fFontColor=16711680,fAlign=1,fIndent=2,fHangingIndent=-2,fOffset=-1 Where fModel ='%4' And fID=%5");
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(run(update.arg(QStringLiteral("仿宋")).arg(10 + k).arg(k % 2).arg(standard).arg(k)), 1) << k;
    EXPECT_EQ(run(update.arg(QStringLiteral("仿宋")).arg(9).arg(0).arg(QStringLiteral("2# 不存在")).arg(0)), 0);
    EXPECT_EQ(rows(load.arg(standard), {QStringLiteral("fID"), QStringLiteral("fFontName"),
                                        QStringLiteral("fFontSize"), QStringLiteral("fFontBold"),
                                        QStringLiteral("fFontUnderline"), QStringLiteral("fFontColor"),
                                        QStringLiteral("fAlign"), QStringLiteral("fIndent"),
                                        QStringLiteral("fHangingIndent"), QStringLiteral("fOffset")}),
              (Rows{"0|仿宋|10|0|1|16711680|1|2|-2|-1", "1|仿宋|11|1|1|16711680|1|2|-2|-1",
                    "2|仿宋|12|0|1|16711680|1|2|-2|-1", "3|仿宋|13|1|1|16711680|1|2|-2|-1",
                    "4|仿宋|14|0|1|16711680|1|2|-2|-1"}));

    // A new template whose name holds a quote, written from the last line kind
    // down so that loading has to put the rows in order.
    const QString insert = QStringLiteral(
        "Insert Into PoetrySet (fFontName,fFontSize,fFontBold,fFontItalic,fFontUnderline,fFontColor,fAlign,fIndent,"
        "fHangingIndent,fOffset,fModel,fID) Values ('%1',%2,0,1,0,32768,2,%3,-1,1,'%4',%5)");
    const QString mine = QStringLiteral("2# Li''s 模板");
    for (int k = 4; k >= 0; --k)
        EXPECT_EQ(run(insert.arg(QStringLiteral("隶书")).arg(20 + k).arg(k).arg(mine).arg(k)), 1);
    EXPECT_EQ(rows(load.arg(mine)),
              (Rows{"2# Li's 模板|0|隶书|20|0|1|0|32768|2|0|-1|1", "2# Li's 模板|1|隶书|21|0|1|0|32768|2|1|-1|1",
                    "2# Li's 模板|2|隶书|22|0|1|0|32768|2|2|-1|1", "2# Li's 模板|3|隶书|23|0|1|0|32768|2|3|-1|1",
                    "2# Li's 模板|4|隶书|24|0|1|0|32768|2|4|-1|1"}));
    Rows names = rows(QStringLiteral("select distinct fModel from PoetrySet"));
    std::sort(names.begin(), names.end());  // the list relies on no particular order
    EXPECT_EQ(names, (Rows{"1# 标准模板", "2# Li's 模板"}));

    EXPECT_EQ(run(QStringLiteral("Delete from PoetrySet Where fModel = '%1'").arg(mine)), 5);
    EXPECT_TRUE(rows(load.arg(mine)).empty());
    EXPECT_EQ(rows(load.arg(standard)).size(), 5u);
    EXPECT_EQ(rows(QStringLiteral("select distinct fModel from PoetrySet")), Rows{"1# 标准模板"});
}

// Showing a poem, loading it into the editor, and adding, changing and deleting poems.
TEST_F(Statements, PoemEditor) {
    const QStringList shown = {QStringLiteral("fTitle"), QStringLiteral("fPoet"),  QStringLiteral("fDynasty"),
                               QStringLiteral("fType"),  QStringLiteral("fStyle"), QStringLiteral("fPre"),
                               QStringLiteral("fContent"), QStringLiteral("fMemo"), QStringLiteral("fQty")};
    EXPECT_EQ(rows(QStringLiteral("select * from Poetry Where fPoemID = 9"), shown),
              Rows{"Moon's Song|Li Bai|唐|诗|乐府||O moon, 100% bright_ly.||3"});
    EXPECT_EQ(rows(QStringLiteral("select * from Poetry Where fPoemID = 6"), shown),
              Rows{"无题|无名氏||<null>|<null>||床前明月光，不知何处来。|<null>|2"});
    EXPECT_TRUE(rows(QStringLiteral("select * from Poetry Where fPoemID = 99")).empty());

    // Loading the selected poem: id compared as text, poet and title must still match.
    const QString loadFields =
        QStringLiteral("select * from Poetry Where '' & fPoemID='%1' and fPoet ='%2' And fTitle='%3'");
    EXPECT_EQ(rows(loadFields.arg(QStringLiteral("9"), QStringLiteral("Li Bai"), QStringLiteral("Moon''s Song")),
                   {QStringLiteral("fPoemID"), QStringLiteral("fTitle")}),
              Rows{"9|Moon's Song"});
    EXPECT_TRUE(rows(loadFields.arg(QStringLiteral("09"), QStringLiteral("Li Bai"), QStringLiteral("Moon''s Song")))
                    .empty());
    EXPECT_TRUE(rows(loadFields.arg(QStringLiteral("9"), QStringLiteral("杜甫"), QStringLiteral("Moon''s Song")))
                    .empty());

    // The same-poet-same-title test before an add (note the leading blank of the condition).
    const QString dupCount = QStringLiteral("select count(*) from Poetry Where  fPoet ='%1' And fTitle='%2'");
    EXPECT_EQ(one(dupCount.arg(QStringLiteral("Li Bai"), QStringLiteral("Moon''s Song"))), "1");
    EXPECT_EQ(one(dupCount.arg(QStringLiteral("杜甫"), QStringLiteral("Moon''s Song"))), "0");
    EXPECT_EQ(one(dupCount.arg(QStringLiteral("王维"), QStringLiteral("Wang''s 鹿柴"))), "0");

    EXPECT_EQ(run(QStringLiteral("Insert Into Poetry (fBookID,fType,fStyle,fPoet,fDynasty,fTitle,fPre,fContent,fMemo,"
                                 "fQty) Values (-1,'诗','五言绝句','王维','唐','Wang''s 鹿柴','',"
                                 "'空山不见人，但闻人语响。\r\n返景入深林，复照青苔上。','【注释】\r\n',1)")),
              1);
    EXPECT_EQ(one(QStringLiteral("select fPoemID from Poetry Where '' & fStyle='五言绝句' and fPoet ='王维' And "
                                 "fTitle='Wang''s 鹿柴'")),
              "10");
    // Columns the insert leaves out take their defaults.
    EXPECT_EQ(rows(QStringLiteral("select * from Poetry Where fPoemID = 10"),
                   {QStringLiteral("fBookID"), QStringLiteral("fBookmark"), QStringLiteral("fBook_del"),
                    QStringLiteral("fMemo"), QStringLiteral("fContent")}),
              Rows{"-1|0|<null>|【注释】\r\n|空山不见人，但闻人语响。\r\n返景入深林，复照青苔上。"});
    EXPECT_EQ(one(dupCount.arg(QStringLiteral("王维"), QStringLiteral("Wang''s 鹿柴"))), "1");

    // Modify, located by id and the loaded poet and title.
    const QString modify = QStringLiteral(
        "Update Poetry Set fStyle='五言绝句',fPoet='王维',fTitle='鹿柴',fPre='辋川集之一',"
        "fContent='空山不见人，但闻人语响。',fMemo='【注释】\r\n鹿柴：地名。',fType='诗',fDynasty='盛唐',fQty=2 "
        "Where '' & fPoemID='10' And fPoet='王维' And fTitle='Wang''s 鹿柴'");
    EXPECT_EQ(run(modify), 1);
    EXPECT_EQ(run(modify), 0);  // the loaded title is gone now
    EXPECT_EQ(rows(QStringLiteral("select * from Poetry Where fPoemID = 10"), shown),
              Rows{"鹿柴|王维|盛唐|诗|五言绝句|辋川集之一|空山不见人，但闻人语响。|【注释】\r\n鹿柴：地名。|2"});

    // Delete: the row condition is counted first, then used after "Where " (two blanks).
    const QString rowCond = QStringLiteral(" '' & fPoemID='%1' and fPoet ='%2' And fTitle='%3'");
    const QString lu = rowCond.arg(QStringLiteral("10"), QStringLiteral("王维"), QStringLiteral("鹿柴"));
    EXPECT_EQ(one(QStringLiteral("select count(*) from Poetry Where ") + lu), "1");
    EXPECT_EQ(run(QStringLiteral("Delete From Poetry Where ") + rowCond.arg(QStringLiteral("10"),
                                                                           QStringLiteral("李白"),
                                                                           QStringLiteral("鹿柴"))),
              0);
    EXPECT_EQ(run(QStringLiteral("Delete From Poetry Where ") + lu), 1);
    EXPECT_EQ(one(QStringLiteral("select count(*) from Poetry Where ") + lu), "0");
    EXPECT_EQ(run(QStringLiteral("Delete From Poetry Where ") +
                  rowCond.arg(QStringLiteral("9"), QStringLiteral("Li Bai"), QStringLiteral("Moon''s Song"))),
              1);
    EXPECT_EQ(one(QStringLiteral("select count(*) from Poetry")), "8");
}

// The poet panel: biography lookup, insert, update and delete.
TEST_F(Statements, PoetEditor) {
    const QString load = QStringLiteral("select * from Poet Where fPoet='%1'");
    EXPECT_EQ(rows(load.arg(QStringLiteral("李白")), {QStringLiteral("fBrief")}), Rows{"字太白，号青莲居士。"});
    EXPECT_EQ(rows(load.arg(QStringLiteral("李商隐")), {QStringLiteral("fBrief")}), Rows{kNull});
    EXPECT_TRUE(rows(load.arg(QStringLiteral("王维"))).empty());

    // A poet not yet stored is inserted, one with a biography already is updated.
    const QString inPoet = QStringLiteral("select count(*) from Poet Where fPoet='%1'");
    EXPECT_EQ(one(inPoet.arg(QStringLiteral("王维"))), "0");
    EXPECT_EQ(run(QStringLiteral("Insert Into Poet (fPoet,fBrief) Values ('王维','字摩诘，号摩诘居士。')")), 1);
    EXPECT_EQ(run(QStringLiteral("Insert Into Poet (fPoet,fBrief) Values ('O''Neill','An ''outsider''.')")), 1);
    EXPECT_EQ(one(inPoet.arg(QStringLiteral("王维"))), "1");
    EXPECT_EQ(rows(load.arg(QStringLiteral("O''Neill")), {QStringLiteral("fBrief")}), Rows{"An 'outsider'."});
    EXPECT_EQ(one(inPoet.arg(QStringLiteral("李商隐"))), "1");
    EXPECT_EQ(run(QStringLiteral("Update Poet Set fBrief='字义山，号玉谿生。' Where fPoet='李商隐'")), 1);
    EXPECT_EQ(rows(load.arg(QStringLiteral("李商隐")), {QStringLiteral("fBrief")}), Rows{"字义山，号玉谿生。"});
    EXPECT_EQ(rows(QStringLiteral("select fPoet from Poet Order by fPoet")),
              (Rows{"O'Neill", "李商隐", "李白", "杜甫", "王维", "苏轼"}));

    // Delete only a poet without poems.
    const QString poems = QStringLiteral("select count(*) from Poetry Where fPoet='%1'");
    EXPECT_EQ(one(poems.arg(QStringLiteral("杜甫"))), "2");
    EXPECT_EQ(one(poems.arg(QStringLiteral("王维"))), "0");
    EXPECT_EQ(run(QStringLiteral("Delete From Poet Where fPoet='王维'")), 1);
    EXPECT_EQ(run(QStringLiteral("Delete From Poet Where fPoet='O''Neill'")), 1);
    EXPECT_EQ(rows(QStringLiteral("select fPoet from Poet Order by fPoet")),
              (Rows{"李商隐", "李白", "杜甫", "苏轼"}));
}

// Setting, listing and clearing bookmarks.
TEST_F(Statements, Bookmarks) {
    const QString maxMark = QStringLiteral("select max(fBookmark) from Poetry");
    const QString marked = QStringLiteral(" Where a.fBookmark>0");
    const QString newest = QStringLiteral("a.fBookmark desc");
    const QString set = QStringLiteral("Update Poetry Set fBookmark=%1 Where fPoemID =%2");

    EXPECT_EQ(one(maxMark), "5");
    EXPECT_EQ(run(set.arg(6).arg(9)), 1);
    EXPECT_EQ(titleIds(marked, newest), (Rows{"9", "1", "4"}));

    // All poems of book 1, in list order (早发白帝城, 春望, 静夜思), get 7, 8, 9.
    const Rows listed = titleIds(QStringLiteral(" Where a.fBookID=1"), QStringLiteral("a.fTitle,a.fPoet"));
    ASSERT_EQ(listed, (Rows{"2", "3", "1"}));
    ASSERT_EQ(one(maxMark), "6");
    int next = 7;
    for (const std::string& id : listed) EXPECT_EQ(run(set.arg(next++).arg(QString::fromStdString(id))), 1);
    EXPECT_EQ(rows(titleListSql(marked, newest), {QStringLiteral("fPoemID"), QStringLiteral("fBookmark")}),
              (Rows{"1|9", "3|8", "2|7", "9|6", "4|3"}));
    EXPECT_EQ(counters(marked), "5|7");

    EXPECT_EQ(run(QStringLiteral("Update Poetry Set fBookmark=0 Where fPoemID =3")), 1);
    EXPECT_EQ(run(QStringLiteral("Update Poetry Set fBookmark=0 Where fPoemID =5")), 1);  // had none
    EXPECT_EQ(titleIds(marked, newest), (Rows{"1", "2", "9", "4"}));

    // A negative number is no bookmark.
    native("UPDATE Poetry SET fBookmark=-4 WHERE fPoemID=8");
    EXPECT_EQ(titleIds(marked, newest), (Rows{"1", "2", "9", "4"}));

    EXPECT_EQ(run(QStringLiteral("Update Poetry Set fBookmark=0 Where fBookmark <> 0")), 5);
    EXPECT_TRUE(titleIds(marked, newest).empty());
    EXPECT_EQ(counters(marked), "0|<null>");
    EXPECT_EQ(one(maxMark), "0");
    native("DELETE FROM Poetry");
    EXPECT_EQ(one(maxMark), kNull);
}

// Book list, adding, renaming, filing, unfiling, emptying and deleting books.
TEST_F(Statements, Books) {
    EXPECT_EQ(rows(QStringLiteral("select * from PoetBook Order by fBookOrderID"),
                   {QStringLiteral("fBookID"), QStringLiteral("fBook"), QStringLiteral("fBookOrderID"),
                    QStringLiteral("fBookSelected")}),
              (Rows{"2|宋词选|0|1", "1|唐诗选|1|1", "3|隐藏|2|0", "4||3|1"}));

    const QString findBook = QStringLiteral("select fBookID from PoetBook Where '' & fBook='%1'");
    const QString addBook =
        QStringLiteral("Insert Into PoetBook (fBook,fBookOrderID,fBookSelected) Values ('%1',0,1)");
    EXPECT_EQ(one(findBook.arg(QStringLiteral("Li''s 选集"))), kNoRow);
    EXPECT_EQ(run(addBook.arg(QStringLiteral("Li''s 选集"))), 1);
    EXPECT_EQ(one(findBook.arg(QStringLiteral("Li''s 选集"))), "5");
    EXPECT_EQ(one(findBook.arg(QStringLiteral("LI''S 选集"))), "5");  // Latin case ignored
    EXPECT_EQ(rows(QStringLiteral("select * from PoetBook Where fBookID=5"),
                   {QStringLiteral("fBook"), QStringLiteral("fBookOrderID"), QStringLiteral("fBookSelected")}),
              Rows{"Li's 选集|0|1"});

    EXPECT_EQ(run(QStringLiteral("Update PoetBook Set fBook='宋词三百首' Where fBook='宋词选'")), 1);
    EXPECT_EQ(one(findBook.arg(QStringLiteral("宋词三百首"))), "2");
    EXPECT_EQ(one(findBook.arg(QStringLiteral("宋词选"))), kNoRow);

    // Filing moves a poem, also out of another book.
    const QString file = QStringLiteral("Update Poetry Set fBookID=%1 Where fPoemID=%2");
    EXPECT_EQ(run(file.arg(2).arg(4)), 1);
    EXPECT_EQ(run(file.arg(2).arg(5)), 1);
    EXPECT_EQ(run(file.arg(2).arg(1)), 1);
    const QString byTitle = QStringLiteral("a.fTitle,a.fPoet");
    EXPECT_EQ(titleIds(QStringLiteral(" Where a.fBookID=2"), byTitle), (Rows{"4", "5", "1"}));
    EXPECT_EQ(titleIds(QStringLiteral(" Where a.fBookID=1"), byTitle), (Rows{"2", "3"}));

    EXPECT_EQ(run(QStringLiteral("Update Poetry Set fBookID=-1 Where fPoemID=5")), 1);
    EXPECT_EQ(titleIds(QStringLiteral(" Where a.fBookID=2"), byTitle), (Rows{"4", "1"}));

    // Emptying book 1 keeps its poems in the collection.
    EXPECT_EQ(run(QStringLiteral("Update Poetry Set fBookID=-1 Where fBookID=1")), 2);
    EXPECT_EQ(counters(QStringLiteral(" Where a.fBookID=1")), "0|<null>");
    EXPECT_EQ(one(QStringLiteral("select count(*) from Poetry")), "9");

    // Deleting book 2: its row goes, its poems are filed nowhere.
    EXPECT_EQ(run(QStringLiteral("Delete From PoetBook Where fBookID=2")), 1);
    EXPECT_EQ(run(QStringLiteral("Update Poetry Set fBookID=-1 Where fBookID=2")), 2);
    EXPECT_EQ(one(QStringLiteral("select count(*) from Poetry Where fBookID=-1")), "9");
    EXPECT_EQ(rows(QStringLiteral("select fBook from PoetBook Where fBookSelected=1 Order By fBookOrderID")),
              (Rows{"Li's 选集", "唐诗选", ""}));
}

// The duplicate check: scratch column rewritten, self-join, group listing.
TEST_F(Statements, DuplicateCheck) {
    native("INSERT INTO Poetry (fPoemID,fType,fStyle,fPoet,fDynasty,fTitle,fContent,fQty) VALUES "
           "(10,'诗','七言古诗','Zhang Ruoxu','唐','Sea Moon','Moon''s light，over the sea.',1),"
           "(11,'诗','五言律诗','张九龄','唐','望月怀远','MOON''S LIGHT，on the hill.',1),"
           "(12,'词','如梦令','李清照','宋','如梦令','，常记溪亭日暮。',1),"
           "(13,'词','点绛唇','李清照','宋','点绛唇','，蹴罢秋千。',1),"
           "(14,'诗','','佚名','','残句',NULL,1)");
    // Leftovers of an earlier check, and one row already empty.
    native("UPDATE Poetry SET fBook_del='旧' WHERE fPoemID IN (2,5)");
    native("UPDATE Poetry SET fBook_del='' WHERE fPoemID=3");

    const QString clear = QStringLiteral("update poetry set fbook_del='' where fbook_del<>'' or isnull(fbook_del)");
    const QString fill = QStringLiteral(
        "update poetry set fbook_del=left(fcontent,instr(fcontent,'，')-1) where instr(fcontent,'，')>0");
    EXPECT_EQ(run(clear), 13);
    EXPECT_EQ(fx.count(QStringLiteral("select count(*) from Poetry where fBook_del is null or fBook_del<>''")), 0);

    // Only contents with a full-width comma take a first clause; one that starts
    // with the comma takes the empty one.
    EXPECT_EQ(run(fill), 11);
    EXPECT_EQ(rows(QStringLiteral("select fPoemID,fBook_del from Poetry Where fPoemID in (1,5,9,10,12,14) "
                                  "order by fPoemID")),
              (Rows{"1|床前明月光", "5|", "9|", "10|Moon's light", "12|", "14|"}));

    // Shared first clauses (Latin case ignored), in title order, each counted with its twin.
    EXPECT_EQ(rows(duplicateSql()),
              (Rows{"10|Zhang Ruoxu|Sea Moon|Moon's light|2", "6|无名氏|无题|床前明月光|2",
                    "11|张九龄|望月怀远|MOON'S LIGHT|2", "1|李白|静夜思|床前明月光|2"}));

    // Choosing a group lists all its poems by poet.
    const QString byPoet = QStringLiteral("a.fPoet");
    EXPECT_EQ(titleIds(QStringLiteral("Where a.fBook_del='床前明月光'"), byPoet), (Rows{"6", "1"}));
    EXPECT_EQ(titleIds(QStringLiteral("Where a.fBook_del='Moon''s light'"), byPoet), (Rows{"10", "11"}));
    EXPECT_EQ(counters(QStringLiteral("Where a.fBook_del='床前明月光'")), "2|3");

    // A third poem joining a group raises every count of the group.
    native("UPDATE Poetry SET fContent='床前明月光，照我读书台。' WHERE fPoemID=8");
    run(clear);
    run(fill);
    EXPECT_EQ(rows(duplicateSql(), {QStringLiteral("fPoemID"), QStringLiteral("fTry")}),
              (Rows{"10|2", "6|3", "11|2", "8|3", "1|3"}));

    // Nothing shared: no rows.
    native("DELETE FROM Poetry WHERE fPoemID IN (6,8,11)");
    run(clear);
    run(fill);
    EXPECT_TRUE(rows(duplicateSql()).empty());
}

// Pinyin readings of one character, in reading order.
TEST_F(Statements, Pinyin) {
    // Stored out of reading order so that the order comes from py2.
    native("INSERT INTO hzPy (hz,py1,py2) VALUES ('乐','yuè',2),('乐','lè',1),('乐','yào',3)");
    const QString lookup = QStringLiteral("select py1 from hzPy Where hz='%1' order By py2");
    EXPECT_EQ(rows(lookup.arg(QStringLiteral("行"))), (Rows{"xíng", "háng"}));
    EXPECT_EQ(rows(lookup.arg(QStringLiteral("乐"))), (Rows{"lè", "yuè", "yào"}));
    EXPECT_EQ(rows(lookup.arg(QStringLiteral("月"))), Rows{"yuè"});
    EXPECT_TRUE(rows(lookup.arg(QStringLiteral("，"))).empty());
    EXPECT_TRUE(rows(lookup.arg(QStringLiteral("a"))).empty());
    // A selected quote is written doubled and simply has no reading.
    EXPECT_TRUE(rows(lookup.arg(QStringLiteral("''"))).empty());
}

} // namespace
