// The book and bookmark statements against the sample database: values bound,
// not spliced, so quotes and Latin case behave as the store compares them.
#include "books/bookstore.h"
#include "search/bookmarkstore.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

namespace {
class Books : public ::testing::Test {
protected:
    void SetUp() override { fx.fillSample(); }
    QString column(const char* nativeSql) {
        QStringList out;
        SqlStatement st = fx.db().prepareNative(QString::fromUtf8(nativeSql));
        while (st.next()) out << (st.isNull(0) ? QStringLiteral("<null>") : st.text(0));
        return out.join(u',');
    }
    FixtureDb fx;
};
} // namespace

TEST_F(Books, ReadsOrderAndSelection) {
    // A flag counts by its number (the store keeps " 1.0 " as 1); NULL is paused.
    fx.db().execNative(QStringLiteral("INSERT INTO PoetBook (fBookID,fBook,fBookOrderID,fBookSelected) VALUES "
                                      "(5,'文本',4,' 1.0 '),(6,'空',5,NULL),(7,'二',6,2)"));
    QStringList names;
    QStringList selected;
    for (const BookRow& b : ReadBooks(fx.db())) {
        names << QString::number(b.id) + u':' + b.name;
        if (b.selected) selected << b.name;
    }
    EXPECT_EQ(names.join(u','), QStringLiteral("2:宋词选,1:唐诗选,3:隐藏,4:,5:文本,6:空,7:二"));
    EXPECT_EQ(selected.join(u','), QStringLiteral("宋词选,唐诗选,,文本"));
    // The combo's entries: selected, named, in order.
    EXPECT_EQ(SelectedBookNames(fx.db()).join(u','), QStringLiteral("宋词选,唐诗选,文本"));
}

TEST_F(Books, NamesAreBoundAndComparedWithoutCase) {
    AddBook(fx.db(), QStringLiteral("Tom's Poems"));
    EXPECT_EQ(column("SELECT fBookOrderID||'/'||fBookSelected FROM PoetBook WHERE fBook='Tom''s Poems'"),
              QStringLiteral("0/1"));
    const qint64 id = fx.count(QStringLiteral("SELECT fBookID FROM PoetBook WHERE fBook='Tom''s Poems'"));
    EXPECT_TRUE(BookNameTakenByOther(fx.db(), QStringLiteral("TOM'S POEMS"), 1));
    EXPECT_FALSE(BookNameTakenByOther(fx.db(), QStringLiteral("TOM'S POEMS"), id));
    EXPECT_EQ(RenameBooksNamed(fx.db(), QStringLiteral("tom's poems"), QStringLiteral("A & B")), 1);
    EXPECT_EQ(RenameBooksNamed(fx.db(), QStringLiteral("tom's poems"), QStringLiteral("C")), 0);
    RenameBook(fx.db(), id, QStringLiteral("it's"));
    EXPECT_EQ(column("SELECT fBook FROM PoetBook WHERE fBookID IN (1,5) ORDER BY fBookID"),
              QStringLiteral("唐诗选,it's"));
}

TEST_F(Books, OrderFilingAndDeletion) {
    SaveBookOrder(fx.db(), {3, 1}, {2, 4});
    EXPECT_EQ(column("SELECT fBookID||':'||fBookOrderID||':'||fBookSelected FROM PoetBook ORDER BY fBookID"),
              QStringLiteral("1:1:1,2:2:0,3:0:1,4:3:0"));

    FilePoems(fx.db(), {4, 5}, 2);
    FilePoems(fx.db(), {1}, -1);
    EXPECT_EQ(column("SELECT fPoemID||':'||fBookID FROM Poetry WHERE fBookID<>-1 ORDER BY fPoemID"),
              QStringLiteral("2:1,3:1,4:2,5:2"));
    EmptyBook(fx.db(), 2);
    EXPECT_EQ(fx.count(QStringLiteral("SELECT count(*) FROM Poetry WHERE fBookID=2")), 0);
    DeleteBook(fx.db(), 1);
    EXPECT_EQ(column("SELECT fBookID FROM PoetBook ORDER BY fBookID"), QStringLiteral("2,3,4"));
    EXPECT_EQ(fx.count(QStringLiteral("SELECT count(*) FROM Poetry WHERE fBookID<>-1")), 0);
}

TEST_F(Books, BookmarksNumberAboveEveryNumberInUse) {
    // The sample holds 3 (poem 4) and 5 (poem 1).
    AddBookmarks(fx.db(), {7, 2, 1});
    EXPECT_EQ(column("SELECT fPoemID||':'||fBookmark FROM Poetry WHERE fBookmark>0 ORDER BY fBookmark DESC"),
              QStringLiteral("1:8,2:7,7:6,4:3"));
    RemoveBookmarks(fx.db(), {2, 4});
    EXPECT_EQ(column("SELECT fPoemID FROM Poetry WHERE fBookmark>0 ORDER BY fBookmark DESC"),
              QStringLiteral("1,7"));
    // The list of bookmarks is the one the title list shows, newest first.
    SqlStatement st = fx.db().prepare(QStringLiteral("select a.fPoemID from Poetry a") + BookmarkedFilter() +
                                      QStringLiteral(" Order By ") + BookmarkedOrder());
    QStringList listed;
    while (st.next()) listed << st.text(0);
    EXPECT_EQ(listed.join(u','), QStringLiteral("1,7"));
    RemoveAllBookmarks(fx.db());
    AddBookmarks(fx.db(), {9});
    EXPECT_EQ(column("SELECT fPoemID||':'||fBookmark FROM Poetry WHERE fBookmark<>0"), QStringLiteral("9:1"));
}
