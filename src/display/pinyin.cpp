#include "display/pinyin.h"

#include "db/sqltext.h"

namespace {

// The characters of `text` as whole code points: a surrogate pair stays together.
QStringList characters(const QString& text) {
    QStringList out;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
        out << text.mid(i, n);
        i += n;
    }
    return out;
}

QStringList readingsOf(SqlDatabase& db, const QString& c) {
    QStringList readings;
    try {
        SqlStatement st =
            db.prepare(QStringLiteral("select py1 from hzPy Where hz=") + sqlText(c) + QStringLiteral(" order By py2"));
        while (st.next()) readings << st.text(0);
    } catch (const SqlError&) {
        // No reading: the character stands for itself.
        readings.clear();
    }
    return readings;
}

} // namespace

QString PinyinOf(SqlDatabase& db, const QString& text) {
    const QStringList chars = characters(text);
    QString result;
    for (const QString& c : chars) {
        const QStringList readings = readingsOf(db, c);
        if (readings.isEmpty()) result += c;
        else if (chars.size() == 1) result += readings.join(u'/');
        else result += readings.first();
        result += u' ';
    }
    return result;
}

QString PinyinHintSelection(const QString& selected) {
    QString text = selected;
    text.replace(QChar(0x2029), QStringLiteral("\r\n"));
    text.replace(QChar(0x2028), QStringLiteral("\r\n"));
    const QStringList chars = characters(text);
    QString s;
    for (qsizetype i = 0; i < chars.size() && i < kPinyinHintMaxChars; ++i) s += chars[i];
    const qsizetype lineBreak = s.indexOf(QStringLiteral("\r\n"));
    if (lineBreak >= 0) s.remove(lineBreak, 2);
    return s;
}

QString PinyinHintText(SqlDatabase& db, const QString& selected) {
    if (selected.isEmpty()) return QString();
    const QString s = PinyinHintSelection(selected);
    return u'[' + s + QStringLiteral("]：") + PinyinOf(db, s);
}
