#pragma once
// The poem editor: arming add, modify and delete on the poem panel, and
// writing the change.
#include "edit/poempanelui.h"
#include "app/session.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>

class BrowseController;
class Dialogs;
class DisplayController;
class PoemStore;
class TitleListView;
class WindowFrame;
class QAction;
class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QTextEdit;
class QToolButton;
class SqlError;
struct PoemRecord;

// The controls the poem editor works on, under their given names.
// The poem panel and its fields come from PoemPanelUi.
struct PoemEditorUi : PoemPanelUi {
    QPushButton* cmdEditOk = nullptr;
    QPushButton* cmdSeekOk = nullptr;
    QPushButton* cmdSeekCancel = nullptr;
    // The toolbar buttons that stay usable while an edit is armed.
    QToolButton* cmdSeek = nullptr;
    QToolButton* cmdEdit = nullptr;
    // The entries 1..3 of the 诗词编辑 menu: add, modify, delete.
    std::array<QAction*, 4> mnuEditTo{};
    // The title list, whose rows follow the poems added and deleted.
    TitleListView* lstTitle = nullptr;
};

class PoemEditor : public QObject {
    Q_OBJECT
public:
    // The title list and the pane: the rows follow the edits, the pane loads
    // the poem being modified or deleted into the fields.
    PoemEditor(const PoemEditorUi& ui, PoemStore& store, Dialogs& dialogs, Session& session, WindowFrame& frame,
               BrowseController& browse, DisplayController& display, QObject* parent = nullptr);

    // Arms an edit (the entries of mnuEditTo, by their position).
    void BeginPoemEdit(EditMode mode);
    // cmdEditOk: performs the armed action.
    void ConfirmPoemEdit();
    void ClearPoemFields();
    // Title, poet, style, preface, content and notes read-only or editable.
    void LockPoemFields(bool locked);
    bool fieldsLocked() const { return m_locked; }
    // The panel leaves the armed edit `mode`: the fields are cleared, and
    // unlocked after a delete.
    void LeavePoemEdit(EditMode mode);

    // A multi-line field's text as the database keeps it (CR LF line breaks).
    static QString fieldText(const QTextEdit* field);

    // Draws n for the key "tmp<n>" of a row the editor adds (below 100000).
    std::function<qint32()> drawKeyNumber;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PoemRecord fields() const;
    void addPoem(const PoemRecord& r);
    void modifyPoem(const PoemRecord& r);
    void deletePoem();
    void warn(const QString& text);
    void inform(const QString& text);
    void writeFailed(const SqlError& e);

    PoemEditorUi ui;
    PoemStore& m_store;
    Dialogs& m_dialogs;
    Session& m_session;
    WindowFrame& m_frame;
    BrowseController& m_browse;
    DisplayController& m_display;
    bool m_locked = false;
};
