#include "edit/recyclebin.h"

const QString RecycleBin::kTable = QStringLiteral("PoetryBin");

namespace {

// The poem's columns in the order both tables name them.
const QString kPoemColumns =
    QStringLiteral("fBookID,fBookmark,fType,fStyle,fPoet,fDynasty,fTitle,fPre,fContent,fMemo,fQty");

BinEntry readEntry(const SqlStatement& st) {
    BinEntry e;
    e.id = st.int64(0);
    e.kind = st.int64(1) == int(BinKind::Replaced) ? BinKind::Replaced : BinKind::Deleted;
    e.when = st.text(2);
    e.poemId = qint32(st.int64(3));
    e.bookId = st.isNull(4) ? -1 : qint32(st.int64(4));
    e.bookmark = qint32(st.int64(5));
    e.poem.type = st.text(6);
    e.poem.style = st.text(7);
    e.poem.poet = st.text(8);
    e.poem.dynasty = st.text(9);
    e.poem.title = st.text(10);
    e.poem.preface = st.text(11);
    e.poem.content = st.text(12);
    e.poem.notes = st.text(13);
    e.poem.qty = st.isNull(14) ? QString() : QString::number(st.int64(14));
    return e;
}

const QString kSelectEntries = QStringLiteral("SELECT fBinID,fKind,fWhen,fPoemID,") + kPoemColumns +
                               QStringLiteral(" FROM PoetryBin");

} // namespace

bool RecycleBin::tableExists() {
    SqlStatement st = m_db.prepareNative(
        QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1"));
    st.bind(1, kTable);
    return st.next();
}

void RecycleBin::createTable() {
    m_db.execNative(QStringLiteral("CREATE TABLE IF NOT EXISTS PoetryBin ("
                                   " fBinID INTEGER PRIMARY KEY AUTOINCREMENT,"
                                   " fKind INTEGER NOT NULL,"
                                   " fWhen TEXT NOT NULL,"
                                   " fPoemID INTEGER,"
                                   " fBookID INTEGER,"
                                   " fBookmark INTEGER,"
                                   " fType TEXT COLLATE NOCASE,"
                                   " fStyle TEXT COLLATE NOCASE,"
                                   " fPoet TEXT COLLATE NOCASE,"
                                   " fDynasty TEXT COLLATE NOCASE,"
                                   " fTitle TEXT COLLATE NOCASE,"
                                   " fPre TEXT COLLATE NOCASE,"
                                   " fContent TEXT COLLATE NOCASE,"
                                   " fMemo TEXT COLLATE NOCASE,"
                                   " fQty INTEGER)"));
}

void RecycleBin::keep(qint32 poemId, BinKind kind, const QDateTime& when) {
    createTable();
    SqlStatement st = m_db.prepareNative(QStringLiteral("INSERT INTO PoetryBin (fKind,fWhen,fPoemID,") + kPoemColumns +
                                         QStringLiteral(") SELECT ?1,?2,fPoemID,") + kPoemColumns +
                                         QStringLiteral(" FROM Poetry WHERE fPoemID=?3"));
    st.bind(1, qint64(kind));
    st.bind(2, when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    st.bind(3, qint64(poemId));
    st.next();
}

QList<BinEntry> RecycleBin::entries() {
    QList<BinEntry> out;
    if (!tableExists()) return out;
    SqlStatement st = m_db.prepareNative(kSelectEntries + QStringLiteral(" ORDER BY fBinID DESC"));
    while (st.next()) out.append(readEntry(st));
    return out;
}

std::optional<BinEntry> RecycleBin::entry(qint64 id) {
    if (!tableExists()) return std::nullopt;
    SqlStatement st = m_db.prepareNative(kSelectEntries + QStringLiteral(" WHERE fBinID=?1"));
    st.bind(1, id);
    if (!st.next()) return std::nullopt;
    return readEntry(st);
}

RecycleBin::Restored RecycleBin::restore(qint64 id) {
    Restored r;
    SqlTransaction tx(m_db);
    const std::optional<BinEntry> e = entry(id);
    if (!e) return r;
    r.title = e->poem.title;

    SqlStatement dup = m_db.prepareNative(QStringLiteral("SELECT count(*) FROM Poetry WHERE fPoet=?1 AND fTitle=?2"));
    dup.bind(1, e->poem.poet);
    dup.bind(2, e->poem.title);
    const bool duplicate = dup.next() && dup.int64(0) > 0;
    dup.finalize();
    if (duplicate) {
        r.outcome = Outcome::Duplicate;
        return r;
    }
    SqlStatement held = m_db.prepareNative(QStringLiteral("SELECT 1 FROM Poetry WHERE fPoemID=?1"));
    held.bind(1, qint64(e->poemId));
    const bool placeTaken = held.next();
    held.finalize();

    // The book, unless it has been deleted since; then the poem is filed in none.
    SqlStatement insert = m_db.prepareNative(
        QStringLiteral("INSERT INTO Poetry (fPoemID,") + kPoemColumns +
        QStringLiteral(") SELECT ?1,CASE WHEN EXISTS (SELECT 1 FROM PoetBook WHERE fBookID=b.fBookID)"
                       " THEN b.fBookID ELSE -1 END,fBookmark,fType,fStyle,fPoet,fDynasty,fTitle,fPre,fContent,"
                       "fMemo,fQty FROM PoetryBin b WHERE fBinID=?2"));
    if (placeTaken) insert.bind(1, QString());
    else insert.bind(1, qint64(e->poemId));
    insert.bind(2, id);
    insert.next();
    r.poemId = qint32(m_db.lastInsertRowId());
    SqlStatement drop = m_db.prepareNative(QStringLiteral("DELETE FROM PoetryBin WHERE fBinID=?1"));
    drop.bind(1, id);
    drop.next();
    tx.commit();
    r.outcome = placeTaken ? Outcome::AsNew : Outcome::InPlace;
    return r;
}

void RecycleBin::empty() {
    if (!tableExists()) return;
    m_db.execNative(QStringLiteral("DELETE FROM PoetryBin"));
}
