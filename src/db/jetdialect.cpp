#include "jetdialect.h"

#include <QStringList>
#include <vector>

namespace {

enum class Tok { Space, String, Word, Number, Punct };

struct Token {
    Tok kind;
    QString text;
};

bool isWordStart(QChar c) { return c.isLetter() || c == u'_' || c == u'[' || c.unicode() > 127; }
bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'.' || c.unicode() > 127; }

std::vector<Token> tokenize(const QString& s) {
    std::vector<Token> out;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = s[i];
        qsizetype j = i + 1;
        if (c.isSpace()) {
            while (j < n && s[j].isSpace()) ++j;
            out.push_back({Tok::Space, s.mid(i, j - i)});
        } else if (c == u'\'' || c == u'"') {
            // A literal ends at the first lone quote; a doubled quote stays inside.
            while (j < n) {
                if (s[j] == c) {
                    if (j + 1 < n && s[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
            out.push_back({Tok::String, s.mid(i, j - i)});
        } else if (c == u'[') {
            while (j < n && s[j] != u']') ++j;
            if (j < n) ++j;
            // A bracketed name may be followed by .column
            while (j < n && isWordChar(s[j])) ++j;
            out.push_back({Tok::Word, s.mid(i, j - i)});
        } else if (isWordStart(c)) {
            while (j < n && isWordChar(s[j])) ++j;
            out.push_back({Tok::Word, s.mid(i, j - i)});
        } else if (c == u'?') {
            // A parameter, "?" or "?NNN", is one operand like a number.
            while (j < n && s[j].isDigit()) ++j;
            out.push_back({Tok::Number, s.mid(i, j - i)});
        } else if (c.isDigit()) {
            while (j < n && (s[j].isDigit() || s[j] == u'.')) ++j;
            out.push_back({Tok::Number, s.mid(i, j - i)});
        } else {
            out.push_back({Tok::Punct, QString(c)});
        }
        i = j;
    }
    return out;
}

class Translator {
public:
    explicit Translator(std::vector<Token> toks) : t(std::move(toks)) {}

    QString run() { return range(0, t.size()); }

private:
    std::vector<Token> t;

    bool isOpen(size_t i) const { return i < t.size() && t[i].kind == Tok::Punct && t[i].text == u"("; }

    size_t skipSpace(size_t i, size_t end) const {
        while (i < end && t[i].kind == Tok::Space) ++i;
        return i;
    }

    static constexpr size_t npos = size_t(-1);

    // Index just past the parenthesis that closes the one at i, or npos when it is
    // never closed (the statement is then passed on as it is and SQLite reports it).
    size_t matchParen(size_t i, size_t end) const {
        int depth = 0;
        for (size_t k = i; k < end; ++k) {
            if (t[k].kind != Tok::Punct) continue;
            if (t[k].text == u"(") ++depth;
            else if (t[k].text == u")" && --depth == 0) return k + 1;
        }
        return npos;
    }

    // Arguments of a call whose "(" is at open and whose ")" is at close-1.
    std::vector<QString> args(size_t open, size_t close) {
        std::vector<QString> out;
        int depth = 0;
        size_t start = open + 1;
        for (size_t k = open + 1; k + 1 < close; ++k) {
            if (t[k].kind != Tok::Punct) continue;
            if (t[k].text == u"(") ++depth;
            else if (t[k].text == u")") --depth;
            else if (t[k].text == u"," && depth == 0) {
                out.push_back(range(start, k));
                start = k + 1;
            }
        }
        out.push_back(range(start, close - 1));
        return out;
    }

    // One operand of '&': a literal, a number, a (qualified) name, a call or a
    // parenthesised expression. Returns the index just past it.
    size_t operandEnd(size_t i, size_t end) const {
        if (i >= end) return i;
        if (t[i].kind == Tok::Word) {
            const size_t k = skipSpace(i + 1, end);
            if (isOpen(k)) {
                const size_t close = matchParen(k, end);
                return close == npos ? i + 1 : close;
            }
            return i + 1;
        }
        if (isOpen(i)) {
            const size_t close = matchParen(i, end);
            return close == npos ? i + 1 : close;
        }
        return i + 1;
    }

    static QString asText(const QString& operand) {
        const QString trimmed = operand.trimmed();
        if (trimmed.startsWith(u'\'')) return trimmed;
        return QStringLiteral("ifnull(%1,'')").arg(trimmed);
    }

    QString range(size_t begin, size_t end) {
        // First pass: find '&' chains at this level and rewrite them.
        QString out;
        size_t i = begin;
        while (i < end) {
            // Look ahead for "operand & operand [& operand ...]".
            const size_t opEnd = operandEnd(i, end);
            size_t amp = skipSpace(opEnd, end);
            if (t[i].kind != Tok::Space && amp < end && t[amp].kind == Tok::Punct && t[amp].text == u"&") {
                QStringList parts;
                parts << asText(range(i, opEnd));
                size_t k = amp;
                while (k < end && t[k].kind == Tok::Punct && t[k].text == u"&") {
                    const size_t rs = skipSpace(k + 1, end);
                    const size_t re = operandEnd(rs, end);
                    parts << asText(range(rs, re));
                    i = re;
                    k = skipSpace(re, end);
                }
                out += QStringLiteral("((%1) COLLATE NOCASE)").arg(parts.join(QStringLiteral(" || ")));
                continue;
            }
            const Token& tok = t[i];
            if (tok.kind == Tok::Word) {
                const size_t k = skipSpace(i + 1, end);
                const QString lower = tok.text.toLower();
                const size_t close = isOpen(k) ? matchParen(k, end) : npos;
                if (close != npos && (lower == u"isnull" || lower == u"left")) {
                    const std::vector<QString> a = args(k, close);
                    if (lower == u"isnull" && a.size() == 1) {
                        out += QStringLiteral("((%1) IS NULL)").arg(a[0].trimmed());
                        i = close;
                        continue;
                    }
                    if (lower == u"left" && a.size() == 2) {
                        out += QStringLiteral("substr(%1,1,%2)").arg(a[0].trimmed(), a[1].trimmed());
                        i = close;
                        continue;
                    }
                }
                if (close != npos) {
                    // Any other call or group: translate its inside as well.
                    out += tok.text;
                    for (size_t s = i + 1; s < k; ++s) out += t[s].text;
                    out += u'(' + range(k + 1, close - 1) + u')';
                    i = close;
                    continue;
                }
            } else if (isOpen(i)) {
                const size_t close = matchParen(i, end);
                if (close != npos) {
                    out += u'(' + range(i + 1, close - 1) + u')';
                    i = close;
                    continue;
                }
            }
            out += tok.text;
            ++i;
        }
        return out;
    }
};

} // namespace

QString translateJetSql(const QString& jetSql) {
    if (!jetSql.contains(u'&') && !jetSql.contains(QLatin1String("isnull"), Qt::CaseInsensitive) &&
        !jetSql.contains(QLatin1String("left"), Qt::CaseInsensitive))
        return jetSql;
    return Translator(tokenize(jetSql)).run();
}
