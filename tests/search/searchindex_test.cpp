// The search index against the scan: for a table of terms on a fixture holding
// the awkward cases, the indexed search lists exactly the scan's rows in the
// scan's order; so it does after writes by another connection, with the index
// damaged or dropped, and read-only. Then the folding of scripts.
#include "browse/titlerows.h"
#include "db/poemstore.h"
#include "search/poemfilter.h"
#include "search/scriptfold.h"
#include "search/searchindex.h"
#include "support/fixture.h"
#include "support/recordingsink.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sqlite3.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

struct Poem {
    const char* title;
    const char* poet;
    const char* content;
    const char* preface;
    const char* notes;
};

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

void addPoem(SqlDatabase& db, const Poem& p, const QString& verb = QStringLiteral("INSERT")) {
    auto lit = [](const char* s) {
        return s ? QStringLiteral("'") + QString::fromUtf8(s).replace(u'\'', QStringLiteral("''")) + u'\''
                 : QStringLiteral("NULL");
    };
    db.execNative(QStringLiteral("%1 INTO Poetry (fTitle, fPoet, fContent, fPre, fMemo, fQty) VALUES (%2, %3, %4, %5, %6, 1)")
                      .arg(verb, lit(p.title), lit(p.poet), lit(p.content), lit(p.preface), lit(p.notes)));
}

std::vector<qint32> ids(SqlDatabase& db, const QString& filter) {
    std::vector<qint32> out;
    const TitleRows rows = ReadTitleRows(db, filter, QStringLiteral("a.fTitle,a.fPoet"));
    for (int i = 0; i < rows.size(); ++i) out.push_back(rows.poemId(i));
    return out;
}

std::vector<qint32> scan(SqlDatabase& db, const PoemSearchFields& f, bool fold = false) {
    return ids(db, BuildSearchFilter(f, fold));
}

bool usesIndex(const QString& filter) { return filter.contains(QStringLiteral("temp.SearchHits")); }

PoemSearchFields field(const QString& name, const QString& term) {
    PoemSearchFields f;
    if (name == u"title") f.title = term;
    else if (name == u"content") f.content = term;
    else if (name == u"preface") f.preface = term;
    else if (name == u"notes") f.notes = term;
    else if (name == u"poet") f.poet = term;
    return f;
}

struct Query {
    const char* field;
    QString term;
    bool indexed; // the index narrows this search (false: the scan runs, as it must)
};

std::vector<Query> queries() {
    return {
        {"content", u"明月"_s, true},
        {"content", u"床前明月光"_s, true},
        {"content", u"明月光照九州四海八荒，长过每一首诗"_s, true},
        {"content", u"𠀀"_s, true},
        {"content", u"hello"_s, true},
        {"content", u"明 月"_s, true},
        {"content", u"明，月"_s, true},
        {"content", QString(10000, u'月'), true},
        {"content", u"abc_def"_s, false},
        {"content", u"100%"_s, false},
        {"content", u"%"_s, false},
        {"content", u"_"_s, false},
        {"content", u"，"_s, false},
        {"content", u"'"_s, false},
        {"content", u"\\"_s, false},
        {"content", u""_s, false},
        {"notes", u"NEAR"_s, true},
        {"notes", u"\"quoted\""_s, true},
        {"notes", u"*star"_s, true},
        {"notes", u"it's"_s, true},
        {"title", u"春"_s, true},
        {"preface", u"春天"_s, true},
    };
}

class SearchIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const Poem& p : kPoems) addPoem(fx.db(), p);
        open(1);
        index().create();
        index().indexSome(1000);
        ASSERT_TRUE(index().usable());
        ASSERT_EQ(index().pending(), 0);
    }
    void open(qint16 mode) { ASSERT_EQ(store.OpenPoemDatabase(mode, fx.path()), mode); }
    SearchIndex& index() { return store.searchIndex(); }
    SqlDatabase& db() { return store.db(); }

    // Every query of the table gives the scan's rows, in order, and uses the
    // index where it can.
    void expectScanResults(bool indexExpected, const char* when) {
        for (const Query& q : queries()) {
            const PoemSearchFields f = field(QString::fromLatin1(q.field), q.term);
            const QString filter = index().filter(f, false);
            EXPECT_EQ(ids(db(), filter), scan(db(), f)) << when << ": " << q.field << " " << qPrintable(q.term.left(20));
            EXPECT_EQ(usesIndex(filter), indexExpected && q.indexed)
                << when << ": " << q.field << " " << qPrintable(q.term.left(20));
        }
    }

    FixtureDb fx;
    RecordingSink sink;
    PoemStore store{&sink};
};

} // namespace

TEST_F(SearchIndexTest, GivesTheScansRows) {
    expectScanResults(true, "built");
    // Terms in two fields narrow together.
    PoemSearchFields f;
    f.title = QStringLiteral("春");
    f.content = QStringLiteral("明月");
    EXPECT_EQ(ids(db(), index().filter(f, false)), scan(db(), f));
    EXPECT_FALSE(scan(db(), f).empty());
}

TEST_F(SearchIndexTest, FollowsWritesOfOtherPrograms) {
    SqlDatabase& other = fx.db();
    addPoem(other, {"新月", "某", "新月如钩，明月满楼", nullptr, "NEAR"});
    other.execNative(QStringLiteral("UPDATE Poetry SET fContent = '秋风明月' WHERE fTitle = '春晓'"));
    other.execNative(QStringLiteral("UPDATE Poetry SET fContent = fContent || '，明月' WHERE fTitle = 'hello'"));
    other.execNative(QStringLiteral("DELETE FROM Poetry WHERE fTitle = '静夜思'"));
    const qint64 id = fx.count(QStringLiteral("SELECT fPoemID FROM Poetry WHERE fTitle = 'ABC'"));
    other.execNative(QStringLiteral("INSERT OR REPLACE INTO Poetry (fPoemID, fTitle, fContent) VALUES (%1, 'ABC', '明月夜')")
                         .arg(id));
    other.execNative(QStringLiteral("UPDATE Poetry SET fPoemID = 900 WHERE fTitle = '断句'"));
    // Read-only, the waiting poems are candidates as they stand.
    open(0);
    EXPECT_GT(index().pending(), 0);
    expectScanResults(true, "waiting, read-only");
    // Writable, a search first brings the index up to date.
    open(1);
    expectScanResults(true, "caught up");
    EXPECT_EQ(index().pending(), 0);
}

TEST_F(SearchIndexTest, DamagedOrDroppedIndexIsNeverTrusted) {
    // Damaged blocks: the failing lookup falls back to the scan.
    fx.db().execNative(QStringLiteral("UPDATE SearchIndex_data SET block = x'00ff00ff00' WHERE id > 10"));
    expectScanResults(false, "damaged");
    EXPECT_TRUE(index().needsCreate());
    index().create();
    index().indexSome(1000);
    expectScanResults(true, "made anew");

    // Parts dropped by another tool: not used read-only, made anew writable.
    for (const char* drop : {"DROP TABLE SearchIndex_config", "DROP TRIGGER SearchIndexEdit",
                             "DROP TABLE SearchIndex"}) {
        fx.db().execNative(QString::fromLatin1(drop));
        open(0);
        expectScanResults(false, drop);
        open(1);
        ASSERT_TRUE(index().needsCreate()) << drop;
        index().create();
        index().indexSome(1000);
        expectScanResults(true, drop);
    }
    EXPECT_TRUE(sink.messages.isEmpty());
}

TEST_F(SearchIndexTest, OffOrAbsentTheClauseIsTheScans) {
    index().setEnabled(false);
    expectScanResults(false, "switched off");
    FixtureDb bare;
    for (const Poem& p : kPoems) addPoem(bare.db(), p);
    ASSERT_EQ(store.OpenPoemDatabase(0, bare.path()), 0);
    EXPECT_FALSE(index().usable());
    EXPECT_FALSE(index().needsCreate());
    EXPECT_EQ(index().filter(field(QStringLiteral("content"), QStringLiteral("明月")), false),
              BuildPoemFilter({.content = QStringLiteral("明月")}));
}

TEST_F(SearchIndexTest, FoldsScripts) {
    const struct {
        const char* field;
        const char* term;
        QStringList titles;
    } cases[] = {
        {"content", "长安", {u"長安"_s}},
        {"content", "风吹", {u"長安"_s}},
        {"title", "长", {u"長安"_s}},
        {"poet", "苏轼", {u"長安"_s}},
        {"content", "长%", {u"長安"_s}},
        {"content", "明月", {u"新月"_s, u"春江花月夜"_s, u"静夜思"_s, u"𠀀字"_s}},
    };
    addPoem(fx.db(), {"新月", "某", "明月", nullptr, nullptr});
    for (const auto& c : cases) {
        const PoemSearchFields f = field(QString::fromLatin1(c.field), QString::fromUtf8(c.term));
        QStringList titles;
        const TitleRows rows = ReadTitleRows(db(), index().filter(f, true), QStringLiteral("a.fTitle,a.fPoet"));
        for (int i = 0; i < rows.size(); ++i) titles << rows.title(i);
        EXPECT_EQ(titles, c.titles) << c.term;
        // Folded without the index: the same rows.
        EXPECT_EQ(ids(db(), index().filter(f, true)), scan(db(), f, true)) << c.term;
    }
    // Folding off, 长安 is not 長安.
    EXPECT_TRUE(scan(db(), field(QStringLiteral("content"), QStringLiteral("长安"))).empty());
    // The highlight's folding keeps every position.
    EXPECT_EQ(ScriptFold::fold(QStringLiteral("長安一片月𠀀風")), QStringLiteral("长安一片月𠀀风"));
}

TEST_F(SearchIndexTest, ProgramWritesWaitForTheBuildersTransaction) {
    // The builder's connection holds the write lock for a while; a program
    // transaction that reads before it writes waits for it instead of failing.
    SqlDatabase builder;
    ASSERT_EQ(builder.open(fx.path(), false), SQLITE_OK);
    builder.execNative(QStringLiteral("BEGIN IMMEDIATE"));
    std::thread commitLater([&builder] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        builder.execNative(QStringLiteral("COMMIT"));
    });
    sqlite3_busy_timeout(db().handle(), 5000);
    EXPECT_NO_THROW({
        SqlTransaction tx(db());
        db().execNative(QStringLiteral("SELECT count(*) FROM Poetry"));
        db().execNative(QStringLiteral("UPDATE Poetry SET fQty = 2 WHERE fTitle = '月'"));
        tx.commit();
    });
    commitLater.join();
}
