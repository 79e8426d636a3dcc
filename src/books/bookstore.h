#pragma once
// The books (rows of PoetBook) and the filing of poems in them, as the book
// menu, the book combo and the book list dialog read and change them.
#include "db/sqlitedb.h"

#include <QList>
#include <QString>
#include <QStringList>

// One stored book.
struct BookRow {
    qint64 id = -1;
    QString name;
    // Offered in the book combo; paused otherwise.
    bool selected = false;
};

// Every book in its stored order. A selection flag that is empty or not 1 counts
// as paused. Throws SqlError.
QList<BookRow> ReadBooks(SqlDatabase& db);
// The names of the selected books in their order, empty names left out (the
// book combo's entries after the whole collection). Throws SqlError.
QStringList SelectedBookNames(SqlDatabase& db);

// A new book, selected, at the head of the order. Throws SqlError.
void AddBook(SqlDatabase& db, const QString& name);
// Renames the books stored under `oldName`; returns how many were renamed.
// Throws SqlError.
int RenameBooksNamed(SqlDatabase& db, const QString& oldName, const QString& newName);
// Renames one book. Throws SqlError.
void RenameBook(SqlDatabase& db, qint64 bookId, const QString& newName);
// True when a book other than `bookId` is stored under `name` (the store
// compares names without regard to Latin case). Throws SqlError.
bool BookNameTakenByOther(SqlDatabase& db, const QString& name, qint64 bookId);
// Stores the order and selection of every book: the selected ones first, in
// their order, then the paused ones. All rows or none. Throws SqlError.
void SaveBookOrder(SqlDatabase& db, const QList<qint64>& selected, const QList<qint64>& paused);

// Deletes the book, and files its poems in none: both or neither. Throws SqlError.
void DeleteBook(SqlDatabase& db, qint32 bookId);
// Files every poem of the book in none (the poems stay). Throws SqlError.
void EmptyBook(SqlDatabase& db, qint32 bookId);
// Files the poems in the book (-1: in none), all or none of them. Throws SqlError.
void FilePoems(SqlDatabase& db, const QList<qint32>& poemIds, qint32 bookId);
