// The book and bookmark statements against the sample database: values bound,
// not spliced, so quotes and Latin case behave as the store compares them.
#include "books/bookstore.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
class Books : public ::testing::Test {
protected:
    void SetUp() override { fx.fillSample(); }
    // The first column of a statement, comma-joined.
    QString column(const QString& sql) {
        QStringList out;
        SqlStatement st = fx.db().prepareNative(sql);
        while (st.next()) out << (st.isNull(0) ? u"<null>"_s : st.text(0));
        return out.join(u',');
    }
    FixtureDb fx;
    SqlDatabase& db = fx.db();
};
} // namespace

TEST_F(Books, ReadsAddsAndRenames) {
    // A flag counts by its number (the store keeps " 1.0 " as 1); NULL is paused.
    db.execNative(u"INSERT INTO PoetBook (fBookID,fBook,fBookOrderID,fBookSelected) VALUES "
                  "(5,'文本',4,' 1.0 '),(6,'空',5,NULL),(7,'二',6,2)"_s);
    QStringList names, selected;
    for (const BookRow& b : ReadBooks(db)) {
        names << QString::number(b.id) + u':' + b.name;
        if (b.selected) selected << b.name;
    }
    EXPECT_EQ(names.join(u','), u"2:宋词选,1:唐诗选,3:隐藏,4:,5:文本,6:空,7:二"_s);
    EXPECT_EQ(selected.join(u','), u"宋词选,唐诗选,,文本"_s);
    // The combo's entries: selected, named, in order.
    EXPECT_EQ(SelectedBookNames(db).join(u','), u"宋词选,唐诗选,文本"_s);
    // Names are bound and compared without Latin case.
    AddBook(db, u"Tom's Poems"_s);
    EXPECT_EQ(column(u"SELECT fBookOrderID||'/'||fBookSelected FROM PoetBook WHERE fBook='Tom''s Poems'"_s), u"0/1"_s);
    const qint64 id = fx.count(u"SELECT fBookID FROM PoetBook WHERE fBook='Tom''s Poems'"_s);
    EXPECT_TRUE(BookNameTakenByOther(db, u"TOM'S POEMS"_s, 1));
    EXPECT_FALSE(BookNameTakenByOther(db, u"TOM'S POEMS"_s, id));
    EXPECT_EQ(RenameBooksNamed(db, u"tom's poems"_s, u"A & B"_s), 1);
    EXPECT_EQ(RenameBooksNamed(db, u"tom's poems"_s, u"C"_s), 0);
    RenameBook(db, id, u"it's"_s);
    EXPECT_EQ(column(u"SELECT fBook FROM PoetBook WHERE fBookID IN (1,%1) ORDER BY fBookID"_s.arg(id)),
              u"唐诗选,it's"_s);
}
