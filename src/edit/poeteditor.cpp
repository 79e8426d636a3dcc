#include "edit/poeteditor.h"

#include "app/busycursor.h"
#include "app/mainwindow.h"
#include "db/sqltext.h"
#include "edit/poemeditor.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextEdit>

PoetEditor::PoetEditor(MainWindow& window) : QObject(&window), w(window) {
    connect(w.ui.cboPoet2, &QComboBox::currentTextChanged, this, [this] { LoadPoetBiography(); });
    connect(w.ui.cboPoet2, qOverload<int>(&QComboBox::activated), this, [this] { LoadPoetBiography(); });
    connect(w.ui.txtPoet2, &QTextEdit::textChanged, this, [this] { w.session().setRecordChanged(true); });
    connect(w.ui.mnuPoetEdit, &QAction::triggered, this, [this] { mnuPoetEdit_Click(); });
    connect(w.ui.mnuPoetDel, &QAction::triggered, this, [this] { mnuPoetDel_Click(); });
    connect(w.ui.cmdPoetOk, &QPushButton::clicked, this, [this] { cmdPoetOk_Click(); });
    connect(w.ui.cmdPoetCancel, &QPushButton::clicked, this, [this] { cmdPoetCancel_Click(); });
}

QString PoetEditor::actionCode() const { return MainWindow::tag(w.ui.cmdPoetOk); }

void PoetEditor::setActionCode(const QString& code) { MainWindow::setTag(w.ui.cmdPoetOk, code); }

void PoetEditor::LoadPoetBiography() {
    BusyCursor busy;
    QString brief;
    if (w.store().isOpen()) {
        try {
            SqlStatement st = w.store().db().prepare(QStringLiteral("select * from Poet Where fPoet=") +
                                                     sqlText(w.ui.cboPoet2->currentText()));
            if (st.next()) brief = st.text(QStringLiteral("fBrief"));
        } catch (const SqlError& e) {
            w.store().reportReadFailure(e);
        }
    }
    w.ui.txtPoet2->setPlainText(brief);
    w.session().setRecordChanged(false);
}

int PoetEditor::FindPoetIndex(const QString& name) const {
    const QComboBox* cb = w.ui.cboPoet;
    for (int i = 0; i < cb->count(); ++i)
        if (cb->itemText(i) == name) return i;
    return -1;
}

void PoetEditor::arm(const QString& code) {
    const bool modify = code != u"3";
    setActionCode(code);
    w.ui.txtPoet2->setReadOnly(!modify);
    w.ui.cboPoet2->setEnabled(modify);
    w.ui.cmdPoetOk->setText(modify ? QStringLiteral("修改") : QStringLiteral("删除"));
    w.ui.cmdPoetOk->show();
    w.ui.cmdPoetCancel->show();
    w.ui.cmdPoetOk->raise();
    w.ui.cmdPoetCancel->raise();
    w.setModeName(modify ? QStringLiteral("作者修改") : QStringLiteral("作者删除"));
    w.ui.myState->setText(QStringLiteral("状态：[") + w.session().modeName() + u']');
    w.session().setRecordChanged(false);
    if (w.escapeButton() != w.ui.cmdPoetCancel) m_escapeBefore = w.escapeButton();
    w.setEscapeButton(w.ui.cmdPoetCancel);
    if (modify) w.ui.txtPoet2->setFocus();
    else w.ui.cmdPoetOk->setFocus();
}

void PoetEditor::mnuPoetEdit_Click() { arm(QStringLiteral("1")); }

void PoetEditor::mnuPoetDel_Click() { arm(QStringLiteral("3")); }

void PoetEditor::cmdPoetCancel_Click() {
    w.ui.txtPoet2->setReadOnly(true);
    w.ui.cboPoet2->setEnabled(false);
    w.ui.cmdPoetOk->hide();
    w.ui.cmdPoetCancel->hide();
    w.setModeName(QStringLiteral("查询"));
    w.ui.myState->setText(QStringLiteral("状态：[查询]"));
    // Escape presses again what it pressed before the poet action.
    if (w.escapeButton() == w.ui.cmdPoetCancel) w.setEscapeButton(m_escapeBefore ? m_escapeBefore : w.ui.cmdQuit);
}

void PoetEditor::insertPoetName(const QString& name) {
    if (FindPoetIndex(name) >= 0) return;
    // Sorted in, as the lists were filled.
    int at = 0;
    while (at < w.ui.cboPoet->count() && w.ui.cboPoet->itemText(at).compare(name, Qt::CaseInsensitive) <= 0) ++at;
    for (QComboBox* cb : {w.ui.cboPoet, w.ui.cboPoet2}) {
        const QString shown = cb->currentText();
        const QSignalBlocker block(cb);
        cb->insertItem(at, name);
        if (cb->currentText() != shown) cb->setEditText(shown);
    }
}

void PoetEditor::removePoetAt(int index) {
    for (QComboBox* cb : {w.ui.cboPoet, w.ui.cboPoet2}) {
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
    const QString name = w.ui.cboPoet2->currentText();
    const QString brief = PoemEditor::fieldText(w.ui.txtPoet2);
    const QString condition = QStringLiteral("fPoet=") + sqlText(name);
    SqlDatabase& db = w.store().db();
    QString statement;
    QString code;
    try {
        if (actionCode() == u"3") {
            if (!w.dialogs().question(name + QStringLiteral("：删除作者资料，确认？"))) return;
            qint64 poems = 0;
            db.scalarInt(QStringLiteral("select count(*) from Poetry Where ") + condition, &poems);
            if (poems >= 1) {
                w.dialogs().message(name + QStringLiteral("：作者尚有诗词作品（") + QString::number(poems) +
                                        QStringLiteral("题），不可删除。"),
                                    MessageSink::Icon::Information);
                return;
            }
            code = QStringLiteral("3");
            statement = QStringLiteral("Delete From Poet Where ") + condition;
        } else if (w.session().recordChanged()) {
            // A biography needs a poet to belong to.
            if (name.trimmed().isEmpty()) {
                w.dialogs().message(QStringLiteral("请输入作者姓名!"), MessageSink::Icon::Warning);
                return;
            }
            qint64 poets = 0;
            db.scalarInt(QStringLiteral("select count(*) from Poet Where ") + condition, &poets);
            if (poets < 1) {
                if (!w.dialogs().question(name + QStringLiteral("：作者不存在，是否新增？"))) return;
                code = QStringLiteral("1");
                statement = QStringLiteral("Insert Into Poet (fPoet,fBrief) Values (") + sqlText(name) + u',' +
                            sqlText(brief) + u')';
            } else {
                if (!w.dialogs().question(name + QStringLiteral("：修改作者资料，确认？"))) return;
                code = QStringLiteral("2");
                statement = QStringLiteral("Update Poet Set fBrief=") + sqlText(brief) + QStringLiteral(" Where ") +
                            condition;
            }
        } else {
            w.dialogs().message(QStringLiteral("作者信息未有修改!"), MessageSink::Icon::Information);
            return;
        }
        BusyCursor busy;
        SqlTransaction tx(db);
        db.exec(statement);
        tx.commit();
    } catch (const SqlError& e) {
        w.dialogs().message(QStringLiteral("数据库写入失败，本次修改已全部撤销。\r\n\r\n") + e.message(),
                            MessageSink::Icon::Warning);
        return;
    }
    setActionCode(code);
    if (code == u"1") {
        insertPoetName(name);
    } else if (code == u"3") {
        const int index = FindPoetIndex(name);
        if (index >= 0) removePoetAt(index);
        w.ui.txtPoet2->clear();
    }
    w.session().setRecordChanged(false);
}
