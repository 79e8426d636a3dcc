#pragma once
// Keeps the search index of the open database built and up to date while the
// window runs: a database opened writable without an index gets one, built on
// a thread of its own (SearchIndexBuilder) with its progress in a status-bar
// panel; and the 简繁通查 menu entry, whose checked state is saved in the settings.
#include "search/searchindexbuilder.h"

#include <QObject>
#include <QTimer>

class PoemStore;
class QAction;
class QLabel;
class QStatusBar;

class SearchIndexController : public QObject {
    Q_OBJECT
public:
    SearchIndexController(PoemStore& store, QStatusBar* statusBar, QAction* foldAction, QObject* parent);
    ~SearchIndexController() override;

    // Looks for work after the database was opened (or reopened in another mode).
    void databaseOpened();
    // True while the index is being built or brought up to date.
    bool busy() const { return m_builder.running(); }

signals:
    // The index is complete again.
    void indexReady();

private:
    void poll();

    PoemStore& m_store;
    QLabel* m_panel;
    SearchIndexBuilder m_builder;
    QTimer m_progress;
    QTimer m_watch;
    qint64 m_total = 0;
};
