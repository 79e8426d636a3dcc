#include "search/searchcontroller.h"

#include "app/busycursor.h"
#include "app/settings.h"
#include "app/mainwindow.h"
#include "edit/poemeditor.h"
#include "edit/poemrecord.h"
#include "search/poemfilter.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>

SearchController::SearchController(MainWindow& window) : QObject(&window), w(window) {
    connect(w.ui.cmdSeek, &QToolButton::clicked, this, [this] { cmdSeek_Click(); });
    connect(w.ui.mnuSeekBegin, &QAction::triggered, this, [this] { mnuSeekBegin_Click(); });
    for (int i = 0; i < 2; ++i)
        connect(w.ui.mnuSeekOk[size_t(i)], &QAction::triggered, this, [this, i] { mnuSeekOk_Click(i); });
    connect(w.ui.cmdSeekOk, &QPushButton::clicked, this, [this] { cmdSeekOk_Click(); });
    connect(w.ui.cmdSeekCancel, &QPushButton::clicked, this, [this] { cmdSeekCancel_Click(); });
    w.ui.cmdSeekOk->setText(QStringLiteral("搜索(&F)"));
    w.ui.cmdSeekOk->setToolTip(QStringLiteral("诗词搜索"));
    w.ui.txtQty->installEventFilter(this);
    // Enter in the single-line fields and the drop-downs moves on as Tab does.
    for (QWidget* field : std::initializer_list<QWidget*>{w.ui.txtTitle, w.ui.cboPoet, w.ui.cboDynasty, w.ui.cboType,
                                                          w.ui.cboStyle, w.ui.txtQty})
        w.enterMovesFocus(field);
}

bool SearchController::eventFilter(QObject* watched, QEvent* event) {
    // The check never keeps the focus in the field. A popup (the field's own
    // context menu) or another window taking the focus is not the field
    // losing it: the user comes back to the same text.
    if (watched == w.ui.txtQty && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) txtQty_Validate();
    }
    return QObject::eventFilter(watched, event);
}

void SearchController::txtQty_Validate() {
    QLineEdit* qty = w.ui.txtQty;
    if (w.session().editMode() != EditMode::None) {
        const QString n = NormalizeEditCount(qty->text());
        if (n != qty->text()) qty->setText(n);
        return;
    }
    const QString n = NormalizeSearchCount(qty->text()).value_or(QString());
    if (n != qty->text()) qty->setText(n);
}

void SearchController::leavePoemEdit() {
    if (w.session().editMode() == EditMode::None) return;
    w.poemEditor->ClearPoemFields();
    if (w.session().editMode() == EditMode(3)) w.poemEditor->LockPoemFields(false);
}

void SearchController::cmdSeek_Click() {
    leavePoemEdit();
    w.session().setEditMode(EditMode(0));
    w.ui.cmdEditOk->hide();
    w.ui.cmdSeekOk->show();
    w.ui.fraSeek->show();
    // Over the poet picture, which the panel may reach on a narrow window.
    w.ui.fraSeek->raise();
    for (QAction* a : w.ui.mnuSeekOk) a->setEnabled(true);
    w.ArrangeTextPane();
    w.setModeName(w.ui.cmdSeek->toolTip());
    w.EnableCommandButtons(false);
    // From searching straight to editing.
    if (w.session().canWrite()) w.ui.cmdEdit->setEnabled(true);
    w.setEscapeButton(w.ui.cmdSeekCancel);
    w.ui.txtQty->clear();
    w.ui.txtTitle->setFocus();
}

void SearchController::mnuSeekOk_Click(int index) {
    // Only while the panel serves the search.
    if (!w.ui.cmdSeekOk->isVisibleTo(&w)) return;
    w.ui.cmdSeekOk->setEnabled(false);
    BusyCursor busy;
    // The count is put into its checked form first (also when the field still
    // has the focus), so text that is no count never reaches the statement.
    const QString qty = NormalizeSearchCount(w.ui.txtQty->text()).value_or(QString());
    if (qty != w.ui.txtQty->text()) w.ui.txtQty->setText(qty);
    const PoemSearchFields fields{w.ui.cboType->currentText(), w.ui.cboDynasty->currentText(),
                                  w.ui.cboStyle->currentText(), w.ui.cboPoet->currentText(),
                                  w.ui.txtTitle->text(),       PoemEditor::fieldText(w.ui.txtContent),
                                  PoemEditor::fieldText(w.ui.txtPre), PoemEditor::fieldText(w.ui.txtMemo), qty};
    // The index narrows the search where it can; the rows are those of the clause.
    const QString filter = w.store().searchIndex().filter(fields, Settings::foldScripts());
    w.FillTitleList(filter, QStringLiteral("a.fTitle,a.fPoet"), QString::number(index));
    w.store().searchIndex().searchDone();
    w.ui.myState->setText(QStringLiteral("状态：[") + w.ui.cmdSeek->toolTip() + u']');
    w.ui.cmdSeekOk->setEnabled(true);
}

void SearchController::cmdSeekCancel_Click() {
    leavePoemEdit();
    w.ui.fraSeek->hide();
    for (QAction* a : w.ui.mnuSeekOk) a->setEnabled(false);
    w.ArrangeTextPane();
    w.setModeName(QStringLiteral("查询"));
    w.EnableCommandButtons(true);
    w.session().setEditMode(EditMode(0));
}
