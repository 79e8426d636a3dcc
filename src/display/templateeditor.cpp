#include "display/templateeditor.h"

#include "app/busycursor.h"
#include "app/dialogs.h"
#include "app/session.h"
#include "app/settings.h"
#include "app/windowframe.h"
#include "display/displaycontroller.h"
#include "display/templatestore.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <limits>

TemplateEditor::TemplateEditor(const TemplateEditorUi& controls, SqlDatabase& db, Dialogs& dialogs,
                               Session& session, WindowFrame& frame, DisplayController& display, QObject* parent)
    : QObject(parent), ui(controls), m_db(db), m_dialogs(dialogs), m_session(session), m_frame(frame),
      m_display(display) {
    connect(ui.cmdSetting, &QToolButton::clicked, this, [this] { cmdSetting_Click(); });
    connect(ui.mnuModel, &QAction::triggered, this, [this] { mnuModel_Click(); });
    connect(ui.cmdSaveCancel, &QPushButton::clicked, this, [this] { cmdSaveCancel_Click(); });
    connect(ui.cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(ui.cmdSaveTo, &QPushButton::clicked, this, [this] { cmdSaveTo_Click(); });
    connect(ui.cmdDel, &QPushButton::clicked, this, [this] { cmdDel_Click(); });
    ui.cboModel->installEventFilter(this);
    // The panel is drawn over the poet picture where the two meet: opaque.
    ui.fraModel->setAutoFillBackground(true);

    // The face box: picking an entry and typing both change the text.
    connect(ui.cboFontName, &QComboBox::currentTextChanged, this, [this] { cboFontName_Change(); });
    connect(ui.cboFontSize, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { cboFontSize_Click(); });
    // toggled: raised by a click and by code, as the line's values are shown.
    connect(ui.chkFontBold, &QToolButton::toggled, this, [this] { chkFontBold_Click(); });
    connect(ui.chkFontItalic, &QToolButton::toggled, this, [this] { chkFontItalic_Click(); });
    connect(ui.chkFontUnderline, &QToolButton::toggled, this, [this] { chkFontUnderline_Click(); });
    connect(ui.cmdFontColor, &QPushButton::clicked, this, [this] { cmdFontColor_Click(); });
    for (int i = 0; i < 3; ++i)
        connect(ui.optAlign[size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) optAlign_Click(i);
        });
    for (int i = 0; i < 2; ++i) {
        connect(ui.cmdIndent[size_t(i)], &QToolButton::clicked, this, [this, i] { cmdIndent_Click(i); });
        connect(ui.cmdHangingIndent[size_t(i)], &QToolButton::clicked, this, [this, i] { cmdHangingIndent_Click(i); });
        connect(ui.cmdOffset[size_t(i)], &QToolButton::clicked, this, [this, i] { cmdOffset_Click(i); });
    }
    for (QWidget* field : {static_cast<QWidget*>(ui.cboModel), static_cast<QWidget*>(ui.cboText),
                           static_cast<QWidget*>(ui.cboFontName), static_cast<QWidget*>(ui.cboFontSize)})
        m_frame.enterMovesFocus(field);
    setFace(m_face);
}

// ---- Opening and closing ----

void TemplateEditor::cmdSetting_Click() {
    ui.fraModel->show();
    ui.fraModel->raise();
    m_frame.arrangeTextPane();
    m_session.setModeName(ui.cmdSetting->toolTip());
    m_frame.enableCommandButtons(false);
    m_frame.setEscapeButton(ui.cmdSaveCancel);
    ui.cboModel->setFocus();
}

void TemplateEditor::mnuModel_Click() { cmdSetting_Click(); }

void TemplateEditor::cmdSaveCancel_Click() {
    ui.fraModel->hide();
    m_frame.arrangeTextPane();
    m_session.setModeName(QStringLiteral("查询"));
    m_frame.enableCommandButtons(true);
}

// ---- Showing a line kind ----

void TemplateEditor::cboText_Click() { ShowLineKindFormat(ui.cboText->currentIndex()); }

void TemplateEditor::ShowLineKindFormat(int kind) {
    if (kind < 0 || kind >= kTemplateLineCount) return;
    const TemplateLine line = m_display.CurrentTemplate[size_t(kind)];
    const InputState saved = m_session.inputState();
    m_session.setInputState(InputState::Held);
    // The controls' change events write the same values back into the line.
    const int face = ui.cboFontName->findText(line.FontName);
    if (face >= 0) ui.cboFontName->setCurrentIndex(face);
    if (ui.cboFontName->currentText() != line.FontName) ui.cboFontName->setEditText(line.FontName);
    // A size the list does not offer shows an empty size box.
    ui.cboFontSize->setCurrentIndex(ui.cboFontSize->findText(QString::number(line.FontSize)));
    ui.chkFontBold->setChecked(line.FontBold != 0);
    ui.chkFontItalic->setChecked(line.FontItalic != 0);
    ui.chkFontUnderline->setChecked(line.FontUnderline != 0);
    setFace(toQColor(line.FontColor));
    if (line.Align <= 2) {
        ui.optAlign[line.Align]->setChecked(true);
    } else if (QButtonGroup* group = ui.optAlign[0]->group()) {
        // An alignment outside 0 to 2 has no button: none is shown selected.
        group->setExclusive(false);
        for (QRadioButton* r : ui.optAlign) r->setChecked(false);
        group->setExclusive(true);
    }
    m_display.CurrentTemplate[size_t(kind)] = line;
    m_session.setInputState(saved);
}

// ---- Field changes ----

TemplateLine* TemplateEditor::currentLine() {
    const int kind = ui.cboText->currentIndex();
    if (kind < 0 || kind >= kTemplateLineCount) return nullptr;
    return &m_display.CurrentTemplate[size_t(kind)];
}

void TemplateEditor::redraw() { emit templateEdited(); }

void TemplateEditor::cboFontName_Change() {
    if (TemplateLine* l = currentLine()) l->FontName = ui.cboFontName->currentText();
    redraw();
}

void TemplateEditor::cboFontName_Click() { cboFontName_Change(); }

void TemplateEditor::cboFontSize_Click() {
    const int index = ui.cboFontSize->currentIndex();
    if (index < 0) return;
    if (TemplateLine* l = currentLine()) l->FontSize = quint8(ui.cboFontSize->itemText(index).toInt());
    redraw();
}

void TemplateEditor::setFlag(quint8 TemplateLine::*field, bool on) {
    if (TemplateLine* l = currentLine()) l->*field = on ? 1 : 0;
    redraw();
}

void TemplateEditor::chkFontBold_Click() { setFlag(&TemplateLine::FontBold, ui.chkFontBold->isChecked()); }

void TemplateEditor::chkFontItalic_Click() { setFlag(&TemplateLine::FontItalic, ui.chkFontItalic->isChecked()); }

void TemplateEditor::chkFontUnderline_Click() {
    setFlag(&TemplateLine::FontUnderline, ui.chkFontUnderline->isChecked());
}

void TemplateEditor::optAlign_Click(int index) {
    if (TemplateLine* l = currentLine()) l->Align = quint8(index);
    redraw();
}

// The step buttons have no bound of their own; a value stops at the ends of its
// 16-bit range instead of wrapping round to the other end.
void TemplateEditor::step(qint16 TemplateLine::*field, int delta) {
    if (TemplateLine* l = currentLine()) {
        const int v = int(l->*field) + delta;
        l->*field = qint16(qBound(int(std::numeric_limits<qint16>::min()), v, int(std::numeric_limits<qint16>::max())));
    }
    redraw();
}

void TemplateEditor::cmdIndent_Click(int index) { step(&TemplateLine::Indent, index == 0 ? -1 : 1); }

void TemplateEditor::cmdHangingIndent_Click(int index) { step(&TemplateLine::HangingIndent, index == 0 ? 1 : -1); }

void TemplateEditor::cmdOffset_Click(int index) { step(&TemplateLine::Offset, index == 0 ? -1 : 1); }

QColor TemplateEditor::toQColor(qint32 stored) {
    return QColor(colorRed(stored), colorGreen(stored), colorBlue(stored));
}

qint32 TemplateEditor::toStored(const QColor& c) {
    return qint32(c.red()) | (qint32(c.green()) << 8) | (qint32(c.blue()) << 16);
}

void TemplateEditor::setFace(const QColor& colour) {
    m_face = colour;
    ui.cmdFontColor->setStyleSheet(QStringLiteral("QPushButton#cmdFontColor { background-color: ") + colour.name() +
                                   QStringLiteral("; border: 1px solid #808080; }"));
}

void TemplateEditor::cmdFontColor_Click() {
    QColor chosen;
    // Cancelling the dialog is not an error: nothing changes.
    if (!m_dialogs.chooseColor(m_face, &chosen) || !chosen.isValid()) return;
    if (toStored(chosen) == toStored(m_face)) return;
    setFace(chosen);
    if (TemplateLine* l = currentLine()) l->FontColor = toStored(chosen);
    redraw();
}

// ---- Saving ----

void TemplateEditor::cmdSave_Click() {
    // With no template named there is nothing to save into: rows without a
    // name would come back as a nameless template at the next start.
    const QString name = ui.cboModel->currentText();
    if (name.trimmed().isEmpty()) {
        m_dialogs.message(QStringLiteral("未选定模板，无法保存！"), MessageSink::Icon::Warning);
        return;
    }
    SaveTemplate(name, TemplateWriteMode::Save);
}

bool TemplateEditor::SaveTemplate(const QString& name, TemplateWriteMode mode) {
    QString failure;
    {
        BusyCursor busy;
        try {
            WriteTemplate(m_db, name, m_display.CurrentTemplate, mode);
        } catch (const SqlError& e) {
            failure = e.message();
        }
    }
    if (!failure.isNull()) {
        m_dialogs.message(QStringLiteral("模板保存出错:") + failure, MessageSink::Icon::Warning);
        return false;
    }
    m_dialogs.message(mode == TemplateWriteMode::Save ? QStringLiteral("模板设置保存完毕!")
                                                      : QStringLiteral("模板新增完毕!"),
                      MessageSink::Icon::Information);
    return true;
}

void TemplateEditor::cmdSaveTo_Click() {
    QComboBox* cbo = ui.cboModel;
    const QString current = cbo->currentText();
    QString name;
    if (!m_dialogs.inputBox(QStringLiteral("请输入新模板名称: \r\n\r\n    系统将把当前摸板的数据保存到新模板中."),
                            QStringLiteral("摸板新建"), current, &name))
        name.clear();
    if (name.isEmpty() || name == current) return;
    // The store compares template names without regard to Latin case, so a name
    // that differs from a listed one only in case would share its rows.
    for (int i = 0; i < cbo->count(); ++i) {
        if (cbo->itemText(i).compare(name, Qt::CaseInsensitive) == 0) {
            m_dialogs.message(QStringLiteral("该模板已有存在, 不可新建 !"), MessageSink::Icon::Warning);
            return;
        }
    }
    if (!m_dialogs.question(QStringLiteral("确定: 新建模板 [") + name + QStringLiteral("] ?"))) return;
    if (!SaveTemplate(name, TemplateWriteMode::New)) return;
    cbo->addItem(name);
    cbo->setCurrentIndex(cbo->count() - 1);
}

// ---- Deleting ----

void TemplateEditor::cmdDel_Click() {
    QComboBox* cbo = ui.cboModel;
    const int i = cbo->currentIndex();
    if (i < 0) return;
    const QString name = cbo->itemText(i);
    if (!m_dialogs.question(QStringLiteral("确认: 删除模板 [") + name + QStringLiteral("] ?"))) return;
    if (cbo->count() < 2) {
        m_dialogs.message(QStringLiteral("系统目前仅有一个模板, 不可删除!"), MessageSink::Icon::Warning);
        return;
    }
    if (!m_dialogs.question(QStringLiteral("最后确认: 模板删除后,将不可恢复 !?"))) return;
    try {
        DeleteTemplate(m_db, name);
    } catch (const SqlError& e) {
        m_dialogs.message(QStringLiteral("模板删除出错:") + e.message(), MessageSink::Icon::Warning);
        return;
    }

    // Keep the start-up default on the same template, or hand it to a neighbour.
    int& def = m_display.DefaultTemplateIndex;
    const bool wasDefault = Settings::defaultModel() == name;
    if (!wasDefault) {
        // Never below the first entry, which then counts as the default position.
        if (def >= i) def = qMax(0, def - 1);
    } else if (i > 0) {
        def -= 1;
    }
    {
        const QSignalBlocker block(cbo);
        cbo->removeItem(i);
        cbo->setCurrentIndex(-1);
    }
    if (wasDefault) Settings::setDefaultModel(cbo->itemText(def));
    // The first template is selected and loaded, whatever was selected before.
    cbo->setCurrentIndex(0);
}

void TemplateEditor::cboModel_KeyDown(int key) {
    // The Delete key deletes only where the delete button would: the store is writable.
    if (key == Qt::Key_Delete && m_session.canWrite()) cmdDel_Click();
}

bool TemplateEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui.cboModel && event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (ke->key() == Qt::Key_Delete) {
            cboModel_KeyDown(ke->key());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
