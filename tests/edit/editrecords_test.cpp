// The rows the poem and poet editors read and write, on the sample database:
// which row a loaded poem names, what counts as a duplicate, and that values
// are stored exactly as typed.
#include "display/templatestore.h"
#include "edit/poemrecord.h"
#include "edit/poetrecord.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

namespace {

std::string s(const QString& v) { return v.toStdString(); }

struct EditRecords : ::testing::Test {
    void SetUp() override { fx.fillSample(); }
    FixtureDb fx;
};

PoemRecord record(const QString& poet, const QString& title) {
    PoemRecord r;
    r.poet = poet;
    r.title = title;
    r.qty = QStringLiteral("4");
    r.content = QStringLiteral("It's 100% _so_ ?1 \\");
    return r;
}

} // namespace

TEST_F(EditRecords, TitleTakenComparesAsTheStoreDoesAndSparesThePoemItself) {
    SqlDatabase& db = fx.db();
    EXPECT_TRUE(PoemTitleTaken(db, QStringLiteral("李白"), QStringLiteral("静夜思")));
    EXPECT_TRUE(PoemTitleTaken(db, QStringLiteral("li bai"), QStringLiteral("moon's song")));
    EXPECT_FALSE(PoemTitleTaken(db, QStringLiteral("杜甫"), QStringLiteral("静夜思")));
    // Poem 9 changing the case of its own title is no duplicate; another poem's id does not spare it.
    EXPECT_FALSE(PoemTitleTaken(db, QStringLiteral("Li Bai"), QStringLiteral("MOON'S SONG"), 9));
    EXPECT_TRUE(PoemTitleTaken(db, QStringLiteral("Li Bai"), QStringLiteral("MOON'S SONG"), 1));
    // An empty field is an empty text, not NULL: it matches a row stored empty.
    fx.db().execNative(QStringLiteral("INSERT INTO Poetry (fPoet,fTitle) VALUES ('','')"));
    EXPECT_TRUE(PoemTitleTaken(db, QString(), QString()));
}

TEST_F(EditRecords, TheLoadedPoemIsNamedByIdPoetAndTitle) {
    SqlDatabase& db = fx.db();
    EXPECT_EQ(StoredPoemQty(db, 9, QStringLiteral("Li Bai"), QStringLiteral("Moon's Song")), 3);
    // Renamed or replaced meanwhile: gone.
    EXPECT_FALSE(StoredPoemQty(db, 9, QStringLiteral("Li Bai"), QStringLiteral("静夜思")));
    EXPECT_FALSE(StoredPoemQty(db, 1, QStringLiteral("杜甫"), QStringLiteral("静夜思")));
    fx.db().execNative(QStringLiteral("UPDATE Poetry SET fQty=NULL WHERE fPoemID=6"));
    EXPECT_EQ(StoredPoemQty(db, 6, QStringLiteral("无名氏"), QStringLiteral("无题")), 0);

    EXPECT_FALSE(UpdatePoem(db, record(QStringLiteral("杜甫"), QStringLiteral("新题")), 1, QStringLiteral("杜甫"),
                            QStringLiteral("静夜思")));
    EXPECT_EQ(s(fx.text(QStringLiteral("SELECT fTitle FROM Poetry WHERE fPoemID=1"))), "静夜思");
    ASSERT_TRUE(UpdatePoem(db, record(QStringLiteral("杜甫"), QStringLiteral("新题")), 1, QStringLiteral("李白"),
                           QStringLiteral("静夜思")));
    EXPECT_EQ(s(fx.text(QStringLiteral("SELECT fPoet||'/'||fTitle||'/'||fContent||'/'||typeof(fQty)||fQty||'/'||"
                                       "quote(fPre) FROM Poetry WHERE fPoemID=1"))),
              "杜甫/新题/It's 100% _so_ ?1 \\/integer4/''");

    DeletePoem(db, 1, QStringLiteral("杜甫"), QStringLiteral("静夜思"));
    EXPECT_EQ(fx.count(QStringLiteral("SELECT count(*) FROM Poetry WHERE fPoemID=1")), 1);
    DeletePoem(db, 1, QStringLiteral("杜甫"), QStringLiteral("新题"));
    EXPECT_EQ(fx.count(QStringLiteral("SELECT count(*) FROM Poetry WHERE fPoemID=1")), 0);
}

TEST_F(EditRecords, InsertedPoemIsFiledInNoBook) {
    InsertPoem(fx.db(), record(QStringLiteral("O'Neil"), QStringLiteral("%_题")));
    EXPECT_EQ(s(fx.text(QStringLiteral("SELECT fBookID||'/'||fPoet||'/'||fTitle||'/'||typeof(fQty)||fQty||'/'||"
                                       "quote(fType) FROM Poetry WHERE fPoet='O''Neil'"))),
              "-1/O'Neil/%_题/integer4/''");
}

TEST_F(EditRecords, PoetRows) {
    SqlDatabase& db = fx.db();
    EXPECT_EQ(s(PoetBiography(db, QStringLiteral("杜甫"))), "字子美。");
    EXPECT_TRUE(PoetBiography(db, QStringLiteral("李商隐")).isEmpty());
    EXPECT_TRUE(PoetExists(db, QStringLiteral("李商隐")));
    EXPECT_FALSE(PoetExists(db, QStringLiteral("Li Bai")));
    EXPECT_EQ(PoemCountOfPoet(db, QStringLiteral("li bai")), 1);
    EXPECT_EQ(PoemCountOfPoet(db, QStringLiteral("王维")), 0);

    InsertPoet(db, QStringLiteral("O'Neil"), QString());
    EXPECT_EQ(s(fx.text(QStringLiteral("SELECT quote(fBrief) FROM Poet WHERE fPoet='O''Neil'"))), "''");
    EXPECT_TRUE(PoetExists(db, QStringLiteral("o'neil")));
    UpdatePoetBiography(db, QStringLiteral("O'Neil"), QStringLiteral("?2 % '"));
    EXPECT_EQ(s(PoetBiography(db, QStringLiteral("O'Neil"))), "?2 % '");
    DeletePoet(db, QStringLiteral("O'Neil"));
    EXPECT_FALSE(PoetExists(db, QStringLiteral("O'Neil")));
    EXPECT_EQ(fx.count(QStringLiteral("SELECT count(*) FROM Poet")), 4);
}

TEST_F(EditRecords, DeletingATemplateLeavesTheOthers) {
    fx.db().execNative(QStringLiteral("INSERT INTO PoetrySet (fModel,fID) VALUES ('2# 别''s',0),('2# 别''s',1)"));
    DeleteTemplate(fx.db(), QStringLiteral("2# 别's"));
    EXPECT_EQ(s(StoredTemplateNames(fx.db()).join(u'|')), "1# 标准模板");
}
