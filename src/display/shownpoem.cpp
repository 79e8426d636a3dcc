#include "display/shownpoem.h"

namespace {

// The six text fields that the shown poem and the loaded record share, from a
// row of Poetry read by column name.
template <typename Poem> void readTexts(const SqlStatement& st, Poem& p) {
    p.title = st.text(QStringLiteral("fTitle"));
    p.poet = st.text(QStringLiteral("fPoet"));
    p.dynasty = st.text(QStringLiteral("fDynasty"));
    p.preface = st.text(QStringLiteral("fPre"));
    p.content = st.text(QStringLiteral("fContent"));
    p.notes = st.text(QStringLiteral("fMemo"));
}

} // namespace

std::optional<PoemFields> ReadShownPoem(SqlDatabase& db, qint64 poemId) {
    SqlStatement st = db.prepare(QStringLiteral("select * from Poetry Where fPoemID = ?1"));
    st.bind(1, poemId);
    if (!st.next()) return std::nullopt;
    PoemFields poem;
    readTexts(st, poem);
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
    readTexts(st, r);
    r.type = st.text(QStringLiteral("fType"));
    r.style = st.text(QStringLiteral("fStyle"));
    r.qty = QString::number(st.int64(QStringLiteral("fQty")));
    return r;
}
