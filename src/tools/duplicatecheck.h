#pragma once
// The duplicate check: poems whose first clause another poem shares. While it
// is on (mnuToolCHK checked) the duplicate list cboTitle3 takes the place of the
// history box cboTitle2; choosing an entry lists its group in the title list.
#include <QObject>
#include <QString>

class MessageSink;
class QAction;
class QComboBox;
class QLabel;
class SqlDatabase;
class TitleListView;

// The menu entry, the two boxes that take turns, the mark in the status bar and
// the title list the chosen group is listed in.
struct DuplicateCheckUi {
    QAction* mnuToolCHK = nullptr;
    QComboBox* cboTitle2 = nullptr;
    QComboBox* cboTitle3 = nullptr;
    QLabel* myCheck = nullptr;
    TitleListView* lstTitle = nullptr;
};

class DuplicateCheck : public QObject {
    Q_OBJECT
public:
    DuplicateCheck(const DuplicateCheckUi& ui, SqlDatabase& db, MessageSink& messages, QObject* parent);

    // Toggles the check with the menu entry's check mark.
    void mnuToolCHK_Click();
    // Runs the check and fills the duplicate list. True when nothing was found
    // (or the check could not run), false when the list was filled.
    bool RepeatCheck();
    // True shows the history box, false the duplicate list (with "检" in myCheck).
    void ShowTitleHistory(bool show);
    // Lists the group of the chosen duplicate entry.
    void cboTitle3_Click();

signals:
    // The title list should list the poems of a filter clause in this order.
    void listWanted(const QString& filter, const QString& order);

private:
    DuplicateCheckUi ui;
    SqlDatabase& m_db;
    MessageSink& m_messages;
    // Set when the last RepeatCheck failed on the store (already reported).
    bool m_failed = false;
};
