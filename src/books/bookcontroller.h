#pragma once
// Books: the book combo's adding and renaming in place, the book menu (add,
// rename, delete, order), filing and unfiling poems, and emptying a book.
#include "app/session.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class MainWindow;
class BookListDialog;
class QCompleter;

class BookController : public QObject {
    Q_OBJECT
public:
    explicit BookController(MainWindow& window);

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

    // Called with each book list dialog before it is shown modally; tests use
    // it to drive the dialog while its exec() runs.
    std::function<void(BookListDialog&)> beforeBookListShown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Filing { File, Unfile };
    void fileOrUnfile(Filing kind, int index);
    void startTyping(int state, const QString& modeCaption);
    void endTyping();
    void finishAdd(const QString& name);
    void finishRename(int index, const QString& old, const QString& name);
    // True when the name is taken by a book or by the whole-collection entry.
    bool nameInUse(const QString& name) const;
    void reportFailure(const QString& what, const QString& storeMessage);

    MainWindow& w;
    QPointer<QCompleter> m_completer;
    // 1 while a new book's name is typed, 2 while a book is renamed in place.
    int m_typing = 0;
    InputState m_savedInputState = InputState::Free;
    bool m_finishing = false;
};
