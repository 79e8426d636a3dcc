#include "search/searchindex.h"

#include "db/sqlitedb.h"
#include "search/scriptfold.h"

#include <QChar>

#include <sqlite3.h>

namespace {

// The index's layout and the folding table it was built with; an index made
// with anything else is made anew.
QString layoutVersion() { return QStringLiteral("2 %1").arg(ScriptFold::tableStamp()); }

// Column order matters for size: a token in the first column needs no column
// marker in its position list, and almost every token is in the content.
const char* const kSchema[] = {
    "CREATE VIRTUAL TABLE SearchIndex USING fts5(fContent, fTitle, fMemo, fPre, content='', columnsize=0, "
    "tokenize='ascii')",
    "CREATE TABLE SearchIndexLog (fPoemID INTEGER PRIMARY KEY, fIndexed INTEGER NOT NULL, fTitle TEXT, "
    "fContent TEXT, fPre TEXT, fMemo TEXT)",
    "CREATE TABLE SearchIndexInfo (fKey TEXT PRIMARY KEY, fValue TEXT)",
    // A poem replaced by INSERT OR REPLACE leaves without a delete trigger:
    // its indexed text is noted before.
    "CREATE TRIGGER SearchIndexBeforeAdd BEFORE INSERT ON Poetry BEGIN "
    "INSERT INTO SearchIndexLog SELECT fPoemID, 1, fTitle, fContent, fPre, fMemo FROM Poetry "
    "WHERE fPoemID = new.fPoemID AND NOT EXISTS (SELECT 1 FROM SearchIndexLog WHERE fPoemID = new.fPoemID); END",
    "CREATE TRIGGER SearchIndexAdd AFTER INSERT ON Poetry BEGIN "
    "INSERT INTO SearchIndexLog (fPoemID, fIndexed) SELECT new.fPoemID, 0 "
    "WHERE NOT EXISTS (SELECT 1 FROM SearchIndexLog WHERE fPoemID = new.fPoemID); END",
    "CREATE TRIGGER SearchIndexBeforeEdit BEFORE UPDATE OF fPoemID ON Poetry WHEN new.fPoemID <> old.fPoemID BEGIN "
    "INSERT INTO SearchIndexLog SELECT fPoemID, 1, fTitle, fContent, fPre, fMemo FROM Poetry "
    "WHERE fPoemID = new.fPoemID AND NOT EXISTS (SELECT 1 FROM SearchIndexLog WHERE fPoemID = new.fPoemID); END",
    "CREATE TRIGGER SearchIndexEdit AFTER UPDATE OF fPoemID, fTitle, fContent, fPre, fMemo ON Poetry BEGIN "
    "INSERT INTO SearchIndexLog SELECT old.fPoemID, 1, old.fTitle, old.fContent, old.fPre, old.fMemo "
    "WHERE NOT EXISTS (SELECT 1 FROM SearchIndexLog WHERE fPoemID = old.fPoemID); "
    "INSERT INTO SearchIndexLog (fPoemID, fIndexed) SELECT new.fPoemID, 0 "
    "WHERE NOT EXISTS (SELECT 1 FROM SearchIndexLog WHERE fPoemID = new.fPoemID); END",
    "CREATE TRIGGER SearchIndexDelete AFTER DELETE ON Poetry BEGIN "
    "INSERT INTO SearchIndexLog SELECT old.fPoemID, 1, old.fTitle, old.fContent, old.fPre, old.fMemo "
    "WHERE NOT EXISTS (SELECT 1 FROM SearchIndexLog WHERE fPoemID = old.fPoemID); END",
};
const char* const kObjects[] = {"SearchIndex",          "SearchIndexLog", "SearchIndexInfo",
                                "SearchIndexBeforeAdd", "SearchIndexAdd", "SearchIndexBeforeEdit",
                                "SearchIndexEdit",      "SearchIndexDelete"};
const char* const kShadowTables[] = {"SearchIndex_data", "SearchIndex_idx", "SearchIndex_config"};
constexpr int kObjectCount = int(sizeof kObjects / sizeof kObjects[0]);

// Up to this many waiting poems are indexed before a search; with more
// waiting than kScanAbove (an index still being made) the search scans.
constexpr qint64 kSyncBeforeSearch = 2000;
constexpr qint64 kScanAbove = 5000;
// A long term is looked up by its first tokens: the poems holding the whole
// term are among those holding its beginning.
constexpr int kMaxQueryTokens = 32;
// Up to this many hits have their pages kept between the search's statements
// (at most about 40 MB; the list of so few rows is small beside it).
constexpr qint64 kCachedHits = 8000;

// A prepared statement of ours with bound values.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) : m_db(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK) fail();
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    void bind(int i, qint64 v) { sqlite3_bind_int64(m_stmt, i, v); }
    void bind(int i, const QByteArray& v) { sqlite3_bind_text(m_stmt, i, v.constData(), int(v.size()), SQLITE_TRANSIENT); }
    bool step() {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) fail();
        return false;
    }
    void run() {
        step();
        sqlite3_reset(m_stmt);
    }
    qint64 int64(int i) const { return sqlite3_column_int64(m_stmt, i); }
    QString text(int i) const {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i)),
                                 sqlite3_column_bytes(m_stmt, i));
    }

private:
    [[noreturn]] void fail() {
        throw SqlError(QString::fromUtf8(sqlite3_errmsg(m_db)), sqlite3_extended_errcode(m_db));
    }
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// Characters the index leaves out: they separate, they never match on their own.
bool leftOut(char32_t c) {
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Punctuation_Connector:
    case QChar::Punctuation_Dash:
    case QChar::Punctuation_Open:
    case QChar::Punctuation_Close:
    case QChar::Punctuation_InitialQuote:
    case QChar::Punctuation_FinalQuote:
    case QChar::Punctuation_Other:
    case QChar::Symbol_Math:
    case QChar::Symbol_Currency:
    case QChar::Symbol_Modifier:
    case QChar::Symbol_Other:
        return true;
    default:
        return false;
    }
}

// A code point as a token: its digits in base 36 (at most four). Outside the
// content, the column's letter leads and the digits are padded to four, so a
// term's token in the title, preface or notes is its own, with a short list of
// poems, and never one of the content's (those have at most four characters).
void appendToken(char32_t c, char column, QByteArray& out) {
    char digits[8];
    int n = 0;
    do {
        const int d = int(c % 36);
        digits[n++] = char(d < 10 ? '0' + d : 'a' + d - 10);
        c /= 36;
    } while (c);
    if (!out.isEmpty()) out += ' ';
    if (column) {
        out += column;
        while (n < 4) digits[n++] = '0';
    }
    while (n) out += digits[--n];
}

// The letter of each indexed column, in the index's column order.
constexpr char kColumnLetters[] = {0, 't', 'm', 'p'};

bool hasWildcard(const QString& term) { return term.contains(u'%') || term.contains(u'_'); }

} // namespace

QByteArray SearchIndex::indexText(QStringView text, char column, int maxTokens) {
    QByteArray out;
    out.reserve(text.size() * 4);
    int tokens = 0;
    for (qsizetype i = 0; i < text.size() && tokens != maxTokens; ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        c = ScriptFold::fold(c);
        if (c < 0x80) {
            if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
            else if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) {
                if (leftOut(c)) continue;
            }
        } else if (leftOut(c)) {
            continue;
        }
        appendToken(c, column, out);
        ++tokens;
    }
    return out;
}

void SearchIndex::attach(bool writable) {
    m_writable = writable;
    m_state = State::Absent;
    if (ScriptFold::registerSqlFunction(m_db.handle()) != SQLITE_OK) return;
    try {
        m_state = inspect();
    } catch (const SqlError&) {
        m_state = State::Broken;
    }
}

void SearchIndex::detach() {
    m_savedCacheSize.reset();
    m_state = State::Closed;
    m_writable = false;
}

SearchIndex::State SearchIndex::inspect() {
    // Every object there, each as this program creates it (another tool may
    // have dropped or replaced one), the shadow tables of the index too.
    int found = 0;
    int shadows = 0;
    {
        SqlStatement st = m_db.prepareNative(QStringLiteral("SELECT name, sql FROM sqlite_master"));
        while (st.next()) {
            const QString name = st.text(0);
            for (int i = 0; i < kObjectCount; ++i) {
                if (name != QLatin1String(kObjects[i])) continue;
                if (st.text(1) != QLatin1String(kSchema[i])) return State::Broken;
                ++found;
            }
            for (const char* shadow : kShadowTables)
                if (name == QLatin1String(shadow)) ++shadows;
        }
    }
    if (found == 0 && shadows == 0) return State::Absent;
    if (found != kObjectCount || shadows != int(std::size(kShadowTables))) return State::Broken;
    SqlStatement st = m_db.prepareNative(QStringLiteral("SELECT fValue FROM SearchIndexInfo WHERE fKey = 'layout'"));
    if (!st.next() || st.text(0) != layoutVersion()) return State::Broken;
    return State::Ready;
}

void SearchIndex::dropAll() {
    for (int i = kObjectCount - 1; i >= 0; --i) {
        const bool trigger = QByteArrayView(kSchema[i]).startsWith("CREATE TRIGGER");
        const QString drop = trigger ? QStringLiteral("DROP TRIGGER IF EXISTS %1") : QStringLiteral("DROP TABLE IF EXISTS %1");
        try {
            m_db.execNative(drop.arg(QLatin1String(kObjects[i])));
        } catch (const SqlError&) {
            if (i != 0) throw;
            // An index whose own tables were damaged cannot be dropped the
            // ordinary way: its entry goes, then whatever is left of its tables.
            m_db.execNative(QStringLiteral("PRAGMA writable_schema=ON"));
            m_db.execNative(QStringLiteral("DELETE FROM sqlite_master WHERE type='table' AND name='SearchIndex'"));
            m_db.execNative(QStringLiteral("PRAGMA writable_schema=RESET"));
        }
    }
    for (const char* shadow : {"SearchIndex_data", "SearchIndex_idx", "SearchIndex_config", "SearchIndex_docsize",
                               "SearchIndex_content"})
        m_db.execNative(QStringLiteral("DROP TABLE IF EXISTS %1").arg(QLatin1String(shadow)));
}

void SearchIndex::create() {
    if (!m_writable) return;
    {
        SqlTransaction tx(m_db);
        dropAll();
        for (const char* sql : kSchema) m_db.execNative(QString::fromLatin1(sql));
        m_db.execNative(QStringLiteral("INSERT INTO SearchIndexLog (fPoemID, fIndexed) SELECT fPoemID, 0 FROM Poetry"));
        m_db.execNative(QStringLiteral("INSERT INTO SearchIndexInfo VALUES ('layout', '%1')").arg(layoutVersion()));
        tx.commit();
    }
    m_state = State::Ready;
}

qint64 SearchIndex::pending() {
    if (m_state != State::Ready) return 0;
    qint64 n = 0;
    try {
        m_db.scalarInt(QStringLiteral("SELECT count(*) FROM SearchIndexLog"), &n);
    } catch (const SqlError&) {
        m_state = State::Broken;
    }
    return n;
}

qint64 SearchIndex::indexSome(int limit) {
    if (m_state != State::Ready || !m_writable || !sqlite3_get_autocommit(m_db.handle())) return pending();
    sqlite3* db = m_db.handle();
    try {
        // IMMEDIATE: a write lock from the start, so that a connection writing at
        // the same time makes this one wait rather than fail.
        m_db.execNative(QStringLiteral("BEGIN IMMEDIATE"));
        struct Rollback {
            SqlDatabase& db;
            bool done = false;
            ~Rollback() {
                if (done) return;
                try {
                    db.execNative(QStringLiteral("ROLLBACK"));
                } catch (const SqlError&) {
                }
            }
        } tx{m_db};
        Statement waiting(db, "SELECT l.fPoemID, l.fIndexed, l.fContent, l.fTitle, l.fMemo, l.fPre, "
                              "p.fPoemID IS NOT NULL, p.fContent, p.fTitle, p.fMemo, p.fPre "
                              "FROM SearchIndexLog l LEFT JOIN Poetry p ON p.fPoemID = l.fPoemID "
                              "ORDER BY l.fPoemID LIMIT ?");
        Statement remove(db, "INSERT INTO SearchIndex (SearchIndex, rowid, fContent, fTitle, fMemo, fPre) "
                             "VALUES ('delete', ?, ?, ?, ?, ?)");
        Statement add(db, "INSERT INTO SearchIndex (rowid, fContent, fTitle, fMemo, fPre) VALUES (?, ?, ?, ?, ?)");
        waiting.bind(1, limit);
        qint64 last = -1;
        bool any = false;
        while (waiting.step()) {
            last = waiting.int64(0);
            any = true;
            // The text the index holds is taken out with exactly the tokens it went in with.
            for (int part = 0; part < 2; ++part) {
                const int at = part == 0 ? 1 : 6;
                if (waiting.int64(at) == 0) continue;
                Statement& st = part == 0 ? remove : add;
                st.bind(1, last);
                for (int k = 0; k < 4; ++k) st.bind(2 + k, indexText(waiting.text(at + 1 + k), kColumnLetters[k]));
                st.run();
            }
        }
        if (any) {
            Statement done(db, "DELETE FROM SearchIndexLog WHERE fPoemID <= ?");
            done.bind(1, last);
            done.run();
        }
        m_db.execNative(QStringLiteral("COMMIT"));
        tx.done = true;
    } catch (const SqlError& e) {
        // Another connection holding the file is no damage.
        const int code = e.code() & 0xff;
        if (code != SQLITE_BUSY && code != SQLITE_LOCKED) m_state = State::Broken;
        throw;
    }
    return pending();
}

QString SearchIndex::matchExpression(const PoemSearchFields& f) const {
    const struct {
        const QString& term;
        const char* column;
        char letter;
    } fields[] = {{f.content, "fContent", kColumnLetters[0]},
                  {f.title, "fTitle", kColumnLetters[1]},
                  {f.notes, "fMemo", kColumnLetters[2]},
                  {f.preface, "fPre", kColumnLetters[3]}};
    QStringList parts;
    for (const auto& field : fields) {
        // A term with the LIKE wildcards keeps the scan's meaning: the other
        // terms may still narrow the search.
        if (field.term.isEmpty() || hasWildcard(field.term)) continue;
        const QByteArray tokens = indexText(field.term, field.letter, kMaxQueryTokens);
        if (tokens.isEmpty()) continue;
        parts << QStringLiteral("%1 : \"%2\"").arg(QLatin1String(field.column), QString::fromLatin1(tokens));
    }
    return parts.join(QStringLiteral(" AND "));
}

QString SearchIndex::filter(const PoemSearchFields& fields, bool foldScripts) {
    const QString clause = BuildSearchFilter(fields, foldScripts);
    if (!usable()) return clause;
    const QString match = matchExpression(fields);
    if (match.isEmpty()) return clause;
    try {
        qint64 waiting = pending();
        if (waiting > 0 && waiting <= kSyncBeforeSearch && m_writable && sqlite3_get_autocommit(m_db.handle()))
            waiting = indexSome(int(waiting));
        if (!usable() || waiting > kScanAbove) return clause;
        // Locked mode refuses every change with query_only, the temporary table
        // of hits included; the file itself stays held by the write lock, so the
        // guard is lifted for these temporary writes alone.
        qint64 queryOnly = 0;
        m_db.scalarInt(QStringLiteral("PRAGMA query_only"), &queryOnly);
        struct QueryOnlyLifted {
            SqlDatabase& db;
            bool lifted;
            ~QueryOnlyLifted() {
                if (!lifted) return;
                try {
                    db.execNative(QStringLiteral("PRAGMA query_only=1"));
                } catch (const SqlError&) {
                }
            }
        } guard{m_db, queryOnly != 0};
        if (guard.lifted) m_db.execNative(QStringLiteral("PRAGMA query_only=0"));
        m_db.execNative(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS SearchHits (id INTEGER PRIMARY KEY)"));
        m_db.execNative(QStringLiteral("DELETE FROM temp.SearchHits"));
        QString fill = QStringLiteral("INSERT INTO temp.SearchHits SELECT rowid FROM SearchIndex WHERE SearchIndex MATCH ?");
        // Poems changed since the index last caught up are candidates too.
        if (waiting > 0) fill += QStringLiteral(" UNION SELECT fPoemID FROM SearchIndexLog");
        Statement st(m_db.handle(), fill.toUtf8().constData());
        st.bind(1, match.toLatin1());
        st.run();
        qint64 hits = 0;
        m_db.scalarInt(QStringLiteral("SELECT count(*) FROM temp.SearchHits"), &hits);
        if (hits <= kCachedHits && !m_savedCacheSize) {
            qint64 size = 0;
            if (m_db.scalarInt(QStringLiteral("PRAGMA cache_size"), &size)) {
                m_savedCacheSize = size;
                // About a page for each hit, and room for the tree above them (KiB).
                m_db.execNative(QStringLiteral("PRAGMA cache_size = -%1").arg(hits * 5 + 4096));
            }
        }
    } catch (const SqlError& e) {
        // A file another connection holds is no damage: this search scans.
        const int code = e.code() & 0xff;
        if (code != SQLITE_BUSY && code != SQLITE_LOCKED) m_state = State::Broken;
        return clause;
    }
    return clause + QStringLiteral(" And a.fPoemID In (Select id From temp.SearchHits)");
}

void SearchIndex::searchDone() {
    if (!m_savedCacheSize) return;
    try {
        m_db.execNative(QStringLiteral("PRAGMA cache_size = %1").arg(*m_savedCacheSize));
    } catch (const SqlError&) {
    }
    sqlite3_db_release_memory(m_db.handle());
    m_savedCacheSize.reset();
}
