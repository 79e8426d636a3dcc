#pragma once
// The one rule by which values are written into statement text: a text value
// between single quotes with every quote inside it doubled; numbers as decimals.
#include <QString>

inline QString sqlText(const QString& value) {
    QString out;
    out.reserve(value.size() + 2);
    out += u'\'';
    for (QChar c : value) {
        out += c;
        if (c == u'\'') out += u'\'';
    }
    out += u'\'';
    return out;
}

// The value as it stands between the quotes of a literal (for statements that
// splice a value into a pattern such as '%<value>%').
inline QString sqlEscaped(const QString& value) {
    QString out = value;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}
