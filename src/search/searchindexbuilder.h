#pragma once
// Indexes the poems waiting in a database's search index log on a thread and a
// connection of its own, in transactions of about half a second each: the
// window stays responsive, and a write of the program waits at most that long
// for the file. Few transactions keep the build short (each commit of a
// rollback journal costs several disk syncs).
#include <QString>

#include <atomic>
#include <thread>

class SearchIndexBuilder {
public:
    SearchIndexBuilder() = default;
    ~SearchIndexBuilder() { stop(); }
    SearchIndexBuilder(const SearchIndexBuilder&) = delete;
    SearchIndexBuilder& operator=(const SearchIndexBuilder&) = delete;

    // Starts indexing the file's waiting poems (stopping a build still running).
    void start(const QString& path);
    // Asks the build to stop after its current transaction and waits for it.
    void stop();
    // True until the build has ended (done, stopped or failed).
    bool running() const { return m_running.load(); }
    // Poems still waiting, as of the last transaction (-1 before the first).
    qint64 left() const { return m_left.load(); }
    // True when the build ended on an error other than a busy file.
    bool failed() const { return m_failed.load(); }

private:
    void run(const QString& path);

    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_failed{false};
    std::atomic<qint64> m_left{-1};
};
