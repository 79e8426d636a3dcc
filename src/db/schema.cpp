#include "schema.h"

void createPoemSchema(SqlDatabase& db) {
    static const char* const statements[] = {
        "CREATE TABLE Poetry ("
        " fPoemID INTEGER PRIMARY KEY AUTOINCREMENT,"
        " fBookID INTEGER DEFAULT -1,"
        " fType TEXT COLLATE NOCASE,"
        " fStyle TEXT COLLATE NOCASE,"
        " fPoet TEXT COLLATE NOCASE,"
        " fDynasty TEXT COLLATE NOCASE,"
        " fTitle TEXT COLLATE NOCASE,"
        " fPre TEXT COLLATE NOCASE,"
        " fContent TEXT COLLATE NOCASE,"
        " fMemo TEXT COLLATE NOCASE,"
        " fQty INTEGER,"
        " fBookmark INTEGER DEFAULT 0,"
        " fBook_del TEXT COLLATE NOCASE)",
        "CREATE TABLE Poet (fPoet TEXT COLLATE NOCASE, fBrief TEXT COLLATE NOCASE)",
        "CREATE TABLE PoetBook ("
        " fBookID INTEGER PRIMARY KEY AUTOINCREMENT,"
        " fBook TEXT COLLATE NOCASE,"
        " fBookOrderID INTEGER DEFAULT 0,"
        " fBookSelected INTEGER DEFAULT 1)",
        "CREATE TABLE PoetDynasty (fDynasty TEXT COLLATE NOCASE, fID INTEGER)",
        "CREATE TABLE PoetrySet ("
        " fModel TEXT COLLATE NOCASE, fID INTEGER, fFontName TEXT COLLATE NOCASE,"
        " fFontSize INTEGER, fFontBold INTEGER, fFontItalic INTEGER, fFontUnderline INTEGER,"
        " fFontColor INTEGER, fAlign INTEGER, fIndent INTEGER, fHangingIndent INTEGER,"
        " fOffset INTEGER)",
        "CREATE TABLE hzPy (hz TEXT COLLATE NOCASE, py1 TEXT COLLATE NOCASE, py2 INTEGER)",
        // fTitle is deliberately not indexed: with it SQLite prefers that index for
        // "fContent like '%...%' Order by a.fTitle" and scans four times slower.
        "CREATE INDEX ixPoetryPoet ON Poetry (fPoet)",
        "CREATE INDEX ixPoetryDynastyPoet ON Poetry (fDynasty, fPoet)",
        "CREATE INDEX ixPoetryStylePoet ON Poetry (fStyle, fPoet)",
        "CREATE INDEX ixPoetryType ON Poetry (fType)",
        "CREATE INDEX ixPoetryBookmark ON Poetry (fBookmark)",
        "CREATE INDEX ixPoetryBook ON Poetry (fBookID)",
        // Every poem shown looks its poet up by name.
        "CREATE INDEX ixPoetPoet ON Poet (fPoet)",
        "CREATE INDEX ixDynasty ON PoetDynasty (fDynasty, fID)",
        "CREATE INDEX ixPoetrySetModel ON PoetrySet (fModel, fID)",
        "CREATE INDEX ixHzPy ON hzPy (hz)",
    };
    for (const char* sql : statements) db.execNative(QString::fromUtf8(sql));
}
