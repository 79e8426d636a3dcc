#pragma once
// Books: the book combo's adding and renaming in place, the book menu (add,
// rename, delete, order), filing and unfiling poems, and emptying a book.
#include "app/session.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <functional>

class BookListDialog;
class BrowseController;
class Dialogs;
class PoemStore;
class QAction;
class QComboBox;
class QCompleter;
class QLabel;
class QMenu;
class QWidget;

// The controls the book subsystem works on, by their given names.
struct BookUi {
    QComboBox* cboBook = nullptr;
    // Where Enter in the combo sends the focus.
    QWidget* RichTextBox1 = nullptr;
    QLabel* myState = nullptr;
    QAction* mnuVolAdd = nullptr;
    QAction* mnuVolChg = nullptr;
    QAction* mnuVolDel = nullptr;
    QAction* mnuBookOrder = nullptr;
    QMenu* mnuBookAdded = nullptr;
    std::array<QAction*, 2> mnuBookAdd{};
    QMenu* mnuBookDelete = nullptr;
    std::array<QAction*, 2> mnuBookDel{};
    QAction* mnuBookDelAll = nullptr;
};

class BookController : public QObject {
    Q_OBJECT
public:
    // `browse` is asked for the title list and its selection, the poems a filing acts on.
    BookController(const BookUi& ui, PoemStore& store, Dialogs& dialogs, Session& session,
                   const BrowseController& browse, QObject* parent = nullptr);

    // The combo's background while a name is typed (red FF, green C0, blue C0).
    static QColor typingColour();

    // Book combo.
    void cboBook_KeyDown(int keyCode);
    void cboBook_LostFocus();

    // Menu "书籍管理".
    void mnuVolAdd_Click();
    void mnuVolChg_Click();
    void mnuVolDel_Click();
    void mnuBookOrder_Click();
    void mnuBookAdd_Click(int index);
    void mnuBookDel_Click(int index);
    void mnuBookDelAll_Click();

    // The book of the combo's current text, or -1 when no book has that name.
    // The whole-collection entry 0 is never a book. Throws SqlError.
    qint32 currentBookId() const;
    // The book chosen in the combo; -1, after a warning or the refusal, when there is none.
    qint32 chosenBook(const QString& what, const QString& refusal);
    // The combo entry being renamed in place; -1 when no rename is under way.
    int renamingIndex() const { return m_typing == Typing::Rename ? m_renamingIndex : -1; }

    // Called with each book list dialog before it is shown modally; tests use
    // it to drive the dialog while its exec() runs.
    std::function<void(BookListDialog&)> beforeBookListShown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Filing { File, Unfile };
    // What the combo's text is being typed for.
    enum class Typing { None, Add, Rename };
    void fileOrUnfile(Filing kind, int index);
    void startTyping(Typing kind, const QString& modeCaption);
    void endTyping();
    void finishAdd(const QString& name);
    void finishRename(int index, const QString& old, const QString& name);
    // True when the name is taken by a book or by the whole-collection entry.
    bool nameInUse(const QString& name) const;
    void reportFailure(const QString& what, const QString& storeMessage);

    BookUi m_ui;
    PoemStore& m_store;
    Dialogs& m_dialogs;
    Session& m_session;
    const BrowseController& m_browse;
    QPointer<QCompleter> m_completer;
    Typing m_typing = Typing::None;
    // The entry a rename in place started from.
    int m_renamingIndex = -1;
    InputState m_savedInputState = InputState::Free;
    bool m_finishing = false;
};
