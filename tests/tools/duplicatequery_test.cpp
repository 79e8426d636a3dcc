#include "tools/duplicatequery.h"

#include "support/fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace Qt::StringLiterals;

// Poems that exercise the first-clause rule: shared clauses, no comma, a
// leading comma, NULL content, Latin case, a quote, stale scratch values, and
// a clause no other poem shares.
static void fill(FixtureDb& fx) {
    fx.db().execNative(QString::fromUtf8(
        "INSERT INTO Poetry (fPoemID,fPoet,fTitle,fContent,fBook_del) VALUES "
        "(1,'李白','静夜思','床前明月光，疑是地上霜。',NULL),(2,'无名氏','无题','床前明月光，不知何处来。','stale'),"
        "(3,'杜甫','春望','国破山河在，城春草木深。',''),(4,'甲','没有逗号','全诗无逗号。','old'),"
        "(5,'乙','逗号开头','，开头就是逗号。',NULL),(6,'丙','空内容',NULL,'x'),"
        "(7,'丁','Case A','Abc，one',NULL),(8,'戊','Case B','abc，two',NULL),"
        "(9,'己','引号甲','It''s here，one',NULL),(10,'庚','引号乙','It''s here，two',NULL),"
        "(11,'辛','春望','国破山河在，又一首。',NULL),(12,'壬','逗号开头二','，开头就是逗号。',NULL),"
        "(13,'癸','独句','孤云独去闲，无人同此句。',NULL)"));
}

static std::map<qint64, QString> scratch(FixtureDb& fx) {
    std::map<qint64, QString> out;
    SqlStatement st = fx.db().prepareNative(u"SELECT fPoemID, fBook_del FROM Poetry"_s);
    while (st.next()) out[st.int64(0)] = st.isNull(1) ? u"<null>"_s : st.text(1);
    return out;
}

// The join leaves the order of equal titles open: the two are compared by id.
static QList<DuplicateRow> byId(QList<DuplicateRow> list) {
    const auto byPoem = [](const DuplicateRow& a, const DuplicateRow& b) { return a.poemId < b.poemId; };
    std::sort(list.begin(), list.end(), byPoem);
    return list;
}

TEST(DuplicateQuery, OnePassLeavesWhatTheTwoUpdatesLeave) {
    FixtureDb asWritten, onePass;
    fill(asWritten);
    fill(onePass);
    asWritten.db().exec(ClearFirstClausesStatement());
    asWritten.db().exec(FillFirstClausesStatement());
    RebuildFirstClauses(onePass.db());
    const auto expected = scratch(asWritten);
    EXPECT_EQ(scratch(onePass), expected);
    EXPECT_EQ(expected.at(1) + u'|' + expected.at(5), u"床前明月光|"_s); // 5: a leading comma

    // The one-pass reader finds the rows of the self-join as written.
    const QList<DuplicateRow> rows = ReadDuplicateRows(onePass.db(), 1000);
    QList<DuplicateRow> joined;
    SqlStatement st = asWritten.db().prepare(DuplicateRowsQuery());
    while (st.next()) joined.append({st.int64(0), st.text(1), st.text(2), st.text(3), st.int64(4)});
    EXPECT_EQ(byId(rows), byId(joined));
    QList<qint64> ids;
    for (const DuplicateRow& r : rows) ids << r.poemId;
    // Titles in order: "Case A", "Case B", 引号乙, 引号甲, 无题, 春望 ×2, 静夜思
    // (the column ignores Latin case, so Abc and abc are one clause).
    EXPECT_EQ(ids.mid(0, 5), (QList<qint64>{7, 8, 10, 9, 2}));
    EXPECT_EQ(ids.last(), 1);

    // A rebuild writes only the changed clauses again, a change of Latin case included.
    onePass.db().execNative(u"UPDATE Poetry SET fContent='ABC，one' WHERE fPoemID=7"_s);
    RebuildFirstClauses(onePass.db());
    EXPECT_EQ(onePass.db().changes(), 1);
    EXPECT_EQ(scratch(onePass).at(7), u"ABC"_s);
}

TEST(DuplicateQuery, EntriesComeInReverseTitleOrderOnePerTitleRun) {
    const auto row = [](qint64 id, const QString& title) { return DuplicateRow{id, u"某"_s, title, u"同一句"_s, 2}; };
    const std::pair<QList<DuplicateRow>, QList<qint64>> cases[] = {
        // A run of one title gives one entry, from the run's first row; entry ids top first.
        {{row(5, u"无题"_s), row(4, u"无题"_s)}, {5}},
        // The previous title starts empty: a first run of untitled rows starts no entry.
        {{row(7, u""_s), row(8, u""_s), row(9, u"Z"_s)}, {9}},
    };
    for (const auto& [rows, expected] : cases) {
        QList<qint64> ids;
        for (const DuplicateEntry& e : DuplicateEntries(rows)) ids << e.poemId;
        EXPECT_EQ(ids, expected);
    }
}
