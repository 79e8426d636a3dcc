#pragma once
// The poet editor in the poet panel: biographies, new poets, deleting poets.
#include <QObject>
#include <QString>

class Dialogs;
class PoemStore;
class Session;
class WindowFrame;
class QAbstractButton;
class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QTextEdit;

// The controls the poet editor works on, under their given names.
struct PoetEditorUi {
    QComboBox* cboPoet2 = nullptr;
    QTextEdit* txtPoet2 = nullptr;
    QPushButton* cmdPoetOk = nullptr;
    QPushButton* cmdPoetCancel = nullptr;
    QAction* mnuPoetEdit = nullptr;
    QAction* mnuPoetDel = nullptr;
    // The poem panel's poet list, kept parallel to cboPoet2.
    QComboBox* cboPoet = nullptr;
    // What Escape presses when nothing else was named before a poet action.
    QPushButton* cmdQuit = nullptr;
    // The status panel naming the mode.
    QLabel* myState = nullptr;
};

class PoetEditor : public QObject {
    Q_OBJECT
public:
    // What the OK button does, and after a write, what it did.
    enum class Action {
        None = 0,
        // Modify armed, or a poet inserted.
        Modify = 1,
        // A biography updated.
        BiographyUpdated = 2,
        // Delete armed, or a poet deleted.
        Delete = 3,
    };
    Q_ENUM(Action)

    PoetEditor(const PoetEditorUi& ui, PoemStore& store, Dialogs& dialogs, Session& session, WindowFrame& frame,
               QObject* parent = nullptr);

    // The biography of the poet named in cboPoet2 (on every change of the name).
    void LoadPoetBiography();
    void mnuPoetEdit_Click();
    void mnuPoetDel_Click();
    void cmdPoetOk_Click();
    void cmdPoetCancel_Click();
    // Position of the first entry of cboPoet equal to name (case-sensitive), or -1.
    int FindPoetIndex(const QString& name) const;

    Action action() const { return m_action; }

private:
    void arm(Action action);
    // Adds or removes a name in cboPoet and cboPoet2 at the same position,
    // leaving the text each box shows as it was.
    void insertPoetName(const QString& name);
    void removePoetAt(int index);

    PoetEditorUi ui;
    PoemStore& m_store;
    Dialogs& m_dialogs;
    Session& m_session;
    WindowFrame& m_frame;
    Action m_action = Action::None;
    // The button Escape pressed before a poet action was armed.
    QAbstractButton* m_escapeBefore = nullptr;
};
