#pragma once
// The database check of the tools menu: runs the integrity check over the open
// file with a progress note that can stop it, and reports the result.
#include <QObject>

class Dialogs;
class PoemStore;
class QAction;
class QWidget;

class DatabaseCheck : public QObject {
    Q_OBJECT
public:
    // `trigger` starts the check; the note is shown over `parent`.
    DatabaseCheck(QAction* trigger, PoemStore& store, Dialogs& dialogs, QWidget* parent);
    void run();

private:
    PoemStore& m_store;
    Dialogs& m_dialogs;
    QWidget* m_parent;
};
