#include "books/bookstore.h"

QList<BookRow> ReadBooks(SqlDatabase& db) {
    QList<BookRow> books;
    SqlStatement st =
        db.prepare(QStringLiteral("select fBookID,fBook,fBookSelected from PoetBook Order by fBookOrderID"));
    while (st.next()) {
        BookRow b;
        b.id = st.int64(0);
        b.name = st.text(1);
        // The flag may have been stored as text; it is read as a number.
        b.selected = !st.isNull(2) && st.text(2).trimmed().toDouble() == 1.0;
        books.append(b);
    }
    return books;
}

QStringList SelectedBookNames(SqlDatabase& db) {
    QStringList names;
    SqlStatement st =
        db.prepare(QStringLiteral("select fBook from PoetBook Where fBookSelected=1 Order By fBookOrderID"));
    while (st.next()) {
        const QString name = st.text(0);
        if (!name.isEmpty()) names << name;
    }
    return names;
}

void AddBook(SqlDatabase& db, const QString& name) {
    SqlStatement st =
        db.prepare(QStringLiteral("Insert Into PoetBook (fBook,fBookOrderID,fBookSelected) Values (?1,0,1)"));
    st.bind(1, name);
    st.next();
}

int RenameBooksNamed(SqlDatabase& db, const QString& oldName, const QString& newName) {
    SqlStatement st = db.prepare(QStringLiteral("Update PoetBook Set fBook=?1 Where fBook=?2"));
    st.bind(1, newName);
    st.bind(2, oldName);
    st.next();
    return db.changes();
}

void RenameBook(SqlDatabase& db, qint64 bookId, const QString& newName) {
    SqlStatement st = db.prepare(QStringLiteral("Update PoetBook Set fBook=?1 Where fBookID=?2"));
    st.bind(1, newName);
    st.bind(2, bookId);
    st.next();
}

bool BookNameTakenByOther(SqlDatabase& db, const QString& name, qint64 bookId) {
    SqlStatement st = db.prepare(QStringLiteral("select count(*) from PoetBook Where fBook=?1 And fBookID<>?2"));
    st.bind(1, name);
    st.bind(2, bookId);
    return st.next() && st.int64(0) > 0;
}

void SaveBookOrder(SqlDatabase& db, const QList<qint64>& selected, const QList<qint64>& paused) {
    SqlTransaction t(db);
    SqlStatement st =
        db.prepare(QStringLiteral("Update PoetBook Set fBookOrderID=?1,fBookSelected=?2 Where fBookID=?3"));
    qint64 order = 0;
    const auto write = [&](qint64 id, bool isSelected) {
        st.bind(1, order++);
        st.bind(2, qint64(isSelected ? 1 : 0));
        st.bind(3, id);
        st.next();
        st.reset();
    };
    for (qint64 id : selected) write(id, true);
    for (qint64 id : paused) write(id, false);
    st.finalize();
    t.commit();
}

namespace {
// Files every poem of book `from` in book `to`.
void moveFiled(SqlDatabase& db, qint32 from, qint32 to) {
    SqlStatement st = db.prepare(QStringLiteral("Update Poetry Set fBookID=?1 Where fBookID=?2"));
    st.bind(1, qint64(to));
    st.bind(2, qint64(from));
    st.next();
}
} // namespace

void DeleteBook(SqlDatabase& db, qint32 bookId) {
    // No poem may be left pointing at a book that is gone.
    SqlTransaction t(db);
    {
        SqlStatement st = db.prepare(QStringLiteral("Delete From PoetBook Where fBookID=?1"));
        st.bind(1, qint64(bookId));
        st.next();
    }
    moveFiled(db, bookId, -1);
    t.commit();
}

void EmptyBook(SqlDatabase& db, qint32 bookId) {
    SqlTransaction t(db);
    moveFiled(db, bookId, -1);
    t.commit();
}

void FilePoems(SqlDatabase& db, const QList<qint32>& poemIds, qint32 bookId) {
    SqlTransaction t(db);
    SqlStatement st = db.prepare(QStringLiteral("Update Poetry Set fBookID=?1 Where fPoemID=?2"));
    for (qint32 poemId : poemIds) {
        st.bind(1, qint64(bookId));
        st.bind(2, qint64(poemId));
        st.next();
        st.reset();
    }
    st.finalize();
    t.commit();
}
