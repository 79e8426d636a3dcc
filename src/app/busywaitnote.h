#pragma once
// The note shown while the program waits for a database file another program
// holds: what it waits for, how long it has waited, and a button to stop.
#include "db/poemstore.h"

#include <QPointer>

class QProgressDialog;
class QWidget;

class BusyWaitNote : public BusyWait {
public:
    // The note appears over `parent` after a short wait, so a file held only for
    // a moment shows nothing.
    explicit BusyWaitNote(QWidget* parent) : m_parent(parent) {}
    ~BusyWaitNote() override;
    BusyWaitNote(const BusyWaitNote&) = delete;
    BusyWaitNote& operator=(const BusyWaitNote&) = delete;

    bool keepWaiting(const QString& path, int elapsedMs) override;
    void waitOver() override;

    static constexpr int kShowAfterMs = 300;

private:
    QWidget* m_parent;
    QPointer<QProgressDialog> m_note;
};
