#include "tools/duplicatequery.h"

#include "browse/historyline.h"
#include "browse/titlerows.h"
#include "db/sqltext.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace Qt::StringLiterals;

namespace {

// Poems that exercise the first-clause rule: shared clauses, no comma, a
// leading comma, NULL content, Latin case, a quote, stale scratch values, and
// a clause no other poem shares.
const char* const kPoems =
    "INSERT INTO Poetry (fPoemID,fPoet,fTitle,fContent,fBook_del) VALUES "
    "(1,'李白','静夜思','床前明月光，疑是地上霜。',NULL),"
    "(2,'无名氏','无题','床前明月光，不知何处来。','stale'),"
    "(3,'杜甫','春望','国破山河在，城春草木深。',''),"
    "(4,'甲','没有逗号','全诗无逗号。','old'),"
    "(5,'乙','逗号开头','，开头就是逗号。',NULL),"
    "(6,'丙','空内容',NULL,'x'),"
    "(7,'丁','Case A','Abc，one',NULL),"
    "(8,'戊','Case B','abc，two',NULL),"
    "(9,'己','引号甲','It''s here，one',NULL),"
    "(10,'庚','引号乙','It''s here，two',NULL),"
    "(11,'辛','春望','国破山河在，又一首。',NULL),"
    "(12,'壬','逗号开头二','，开头就是逗号。',NULL),"
    "(13,'癸','独句','孤云独去闲，无人同此句。',NULL)";

void fill(FixtureDb& fx) { fx.db().execNative(QString::fromUtf8(kPoems)); }

std::map<qint64, QString> scratch(FixtureDb& fx) {
    std::map<qint64, QString> out;
    SqlStatement st = fx.db().prepareNative(QStringLiteral("SELECT fPoemID, fBook_del FROM Poetry"));
    while (st.next()) out[st.int64(0)] = st.isNull(1) ? QStringLiteral("<null>") : st.text(1);
    return out;
}

DuplicateRow row(qint64 id, const QString& title, const QString& poet = QStringLiteral("某")) {
    return DuplicateRow{id, poet, title, QStringLiteral("同一句"), 2};
}

} // namespace

TEST(DuplicateQuery, OnePassLeavesWhatTheTwoUpdatesLeave) {
    FixtureDb asWritten;
    FixtureDb onePass;
    fill(asWritten);
    fill(onePass);
    asWritten.db().exec(ClearFirstClausesStatement());
    asWritten.db().exec(FillFirstClausesStatement());
    RebuildFirstClauses(onePass.db());

    const auto expected = scratch(asWritten);
    EXPECT_EQ(scratch(onePass), expected);
    EXPECT_EQ(expected.at(1), QStringLiteral("床前明月光"));
    EXPECT_EQ(expected.at(4), QString());
    EXPECT_EQ(expected.at(5), QString()); // leading comma
    EXPECT_EQ(expected.at(6), QString()); // NULL content
    EXPECT_EQ(expected.at(7), QStringLiteral("Abc"));

    // The one-pass reader finds the rows of the self-join as written, in title
    // order (the join leaves the order of equal titles open: compared by id).
    const QList<DuplicateRow> rows = ReadDuplicateRows(onePass.db(), 1000);
    QList<DuplicateRow> joined;
    SqlStatement st = asWritten.db().prepare(DuplicateRowsQuery());
    while (st.next())
        joined.append({st.int64(0), st.text(1), st.text(2), st.text(3), st.int64(4)});
    const auto byTitleThenId = [](QList<DuplicateRow> list) {
        std::stable_sort(list.begin(), list.end(), [](const DuplicateRow& a, const DuplicateRow& b) {
            const int c = a.title.compare(b.title, Qt::CaseInsensitive);
            return c != 0 ? c < 0 : a.poemId < b.poemId;
        });
        return list;
    };
    EXPECT_EQ(byTitleThenId(rows), byTitleThenId(joined));
    for (qsizetype i = 1; i < joined.size(); ++i)
        EXPECT_LE(joined[i - 1].title.compare(joined[i].title, Qt::CaseInsensitive), 0);
    QList<qint64> ids;
    for (const DuplicateRow& r : rows) ids << r.poemId;
    // Titles in order: "Case A", "Case B", 引号乙, 引号甲, 无题, 春望 ×2, 静夜思
    // (the column ignores Latin case, so Abc and abc are one clause).
    EXPECT_EQ(rows.size(), 8);
    EXPECT_EQ(ids.mid(0, 5), (QList<qint64>{7, 8, 10, 9, 2}));
    EXPECT_EQ(ids.last(), 1);
    for (const DuplicateRow& r : rows) EXPECT_EQ(r.tries, 2) << r.poemId;
}

TEST(DuplicateQuery, RepeatedRebuildWritesNothingButFollowsChanges) {
    FixtureDb fx;
    fill(fx);
    RebuildFirstClauses(fx.db());
    RebuildFirstClauses(fx.db());
    EXPECT_EQ(fx.db().changes(), 0);
    // A changed content and a changed Latin case are both written again.
    fx.db().execNative(QStringLiteral("UPDATE Poetry SET fContent='ABC，one' WHERE fPoemID=7"));
    fx.db().execNative(QStringLiteral("UPDATE Poetry SET fContent='新句，x' WHERE fPoemID=1"));
    RebuildFirstClauses(fx.db());
    EXPECT_EQ(fx.db().changes(), 2);
    const auto values = scratch(fx);
    EXPECT_EQ(values.at(7), QStringLiteral("ABC"));
    EXPECT_EQ(values.at(1), QStringLiteral("新句"));
}

TEST(DuplicateQuery, ReadsAtMost101Rows) {
    FixtureDb fx;
    SqlTransaction t(fx.db());
    for (int i = 0; i < 150; ++i)
        fx.db().execNative(QStringLiteral("INSERT INTO Poetry (fPoet,fTitle,fContent) VALUES ('某','T%1','同一句，x')")
                               .arg(i, 3, 10, QLatin1Char('0')));
    t.commit();
    RebuildFirstClauses(fx.db());
    const QList<DuplicateRow> rows = ReadDuplicateRows(fx.db());
    ASSERT_EQ(rows.size(), 101);
    EXPECT_EQ(rows.first().title, QStringLiteral("T000"));
    EXPECT_EQ(rows.last().title, QStringLiteral("T100"));
    EXPECT_EQ(rows.first().tries, 150);
    // The list shows the last title read at the top.
    const QList<DuplicateEntry> entries = DuplicateEntries(rows);
    ASSERT_EQ(entries.size(), 101);
    EXPECT_TRUE(entries.first().text.startsWith(QStringLiteral("T100")));
    EXPECT_TRUE(entries.last().text.startsWith(QStringLiteral("T000")));
}

TEST(DuplicateQuery, EntriesComeInReverseTitleOrderOnePerTitleRun) {
    struct Case {
        const char* name;
        QList<DuplicateRow> rows;
        QList<qint64> ids; // entry ids, top first
    };
    const QList<Case> cases = {
        {"three titles", {row(1, u"A"_s), row(2, u"B"_s), row(3, u"C"_s)}, {3, 2, 1}},
        // A run of one title gives one entry, from the run's first row.
        {"same title", {row(5, u"无题"_s), row(4, u"无题"_s)}, {5}},
        {"runs", {row(1, u"A"_s), row(2, u"B"_s), row(3, u"B"_s), row(4, u"C"_s)}, {4, 2, 1}},
        // The previous title starts empty: a first run of untitled rows starts no entry.
        {"empty title first", {row(7, u""_s), row(8, u""_s), row(9, u"Z"_s)}, {9}},
        {"nothing", {}, {}},
    };
    for (const Case& c : cases) {
        QList<qint64> ids;
        for (const DuplicateEntry& e : DuplicateEntries(c.rows)) ids << e.poemId;
        EXPECT_EQ(ids, c.ids) << c.name;
    }
    const QList<DuplicateEntry> one = DuplicateEntries({row(1, u"静夜思"_s, u"李白"_s)});
    ASSERT_EQ(one.size(), 1);
    EXPECT_EQ(one[0].text, FormatTitlePoet(QStringLiteral("静夜思"), QStringLiteral("李白")));
    EXPECT_EQ(one[0].firstClause, QStringLiteral("同一句"));
}

TEST(DuplicateQuery, GroupFilterQuotesTheClause) {
    FixtureDb fx;
    fill(fx);
    RebuildFirstClauses(fx.db());
    const TitleRows rows =
        ReadTitleRows(fx.db(), DuplicateGroupFilter(QStringLiteral("It's here")), QStringLiteral("a.fPoet"));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].poet, QStringLiteral("己"));
    EXPECT_EQ(rows[1].poet, QStringLiteral("庚"));
}
