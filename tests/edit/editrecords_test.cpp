// The rows the poem and poet editors read and write, on the sample database:
// which row a loaded poem names, what counts as a duplicate, and that values
// are stored exactly as typed.
#include "display/templatestore.h"
#include "edit/poemrecord.h"
#include "edit/poetrecord.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct EditRecords : ::testing::Test {
    void SetUp() override { fx.fillSample(); }
    std::string text(const QString& nativeSql) { return fx.text(nativeSql).toStdString(); }
    FixtureDb fx;
    SqlDatabase& db = fx.db();
};

PoemRecord record(const QString& poet, const QString& title) {
    return PoemRecord{title, poet, {}, {}, {}, u"4"_s, {}, u"It's 100% _so_ ?1 \\"_s, {}};
}

} // namespace

TEST_F(EditRecords, TitleTakenComparesAsTheStoreDoesAndSparesThePoemItself) {
    EXPECT_TRUE(PoemTitleTaken(db, u"li bai"_s, u"moon's song"_s));
    // Poem 9 changing the case of its own title is no duplicate; another poem's id does not spare it.
    EXPECT_FALSE(PoemTitleTaken(db, u"Li Bai"_s, u"MOON'S SONG"_s, 9));
    EXPECT_TRUE(PoemTitleTaken(db, u"Li Bai"_s, u"MOON'S SONG"_s, 1));
    // An empty field is an empty text, not NULL: it matches a row stored empty.
    db.execNative(u"INSERT INTO Poetry (fPoet,fTitle) VALUES ('','')"_s);
    EXPECT_TRUE(PoemTitleTaken(db, QString(), QString()));
}

TEST_F(EditRecords, TheLoadedPoemIsNamedByIdPoetAndTitle) {
    EXPECT_EQ(StoredPoemQty(db, 9, u"Li Bai"_s, u"Moon's Song"_s), 3);
    EXPECT_FALSE(StoredPoemQty(db, 1, u"杜甫"_s, u"静夜思"_s)); // replaced meanwhile
    db.execNative(u"UPDATE Poetry SET fQty=NULL WHERE fPoemID=6"_s);
    EXPECT_EQ(StoredPoemQty(db, 6, u"无名氏"_s, u"无题"_s), 0);

    EXPECT_FALSE(UpdatePoem(db, record(u"杜甫"_s, u"新题"_s), 1, u"杜甫"_s, u"静夜思"_s));
    EXPECT_EQ(text(u"SELECT fTitle FROM Poetry WHERE fPoemID=1"_s), "静夜思");
    ASSERT_TRUE(UpdatePoem(db, record(u"杜甫"_s, u"新题"_s), 1, u"李白"_s, u"静夜思"_s));
    EXPECT_EQ(text(u"SELECT fPoet||'/'||fTitle||'/'||fContent||'/'||typeof(fQty)||fQty||'/'||quote(fPre) "
                   "FROM Poetry WHERE fPoemID=1"_s),
              "杜甫/新题/It's 100% _so_ ?1 \\/integer4/''");
    DeletePoem(db, 1, u"杜甫"_s, u"静夜思"_s);
    EXPECT_EQ(fx.count(u"SELECT count(*) FROM Poetry WHERE fPoemID=1"_s), 1);
    DeletePoem(db, 1, u"杜甫"_s, u"新题"_s);
    EXPECT_EQ(fx.count(u"SELECT count(*) FROM Poetry WHERE fPoemID=1"_s), 0);
    // An inserted poem is filed in no book.
    InsertPoem(db, record(u"O'Neil"_s, u"%_题"_s));
    EXPECT_EQ(text(u"SELECT fBookID||'/'||fPoet||'/'||fTitle||'/'||typeof(fQty)||fQty||'/'||quote(fType) "
                   "FROM Poetry WHERE fPoet='O''Neil'"_s),
              "-1/O'Neil/%_题/integer4/''");
}

TEST_F(EditRecords, PoetRowsAndTemplates) {
    EXPECT_EQ(PoemCountOfPoet(db, u"li bai"_s), 1);
    InsertPoet(db, u"O'Neil"_s, QString());
    EXPECT_EQ(text(u"SELECT quote(fBrief) FROM Poet WHERE fPoet='O''Neil'"_s), "''");
    EXPECT_TRUE(PoetExists(db, u"o'neil"_s));
    UpdatePoetBiography(db, u"O'Neil"_s, u"?2 % '"_s);
    EXPECT_EQ(PoetBiography(db, u"O'Neil"_s), u"?2 % '"_s);
    DeletePoet(db, u"O'Neil"_s);
    EXPECT_FALSE(PoetExists(db, u"O'Neil"_s));
    EXPECT_EQ(fx.count(u"SELECT count(*) FROM Poet"_s), 4);
    // Deleting a template leaves the others.
    db.execNative(u"INSERT INTO PoetrySet (fModel,fID) VALUES ('2# 别''s',0),('2# 别''s',1)"_s);
    DeleteTemplate(db, u"2# 别's"_s);
    EXPECT_EQ(StoredTemplateNames(db), QStringList{u"1# 标准模板"_s});
}
