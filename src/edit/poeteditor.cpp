#include "edit/poeteditor.h"

#include "app/busycursor.h"
#include "app/dialogs.h"
#include "app/session.h"
#include "app/windowframe.h"
#include "db/poemstore.h"
#include "edit/poemeditor.h"
#include "edit/poetrecord.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextEdit>

PoetEditor::PoetEditor(const PoetEditorUi& controls, PoemStore& store, Dialogs& dialogs, Session& session,
                       WindowFrame& frame, QObject* parent)
    : QObject(parent), ui(controls), m_store(store), m_dialogs(dialogs), m_session(session), m_frame(frame) {
    connect(ui.cboPoet2, &QComboBox::currentTextChanged, this, [this] { LoadPoetBiography(); });
    connect(ui.cboPoet2, qOverload<int>(&QComboBox::activated), this, [this] { LoadPoetBiography(); });
    connect(ui.txtPoet2, &QTextEdit::textChanged, this, [this] { m_session.setRecordChanged(true); });
    connect(ui.mnuPoetEdit, &QAction::triggered, this, [this] { mnuPoetEdit_Click(); });
    connect(ui.mnuPoetDel, &QAction::triggered, this, [this] { mnuPoetDel_Click(); });
    connect(ui.cmdPoetOk, &QPushButton::clicked, this, [this] { cmdPoetOk_Click(); });
    connect(ui.cmdPoetCancel, &QPushButton::clicked, this, [this] { cmdPoetCancel_Click(); });
}

void PoetEditor::LoadPoetBiography() {
    BusyCursor busy;
    QString brief;
    if (m_store.isOpen()) {
        try {
            brief = PoetBiography(m_store.db(), ui.cboPoet2->currentText());
        } catch (const SqlError& e) {
            m_store.reportReadFailure(e);
        }
    }
    ui.txtPoet2->setPlainText(brief);
    m_session.setRecordChanged(false);
}

int PoetEditor::FindPoetIndex(const QString& name) const {
    const QComboBox* cb = ui.cboPoet;
    for (int i = 0; i < cb->count(); ++i)
        if (cb->itemText(i) == name) return i;
    return -1;
}

void PoetEditor::arm(Action action) {
    const bool modify = action != Action::Delete;
    m_action = action;
    ui.txtPoet2->setReadOnly(!modify);
    ui.cboPoet2->setEnabled(modify);
    ui.cmdPoetOk->setText(modify ? QStringLiteral("修改") : QStringLiteral("删除"));
    ui.cmdPoetOk->show();
    ui.cmdPoetCancel->show();
    ui.cmdPoetOk->raise();
    ui.cmdPoetCancel->raise();
    m_session.setModeName(modify ? QStringLiteral("作者修改") : QStringLiteral("作者删除"));
    ui.myState->setText(QStringLiteral("状态：[") + m_session.modeName() + u']');
    m_session.setRecordChanged(false);
    if (m_frame.escapeButton() != ui.cmdPoetCancel) m_escapeBefore = m_frame.escapeButton();
    m_frame.setEscapeButton(ui.cmdPoetCancel);
    if (modify) ui.txtPoet2->setFocus();
    else ui.cmdPoetOk->setFocus();
}

void PoetEditor::mnuPoetEdit_Click() { arm(Action::Modify); }

void PoetEditor::mnuPoetDel_Click() { arm(Action::Delete); }

void PoetEditor::cmdPoetCancel_Click() {
    ui.txtPoet2->setReadOnly(true);
    ui.cboPoet2->setEnabled(false);
    ui.cmdPoetOk->hide();
    ui.cmdPoetCancel->hide();
    m_session.setModeName(QStringLiteral("查询"));
    ui.myState->setText(QStringLiteral("状态：[查询]"));
    // Escape presses again what it pressed before the poet action.
    if (m_frame.escapeButton() == ui.cmdPoetCancel)
        m_frame.setEscapeButton(m_escapeBefore ? m_escapeBefore : ui.cmdQuit);
}

void PoetEditor::insertPoetName(const QString& name) {
    if (FindPoetIndex(name) >= 0) return;
    // Sorted in, as the lists were filled.
    int at = 0;
    while (at < ui.cboPoet->count() && ui.cboPoet->itemText(at).compare(name, Qt::CaseInsensitive) <= 0) ++at;
    for (QComboBox* cb : {ui.cboPoet, ui.cboPoet2}) {
        const QString shown = cb->currentText();
        const QSignalBlocker block(cb);
        cb->insertItem(at, name);
        if (cb->currentText() != shown) cb->setEditText(shown);
    }
}

void PoetEditor::removePoetAt(int index) {
    for (QComboBox* cb : {ui.cboPoet, ui.cboPoet2}) {
        const QString shown = cb->currentText();
        const QSignalBlocker block(cb);
        cb->removeItem(index);
        if (cb->currentText() != shown) {
            cb->setCurrentIndex(-1);
            cb->setEditText(shown);
        }
    }
}

void PoetEditor::cmdPoetOk_Click() {
    const QString name = ui.cboPoet2->currentText();
    const QString brief = PoemEditor::fieldText(ui.txtPoet2);
    SqlDatabase& db = m_store.db();
    Action done = Action::None;
    try {
        if (m_action == Action::Delete) {
            if (!m_dialogs.question(name + QStringLiteral("：删除作者资料，确认？"))) return;
            const qint64 poems = PoemCountOfPoet(db, name);
            if (poems >= 1) {
                m_dialogs.message(name + QStringLiteral("：作者尚有诗词作品（") + QString::number(poems) +
                                      QStringLiteral("题），不可删除。"),
                                  MessageSink::Icon::Information);
                return;
            }
            done = Action::Delete;
        } else if (m_session.recordChanged()) {
            // A biography needs a poet to belong to.
            if (name.trimmed().isEmpty()) {
                m_dialogs.message(QStringLiteral("请输入作者姓名!"), MessageSink::Icon::Warning);
                return;
            }
            if (!PoetExists(db, name)) {
                if (!m_dialogs.question(name + QStringLiteral("：作者不存在，是否新增？"))) return;
                done = Action::Modify;
            } else {
                if (!m_dialogs.question(name + QStringLiteral("：修改作者资料，确认？"))) return;
                done = Action::BiographyUpdated;
            }
        } else {
            m_dialogs.message(QStringLiteral("作者信息未有修改!"), MessageSink::Icon::Information);
            return;
        }
        BusyCursor busy;
        SqlTransaction tx(db);
        if (done == Action::Delete) DeletePoet(db, name);
        else if (done == Action::Modify) InsertPoet(db, name, brief);
        else UpdatePoetBiography(db, name, brief);
        tx.commit();
    } catch (const SqlError& e) {
        m_dialogs.message(QStringLiteral("数据库写入失败，本次修改已全部撤销。\r\n\r\n") + e.message(),
                          MessageSink::Icon::Warning);
        return;
    }
    m_action = done;
    if (done == Action::Modify) {
        insertPoetName(name);
    } else if (done == Action::Delete) {
        const int index = FindPoetIndex(name);
        if (index >= 0) removePoetAt(index);
        ui.txtPoet2->clear();
    }
    m_session.setRecordChanged(false);
}
