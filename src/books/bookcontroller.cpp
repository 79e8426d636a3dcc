#include "books/bookcontroller.h"

#include "app/busycursor.h"
#include "app/dialogs.h"
#include "books/booklistdialog.h"
#include "books/bookstore.h"
#include "browse/browsecontroller.h"
#include "browse/titlelistmodel.h"
#include "db/poemstore.h"

#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalBlocker>

namespace {
constexpr int kEnterKey = 13;
} // namespace

BookController::BookController(const BookUi& ui, PoemStore& store, Dialogs& dialogs, Session& session,
                               const BrowseController& browse, QObject* parent)
    : QObject(parent), m_ui(ui), m_store(store), m_dialogs(dialogs), m_session(session), m_browse(browse) {
    m_ui.cboBook->installEventFilter(this);

    connect(m_ui.mnuVolAdd, &QAction::triggered, this, [this] { mnuVolAdd_Click(); });
    connect(m_ui.mnuVolChg, &QAction::triggered, this, [this] { mnuVolChg_Click(); });
    connect(m_ui.mnuVolDel, &QAction::triggered, this, [this] { mnuVolDel_Click(); });
    connect(m_ui.mnuBookOrder, &QAction::triggered, this, [this] { mnuBookOrder_Click(); });
    for (int i = 0; i < 2; ++i) {
        connect(m_ui.mnuBookAdd[size_t(i)], &QAction::triggered, this, [this, i] { mnuBookAdd_Click(i); });
        connect(m_ui.mnuBookDel[size_t(i)], &QAction::triggered, this, [this, i] { mnuBookDel_Click(i); });
    }
    connect(m_ui.mnuBookDelAll, &QAction::triggered, this, [this] { mnuBookDelAll_Click(); });
}

QColor BookController::typingColour() { return QColor(0xFF, 0xC0, 0xC0); }

// ---- The book combo ----

bool BookController::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_ui.cboBook) return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
            cboBook_KeyDown(kEnterKey);
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && m_typing != Typing::None) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // The combo's own popup and another window taking the focus do not end
        // the typing: the user comes back to the same field.
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return false;
        {
            // Let the combo handle the focus loss first, but without its habit of
            // choosing the entry whose text was typed: that would list a book
            // in the middle of adding or renaming one.
            const QSignalBlocker quiet(m_ui.cboBook->lineEdit());
            m_ui.cboBook->event(event);
        }
        cboBook_LostFocus();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void BookController::cboBook_KeyDown(int keyCode) {
    // Enter goes on to the poem pane; while a name is typed, leaving the combo
    // finishes the add or rename.
    if (keyCode == kEnterKey) m_ui.RichTextBox1->setFocus();
}

void BookController::startTyping(Typing kind, const QString& modeCaption) {
    QComboBox* cb = m_ui.cboBook;
    if (m_typing == Typing::None) m_savedInputState = m_session.inputState();
    m_typing = kind;
    // A new name holds the input; a rename leaves the poem pane drawing.
    m_session.setInputState(kind == Typing::Add ? InputState::Held : InputState::RenamingBook);
    m_ui.myState->setText(QStringLiteral("状态：[") + modeCaption + u']');
    QPalette typing = cb->palette();
    typing.setColor(QPalette::Base, typingColour());
    cb->setPalette(typing);
    // No completion while a new name is typed: it would turn a new name into
    // the first existing one that starts with the same characters.
    if (cb->completer()) m_completer = cb->completer();
    cb->setCompleter(nullptr);
}

void BookController::endTyping() {
    QComboBox* cb = m_ui.cboBook;
    // Back to the inherited palette: the system's colours.
    cb->setPalette(QPalette());
    if (m_completer) cb->setCompleter(m_completer);
    m_ui.myState->setText(QStringLiteral("状态：[查询]"));
    m_typing = Typing::None;
    // Back to the state from before the typing began (0 unless another panel
    // holds the guard), so that panel keeps its own.
    m_session.setInputState(m_savedInputState);
    m_savedInputState = InputState::Free;
}

void BookController::mnuVolAdd_Click() {
    if (!m_session.canWrite()) return;
    startTyping(Typing::Add, m_ui.mnuVolAdd->text());
    m_ui.cboBook->setEditText(QString());
    m_ui.cboBook->setFocus();
}

void BookController::mnuVolChg_Click() {
    if (!m_session.canWrite()) return;
    QComboBox* cb = m_ui.cboBook;
    const int index = cb->currentIndex();
    // Any entry, the whole collection's included: renaming entry 0 changes no
    // book, only the text the combo shows for it until the next start.
    if (index < 0) return;
    startTyping(Typing::Rename, m_ui.mnuVolChg->text());
    m_renamingIndex = index;
    cb->setFocus();
    cb->lineEdit()->selectAll();
}

void BookController::cboBook_LostFocus() {
    if (m_typing == Typing::None || m_finishing) return;
    m_finishing = true;
    // The name is stored as typed, blanks included; a name of blanks only counts
    // as no name.
    const QString typed = m_ui.cboBook->currentText();
    const QString name = typed.trimmed().isEmpty() ? QString() : typed;
    if (m_typing == Typing::Add) {
        if (!name.isEmpty()) finishAdd(name);
    } else {
        const int index = m_renamingIndex;
        const QString old = m_ui.cboBook->itemText(index);
        if (index >= 0 && index < m_ui.cboBook->count() && !name.isEmpty() && name != old)
            finishRename(index, old, name);
    }
    endTyping();
    m_finishing = false;
}

bool BookController::nameInUse(const QString& name) const {
    // The whole-collection entry's text counts as taken: a book of that name
    // could not be told apart from entry 0.
    if (name.compare(kProductName, Qt::CaseInsensitive) == 0) return true;
    return m_store.FindBookID(name) != -1;
}

void BookController::finishAdd(const QString& name) {
    try {
        if (nameInUse(name)) {
            m_dialogs.message(name + QStringLiteral("：该目录已经存在，无法新增！"), MessageSink::Icon::Warning);
            return;
        }
    } catch (const SqlError& e) {
        reportFailure(m_ui.mnuVolAdd->text(), e.message());
        return;
    }
    if (!m_dialogs.question(name + QStringLiteral("：目录新增，确定？"))) return;
    try {
        AddBook(m_store.db(), name);
    } catch (const SqlError& e) {
        reportFailure(m_ui.mnuVolAdd->text(), e.message());
        return;
    }
    // Only a stored book is offered in the combo.
    m_ui.cboBook->addItem(name);
}

void BookController::finishRename(int index, const QString& old, const QString& name) {
    try {
        if (nameInUse(name)) {
            m_dialogs.message(name + QStringLiteral("：该目录已经存在，修改取消！"), MessageSink::Icon::Warning);
            return;
        }
    } catch (const SqlError& e) {
        reportFailure(m_ui.mnuVolChg->text(), e.message());
        return;
    }
    if (!m_dialogs.question(old + QStringLiteral("：目录修改为“") + name + QStringLiteral("”，确定？"))) return;
    int renamed = 0;
    try {
        // Entry 0 names the whole collection, never a book: a book that happens
        // to carry the same text is left alone.
        if (index >= 1) renamed = RenameBooksNamed(m_store.db(), old, name);
    } catch (const SqlError& e) {
        reportFailure(m_ui.mnuVolChg->text(), e.message());
        return;
    }
    // A book entry whose book is no longer stored under that name (renamed or
    // deleted in the book list dialog) keeps its text: the combo shows what is stored.
    if (index >= 1 && renamed == 0) {
        m_dialogs.message(old + QStringLiteral("：该目录已不存在，修改取消！"), MessageSink::Icon::Warning);
        return;
    }
    m_ui.cboBook->setItemText(index, name);
}

qint32 BookController::currentBookId() const {
    const QComboBox* cb = m_ui.cboBook;
    const QString text = cb->currentText();
    if (cb->count() > 0 && text == cb->itemText(0)) return -1;
    return m_store.FindBookID(text);
}

qint32 BookController::chosenBook(const QString& what, const QString& refusal) {
    qint32 id = -1;
    try {
        id = currentBookId();
    } catch (const SqlError& e) {
        reportFailure(what, e.message());
        return -1;
    }
    // Entry 0 or a name that is no book: nothing to act on, nothing to ask.
    if (id == -1) m_dialogs.message(refusal, MessageSink::Icon::Warning);
    return id;
}

// ---- The book menu ----

void BookController::mnuVolDel_Click() {
    if (!m_session.canWrite()) return;
    QComboBox* cb = m_ui.cboBook;
    if (cb->currentIndex() < 0) return;
    const QString name = cb->currentText();
    const QString what = m_ui.mnuVolDel->text();
    if (!m_dialogs.question(name + QStringLiteral("：目录删除，确定？"))) return;
    qint32 id = -1;
    try {
        id = currentBookId();
    } catch (const SqlError& e) {
        reportFailure(what, e.message());
        return;
    }
    // A name that is no book (entry 0 among them) deletes nothing.
    if (id == -1) return;
    try {
        BusyCursor busy;
        DeleteBook(m_store.db(), id);
    } catch (const SqlError& e) {
        reportFailure(what, e.message());
        return;
    }
    // Remove the entry of the deleted book (which is the chosen one unless other
    // text was typed), without listing whatever entry the combo moves on to.
    for (int i = 1; i < cb->count(); ++i) {
        if (cb->itemText(i) == name) {
            const QSignalBlocker quiet(cb);
            const bool wasCurrent = cb->currentIndex() == i;
            cb->removeItem(i);
            if (wasCurrent) cb->setCurrentIndex(-1);
            break;
        }
    }
}

void BookController::mnuBookOrder_Click() {
    if (!m_session.canWrite()) return;
    BookListDialog dialog(m_store.db(), m_dialogs, m_ui.cboBook->window());
    if (beforeBookListShown) beforeBookListShown(dialog);
    dialog.exec();
}

void BookController::mnuBookAdd_Click(int index) { fileOrUnfile(Filing::File, index); }

void BookController::mnuBookDel_Click(int index) { fileOrUnfile(Filing::Unfile, index); }

void BookController::fileOrUnfile(Filing kind, int index) {
    if (!m_session.canWrite() || index < 0 || index > 1) return;
    const bool filing = kind == Filing::File;
    const TitleListModel* list = m_browse.model();
    const int selected = m_browse.selectedRow();
    if (list->size() == 0 || (index == 0 && selected < 0)) {
        m_dialogs.message(filing ? QStringLiteral("请选定归档诗词！") : QStringLiteral("请选定取消归档的诗词！"),
                          MessageSink::Icon::Warning);
        return;
    }
    const QString what = filing ? m_ui.mnuBookAdded->title() : m_ui.mnuBookDelete->title();
    QString book;
    qint32 bookId = -1;
    if (filing) {
        book = m_ui.cboBook->currentText();
        bookId = chosenBook(what, QStringLiteral("请选定归档目录！"));
        if (bookId == -1) return;
    }
    const QString caption = (filing ? m_ui.mnuBookAdd : m_ui.mnuBookDel)[size_t(index)]->text();
    const QString subject = index == 0 ? list->title(selected) : caption;
    const QString question = filing ? subject + QStringLiteral("：归档目录[") + book + QStringLiteral("]，确定 ？")
                                    : subject + QStringLiteral("：取消归档，确定 ？");
    if (!m_dialogs.question(question)) return;

    QList<qint32> poems;
    if (index == 0) {
        poems.append(list->poemId(selected));
    } else {
        poems.reserve(list->size());
        for (int i = 0; i < list->size(); ++i) poems.append(list->poemId(i));
    }
    try {
        BusyCursor busy;
        FilePoems(m_store.db(), poems, filing ? bookId : -1);
    } catch (const SqlError& e) {
        reportFailure(what, e.message());
        return;
    }
    m_dialogs.message(caption + (filing ? QStringLiteral("：<目录归档>操作完毕！")
                                        : QStringLiteral("：<取消归档>操作完毕！")),
                      MessageSink::Icon::Information);
}

void BookController::mnuBookDelAll_Click() {
    if (!m_session.canWrite()) return;
    const QString what = m_ui.mnuBookDelAll->text();
    const QString name = m_ui.cboBook->currentText();
    const qint32 id = chosenBook(what, QStringLiteral("请选定清空目录！"));
    if (id == -1) return;
    if (!m_dialogs.question(u'[' + name + QStringLiteral("]：清空该目录的所有诗词（原诗词保留），确定 ？")))
        return;
    try {
        BusyCursor busy;
        EmptyBook(m_store.db(), id);
    } catch (const SqlError& e) {
        reportFailure(what, e.message());
        return;
    }
    m_dialogs.message(what + QStringLiteral("操作完毕！"), MessageSink::Icon::Information);
}

void BookController::reportFailure(const QString& what, const QString& storeMessage) {
    m_dialogs.message(what + QStringLiteral("操作失败，未作任何修改！\n\n") + storeMessage,
                      MessageSink::Icon::Warning);
}
