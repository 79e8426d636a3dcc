#include "display/pinyinfix.h"

bool PinyinFixStore::tableExists() {
    SqlStatement st =
        m_db.prepareNative(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name='PinyinFix'"));
    return st.next();
}

void PinyinFixStore::ensureTable() {
    if (tableExists()) return;
    SqlTransaction tx(m_db);
    m_db.execNative(QStringLiteral("CREATE TABLE IF NOT EXISTS PinyinFix (fPoemID INTEGER NOT NULL, "
                                   "fPart INTEGER NOT NULL, fPos INTEGER NOT NULL, fChar TEXT NOT NULL, "
                                   "fReading TEXT NOT NULL, PRIMARY KEY (fPoemID, fPart, fPos))"));
    m_db.execNative(QStringLiteral("CREATE TRIGGER IF NOT EXISTS PinyinFixPoemDeleted AFTER DELETE ON Poetry "
                                   "BEGIN DELETE FROM PinyinFix WHERE fPoemID = old.fPoemID; END"));
    // substr() counts characters from 1; a position past the end gives ''.
    m_db.execNative(QStringLiteral(
        "CREATE TRIGGER IF NOT EXISTS PinyinFixPoemChanged AFTER UPDATE OF fTitle, fContent, fPoemID ON Poetry "
        "BEGIN DELETE FROM PinyinFix WHERE fPoemID = old.fPoemID AND (new.fPoemID IS NOT old.fPoemID "
        "OR (fPart = 0 AND substr(coalesce(new.fTitle, ''), fPos + 1, 1) IS NOT fChar) "
        "OR (fPart = 1 AND substr(coalesce(new.fContent, ''), fPos + 1, 1) IS NOT fChar)); END"));
    tx.commit();
}

QList<PinyinFix> PinyinFixStore::load(qint64 poemId) {
    QList<PinyinFix> out;
    if (!tableExists()) return out;
    SqlStatement st = m_db.prepareNative(QStringLiteral(
        "SELECT fPart, fPos, fChar, fReading FROM PinyinFix WHERE fPoemID = ?1 ORDER BY fPart, fPos"));
    st.bind(1, poemId);
    while (st.next()) {
        const qint64 part = st.int64(0);
        if (part != 0 && part != 1) continue;
        out.append(PinyinFix{PoemPart(int(part)), qint32(st.int64(1)), st.text(2), st.text(3)});
    }
    return out;
}

void PinyinFixStore::save(qint64 poemId, const PinyinFix& fix) {
    ensureTable();
    SqlStatement st = m_db.prepareNative(QStringLiteral(
        "INSERT OR REPLACE INTO PinyinFix (fPoemID, fPart, fPos, fChar, fReading) VALUES (?1, ?2, ?3, ?4, ?5)"));
    st.bind(1, poemId);
    st.bind(2, qint64(fix.part));
    st.bind(3, qint64(fix.position));
    st.bind(4, fix.character);
    st.bind(5, fix.reading);
    st.next();
}

void PinyinFixStore::clear(qint64 poemId) {
    if (!tableExists()) return;
    SqlStatement st = m_db.prepareNative(QStringLiteral("DELETE FROM PinyinFix WHERE fPoemID = ?1"));
    st.bind(1, poemId);
    st.next();
}
