#include "edit/poemeditor.h"

#include "app/busycursor.h"
#include "app/dialogs.h"
#include "app/session.h"
#include "app/windowframe.h"
#include "browse/browsecontroller.h"
#include "browse/titlelistmodel.h"
#include "browse/titlelistview.h"
#include "db/poemstore.h"
#include "display/displaycontroller.h"
#include "edit/poemrecord.h"
#include "edit/recyclebin.h"

#include <QAction>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QFrame>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

#include <limits>

namespace {

const QString kNotesHeading = QStringLiteral("【注释】");

// Keys that would change a drop-down's choice.
bool choosesAnotherEntry(const QKeyEvent* ke) {
    switch (ke->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_F4:
        return true;
    default:
        return false;
    }
}

} // namespace

PoemEditor::PoemEditor(const PoemEditorUi& controls, PoemStore& store, Dialogs& dialogs, Session& session,
                       WindowFrame& frame, BrowseController& browse, DisplayController& display, QObject* parent)
    : QObject(parent), ui(controls), m_store(store), m_dialogs(dialogs), m_session(session), m_frame(frame),
      m_browse(browse), m_display(display) {
    drawKeyNumber = [] { return qint32(QRandomGenerator::global()->bounded(100000)); };
    for (const EditMode mode : {EditMode::Add, EditMode::Modify, EditMode::Delete})
        connect(ui.mnuEditTo[size_t(mode)], &QAction::triggered, this, [this, mode] { BeginPoemEdit(mode); });
    connect(ui.cmdEditOk, &QPushButton::clicked, this, [this] { ConfirmPoemEdit(); });

    // Every change of a poem field marks the record as changed.
    const auto changed = [this] { m_session.setRecordChanged(true); };
    connect(ui.txtTitle, &QLineEdit::textChanged, this, changed);
    connect(ui.txtQty, &QLineEdit::textChanged, this, changed);
    for (QTextEdit* te : {ui.txtPre, ui.txtContent, ui.txtMemo}) connect(te, &QTextEdit::textChanged, this, changed);
    for (QComboBox* cb : {ui.cboPoet, ui.cboDynasty, ui.cboType, ui.cboStyle}) {
        connect(cb, &QComboBox::currentTextChanged, this, changed);
        connect(cb, qOverload<int>(&QComboBox::activated), this, changed);
        // Long names and titles are kept whole (the default limit is 32767).
        cb->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    }
    ui.txtTitle->setMaxLength(std::numeric_limits<int>::max());
    // A locked drop-down keeps its entry: no list, no wheel, no arrow keys.
    for (QComboBox* cb : {ui.cboPoet, ui.cboStyle}) {
        cb->installEventFilter(this);
        cb->lineEdit()->installEventFilter(this);
    }
}

bool PoemEditor::eventFilter(QObject* watched, QEvent* event) {
    if (m_locked) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
            if (watched == ui.cboPoet || watched == ui.cboStyle) return true;
            break;
        case QEvent::KeyPress: {
            const auto* ke = static_cast<QKeyEvent*>(event);
            if (choosesAnotherEntry(ke) || (ke->key() == Qt::Key_Down && (ke->modifiers() & Qt::AltModifier)))
                return true;
            break;
        }
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

QString PoemEditor::fieldText(const QTextEdit* field) {
    // The raw text keeps every character as typed (toPlainText would turn
    // non-breaking spaces into blanks); paragraphs end with U+2029.
    return WithCrLf(field->document()->toRawText());
}

PoemRecord PoemEditor::fields() const {
    PoemRecord r;
    r.title = ui.txtTitle->text();
    r.poet = ui.cboPoet->currentText();
    r.dynasty = ui.cboDynasty->currentText();
    r.type = ui.cboType->currentText();
    r.style = ui.cboStyle->currentText();
    r.qty = ui.txtQty->text();
    r.preface = fieldText(ui.txtPre);
    r.content = fieldText(ui.txtContent);
    r.notes = fieldText(ui.txtMemo);
    return r;
}

void PoemEditor::ClearPoemFields() {
    ui.txtTitle->clear();
    for (QComboBox* cb : {ui.cboPoet, ui.cboDynasty, ui.cboType, ui.cboStyle}) {
        cb->setCurrentIndex(-1);
        cb->setEditText(QString());
    }
    ui.txtPre->clear();
    ui.txtContent->clear();
    ui.txtMemo->clear();
    ui.txtQty->setText(QStringLiteral("1"));
    m_session.setRecordChanged(false);
}

void PoemEditor::LockPoemFields(bool locked) {
    m_locked = locked;
    ui.txtTitle->setReadOnly(locked);
    ui.cboPoet->lineEdit()->setReadOnly(locked);
    ui.cboStyle->lineEdit()->setReadOnly(locked);
    for (QTextEdit* te : {ui.txtPre, ui.txtContent, ui.txtMemo}) te->setReadOnly(locked);
}

void PoemEditor::LeavePoemEdit(EditMode mode) {
    ClearPoemFields();
    if (mode == EditMode::Delete) LockPoemFields(false);
}

void PoemEditor::BeginPoemEdit(EditMode mode) {
    if (mode == EditMode::None) return;
    // Modify and delete work on the selected poem; without one nothing changes.
    if (mode != EditMode::Add && !m_display.LoadPoemFields()) return;
    ui.cmdEditOk->show();
    ui.cmdSeekOk->hide();
    m_session.setModeName(ui.mnuEditTo[size_t(mode)]->text());
    m_frame.enableCommandButtons(false);
    ui.cmdSeek->setEnabled(true);
    ui.cmdEdit->setEnabled(true);
    m_frame.setEscapeButton(ui.cmdSeekCancel);
    if (mode == EditMode::Add) {
        // Opened from the search or another edit, the panel's texts are kept:
        // a poem can be added from what stands there.
        if (ui.fraSeek->isHidden()) ClearPoemFields();
        LockPoemFields(false);
    } else {
        LockPoemFields(mode == EditMode::Delete);
    }
    ui.fraSeek->show();
    // Over the poet picture, which the panel may reach on a narrow window.
    ui.fraSeek->raise();
    m_frame.arrangeTextPane();
    if (mode == EditMode::Delete) ui.cmdEditOk->setFocus();
    else ui.txtTitle->setFocus();
    m_session.setRecordChanged(false);
    m_session.setEditMode(mode);
    ui.cmdEditOk->setText(mode == EditMode::Add      ? QStringLiteral("新增(&A)")
                          : mode == EditMode::Modify ? QStringLiteral("修改(&E)")
                                                     : QStringLiteral("删除(&D)"));
}

void PoemEditor::warn(const QString& text) { m_dialogs.message(text, MessageSink::Icon::Warning); }

void PoemEditor::inform(const QString& text) { m_dialogs.message(text, MessageSink::Icon::Information); }

void PoemEditor::writeFailed(const SqlError& e) {
    warn(QStringLiteral("数据库写入失败，本次修改已全部撤销。\r\n\r\n") + e.message());
}

void PoemEditor::ConfirmPoemEdit() {
    const EditMode mode = m_session.editMode();
    // Nothing is written while the database is locked (the button is disabled then).
    if (mode == EditMode::None || !m_session.canWrite()) return;
    if (mode == EditMode::Modify && !m_session.recordChanged()) {
        warn(QStringLiteral("记录信息未有修改!"));
        return;
    }
    const QString qty = ConfirmedEditCount(ui.txtQty->text());
    if (qty != ui.txtQty->text()) ui.txtQty->setText(qty);
    const QString notes = fieldText(ui.txtMemo);
    if (!notes.startsWith(kNotesHeading)) ui.txtMemo->setPlainText(WithNotesHeading(notes));
    const PoemRecord r = fields();
    BusyCursor busy;
    if (mode == EditMode::Add) addPoem(r);
    else if (mode == EditMode::Modify) modifyPoem(r);
    else deletePoem();
}

void PoemEditor::addPoem(const PoemRecord& r) {
    if (r.title.isEmpty() || r.poet.isEmpty()) {
        warn(QStringLiteral("请输入诗词作者及其标题信息!"));
        return;
    }
    SqlDatabase& db = m_store.db();
    try {
        // One poet cannot hold two poems of the same title.
        if (PoemTitleTaken(db, r.poet, r.title)) {
            warn(QStringLiteral("该作者的诗词《") + r.title + QStringLiteral("》已有存在，请查验！"));
            return;
        }
        SqlTransaction tx(db);
        InsertPoem(db, r);
        tx.commit();
    } catch (const SqlError& e) {
        writeFailed(e);
        return;
    }
    inform(QStringLiteral("《") + r.title + QStringLiteral("》新增完毕！"));

    qint32 id = -1;
    try {
        id = m_store.FindPoemID(r.title, r.poet, r.style);
    } catch (const SqlError& e) {
        warn(e.message());
    }
    // The status-bar totals stay as they are until the next count.
    if (id <= 0) return;
    TitleListModel* model = m_browse.model();
    TitleRow row;
    row.title = r.title;
    row.poet = r.poet;
    row.style = r.style;
    row.poemId = id;
    model->appendTmpRow(std::move(row), drawKeyNumber());
    // Selecting the new row records it in the history and shows it.
    m_browse.selectRow(model->size() - 1);
}

void PoemEditor::modifyPoem(const PoemRecord& r) {
    if (r.title.isEmpty() || r.poet.isEmpty()) {
        warn(QStringLiteral("请输入作者及标题信息!"));
        return;
    }
    const qint64 id = m_session.shownPoemId();
    const QString loadedTitle = m_display.LoadedTitle;
    const QString loadedPoet = m_display.LoadedPoet;
    SqlDatabase& db = m_store.db();
    try {
        // The poem itself is no duplicate (a title may change only its case).
        if ((r.title != loadedTitle || r.poet != loadedPoet) && PoemTitleTaken(db, r.poet, r.title, id)) {
            warn(QStringLiteral("该作者的诗词《") + r.title + QStringLiteral("》已有存在，请查验！"));
            return;
        }
        SqlTransaction tx(db);
        // A poem deleted meanwhile (by another copy of the program, say) is not
        // reported as modified.
        const QString gone = QStringLiteral("该作者的诗词《") + loadedTitle + QStringLiteral("》已不存在，请查验！");
        if (!StoredPoemQty(db, id, loadedPoet, loadedTitle)) {
            warn(gone);
            return;
        }
        // The text being replaced goes to the recycle bin with the change.
        RecycleBin(db).keep(qint32(id), BinKind::Replaced);
        if (!UpdatePoem(db, r, id, loadedPoet, loadedTitle)) {
            warn(gone);
            return;
        }
        tx.commit();
    } catch (const SqlError& e) {
        writeFailed(e);
        return;
    }
    m_display.LoadedPoet = r.poet;
    m_display.LoadedTitle = r.title;
    TitleListModel* model = m_browse.model();
    const int selected = m_browse.selectedRow();
    if (selected >= 0) model->setRowText(selected, r.title, r.poet, r.style);
    inform(QStringLiteral("《") + r.title + QStringLiteral("》修改完毕！"));
    // Shown again, with a fresh history line, and the fields reloaded.
    m_browse.lstTitle_Click();
}

void PoemEditor::deletePoem() {
    const QString loadedTitle = m_display.LoadedTitle;
    const QString loadedPoet = m_display.LoadedPoet;
    if (!m_dialogs.question(QStringLiteral("确认：《") + loadedTitle + QStringLiteral("》诗词删除？"))) return;
    const qint64 id = m_session.shownPoemId();
    SqlDatabase& db = m_store.db();
    qint64 qty = 0;
    try {
        SqlTransaction tx(db);
        const std::optional<qint64> stored = StoredPoemQty(db, id, loadedPoet, loadedTitle);
        if (!stored) {
            warn(QStringLiteral("该作者的诗词《") + loadedTitle + QStringLiteral("》已不存在，请查验！"));
            return;
        }
        qty = *stored;
        RecycleBin(db).keep(qint32(id), BinKind::Deleted);
        DeletePoem(db, id, loadedPoet, loadedTitle);
        tx.commit();
    } catch (const SqlError& e) {
        writeFailed(e);
        return;
    }
    inform(QStringLiteral("《") + loadedTitle + QStringLiteral("》删除完毕！"));

    // Totals: the stored count of the deleted poem (the count field may have
    // been changed since the poem was loaded).
    const Counters before = m_session.counters();
    m_session.setTotals(before.totalTitles - 1, before.totalPoems - qty);

    // Every row of the deleted poem leaves the list (an appended search can list it twice).
    TitleListModel* model = m_browse.model();
    const auto poemId = qint32(id);
    QList<int> rows;
    for (int i = 0; i < model->size(); ++i)
        if (model->poemId(i) == poemId) rows.append(i);
    const qint64 left = model->size() - rows.size();
    // After an appended search the poem count was not kept, so none is shown
    // until the next full count.
    m_session.setListed(left, before.listedPoems - qty * rows.size(), before.listedPoemsKnown);

    m_browse.RemoveHistoryEntry(poemId, 1);
    // No current row while rows go, so that only the new first row is shown.
    ui.lstTitle->listView()->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
    for (auto it = rows.crbegin(); it != rows.crend(); ++it) model->removeRowAt(*it);
    // The next poem is shown and loaded into the (still locked) fields.
    if (model->size() > 0) m_browse.selectRow(0);
}
