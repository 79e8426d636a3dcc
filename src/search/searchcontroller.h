#pragma once
// Search: the poem panel in search mode, running a search (replace or append),
// the count field's checks, and leaving the panel (search or poem edit).
#include "edit/poempanelui.h"
#include "app/session.h"

#include <QObject>

#include <array>

class PoemStore;
class WindowFrame;
class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;
class QToolButton;

// The controls the search works on, under their given names.
// The poem panel and its fields come from PoemPanelUi.
struct SearchControllerUi : PoemPanelUi {
    QToolButton* cmdSeek = nullptr;
    QAction* mnuSeekBegin = nullptr;
    // 0 replaces the title list, 1 appends to it.
    std::array<QAction*, 2> mnuSeekOk{};
    // The poem panel's buttons.
    QPushButton* cmdSeekOk = nullptr;
    QPushButton* cmdEditOk = nullptr;
    QPushButton* cmdSeekCancel = nullptr;
    // From searching straight to editing.
    QToolButton* cmdEdit = nullptr;
    // The status panel naming the mode.
    QLabel* myState = nullptr;
};

class SearchController : public QObject {
    Q_OBJECT
public:
    SearchController(const SearchControllerUi& ui, PoemStore& store, Session& session, WindowFrame& frame,
                     QObject* parent = nullptr);

    void cmdSeek_Click();
    void mnuSeekBegin_Click() { cmdSeek_Click(); }
    // index 0 replaces the title list, 1 appends to it.
    void mnuSeekOk_Click(int index);
    void cmdSeekOk_Click() { mnuSeekOk_Click(0); }
    void cmdSeekCancel_Click();
    // The count field lost the focus: the search's rule while no poem edit is
    // armed, the editor's rule while one is.
    void txtQty_Validate();

signals:
    // The panel turns to searching or closes while the poem edit `mode` is
    // armed: the edit's fields are to be left (the session still names the edit).
    void poemEditLeft(EditMode mode);
    // A search ran: the title list is to show the rows of `filter` in `order`,
    // in place of its rows or after them.
    void titleListWanted(const QString& filter, const QString& order, bool append);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Announces the end of an armed poem edit.
    void leavePoemEdit();

    SearchControllerUi ui;
    PoemStore& m_store;
    Session& m_session;
    WindowFrame& m_frame;
};
