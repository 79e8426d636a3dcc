#pragma once
// Keeps the search index of the open database built and up to date while the
// window runs, a step at a time from the event loop so the window stays
// responsive, with the progress in a status-bar panel of its own; and the
// 简繁通查 menu entry, whose checked state is saved in the settings.
#include <QElapsedTimer>
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

    // Looks for work after the database was opened (or reopened in another mode).
    void databaseOpened();
    // True while the index is being built or brought up to date.
    bool busy() const { return m_step.isActive(); }

signals:
    // The index is complete again.
    void indexReady();

private:
    void step();
    void finish();

    PoemStore& m_store;
    QLabel* m_panel;
    QTimer m_step;
    QTimer m_watch;
    qint64 m_total = 0;
    int m_chunk = 500;
};
