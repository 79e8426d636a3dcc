#include "search/searchcontroller.h"

#include "app/busycursor.h"
#include "app/session.h"
#include "app/settings.h"
#include "app/windowframe.h"
#include "db/poemstore.h"
#include "edit/poemeditor.h"
#include "edit/poemrecord.h"
#include "search/poemfilter.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>

SearchController::SearchController(const SearchControllerUi& controls, PoemStore& store, Session& session,
                                   WindowFrame& frame, QObject* parent)
    : QObject(parent), ui(controls), m_store(store), m_session(session), m_frame(frame) {
    connect(ui.cmdSeek, &QToolButton::clicked, this, [this] { cmdSeek_Click(); });
    connect(ui.mnuSeekBegin, &QAction::triggered, this, [this] { mnuSeekBegin_Click(); });
    for (int i = 0; i < 2; ++i)
        connect(ui.mnuSeekOk[size_t(i)], &QAction::triggered, this, [this, i] { mnuSeekOk_Click(i); });
    connect(ui.cmdSeekOk, &QPushButton::clicked, this, [this] { cmdSeekOk_Click(); });
    connect(ui.cmdSeekCancel, &QPushButton::clicked, this, [this] { cmdSeekCancel_Click(); });
    ui.cmdSeekOk->setText(QStringLiteral("搜索(&F)"));
    ui.cmdSeekOk->setToolTip(QStringLiteral("诗词搜索"));
    ui.txtQty->installEventFilter(this);
    // Enter in the single-line fields and the drop-downs moves on as Tab does.
    for (QWidget* field :
         std::initializer_list<QWidget*>{ui.txtTitle, ui.cboPoet, ui.cboDynasty, ui.cboType, ui.cboStyle, ui.txtQty})
        m_frame.enterMovesFocus(field);
}

bool SearchController::eventFilter(QObject* watched, QEvent* event) {
    // The check never keeps the focus in the field. A popup (the field's own
    // context menu) or another window taking the focus is not the field
    // losing it: the user comes back to the same text.
    if (watched == ui.txtQty && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) txtQty_Validate();
    }
    return QObject::eventFilter(watched, event);
}

void SearchController::txtQty_Validate() {
    QLineEdit* qty = ui.txtQty;
    if (m_session.editMode() != EditMode::None) {
        const QString n = NormalizeEditCount(qty->text());
        if (n != qty->text()) qty->setText(n);
        return;
    }
    const QString n = NormalizeSearchCount(qty->text()).value_or(QString());
    if (n != qty->text()) qty->setText(n);
}

void SearchController::leavePoemEdit() {
    if (m_session.editMode() != EditMode::None) emit poemEditLeft(m_session.editMode());
}

void SearchController::cmdSeek_Click() {
    leavePoemEdit();
    m_session.setEditMode(EditMode::None);
    ui.cmdEditOk->hide();
    ui.cmdSeekOk->show();
    ui.fraSeek->show();
    // Over the poet picture, which the panel may reach on a narrow window.
    ui.fraSeek->raise();
    for (QAction* a : ui.mnuSeekOk) a->setEnabled(true);
    m_frame.arrangeTextPane();
    m_session.setModeName(ui.cmdSeek->toolTip());
    m_frame.enableCommandButtons(false);
    // From searching straight to editing.
    if (m_session.canWrite()) ui.cmdEdit->setEnabled(true);
    m_frame.setEscapeButton(ui.cmdSeekCancel);
    ui.txtQty->clear();
    ui.txtTitle->setFocus();
}

void SearchController::mnuSeekOk_Click(int index) {
    // Only while the panel serves the search.
    if (!ui.cmdSeekOk->isVisibleTo(ui.cmdSeekOk->window())) return;
    ui.cmdSeekOk->setEnabled(false);
    BusyCursor busy;
    // The count is put into its checked form first (also when the field still
    // has the focus), so text that is no count never reaches the statement.
    const QString qty = NormalizeSearchCount(ui.txtQty->text()).value_or(QString());
    if (qty != ui.txtQty->text()) ui.txtQty->setText(qty);
    const PoemSearchFields fields{ui.cboType->currentText(),         ui.cboDynasty->currentText(),
                                  ui.cboStyle->currentText(),        ui.cboPoet->currentText(),
                                  ui.txtTitle->text(),               PoemEditor::fieldText(ui.txtContent),
                                  PoemEditor::fieldText(ui.txtPre), PoemEditor::fieldText(ui.txtMemo),
                                  qty};
    // The index narrows the search where it can; the rows are those of the clause.
    const QString filter = m_store.searchIndex().filter(fields, Settings::foldScripts());
    emit titleListWanted(filter, QStringLiteral("a.fTitle,a.fPoet"), index == 1);
    m_store.searchIndex().searchDone();
    ui.myState->setText(QStringLiteral("状态：[") + ui.cmdSeek->toolTip() + u']');
    ui.cmdSeekOk->setEnabled(true);
}

void SearchController::cmdSeekCancel_Click() {
    leavePoemEdit();
    ui.fraSeek->hide();
    for (QAction* a : ui.mnuSeekOk) a->setEnabled(false);
    m_frame.arrangeTextPane();
    m_session.setModeName(QStringLiteral("查询"));
    m_frame.enableCommandButtons(true);
    m_session.setEditMode(EditMode::None);
}
