#pragma once
// Search: the poem panel in search mode, running a search (replace or append),
// the count field's checks, and leaving the panel (search or poem edit).
#include <QObject>

#include <array>

class BrowseController;
class PoemEditor;
class PoemStore;
class Session;
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
struct SearchControllerUi {
    QToolButton* cmdSeek = nullptr;
    QAction* mnuSeekBegin = nullptr;
    // 0 replaces the title list, 1 appends to it.
    std::array<QAction*, 2> mnuSeekOk{};
    // The poem panel, its fields and buttons.
    QFrame* fraSeek = nullptr;
    QLineEdit* txtTitle = nullptr;
    QComboBox* cboPoet = nullptr;
    QComboBox* cboDynasty = nullptr;
    QComboBox* cboType = nullptr;
    QComboBox* cboStyle = nullptr;
    QLineEdit* txtQty = nullptr;
    QTextEdit* txtPre = nullptr;
    QTextEdit* txtContent = nullptr;
    QTextEdit* txtMemo = nullptr;
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
    // The found poems go to the title list; the poem editor shares the panel.
    SearchController(const SearchControllerUi& ui, PoemStore& store, Session& session, WindowFrame& frame,
                     BrowseController& browse, PoemEditor& poemEditor, QObject* parent = nullptr);

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

    SearchControllerUi ui;
    PoemStore& m_store;
    Session& m_session;
    WindowFrame& m_frame;
    BrowseController& m_browse;
    PoemEditor& m_poemEditor;
};
