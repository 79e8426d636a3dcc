#pragma once
// The index of the searched text, kept inside the poem database: an FTS5 table
// over the four "contains" fields (title, content, preface, notes) that narrows
// a search to the poems that can match, so it need not read every poem.
//
// Each character of a field becomes one token (its code point, written in
// base 36, marked with the column outside the content), after script folding
// (ScriptFold) and ASCII lower-casing; blanks,
// line breaks, punctuation and symbols are left out. A term is looked up as the
// phrase of its tokens, so the index finds every poem whose field holds the
// term and a few more (the term across a line break or punctuation, another
// script, other Latin case). The search's own LIKE clause stays in the filter
// and decides: the rows are those of the scan, in the same order.
//
// The index is kept in step by triggers on Poetry that note each changed poem
// (with the text the index holds for it) in SearchIndexLog; only built-in SQL
// is used there, so any other program can still write the file. The program
// brings the index up to date from that log: in steps while it runs (a new
// index is a log of every poem), and before a search. Until then a search
// takes the noted poems as candidates as well, so it is never stale.
#include "search/poemfilter.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

class SqlDatabase;

class SearchIndex {
public:
    explicit SearchIndex(SqlDatabase& db) : m_db(db) {}

    // After the connection opened: registers lyra_fold (ScriptFold) on it and
    // looks at the index. Never throws; an index it cannot trust is not used.
    void attach(bool writable);
    void detach();

    // True when searches use the index: it is present, of this program's
    // layout and folding table, not found damaged, and use is switched on.
    bool usable() const { return m_enabled && m_state == State::Ready; }
    // Switches use of the index on or off (the benchmark's scan side).
    void setEnabled(bool on) { m_enabled = on; }

    bool writable() const { return m_writable && m_state != State::Closed; }
    // A writable database whose index is missing, of another layout, or damaged.
    bool needsCreate() const { return m_writable && (m_state == State::Absent || m_state == State::Broken); }
    // Makes the index anew: its tables and triggers, with every poem waiting in
    // the log. Throws SqlError (nothing is changed then).
    void create();
    // Poems waiting in the log; 0 when there is no index.
    qint64 pending();
    // Indexes up to `limit` waiting poems in one transaction and returns how
    // many still wait. Only on a writable database outside a transaction.
    // Throws SqlError (the transaction is rolled back).
    qint64 indexSome(int limit);

    // The search's filter clause: BuildSearchFilter, narrowed to the poems the
    // index names when a contains term allows it (the names are kept in
    // temp.SearchHits until the next search). For up to kCachedHits hits the
    // connection's page cache is enlarged to hold their pages until
    // searchDone(). Falls back to the bare clause
    // when the index is not usable, the terms give it nothing to look up (%, _,
    // only punctuation) or it fails (it is then marked damaged).
    QString filter(const PoemSearchFields& fields, bool foldScripts);

    // After the search's statements ran: gives back the page cache filter()
    // enlarged for them.
    void searchDone();

    // The index text of a field or term: its tokens separated by blanks, at
    // most maxTokens of them. `column` is the letter of a column other than the
    // content (t, m or p), 0 for the content.
    static QByteArray indexText(QStringView text, char column = 0, int maxTokens = -1);

private:
    enum class State { Closed, Absent, Ready, Broken };
    State inspect();
    void dropAll();
    QString matchExpression(const PoemSearchFields& fields) const;

    SqlDatabase& m_db;
    State m_state = State::Closed;
    bool m_writable = false;
    bool m_enabled = true;
    // The cache size (PRAGMA cache_size) to restore, while enlarged.
    std::optional<qint64> m_savedCacheSize;
};
