#include "search/poemfilter.h"

#include "db/sqltext.h"
#include "search/scriptfold.h"

#include <QStringList>
#include <QStringView>

#include <cmath>

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// A decimal number with optional blanks around it: an optional sign, digits
// with at most one decimal point (at least one digit), an optional exponent.
// Nothing else (no thousands separators, no hexadecimal, no inf or nan).
std::optional<double> parseNumber(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    const qsizetype begin = i;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
    qsizetype digits = 0;
    while (i < n && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) return std::nullopt;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
        if (i >= n || !isDigit(text[i])) return std::nullopt;
        while (i < n && isDigit(text[i]))
            ++i;
    }
    const qsizetype end = i;
    while (i < n && isBlank(text[i]))
        ++i;
    if (i != n) return std::nullopt;
    bool ok = false;
    const double value = text.sliced(begin, end - begin).toString().toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

double roundHalfToEven(double x) {
    const double r = std::round(x); // halves away from zero
    if (std::fabs(x - std::trunc(x)) == 0.5) return 2.0 * std::round(x / 2.0);
    return r;
}

// The number as a 16-bit whole number in decimal, or nothing when it is not a
// number or lies outside the 16-bit range after rounding.
std::optional<QString> wholeCount(QStringView text) {
    const std::optional<double> value = parseNumber(text);
    if (!value) return std::nullopt;
    const double rounded = roundHalfToEven(*value);
    if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
    return QString::number(int(rounded));
}

} // namespace

std::optional<QString> NormalizeSearchCount(const QString& count) {
    if (count.isEmpty()) return QString();
    if (std::optional<QString> number = wholeCount(count)) return number;
    static const QString kOperators[] = {QStringLiteral(">="), QStringLiteral("<="),
                                         QStringLiteral("<>"), QStringLiteral(">"),
                                         QStringLiteral("<"),  QStringLiteral("=")};
    for (const QString& op : kOperators) {
        if (!count.startsWith(op)) continue;
        // The first operator found decides; "=>3" does not try another reading.
        const std::optional<QString> number = wholeCount(QStringView(count).sliced(op.size()));
        if (!number) return std::nullopt;
        return op + *number;
    }
    return std::nullopt;
}

QString BuildPoemFilter(const PoemSearchFields& f) {
    QString clause = QStringLiteral(" Where 1=1");
    // " And <head><value><tail>" when the value is not empty.
    auto term = [&clause](const QString& value, const QString& head, const QString& tail) {
        if (value.isEmpty()) return;
        clause += QStringLiteral(" And ");
        clause += head;
        clause += sqlEscaped(value);
        clause += tail;
    };
    const QString quote = QStringLiteral("'");
    const QString wildQuote = QStringLiteral("%'");
    term(f.type, QStringLiteral("'' & a.fType = '"), quote);
    term(f.style, QStringLiteral("a.fStyle = '"), quote);
    term(f.title, QStringLiteral("a.fTitle like '%"), wildQuote);
    term(f.poet, QStringLiteral("a.fPoet Like '"), wildQuote);
    term(f.dynasty, QStringLiteral("a.fDynasty = '"), quote);
    term(f.content, QStringLiteral("a.fContent like '%"), wildQuote);
    term(f.preface, QStringLiteral("a.fPre like '%"), wildQuote);
    term(f.notes, QStringLiteral("a.fMemo like '%"), wildQuote);

    const QString qty = NormalizeSearchCount(f.count).value_or(QString());
    if (!qty.isEmpty()) {
        const bool plainNumber = qty.front() == u'-' || isDigit(qty.front());
        clause += plainNumber ? QStringLiteral(" And a.fQty = ") + qty
                              : QStringLiteral(" And a.fQty ") + qty;
    }
    return clause;
}

namespace {

// Every spelling of the term whose characters fold alike, or nothing when
// there would be more than `limit`.
std::optional<QStringList> spellings(const QString& term, qsizetype limit) {
    QStringList out{QString()};
    for (char32_t c : term.toUcs4()) {
        const std::vector<char32_t> forms = ScriptFold::variants(c);
        if (out.size() * qsizetype(forms.size()) > limit) return std::nullopt;
        QStringList next;
        for (const QString& head : out)
            for (char32_t f : forms) next << head + QString::fromUcs4(&f, 1);
        out.swap(next);
    }
    return out;
}

} // namespace

QString BuildSearchFilter(const PoemSearchFields& f, bool foldScripts) {
    if (!foldScripts)
        return BuildPoemFilter(f);
    // The plain clause for the fields whose terms fold as they are; the rest is
    // appended in folded form (the order of terms does not change the rows).
    auto plain = [](const QString& term) { return ScriptFold::hasVariants(term) ? QString() : term; };
    QString clause = BuildPoemFilter({.type = f.type,
                                      .dynasty = f.dynasty,
                                      .style = f.style,
                                      .poet = plain(f.poet),
                                      .title = plain(f.title),
                                      .content = plain(f.content),
                                      .preface = plain(f.preface),
                                      .notes = plain(f.notes),
                                      .count = f.count});
    if (f.poet.isEmpty() || !plain(f.poet).isEmpty()) {
        // The plain begins-with term is in the clause already (or there is none).
    } else if (const auto forms = spellings(f.poet, 16)) {
        QStringList alternatives;
        for (const QString& s : *forms) alternatives << QStringLiteral("a.fPoet Like '") + sqlEscaped(s) + QStringLiteral("%'");
        clause += QStringLiteral(" And (") + alternatives.join(QStringLiteral(" Or ")) + u')';
    } else {
        clause += QStringLiteral(" And lyra_fold(a.fPoet) Like '") + sqlEscaped(ScriptFold::fold(f.poet)) +
                  QStringLiteral("%'");
    }
    const struct {
        const QString& term;
        const char* column;
    } contains[] = {{f.title, "a.fTitle"}, {f.content, "a.fContent"}, {f.preface, "a.fPre"}, {f.notes, "a.fMemo"}};
    for (const auto& c : contains) {
        if (c.term.isEmpty() || !plain(c.term).isEmpty()) continue;
        clause += QStringLiteral(" And lyra_fold(%1) like '%").arg(QLatin1String(c.column)) +
                  sqlEscaped(ScriptFold::fold(c.term)) + QStringLiteral("%'");
    }
    return clause;
}
