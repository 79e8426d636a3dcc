#include "search/scriptfold.h"

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <array>
#include <sqlite3.h>

namespace {

// data/scriptfold.txt, embedded by the build: lines "FROM TO".
const char kTableText[] =
#include "scriptfoldtable.inc"
    ;

struct Table {
    // Folded form of every BMP code point (itself when none), and the pairs above it.
    std::array<char16_t, 0x10000> bmp{};
    QHash<char32_t, char32_t> astral;
    // Folded form → every code point folding to it (itself included).
    QHash<char32_t, std::vector<char32_t>> classes;
    quint32 stamp = 0;

    Table() {
        for (size_t i = 0; i < bmp.size(); ++i) bmp[i] = char16_t(i);
        const QString text = QString::fromUtf8(kTableText);
        for (QStringView line : QStringView(text).split(u'\n', Qt::SkipEmptyParts)) {
            const QList<uint> cps = line.toUcs4();
            if (cps.size() != 3 || cps[1] != u' ') continue;
            const char32_t from = cps[0];
            const char32_t to = cps[2];
            if (from < 0x10000) bmp[from] = char16_t(to);
            else astral.insert(from, to);
            auto& c = classes[to];
            if (c.empty()) c.push_back(to);
            c.push_back(from);
        }
        for (auto& c : classes) std::sort(c.begin(), c.end());
        stamp = qChecksum(QByteArrayView(kTableText, qsizetype(sizeof kTableText - 1)));
    }
};

const Table& table() {
    static const Table t;
    return t;
}

char32_t foldOne(const Table& t, char32_t c) {
    if (c < 0x10000) return t.bmp[c];
    return t.astral.value(c, c);
}

// Decodes one code point of UTF-8 at p (before end); advances p. Malformed
// bytes come back as themselves, one at a time.
char32_t decodeUtf8(const unsigned char*& p, const unsigned char* end) {
    const unsigned char b = *p++;
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    if (extra == 0 || end - p < extra) return b;
    char32_t c = b & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if ((p[i] & 0xC0) != 0x80) return b;
        c = (c << 6) | (p[i] & 0x3F);
    }
    p += extra;
    return c;
}

void encodeUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

void sqlFold(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* p = sqlite3_value_text(argv[0]);
    const auto* end = p + sqlite3_value_bytes(argv[0]);
    const Table& t = table();
    std::string out;
    out.reserve(size_t(end - p));
    while (p < end) {
        const unsigned char* start = p;
        const char32_t c = decodeUtf8(p, end);
        const char32_t f = foldOne(t, c);
        if (f == c) out.append(reinterpret_cast<const char*>(start), size_t(p - start));
        else encodeUtf8(f, out);
    }
    sqlite3_result_text(ctx, out.data(), int(out.size()), SQLITE_TRANSIENT);
}

} // namespace

namespace ScriptFold {

char32_t fold(char32_t c) { return foldOne(table(), c); }

QString fold(QStringView text) {
    const Table& t = table();
    QString out(text.size(), Qt::Uninitialized);
    QChar* o = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            const char32_t f = foldOne(t, QChar::surrogateToUcs4(c, text[i + 1]));
            o[i] = QChar::highSurrogate(f);
            o[i + 1] = QChar::lowSurrogate(f);
            ++i;
        } else {
            o[i] = QChar(t.bmp[c.unicode()]);
        }
    }
    return out;
}

std::vector<char32_t> variants(char32_t c) {
    const Table& t = table();
    const auto it = t.classes.constFind(foldOne(t, c));
    if (it == t.classes.cend()) return {c};
    return *it;
}

bool hasVariants(QStringView text) {
    const Table& t = table();
    for (char32_t c : text.toUcs4())
        if (t.classes.contains(foldOne(t, c))) return true;
    return false;
}

quint32 tableStamp() { return table().stamp; }

int registerSqlFunction(sqlite3* db) {
    return sqlite3_create_function_v2(db, "lyra_fold", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                      nullptr, sqlFold, nullptr, nullptr, nullptr);
}

} // namespace ScriptFold
