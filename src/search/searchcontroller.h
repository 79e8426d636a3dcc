#pragma once
// Search: the poem panel in search mode, running a search (replace or append),
// the count field's checks, and leaving the panel (search or poem edit).
#include <QObject>

class MainWindow;

class SearchController : public QObject {
    Q_OBJECT
public:
    explicit SearchController(MainWindow& window);

    void cmdSeek_Click();
    void mnuSeekBegin_Click() { cmdSeek_Click(); }
    // index 0 replaces the title list, 1 appends to it.
    void mnuSeekOk_Click(int index);
    void cmdSeekOk_Click() { mnuSeekOk_Click(0); }
    void cmdSeekCancel_Click();
    // The count field lost the focus: the search's rule while no poem edit is
    // armed, the editor's rule while one is.
    void txtQty_Validate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Clears the poem fields after an armed edit (and unlocks them after a delete).
    void leavePoemEdit();

    MainWindow& w;
};
