#include "edit/poemrecord.h"

#include "search/poemfilter.h"

namespace {

const QString kNotesHeading = QStringLiteral("【注释】");

} // namespace

QString NormalizeEditCount(const QString& count) {
    // The search's rule reads numbers the same way (blanks, sign, decimals) and
    // keeps them within 16 bits; an operator in front is no number here.
    const std::optional<QString> n = NormalizeSearchCount(count);
    if (!n || n->isEmpty()) return QStringLiteral("1");
    const QChar first = n->front();
    if (first != u'-' && !first.isDigit()) return QStringLiteral("1");
    return *n;
}

QString ConfirmedEditCount(const QString& count) {
    const QString n = NormalizeEditCount(count);
    return n.toInt() < 1 ? QStringLiteral("1") : n;
}

QString WithNotesHeading(const QString& notes) {
    if (notes.startsWith(kNotesHeading)) return notes;
    return kNotesHeading + QStringLiteral("\r\n") + notes;
}

QString WithCrLf(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            out += QStringLiteral("\r\n");
            if (i + 1 < text.size() && (text[i + 1] == u'\n' || text[i + 1] == QChar::ParagraphSeparator)) ++i;
        } else if (c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            out += QStringLiteral("\r\n");
        } else {
            out += c;
        }
    }
    return out;
}

namespace {

// Texts are bound as text, never as NULL: an empty field is stored empty.
QString textValue(const QString& v) { return v.isNull() ? QStringLiteral("") : v; }

const QString kLoadedRow = QStringLiteral(" Where fPoemID=?1 And fPoet=?2 And fTitle=?3");

void bindLoadedRow(SqlStatement& st, qint64 id, const QString& poet, const QString& title) {
    st.bind(1, id);
    st.bind(2, textValue(poet));
    st.bind(3, textValue(title));
}

// The fields, from parameter `first` on, in the order of the insert and the update.
void bindFields(SqlStatement& st, const PoemRecord& r, int first) {
    int i = first - 1;
    for (const QString* v : {&r.type, &r.style, &r.poet, &r.dynasty, &r.title, &r.preface, &r.content, &r.notes})
        st.bind(++i, textValue(*v));
    st.bind(++i, r.qty.toLongLong());
}

} // namespace

bool PoemTitleTaken(SqlDatabase& db, const QString& poet, const QString& title, qint64 exceptId) {
    SqlStatement st = db.prepare(QStringLiteral("select count(*) from Poetry Where fPoet=?1 And fTitle=?2") +
                                 (exceptId != 0 ? QStringLiteral(" And fPoemID<>?3") : QString()));
    st.bind(1, textValue(poet));
    st.bind(2, textValue(title));
    if (exceptId != 0) st.bind(3, exceptId);
    return st.next() && st.int64(0) >= 1;
}

std::optional<qint64> StoredPoemQty(SqlDatabase& db, qint64 id, const QString& loadedPoet,
                                    const QString& loadedTitle) {
    SqlStatement st = db.prepare(QStringLiteral("select fQty from Poetry") + kLoadedRow);
    bindLoadedRow(st, id, loadedPoet, loadedTitle);
    if (!st.next()) return std::nullopt;
    return st.isNull(0) ? 0 : st.int64(0);
}

void InsertPoem(SqlDatabase& db, const PoemRecord& r) {
    SqlStatement st = db.prepare(
        QStringLiteral("Insert Into Poetry (fBookID,fType,fStyle,fPoet,fDynasty,fTitle,fPre,fContent,fMemo,fQty)"
                       " Values (-1,?1,?2,?3,?4,?5,?6,?7,?8,?9)"));
    bindFields(st, r, 1);
    st.next();
}

bool UpdatePoem(SqlDatabase& db, const PoemRecord& r, qint64 id, const QString& loadedPoet,
                const QString& loadedTitle) {
    SqlStatement st = db.prepare(QStringLiteral("Update Poetry Set fType=?4,fStyle=?5,fPoet=?6,fDynasty=?7,"
                                                "fTitle=?8,fPre=?9,fContent=?10,fMemo=?11,fQty=?12") +
                                 kLoadedRow);
    bindLoadedRow(st, id, loadedPoet, loadedTitle);
    bindFields(st, r, 4);
    st.next();
    return db.changes() > 0;
}

void DeletePoem(SqlDatabase& db, qint64 id, const QString& loadedPoet, const QString& loadedTitle) {
    SqlStatement st = db.prepare(QStringLiteral("Delete From Poetry") + kLoadedRow);
    bindLoadedRow(st, id, loadedPoet, loadedTitle);
    st.next();
}
