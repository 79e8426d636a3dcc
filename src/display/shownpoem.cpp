#include "display/shownpoem.h"

std::optional<PoemFields> ReadShownPoem(SqlDatabase& db, qint64 poemId) {
    SqlStatement st = db.prepare(QStringLiteral("select * from Poetry Where fPoemID = ?1"));
    st.bind(1, poemId);
    if (!st.next()) return std::nullopt;
    PoemFields poem;
    poem.title = st.text(QStringLiteral("fTitle"));
    poem.poet = st.text(QStringLiteral("fPoet"));
    poem.dynasty = st.text(QStringLiteral("fDynasty"));
    poem.preface = st.text(QStringLiteral("fPre"));
    poem.content = st.text(QStringLiteral("fContent"));
    poem.notes = st.text(QStringLiteral("fMemo"));
    return poem;
}

std::optional<PoemRecord> ReadListedPoem(SqlDatabase& db, qint64 poemId, const QString& poet, const QString& title) {
    SqlStatement st = db.prepare(QStringLiteral("select * from Poetry Where fPoemID=?1 and fPoet=?2 And fTitle=?3"));
    st.bind(1, poemId);
    // Compared as text, as the list shows them: a missing poet or title is "".
    st.bind(2, poet.isNull() ? QStringLiteral("") : poet);
    st.bind(3, title.isNull() ? QStringLiteral("") : title);
    if (!st.next()) return std::nullopt;
    PoemRecord r;
    r.title = st.text(QStringLiteral("fTitle"));
    r.poet = st.text(QStringLiteral("fPoet"));
    r.dynasty = st.text(QStringLiteral("fDynasty"));
    r.content = st.text(QStringLiteral("fContent"));
    r.preface = st.text(QStringLiteral("fPre"));
    r.notes = st.text(QStringLiteral("fMemo"));
    r.type = st.text(QStringLiteral("fType"));
    r.style = st.text(QStringLiteral("fStyle"));
    r.qty = QString::number(st.int64(QStringLiteral("fQty")));
    return r;
}
