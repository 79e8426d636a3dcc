#pragma once
// The duplicate check: poems whose first clause another poem shares. While it
// is on (mnuToolCHK checked) the duplicate list cboTitle3 takes the place of the
// history box cboTitle2; choosing an entry lists its group in the title list.
#include <QObject>

class MainWindow;

class DuplicateCheck : public QObject {
    Q_OBJECT
public:
    explicit DuplicateCheck(MainWindow& window);

    // Toggles the check with the menu entry's check mark.
    void mnuToolCHK_Click();
    // Runs the check and fills the duplicate list. True when nothing was found
    // (or the check could not run), false when the list was filled.
    bool RepeatCheck();
    // True shows the history box, false the duplicate list (with "检" in myCheck).
    void ShowTitleHistory(bool show);
    // Lists the group of the chosen duplicate entry.
    void cboTitle3_Click();

private:
    MainWindow& w;
    // Set when the last RepeatCheck failed on the store (already reported).
    bool m_failed = false;
};
