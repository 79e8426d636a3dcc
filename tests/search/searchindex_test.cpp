// The search index against the scan: for a table of terms on a fixture holding
// the awkward cases, the indexed search lists exactly the scan's rows in the
// scan's order; so it does after writes by another connection, with the index
// damaged or dropped, and read-only. Then the folding of scripts.
#include "browse/titlerows.h"
#include "db/poemstore.h"
#include "db/sqltext.h"
#include "search/poemfilter.h"
#include "search/scriptfold.h"
#include "search/searchindex.h"
#include "support/fixture.h"
#include "support/recordingsink.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

struct Poem { const char *title, *poet, *content, *preface, *notes; };

const Poem kPoems[] = {
    {"静夜思", "李白", "床前明月光，疑是地上霜。\r\n举头望明月，低头思故乡。", nullptr, nullptr},
    {"断句", "无名", "清风明\r\n月夜", "", ""},
    {"𠀀字", "某", "𠀀明月𠀀", nullptr, "𠀀"},
    {"ABC", "Tester", "Hello World, abc_def 100% sure", nullptr,
     "NEAR AND OR \"quoted\" col:umn ^start *star it's a back\\slash"},
    {"春晓", "孟浩然", "春眠不觉晓，处处闻啼鸟。", "序：春天明月", "注：明月"},
    {"月", "佚名", "月", "月", "月"},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
    {"明，月", "佚名", "明，月。明 月", nullptr, nullptr},
    {"春江花月夜", "张若虚", "明月明月，春江潮水连海平，海上明月共潮生。", nullptr, nullptr},
    {"長安", "蘇軾", "長安一片月，萬戶擣衣聲。風吹不盡", nullptr, nullptr},
    {"hello", "hello", "HELLO world", nullptr, nullptr},
};

void addPoem(SqlDatabase& db, const Poem& p) {
    auto lit = [](const char* s) { return s ? sqlText(QString::fromUtf8(s)) : u"NULL"_s; };
    db.execNative(u"INSERT INTO Poetry (fTitle, fPoet, fContent, fPre, fMemo, fQty) VALUES (%1, %2, %3, %4, %5, 1)"_s
                      .arg(lit(p.title), lit(p.poet), lit(p.content), lit(p.preface), lit(p.notes)));
}

std::vector<qint32> ids(SqlDatabase& db, const QString& filter) {
    std::vector<qint32> out;
    const TitleRows rows = ReadTitleRows(db, filter, u"a.fTitle,a.fPoet"_s);
    for (int i = 0; i < rows.size(); ++i) out.push_back(rows.poemId(i));
    return out;
}

std::vector<qint32> scan(SqlDatabase& db, const PoemSearchFields& f, bool fold = false) {
    return ids(db, BuildSearchFilter(f, fold));
}

// indexed: the index narrows this search (false: the scan runs, as it must).
struct Query { PoemSearchFields fields; bool indexed; };

// Case, line breaks, punctuation, single and non-BMP characters, long terms,
// wildcards, quotes and the index's own query syntax typed as text.
const Query kQueries[] = {
    {{.content = u"明月"_s}, true}, {{.content = u"床前明月光"_s}, true}, {{.content = u"𠀀"_s}, true},
    {{.content = u"明月光照九州四海八荒，长过每一首诗"_s}, true}, {{.content = QString(10000, u'月')}, true},
    {{.content = u"hello"_s}, true}, {{.content = u"明 月"_s}, true}, {{.content = u"明，月"_s}, true},
    {{.content = u"abc_def"_s}, false}, {{.content = u"100%"_s}, false}, {{.content = u"%"_s}, false},
    {{.content = u"_"_s}, false}, {{.content = u"，"_s}, false}, {{.content = u"'"_s}, false},
    {{.content = u"\\"_s}, false}, {{.content = u""_s}, false}, {{.notes = u"NEAR"_s}, true},
    {{.notes = u"\"quoted\""_s}, true}, {{.notes = u"*star"_s}, true}, {{.notes = u"it's"_s}, true},
    {{.title = u"春"_s}, true}, {{.preface = u"春天"_s}, true},
    {{.title = u"春"_s, .content = u"明月"_s}, true}, // terms in two fields narrow together
};

class SearchIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const Poem& p : kPoems) addPoem(fx.db(), p);
        open(1);
        rebuild();
    }
    void open(qint16 mode) { ASSERT_EQ(store.OpenPoemDatabase(mode, fx.path()), mode); }
    void rebuild() { index().create(), index().indexSome(1000); }
    SearchIndex& index() { return store.searchIndex(); }
    SqlDatabase& db() { return store.db(); }

    // Every query of the table gives the scan's rows, in order, and uses the
    // index where it can.
    void expectScanResults(bool indexExpected, const char* when) {
        for (const Query& q : kQueries) {
            const QString filter = index().filter(q.fields, false);
            SCOPED_TRACE(testing::Message() << when << ": " << qPrintable(BuildSearchFilter(q.fields, false).left(80)));
            EXPECT_EQ(ids(db(), filter), scan(db(), q.fields));
            EXPECT_EQ(filter.contains(u"temp.SearchHits"_s), indexExpected && q.indexed);
        }
    }

    FixtureDb fx;
    RecordingSink sink;
    PoemStore store{&sink};
};

} // namespace

TEST_F(SearchIndexTest, GivesTheScansRowsAndFollowsWritesOfOtherPrograms) {
    expectScanResults(true, "built");
    EXPECT_FALSE(scan(db(), {.title = u"春"_s, .content = u"明月"_s}).empty());
    SqlDatabase& other = fx.db();
    addPoem(other, {"新月", "某", "新月如钩，明月满楼", nullptr, "NEAR"});
    for (const char* sql : {"UPDATE Poetry SET fContent = '秋风明月' WHERE fTitle = '春晓'",
                            "UPDATE Poetry SET fContent = fContent || '，明月' WHERE fTitle = 'hello'",
                            "DELETE FROM Poetry WHERE fTitle = '静夜思'",
                            "INSERT OR REPLACE INTO Poetry (fPoemID, fTitle, fContent) "
                            "SELECT fPoemID, 'ABC', '明月夜' FROM Poetry WHERE fTitle = 'ABC'",
                            "UPDATE Poetry SET fPoemID = 900 WHERE fTitle = '断句'"})
        other.execNative(QString::fromUtf8(sql));
    // Read-only, the waiting poems are candidates as they stand.
    open(0);
    EXPECT_GT(index().pending(), 0);
    expectScanResults(true, "waiting, read-only");
    // Writable, a search first brings the index up to date.
    open(1);
    expectScanResults(true, "caught up");
    EXPECT_EQ(index().pending(), 0);
    // Folded scripts (the window's search test folds content and a poet): the title and a wildcard, and several
    // rows, the same with and without the index; the highlight's folding keeps every position.
    for (const PoemSearchFields& f : {PoemSearchFields{.content = u"长安"_s}, {.title = u"长"_s}, {.content = u"长%"_s},
                                      {.content = u"明月"_s}}) {
        EXPECT_EQ(ids(db(), index().filter(f, true)), scan(db(), f, true)) << qPrintable(f.title + f.content);
        EXPECT_FALSE(scan(db(), f, true).empty()) << qPrintable(f.title + f.content);
    }
    EXPECT_TRUE(scan(db(), {.content = u"长安"_s}).empty()); // folding off
    EXPECT_EQ(ScriptFold::fold(u"長安一片月𠀀風"_s), u"长安一片月𠀀风"_s);
}

TEST_F(SearchIndexTest, DamagedOrDroppedIndexIsNeverTrusted) {
    // Damaged blocks: the failing lookup falls back to the scan.
    fx.db().execNative(u"UPDATE SearchIndex_data SET block = x'00ff00ff00' WHERE id > 10"_s);
    expectScanResults(false, "damaged");
    EXPECT_TRUE(index().needsCreate());
    rebuild();
    expectScanResults(true, "made anew");
    // Parts dropped by another tool, or an index of an older layout: not used
    // read-only, made anew writable.
    for (const char* drop : {"DROP TABLE SearchIndex_config", "DROP TRIGGER SearchIndexEdit",
                             "DROP TABLE SearchIndex", "UPDATE SearchIndexInfo SET fValue = '1 ' || fValue"}) {
        fx.db().execNative(QString::fromLatin1(drop));
        open(0);
        expectScanResults(false, drop);
        open(1);
        ASSERT_TRUE(index().needsCreate()) << drop;
        rebuild();
        expectScanResults(true, drop);
    }
    EXPECT_TRUE(sink.messages.isEmpty());
}

// The index builder's connection holds the write lock for a while; a program
// transaction that reads before it writes waits for it instead of failing.
TEST_F(SearchIndexTest, ProgramWritesWaitForTheBuildersTransaction) {
    SqlDatabase builder;
    ASSERT_EQ(builder.open(fx.path(), false), SQLITE_OK);
    builder.execNative(u"BEGIN IMMEDIATE"_s);
    std::thread commitLater([&builder] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        builder.execNative(u"COMMIT"_s);
    });
    sqlite3_busy_timeout(db().handle(), 5000);
    EXPECT_NO_THROW({
        SqlTransaction tx(db());
        db().execNative(u"SELECT count(*) FROM Poetry"_s);
        db().execNative(u"UPDATE Poetry SET fQty = 2 WHERE fTitle = '月'"_s);
        tx.commit();
    });
    commitLater.join();
}
