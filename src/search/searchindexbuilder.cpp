#include "search/searchindexbuilder.h"

#include "db/poemstore.h"
#include "db/sqlitedb.h"
#include "search/searchindex.h"

#include <QElapsedTimer>

#include <algorithm>
#include <sqlite3.h>

namespace {
constexpr qint64 kTransactionMs = 500;
} // namespace

void SearchIndexBuilder::start(const QString& path) {
    stop();
    m_stop = false;
    m_failed = false;
    m_left = -1;
    m_running = true;
    m_thread = std::thread([this, path] { run(path); });
}

void SearchIndexBuilder::stop() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    m_running = false;
}

void SearchIndexBuilder::run(const QString& path) {
    SqlDatabase db;
    if (db.open(path, false) == SQLITE_OK) {
        sqlite3_busy_timeout(db.handle(), PoemStore::kBusyTimeoutMs);
        SearchIndex index(db);
        index.attach(true);
        int chunk = 500;
        try {
            while (!m_stop && index.usable()) {
                QElapsedTimer t;
                t.start();
                const qint64 left = index.indexSome(chunk);
                m_left = left;
                if (left == 0) break;
                const qint64 ms = std::max<qint64>(1, t.elapsed());
                chunk = int(std::clamp<qint64>(chunk * kTransactionMs / ms, 100, 100000));
            }
            if (!index.usable()) m_failed = true;
        } catch (const SqlError& e) {
            const int code = e.code() & 0xff;
            m_failed = code != SQLITE_BUSY && code != SQLITE_LOCKED;
        }
    } else {
        m_failed = true;
    }
    m_running = false;
}
