#include "edit/poemrecord.h"

#include "db/sqltext.h"
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

QString PoemDuplicateCondition(const QString& poet, const QString& title) {
    return QStringLiteral(" fPoet =") + sqlText(poet) + QStringLiteral(" And fTitle=") + sqlText(title);
}

QString PoemRowCondition(const QString& id, const QString& poet, const QString& title) {
    return QStringLiteral(" '' & fPoemID=") + sqlText(id) + QStringLiteral(" and fPoet =") + sqlText(poet) +
           QStringLiteral(" And fTitle=") + sqlText(title);
}

QString PoemInsertStatement(const PoemRecord& r) {
    return QStringLiteral("Insert Into Poetry (fBookID,fType,fStyle,fPoet,fDynasty,fTitle,fPre,fContent,fMemo,fQty)"
                          " Values (-1,") +
           sqlText(r.type) + u',' + sqlText(r.style) + u',' + sqlText(r.poet) + u',' + sqlText(r.dynasty) + u',' +
           sqlText(r.title) + u',' + sqlText(r.preface) + u',' + sqlText(r.content) + u',' + sqlText(r.notes) +
           u',' + r.qty + u')';
}

QString PoemUpdateStatement(const PoemRecord& r, const QString& id, const QString& loadedPoet,
                            const QString& loadedTitle) {
    return QStringLiteral("Update Poetry Set fStyle=") + sqlText(r.style) + QStringLiteral(",fPoet=") +
           sqlText(r.poet) + QStringLiteral(",fTitle=") + sqlText(r.title) + QStringLiteral(",fPre=") +
           sqlText(r.preface) + QStringLiteral(",fContent=") + sqlText(r.content) + QStringLiteral(",fMemo=") +
           sqlText(r.notes) + QStringLiteral(",fType=") + sqlText(r.type) + QStringLiteral(",fDynasty=") +
           sqlText(r.dynasty) + QStringLiteral(",fQty=") + r.qty + QStringLiteral(" Where '' & fPoemID=") +
           sqlText(id) + QStringLiteral(" And fPoet=") + sqlText(loadedPoet) + QStringLiteral(" And fTitle=") +
           sqlText(loadedTitle);
}

QString PoemDeleteStatement(const QString& id, const QString& poet, const QString& title) {
    return QStringLiteral("Delete From Poetry Where ") + PoemRowCondition(id, poet, title);
}
