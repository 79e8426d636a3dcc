#include "edit/poemeditor.h"

#include "app/busycursor.h"
#include "app/mainwindow.h"
#include "browse/browsecontroller.h"
#include "browse/titlelistmodel.h"
#include "browse/titlelistview.h"
#include "db/sqltext.h"
#include "display/displaycontroller.h"
#include "edit/poemrecord.h"
#include "edit/recyclebin.h"

#include <QAction>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
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

PoemEditor::PoemEditor(MainWindow& window) : QObject(&window), w(window) {
    drawKeyNumber = [] { return qint32(QRandomGenerator::global()->bounded(100000)); };
    for (int i = 1; i <= 3; ++i)
        connect(w.ui.mnuEditTo[size_t(i)], &QAction::triggered, this, [this, i] { BeginPoemEdit(i); });
    connect(w.ui.cmdEditOk, &QPushButton::clicked, this, [this] { ConfirmPoemEdit(); });

    // Every change of a poem field marks the record as changed.
    const auto changed = [this] { w.session().setRecordChanged(true); };
    connect(w.ui.txtTitle, &QLineEdit::textChanged, this, changed);
    connect(w.ui.txtQty, &QLineEdit::textChanged, this, changed);
    for (QTextEdit* te : {w.ui.txtPre, w.ui.txtContent, w.ui.txtMemo}) connect(te, &QTextEdit::textChanged, this, changed);
    for (QComboBox* cb : {w.ui.cboPoet, w.ui.cboDynasty, w.ui.cboType, w.ui.cboStyle}) {
        connect(cb, &QComboBox::currentTextChanged, this, changed);
        connect(cb, qOverload<int>(&QComboBox::activated), this, changed);
        // Long names and titles are kept whole (the default limit is 32767).
        cb->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    }
    w.ui.txtTitle->setMaxLength(std::numeric_limits<int>::max());
    // A locked drop-down keeps its entry: no list, no wheel, no arrow keys.
    for (QComboBox* cb : {w.ui.cboPoet, w.ui.cboStyle}) {
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
            if (watched == w.ui.cboPoet || watched == w.ui.cboStyle) return true;
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
    r.title = w.ui.txtTitle->text();
    r.poet = w.ui.cboPoet->currentText();
    r.dynasty = w.ui.cboDynasty->currentText();
    r.type = w.ui.cboType->currentText();
    r.style = w.ui.cboStyle->currentText();
    r.qty = w.ui.txtQty->text();
    r.preface = fieldText(w.ui.txtPre);
    r.content = fieldText(w.ui.txtContent);
    r.notes = fieldText(w.ui.txtMemo);
    return r;
}

void PoemEditor::ClearPoemFields() {
    w.ui.txtTitle->clear();
    for (QComboBox* cb : {w.ui.cboPoet, w.ui.cboDynasty, w.ui.cboType, w.ui.cboStyle}) {
        cb->setCurrentIndex(-1);
        cb->setEditText(QString());
    }
    w.ui.txtPre->clear();
    w.ui.txtContent->clear();
    w.ui.txtMemo->clear();
    w.ui.txtQty->setText(QStringLiteral("1"));
    w.session().setRecordChanged(false);
}

void PoemEditor::LockPoemFields(bool locked) {
    m_locked = locked;
    w.ui.txtTitle->setReadOnly(locked);
    w.ui.cboPoet->lineEdit()->setReadOnly(locked);
    w.ui.cboStyle->lineEdit()->setReadOnly(locked);
    for (QTextEdit* te : {w.ui.txtPre, w.ui.txtContent, w.ui.txtMemo}) te->setReadOnly(locked);
}

void PoemEditor::BeginPoemEdit(int index) {
    if (index < 1 || index > 3) return;
    // Modify and delete work on the selected poem; without one nothing changes.
    if (index >= 2 && !w.display->LoadPoemFields()) return;
    w.ui.cmdEditOk->show();
    w.ui.cmdSeekOk->hide();
    w.setModeName(w.ui.mnuEditTo[size_t(index)]->text());
    w.EnableCommandButtons(false);
    w.ui.cmdSeek->setEnabled(true);
    w.ui.cmdEdit->setEnabled(true);
    w.setEscapeButton(w.ui.cmdSeekCancel);
    if (index == 1) {
        // Opened from the search or another edit, the panel's texts are kept:
        // a poem can be added from what stands there.
        if (w.ui.fraSeek->isHidden()) ClearPoemFields();
        LockPoemFields(false);
    } else {
        LockPoemFields(index == 3);
    }
    w.ui.fraSeek->show();
    // Over the poet picture, which the panel may reach on a narrow window.
    w.ui.fraSeek->raise();
    w.ArrangeTextPane();
    if (index == 3) w.ui.cmdEditOk->setFocus();
    else w.ui.txtTitle->setFocus();
    w.session().setRecordChanged(false);
    w.session().setEditMode(EditMode(index));
    static const char* const captions[] = {"", "新增(&A)", "修改(&E)", "删除(&D)"};
    w.ui.cmdEditOk->setText(QString::fromUtf8(captions[index]));
}

void PoemEditor::warn(const QString& text) { w.dialogs().message(text, MessageSink::Icon::Warning); }

void PoemEditor::inform(const QString& text) { w.dialogs().message(text, MessageSink::Icon::Information); }

void PoemEditor::writeFailed(const SqlError& e) {
    warn(QStringLiteral("数据库写入失败，本次修改已全部撤销。\r\n\r\n") + e.message());
}

qint64 PoemEditor::countRows(const QString& table, const QString& condition) {
    qint64 n = 0;
    if (!w.store().db().scalarInt(QStringLiteral("select count(*) from ") + table + QStringLiteral(" Where ") + condition,
                                  &n))
        n = 0;
    return n;
}

bool PoemEditor::readQty(const QString& condition, qint64* qty) {
    SqlStatement st = w.store().db().prepare(QStringLiteral("select fQty from Poetry Where ") + condition);
    if (!st.next()) return false;
    *qty = st.isNull(0) ? 0 : st.int64(0);
    return true;
}


void PoemEditor::ConfirmPoemEdit() {
    const int mode = int(w.session().editMode());
    // Nothing is written while the database is locked (the button is disabled then).
    if (mode < 1 || mode > 3 || !w.session().canWrite()) return;
    if (mode == 2 && !w.session().recordChanged()) {
        warn(QStringLiteral("记录信息未有修改!"));
        return;
    }
    const QString qty = ConfirmedEditCount(w.ui.txtQty->text());
    if (qty != w.ui.txtQty->text()) w.ui.txtQty->setText(qty);
    const QString notes = fieldText(w.ui.txtMemo);
    if (!notes.startsWith(kNotesHeading)) w.ui.txtMemo->setPlainText(WithNotesHeading(notes));
    const PoemRecord r = fields();
    BusyCursor busy;
    if (mode == 1) addPoem(r);
    else if (mode == 2) modifyPoem(r);
    else deletePoem();
}

void PoemEditor::addPoem(const PoemRecord& r) {
    if (r.title.isEmpty() || r.poet.isEmpty()) {
        warn(QStringLiteral("请输入诗词作者及其标题信息!"));
        return;
    }
    SqlDatabase& db = w.store().db();
    try {
        // One poet cannot hold two poems of the same title.
        if (countRows(QStringLiteral("Poetry"), PoemDuplicateCondition(r.poet, r.title)) >= 1) {
            warn(QStringLiteral("该作者的诗词《") + r.title + QStringLiteral("》已有存在，请查验！"));
            return;
        }
        SqlTransaction tx(db);
        db.exec(PoemInsertStatement(r));
        tx.commit();
    } catch (const SqlError& e) {
        writeFailed(e);
        return;
    }
    inform(QStringLiteral("《") + r.title + QStringLiteral("》新增完毕！"));

    qint32 id = -1;
    try {
        id = w.store().FindPoemID(r.title, r.poet, r.style);
    } catch (const SqlError& e) {
        warn(e.message());
    }
    // The status-bar totals stay as they are until the next count.
    if (id <= 0) return;
    TitleListModel* model = w.browse->model();
    TitleRow row;
    row.title = r.title;
    row.poet = r.poet;
    row.style = r.style;
    row.poemId = id;
    model->appendTmpRow(std::move(row), drawKeyNumber());
    // Selecting the new row records it in the history and shows it.
    w.browse->selectRow(model->size() - 1);
}

void PoemEditor::modifyPoem(const PoemRecord& r) {
    if (r.title.isEmpty() || r.poet.isEmpty()) {
        warn(QStringLiteral("请输入作者及标题信息!"));
        return;
    }
    const QString id = QString::number(w.session().shownPoemId());
    const QString loadedTitle = w.display->LoadedTitle;
    const QString loadedPoet = w.display->LoadedPoet;
    SqlDatabase& db = w.store().db();
    qint64 oldQty = 0;
    try {
        if (r.title != loadedTitle || r.poet != loadedPoet) {
            // The poem itself is no duplicate (a title may change only its case).
            const QString cond = PoemDuplicateCondition(r.poet, r.title) + QStringLiteral(" And '' & fPoemID<>") + sqlText(id);
            if (countRows(QStringLiteral("Poetry"), cond) >= 1) {
                warn(QStringLiteral("该作者的诗词《") + r.title + QStringLiteral("》已有存在，请查验！"));
                return;
            }
        }
        SqlTransaction tx(db);
        // A poem deleted meanwhile (by another copy of the program, say) is not
        // reported as modified.
        const QString gone = QStringLiteral("该作者的诗词《") + loadedTitle + QStringLiteral("》已不存在，请查验！");
        if (!readQty(PoemRowCondition(id, loadedPoet, loadedTitle), &oldQty)) {
            warn(gone);
            return;
        }
        // The text being replaced goes to the recycle bin with the change.
        RecycleBin(db).keep(id.toInt(), BinKind::Replaced);
        db.exec(PoemUpdateStatement(r, id, loadedPoet, loadedTitle));
        if (db.changes() == 0) {
            warn(gone);
            return;
        }
        tx.commit();
    } catch (const SqlError& e) {
        writeFailed(e);
        return;
    }
    w.display->LoadedPoet = r.poet;
    w.display->LoadedTitle = r.title;
    TitleListModel* model = w.browse->model();
    const int selected = w.browse->selectedRow();
    if (selected >= 0) model->setRowText(selected, r.title, r.poet, r.style);
    inform(QStringLiteral("《") + r.title + QStringLiteral("》修改完毕！"));
    // Shown again, with a fresh history line, and the fields reloaded.
    w.browse->lstTitle_Click();
}

void PoemEditor::deletePoem() {
    const QString loadedTitle = w.display->LoadedTitle;
    const QString loadedPoet = w.display->LoadedPoet;
    if (!w.dialogs().question(QStringLiteral("确认：《") + loadedTitle + QStringLiteral("》诗词删除？"))) return;
    const QString id = QString::number(w.session().shownPoemId());
    SqlDatabase& db = w.store().db();
    qint64 qty = 0;
    try {
        SqlTransaction tx(db);
        if (!readQty(PoemRowCondition(id, loadedPoet, loadedTitle), &qty)) {
            warn(QStringLiteral("该作者的诗词《") + loadedTitle + QStringLiteral("》已不存在，请查验！"));
            return;
        }
        RecycleBin(db).keep(id.toInt(), BinKind::Deleted);
        db.exec(PoemDeleteStatement(id, loadedPoet, loadedTitle));
        tx.commit();
    } catch (const SqlError& e) {
        writeFailed(e);
        return;
    }
    inform(QStringLiteral("《") + loadedTitle + QStringLiteral("》删除完毕！"));

    // Totals: the stored count of the deleted poem (the count field may have
    // been changed since the poem was loaded).
    const Counters before = w.session().counters();
    w.session().setTotals(before.totalTitles - 1, before.totalPoems - qty);

    // Every row of the deleted poem leaves the list (an appended search can list it twice).
    TitleListModel* model = w.browse->model();
    const qint32 poemId = id.toInt();
    QList<int> rows;
    for (int i = 0; i < model->size(); ++i)
        if (model->poemId(i) == poemId) rows.append(i);
    const qint64 left = model->size() - rows.size();
    // After an appended search the poem count was not kept, so none is shown
    // until the next full count.
    w.session().setListed(left, before.listedPoems - qty * rows.size(), before.listedPoemsKnown);

    w.browse->RemoveHistoryEntry(poemId, 1);
    // No current row while rows go, so that only the new first row is shown.
    w.ui.lstTitle->listView()->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
    for (auto it = rows.crbegin(); it != rows.crend(); ++it) model->removeRowAt(*it);
    // The next poem is shown and loaded into the (still locked) fields.
    if (model->size() > 0) w.browse->selectRow(0);
}
