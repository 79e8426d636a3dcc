#include "books/bookcontroller.h"

#include "app/busycursor.h"
#include "app/mainwindow.h"
#include "books/booklistdialog.h"
#include "browse/browsecontroller.h"
#include "browse/titlelistmodel.h"
#include "db/sqltext.h"

#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalBlocker>
#include <QTextEdit>

namespace {
constexpr int kEnterKey = 13;
constexpr int kTypingNone = 0;
constexpr int kTypingAdd = 1;
constexpr int kTypingRename = 2;
} // namespace

BookController::BookController(MainWindow& window) : QObject(&window), w(window) {
    MainUi& ui = w.ui;
    ui.cboBook->installEventFilter(this);

    connect(ui.mnuVolAdd, &QAction::triggered, this, [this] { mnuVolAdd_Click(); });
    connect(ui.mnuVolChg, &QAction::triggered, this, [this] { mnuVolChg_Click(); });
    connect(ui.mnuVolDel, &QAction::triggered, this, [this] { mnuVolDel_Click(); });
    connect(ui.mnuBookOrder, &QAction::triggered, this, [this] { mnuBookOrder_Click(); });
    for (int i = 0; i < 2; ++i) {
        connect(ui.mnuBookAdd[size_t(i)], &QAction::triggered, this, [this, i] { mnuBookAdd_Click(i); });
        connect(ui.mnuBookDel[size_t(i)], &QAction::triggered, this, [this, i] { mnuBookDel_Click(i); });
    }
    connect(ui.mnuBookDelAll, &QAction::triggered, this, [this] { mnuBookDelAll_Click(); });
}

QColor BookController::typingColour() { return QColor(0xFF, 0xC0, 0xC0); }

// ---- The book combo ----

bool BookController::eventFilter(QObject* watched, QEvent* event) {
    if (watched != w.ui.cboBook) return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
            cboBook_KeyDown(kEnterKey);
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && m_typing != kTypingNone) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // The combo's own popup and another window taking the focus do not end
        // the typing: the user comes back to the same field.
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return false;
        {
            // Let the combo handle the focus loss first, but without its habit of
            // choosing the entry whose text was typed: that would list a book
            // in the middle of adding or renaming one.
            const QSignalBlocker quiet(w.ui.cboBook->lineEdit());
            w.ui.cboBook->event(event);
        }
        cboBook_LostFocus();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void BookController::cboBook_KeyDown(int keyCode) {
    // Enter goes on to the poem pane; while a name is typed, leaving the combo
    // finishes the add or rename.
    if (keyCode == kEnterKey) w.ui.RichTextBox1->setFocus();
}

void BookController::startTyping(int state, const QString& modeCaption) {
    QComboBox* cb = w.ui.cboBook;
    if (m_typing == kTypingNone) m_savedInputState = w.session().inputState();
    m_typing = state;
    w.session().setInputState(InputState(state));
    w.ui.myState->setText(QStringLiteral("状态：[") + modeCaption + u']');
    QPalette typing = cb->palette();
    typing.setColor(QPalette::Base, typingColour());
    cb->setPalette(typing);
    // No completion while a new name is typed: it would turn a new name into
    // the first existing one that starts with the same characters.
    if (cb->completer()) m_completer = cb->completer();
    cb->setCompleter(nullptr);
}

void BookController::endTyping() {
    QComboBox* cb = w.ui.cboBook;
    // Back to the inherited palette: the system's colours.
    cb->setPalette(QPalette());
    if (m_completer) cb->setCompleter(m_completer);
    w.ui.myState->setText(QStringLiteral("状态：[查询]"));
    m_typing = kTypingNone;
    // Back to the state from before the typing began (0 unless another panel
    // holds the guard), so that panel keeps its own.
    w.session().setInputState(m_savedInputState);
    m_savedInputState = InputState::Free;
}

void BookController::mnuVolAdd_Click() {
    if (!w.session().canWrite()) return;
    startTyping(kTypingAdd, w.ui.mnuVolAdd->text());
    w.ui.cboBook->setEditText(QString());
    w.ui.cboBook->setFocus();
}

void BookController::mnuVolChg_Click() {
    if (!w.session().canWrite()) return;
    QComboBox* cb = w.ui.cboBook;
    const int index = cb->currentIndex();
    // Any entry, the whole collection's included: renaming entry 0 changes no
    // book, only the text the combo shows for it until the next start.
    if (index < 0) return;
    startTyping(kTypingRename, w.ui.mnuVolChg->text());
    MainWindow::setTag(cb, QString::number(index));
    cb->setFocus();
    cb->lineEdit()->selectAll();
}

void BookController::cboBook_LostFocus() {
    if (m_typing == kTypingNone || m_finishing) return;
    m_finishing = true;
    // The name is stored as typed, blanks included; a name of blanks only counts
    // as no name.
    const QString typed = w.ui.cboBook->currentText();
    const QString name = typed.trimmed().isEmpty() ? QString() : typed;
    if (m_typing == kTypingAdd) {
        if (!name.isEmpty()) finishAdd(name);
    } else {
        const int index = MainWindow::tag(w.ui.cboBook).toInt();
        const QString old = w.ui.cboBook->itemText(index);
        if (index >= 0 && index < w.ui.cboBook->count() && !name.isEmpty() && name != old)
            finishRename(index, old, name);
    }
    endTyping();
    m_finishing = false;
}

bool BookController::nameInUse(const QString& name) const {
    // The whole-collection entry's text counts as taken: a book of that name
    // could not be told apart from entry 0.
    if (name.compare(kProductName, Qt::CaseInsensitive) == 0) return true;
    return w.store().FindBookID(name) != -1;
}

void BookController::finishAdd(const QString& name) {
    try {
        if (nameInUse(name)) {
            w.dialogs().message(name + QStringLiteral("：该目录已经存在，无法新增！"), MessageSink::Icon::Warning);
            return;
        }
    } catch (const SqlError& e) {
        reportFailure(w.ui.mnuVolAdd->text(), e.message());
        return;
    }
    if (!w.dialogs().question(name + QStringLiteral("：目录新增，确定？"))) return;
    try {
        w.store().db().exec(QStringLiteral("Insert Into PoetBook (fBook,fBookOrderID,fBookSelected) Values (") +
                            sqlText(name) + QStringLiteral(",0,1)"));
    } catch (const SqlError& e) {
        reportFailure(w.ui.mnuVolAdd->text(), e.message());
        return;
    }
    // Only a stored book is offered in the combo.
    w.ui.cboBook->addItem(name);
}

void BookController::finishRename(int index, const QString& old, const QString& name) {
    try {
        if (nameInUse(name)) {
            w.dialogs().message(name + QStringLiteral("：该目录已经存在，修改取消！"), MessageSink::Icon::Warning);
            return;
        }
    } catch (const SqlError& e) {
        reportFailure(w.ui.mnuVolChg->text(), e.message());
        return;
    }
    if (!w.dialogs().question(old + QStringLiteral("：目录修改为“") + name + QStringLiteral("”，确定？"))) return;
    try {
        // Entry 0 names the whole collection, never a book: a book that happens
        // to carry the same text is left alone.
        if (index >= 1)
            w.store().db().exec(QStringLiteral("Update PoetBook Set fBook=") + sqlText(name) +
                                QStringLiteral(" Where fBook=") + sqlText(old));
    } catch (const SqlError& e) {
        reportFailure(w.ui.mnuVolChg->text(), e.message());
        return;
    }
    // A book entry whose book is no longer stored under that name (renamed or
    // deleted in the book list dialog) keeps its text: the combo shows what is stored.
    if (index >= 1 && w.store().db().changes() == 0) {
        w.dialogs().message(old + QStringLiteral("：该目录已不存在，修改取消！"), MessageSink::Icon::Warning);
        return;
    }
    w.ui.cboBook->setItemText(index, name);
}

qint32 BookController::currentBookId() const {
    const QComboBox* cb = w.ui.cboBook;
    const QString text = cb->currentText();
    if (cb->count() > 0 && text == cb->itemText(0)) return -1;
    return w.store().FindBookID(text);
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
    if (id == -1) w.dialogs().message(refusal, MessageSink::Icon::Warning);
    return id;
}

// ---- The book menu ----

void BookController::mnuVolDel_Click() {
    if (!w.session().canWrite()) return;
    QComboBox* cb = w.ui.cboBook;
    if (cb->currentIndex() < 0) return;
    const QString name = cb->currentText();
    const QString what = w.ui.mnuVolDel->text();
    if (!w.dialogs().question(name + QStringLiteral("：目录删除，确定？"))) return;
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
        // Both or neither: no poem may be left pointing at a book that is gone.
        BusyCursor busy;
        SqlTransaction t(w.store().db());
        w.store().db().exec(QStringLiteral("Delete From PoetBook Where fBookID=") + QString::number(id));
        w.store().db().exec(QStringLiteral("Update Poetry Set fBookID=-1 Where fBookID=") + QString::number(id));
        t.commit();
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
    if (!w.session().canWrite()) return;
    BookListDialog dialog(w.store().db(), w.dialogs(), &w);
    if (beforeBookListShown) beforeBookListShown(dialog);
    dialog.exec();
}

void BookController::mnuBookAdd_Click(int index) { fileOrUnfile(Filing::File, index); }

void BookController::mnuBookDel_Click(int index) { fileOrUnfile(Filing::Unfile, index); }

void BookController::fileOrUnfile(Filing kind, int index) {
    if (!w.session().canWrite() || index < 0 || index > 1) return;
    const bool filing = kind == Filing::File;
    const TitleListModel* list = w.browse->model();
    const int selected = w.browse->selectedRow();
    if (list->size() == 0 || (index == 0 && selected < 0)) {
        w.dialogs().message(filing ? QStringLiteral("请选定归档诗词！") : QStringLiteral("请选定取消归档的诗词！"),
                            MessageSink::Icon::Warning);
        return;
    }
    const QString what = filing ? w.ui.mnuBookAdded->title() : w.ui.mnuBookDelete->title();
    QString book;
    qint32 bookId = -1;
    if (filing) {
        book = w.ui.cboBook->currentText();
        bookId = chosenBook(what, QStringLiteral("请选定归档目录！"));
        if (bookId == -1) return;
    }
    const QString caption = (filing ? w.ui.mnuBookAdd : w.ui.mnuBookDel)[size_t(index)]->text();
    const QString subject = index == 0 ? list->title(selected) : caption;
    const QString question = filing ? subject + QStringLiteral("：归档目录[") + book + QStringLiteral("]，确定 ？")
                                    : subject + QStringLiteral("：取消归档，确定 ？");
    if (!w.dialogs().question(question)) return;

    const QString set = QStringLiteral("Update Poetry Set fBookID=") + QString::number(filing ? bookId : -1) +
                        QStringLiteral(" Where fPoemID=");
    try {
        BusyCursor busy;
        SqlTransaction t(w.store().db());
        if (index == 0) {
            w.store().db().exec(set + QString::number(list->poemId(selected)));
        } else {
            for (int i = 0; i < list->size(); ++i) w.store().db().exec(set + QString::number(list->poemId(i)));
        }
        t.commit();
    } catch (const SqlError& e) {
        reportFailure(what, e.message());
        return;
    }
    w.dialogs().message(caption + (filing ? QStringLiteral("：<目录归档>操作完毕！")
                                          : QStringLiteral("：<取消归档>操作完毕！")),
                        MessageSink::Icon::Information);
}

void BookController::mnuBookDelAll_Click() {
    if (!w.session().canWrite()) return;
    const QString what = w.ui.mnuBookDelAll->text();
    const QString name = w.ui.cboBook->currentText();
    const qint32 id = chosenBook(what, QStringLiteral("请选定清空目录！"));
    if (id == -1) return;
    if (!w.dialogs().question(u'[' + name + QStringLiteral("]：清空该目录的所有诗词（原诗词保留），确定 ？")))
        return;
    try {
        BusyCursor busy;
        SqlTransaction t(w.store().db());
        w.store().db().exec(QStringLiteral("Update Poetry Set fBookID=-1 Where fBookID=") + QString::number(id));
        t.commit();
    } catch (const SqlError& e) {
        reportFailure(what, e.message());
        return;
    }
    w.dialogs().message(what + QStringLiteral("操作完毕！"), MessageSink::Icon::Information);
}

void BookController::reportFailure(const QString& what, const QString& storeMessage) {
    w.dialogs().message(what + QStringLiteral("操作失败，未作任何修改！\n\n") + storeMessage,
                        MessageSink::Icon::Warning);
}
