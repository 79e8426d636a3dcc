#include "books/booklistdialog.h"

#include "app/busycursor.h"
#include "books/bookstore.h"
#include "db/messagesink.h"
#include "db/sqlitedb.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

namespace {
constexpr int kIdRole = Qt::UserRole;
constexpr int kEnterKey = 13;
constexpr int kWidth = 5400;

qint64 idOf(const QListWidgetItem* item) { return item ? item->data(kIdRole).toLongLong() : -1; }

QListWidgetItem* newItem(const QString& name, qint64 id) {
    auto* item = new QListWidgetItem(name);
    item->setData(kIdRole, id);
    return item;
}
} // namespace

BookListDialog::BookListDialog(SqlDatabase& db, MessageSink& messages, QWidget* parent)
    : QDialog(parent), m_db(db), m_messages(messages) {
    setupUi();
    Form_Load();
}

int BookListDialog::twipsToPixels(int twips) const {
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    return int(qRound64(double(twips) * dpi / 1440.0));
}

void BookListDialog::setupUi() {
    setObjectName(QStringLiteral("frmColSet"));
    setWindowTitle(QStringLiteral("【目录】排序"));
    const auto place = [this](QWidget* w, int l, int t, int wd, int h) {
        w->setGeometry(twipsToPixels(l), twipsToPixels(t), twipsToPixels(wd), twipsToPixels(h));
    };
    const auto make = [](auto* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };

    Label1 = make(new QLabel(QStringLiteral("暂停【目录】:"), this), "Label1");
    List1 = make(new QListWidget(this), "List1");
    Label2 = make(new QLabel(QStringLiteral("选入【目录】:"), this), "Label2");
    List2 = make(new QListWidget(this), "List2");
    Label1->setBuddy(List1);
    Label2->setBuddy(List2);
    place(Label1, 120, 90, 2100, 240);
    place(List1, 120, 330, 2100, 2220);
    place(Label2, 3180, 90, 2100, 240);
    place(List2, 3180, 330, 2100, 2220);

    // Six buttons in a column between the lists: the four moves, OK, Cancel.
    struct Button {
        QPushButton** slot;
        const char* name;
        const char* caption;
        const char* tip;
    };
    const Button buttons[] = {
        {&cmdSelect, "cmdSelect", "→", "选入"},
        {&cmdSelectAll, "cmdSelectAll", "⇉", "全部选入"},
        {&cmdunSelect, "cmdunSelect", "←", "暂停"},
        {&cmdunSelectAll, "cmdunSelectAll", "⇇", "全部暂停"},
        {&cmdOk, "cmdOk", "确定", nullptr},
        {&cmdCancel, "cmdCancel", "取消", nullptr},
    };
    int top = 330;
    for (const Button& b : buttons) {
        auto* button = make(new QPushButton(QString::fromUtf8(b.caption), this), b.name);
        if (b.tip) {
            button->setToolTip(QString::fromUtf8(b.tip));
            button->setAccessibleName(QString::fromUtf8(b.tip));
        }
        button->setAutoDefault(false);
        place(button, 2340, top, 720, 315);
        top += 315 + 66;
        *b.slot = button;
    }

    chkNameChg = make(new QCheckBox(QStringLiteral("【目录】名称修改"), this), "chkNameChg");
    place(chkNameChg, 120, 2610, 3000, 285);
    // A plain frame with its caption in a label: the group box's own title is
    // measured too narrow for Chinese text by the style and comes out clipped.
    const QString frameCaption = QStringLiteral("【目录】名称修改");
    fraNameChg = make(new QFrame(this), "fraNameChg");
    fraNameChg->setFrameShape(QFrame::StyledPanel);
    fraNameChg->setAccessibleName(frameCaption);
    place(fraNameChg, 120, 2940, kWidth - 240, 1080);
    auto* caption = make(new QLabel(frameCaption, fraNameChg), "fraNameChgCaption");
    place(caption, 90, 30, 3000, 240);
    Text1 = make(new QLineEdit(fraNameChg), "Text1");
    Label3 = make(new QLabel(QStringLiteral("→"), fraNameChg), "Label3");
    Text2 = make(new QLineEdit(fraNameChg), "Text2");
    cmdNameChg = make(new QPushButton(QStringLiteral("修改存盘"), fraNameChg), "cmdNameChg");
    Label3->setAlignment(Qt::AlignCenter);
    Text1->setEnabled(false);
    Text1->setAccessibleName(QStringLiteral("原名称"));
    Text2->setAccessibleName(QStringLiteral("新名称"));
    cmdNameChg->setAutoDefault(false);
    place(Text1, 90, 300, 2100, 315);
    place(Label3, 2190, 300, 870, 315);
    place(Text2, 3060, 300, 1950, 315);
    place(cmdNameChg, 3810, 690, 1200, 315);

    connect(List1, &QListWidget::itemSelectionChanged, this, [this] { List1_Click(); });
    connect(List1, &QListWidget::itemClicked, this, [this] { List1_Click(); });
    connect(List2, &QListWidget::itemSelectionChanged, this, [this] { List2_Click(); });
    connect(List2, &QListWidget::itemClicked, this, [this] { List2_Click(); });
    connect(List1, &QListWidget::itemDoubleClicked, this, [this] { List1_DblClick(); });
    connect(List2, &QListWidget::itemDoubleClicked, this, [this] { List2_DblClick(); });
    connect(cmdSelect, &QPushButton::clicked, this, [this] { cmdSelect_Click(); });
    connect(cmdSelectAll, &QPushButton::clicked, this, [this] { cmdSelectAll_Click(); });
    connect(cmdunSelect, &QPushButton::clicked, this, [this] { cmdunSelect_Click(); });
    connect(cmdunSelectAll, &QPushButton::clicked, this, [this] { cmdunSelectAll_Click(); });
    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(chkNameChg, &QCheckBox::toggled, this, [this] { chkNameChg_Click(); });
    connect(Text2, &QLineEdit::textChanged, this, [this] { Text2_Change(); });
    connect(cmdNameChg, &QPushButton::clicked, this, [this] { cmdNameChg_Click(); });
    Text2->installEventFilter(this);
}

// ---- Opening and closing ----

void BookListDialog::Form_Load() {
    LoadBookLists();
    chkNameChg->setChecked(false);
    chkNameChg_Click();
    cmdNameChg->setEnabled(false);
}

void BookListDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_centred) return;
    m_centred = true;
    const QScreen* screen = this->screen() ? this->screen() : QApplication::primaryScreen();
    if (!screen) return;
    const QRect avail = screen->geometry();
    const QRect fg = frameGeometry();
    move(avail.left() + (avail.width() - fg.width()) / 2, avail.top() + (avail.height() - fg.height()) / 2);
}

void BookListDialog::LoadBookLists() {
    List1->clear();
    List2->clear();
    int rows = 0;
    try {
        for (const BookRow& book : ReadBooks(m_db)) {
            ++rows;
            (book.selected ? List2 : List1)->addItem(newItem(book.name, book.id));
        }
    } catch (const SqlError& e) {
        warn(e.message());
    }
    List1->setCurrentRow(-1);
    List2->setCurrentRow(-1);
    if (rows == 0) cmdOk->setEnabled(false);
}

// ---- Choosing and moving ----

void BookListDialog::ShowBookName(const QString& name, qint64 bookId) {
    if (name.isEmpty()) return;
    m_shownId = bookId;
    Text1->setText(name);
    Text2->setText(name);
    cmdNameChg->setEnabled(false);
}

int BookListDialog::chosenRow(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    return item && item->isSelected() ? list->row(item) : -1;
}

void BookListDialog::showChosen(QListWidget* list) {
    const int row = chosenRow(list);
    if (row >= 0) ShowBookName(list->item(row)->text(), idOf(list->item(row)));
}

void BookListDialog::List1_Click() { showChosen(List1); }
void BookListDialog::List2_Click() { showChosen(List2); }
void BookListDialog::List1_DblClick() { cmdSelect_Click(); }
void BookListDialog::List2_DblClick() { cmdunSelect_Click(); }

void BookListDialog::moveOne(QListWidget* source, QListWidget* target) {
    const int k = chosenRow(source);
    if (k < 0) return;
    const QListWidgetItem* moving = source->item(k);
    const QString name = moving->text();
    const qint64 id = idOf(moving);
    // Right after the target's chosen entry, or at the top.
    const int chosen = chosenRow(target);
    const int at = chosen < 0 ? 0 : chosen + 1;
    target->insertItem(at, newItem(name, id));
    target->setCurrentRow(at);
    delete source->takeItem(k);
    // The entry that took its place, else the new last one, else nothing.
    source->setCurrentRow(k < source->count() ? k : k - 1);
}

void BookListDialog::moveAll(QListWidget* source, QListWidget* target) {
    if (source->count() == 0) return;
    for (int i = 0; i < source->count(); ++i) {
        const QListWidgetItem* item = source->item(i);
        target->addItem(newItem(item->text(), idOf(item)));
    }
    source->clear();
}

void BookListDialog::cmdSelect_Click() { moveOne(List1, List2); }
void BookListDialog::cmdunSelect_Click() { moveOne(List2, List1); }
void BookListDialog::cmdSelectAll_Click() { moveAll(List1, List2); }
void BookListDialog::cmdunSelectAll_Click() { moveAll(List2, List1); }

// ---- Renaming ----

void BookListDialog::chkNameChg_Click() {
    const bool open = chkNameChg->isChecked();
    setFixedSize(twipsToPixels(kWidth), twipsToPixels((open ? kTallHeight : kShortHeight) - 405));
    Text2->setEnabled(open);
}

void BookListDialog::Text2_Change() { cmdNameChg->setEnabled(Text2->text() != Text1->text()); }

void BookListDialog::Text2_KeyDown(int keyCode) {
    if (keyCode == kEnterKey) focusNextChild();
}

bool BookListDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text2 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Text2_KeyDown(kEnterKey);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void BookListDialog::cmdNameChg_Click() {
    const QString old = Text1->text();
    // The name is taken as typed; a name of blanks only is no name.
    const QString name = Text2->text().trimmed().isEmpty() ? QString() : Text2->text();
    if (name == old || name.isEmpty() || m_shownId < 0) return;
    try {
        // Another book of that name (a change of Latin case alone is allowed).
        const bool taken = BookNameTakenByOther(m_db, name, m_shownId);
        // The main window's whole-collection entry carries the product name.
        if (taken || name.compare(kProductName, Qt::CaseInsensitive) == 0) {
            warn(QStringLiteral("该目录名已有存在！"));
            return;
        }
        RenameBook(m_db, m_shownId, name);
    } catch (const SqlError& e) {
        warn(QStringLiteral("目录修改操作失败，未作任何修改！\n\n") + e.message());
        return;
    }
    // The list entry of the renamed book, paused list first.
    bool done = false;
    for (QListWidget* list : {List1, List2}) {
        for (int i = 0; i < list->count() && !done; ++i) {
            if (idOf(list->item(i)) == m_shownId) {
                list->item(i)->setText(name);
                done = true;
            }
        }
    }
    Text1->setText(name);
    if (Text2->text() != name) Text2->setText(name);
    cmdNameChg->setEnabled(false);
}

// ---- Closing ----

void BookListDialog::cmdOk_Click() {
    if (List2->count() == 0 && !m_messages.question(QStringLiteral("系统未有选入目录！"), windowTitle())) return;
    try {
        BusyCursor busy;
        // Order and selection of every book in one go: all rows or none.
        QList<qint64> selected;
        QList<qint64> paused;
        for (int i = 0; i < List2->count(); ++i) selected.append(idOf(List2->item(i)));
        for (int j = 0; j < List1->count(); ++j) paused.append(idOf(List1->item(j)));
        SaveBookOrder(m_db, selected, paused);
    } catch (const SqlError& e) {
        warn(QStringLiteral("目录排序操作失败，未作任何修改！\n\n") + e.message());
        return;
    }
    accept();
}

void BookListDialog::cmdCancel_Click() { reject(); }

void BookListDialog::warn(const QString& text) { m_messages.message(text, MessageSink::Icon::Warning, windowTitle()); }
