#include "display/displaycontroller.h"

#include "app/busycursor.h"
#include "app/dialogs.h"
#include "app/session.h"
#include "app/settings.h"
#include "browse/browsecontroller.h"
#include "browse/titlelistmodel.h"
#include "db/poemstore.h"
#include "display/poemdocument.h"
#include "display/poemlayout.h"
#include "display/pinyinview.h"
#include "display/shownpoem.h"
#include "display/templatestore.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QToolButton>

DisplayController::DisplayController(const DisplayUi& controls, PoemStore& store, Dialogs& dialogs,
                                     Session& session, const BrowseController& browse, QObject* parent)
    : QObject(parent), ui(controls), m_store(store), m_dialogs(dialogs), m_session(session), m_browse(browse) {
    connect(ui.cboModel, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { cboModel_Click(); });
    // The user's toggle, however it comes (mouse, keyboard, an accessibility
    // client); the ticks set from code below are made with the signal blocked.
    connect(ui.chkModel, &QCheckBox::toggled, this, [this] { chkModel_Click(); });
    connect(ui.cboText, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int k) { ShowLineKindFormat(k); });
}

// ---- Templates ----

void DisplayController::LoadTemplate(const QString& name) {
    BusyCursor busy;
    try {
        LoadTemplateRows(m_store.db(), name, CurrentTemplate);
    } catch (const SqlError& e) {
        m_store.reportReadFailure(e);
    }
    // The biography box uses the notes line's face, size and bold setting.
    const TemplateLine& notes = CurrentTemplate[NotesLine];
    QFont f = ui.txtPoet2->font();
    f.setFamily(notes.FontName);
    if (notes.FontSize > 0) f.setPointSize(notes.FontSize);
    f.setBold(notes.FontBold != 0);
    ui.txtPoet2->setFont(f);
}

void DisplayController::FillTemplateList() {
    const QString defaultName = Settings::defaultModel();
    DefaultTemplateIndex = 0;
    QComboBox* cbo = ui.cboModel;
    cbo->blockSignals(true);
    cbo->clear();
    try {
        const QStringList names = StoredTemplateNames(m_store.db());
        for (const QString& n : names) {
            if (n == defaultName) DefaultTemplateIndex = cbo->count();
            cbo->addItem(n);
        }
    } catch (const SqlError& e) {
        m_store.reportReadFailure(e);
    }
    if (cbo->count() == 0) cbo->addItem(Settings::kDefaultModel);
    cbo->setCurrentIndex(-1);
    cbo->blockSignals(false);
    cbo->setCurrentIndex(DefaultTemplateIndex);
    const QSignalBlocker quiet(ui.chkModel);
    ui.chkModel->setChecked(true);
}

bool DisplayController::templatePanelShown() const { return ui.fraModel->isVisible(); }

void DisplayController::cboModel_Click() {
    const int index = ui.cboModel->currentIndex();
    if (index < 0) return;
    const QString name = ui.cboModel->itemText(index);
    LoadTemplate(name);
    if (templatePanelShown()) ShowLineKindFormat(ui.cboText->currentIndex());
    const bool isDefault = index == DefaultTemplateIndex;
    {
        const QSignalBlocker quiet(ui.chkModel);
        ui.chkModel->setChecked(isDefault);
    }
    ui.chkModel->setEnabled(!isDefault);
    if (templatePanelShown()) RenderSelectedPoem();
    ui.myModel->setText(QStringLiteral("诗词模板：") + name);
}

void DisplayController::chkModel_Click() {
    const int index = ui.cboModel->currentIndex();
    if (!ui.chkModel->isVisible() || !ui.chkModel->isChecked() || index == DefaultTemplateIndex) return;
    const QString name = ui.cboModel->itemText(index);
    if (!m_dialogs.question(QStringLiteral("确定: 将当前模板[") + name + QStringLiteral("] 设为系统启动时的缺省模板 ?")))
        return;
    Settings::setDefaultModel(name);
    DefaultTemplateIndex = index;
    ui.chkModel->setEnabled(false);
}

// The template panel's controls belong to the template editor.
void DisplayController::ShowLineKindFormat(int kind) { emit lineKindFormatWanted(kind); }

// ---- Rendering ----

qint32 DisplayController::MeasureCharWidth(int kind) const {
    return ::MeasureCharWidth(CurrentTemplate[size_t(kind)], ui.RichTextBox1);
}

qint32 DisplayController::MeasureCharHeight(int kind) const {
    return ::MeasureCharHeight(CurrentTemplate[size_t(kind)], ui.RichTextBox1);
}

void DisplayController::RenderPoem(qint64 n) {
    if (m_session.inputState() == InputState::Held) return;
    BusyCursor busy;
    QTextEdit* pane = ui.RichTextBox1;
    PoemFields poem;
    bool found = false;
    try {
        if (const std::optional<PoemFields> stored = ReadShownPoem(m_store.db(), n)) {
            found = true;
            poem = *stored;
        }
    } catch (const SqlError& e) {
        m_store.reportReadFailure(e);
    }
    pane->setUpdatesEnabled(false);
    pane->clear();
    PartStart = {0, 0, 0, 0};
    ShownLayout = PoemLayout{};
    ShownTemplate = CurrentTemplate;
    ShownNotes = PoemNotes{};
    if (found) {
        // The poet panel follows the poem.
        if (ui.cboPoet2->currentText() != poem.poet) ui.cboPoet2->setCurrentText(poem.poet);
        const PoemLayout layout = BuildPoemLayout(poem);
        if (m_notes) ShownNotes = m_notes->notesFor(n, poem, layout);
        if (!ShownNotes.isEmpty()) ShownNoteStyle = MakeNoteStyle(CurrentTemplate, ShownNotes, pane);
        ApplyPoemLayout(pane->document(), layout, CurrentTemplate, pane, ShownNotes, ShownNoteStyle);
        ShownLayout = layout;
        for (int i = 0; i < 4; ++i) PartStart[size_t(i)] = layout.PartStart[size_t(i)];
    }
    if (m_notes) m_notes->shown(found ? n : 0, ShownNotes, ShownNoteStyle);
    SelectRange(pane, 0, 0);
    pane->setUpdatesEnabled(true);

    if (m_session.editMode() == EditMode::None) {
        if (!ui.fraSeek->isHidden()) {
            const auto hit = FindSearchTermInPoem(pane->toPlainText(), PartStart, ui.txtContent->toPlainText(),
                                            ui.txtMemo->toPlainText(), ui.txtPre->toPlainText(),
                                            Settings::foldScripts());
            if (hit) SelectRange(pane, hit->start, hit->length);
        }
    } else if (!(m_session.editMode() == EditMode::Add && m_session.recordChanged())) {
        LoadPoemFields();
    }
}

void DisplayController::RenderSelectedPoem() {
    const int row = m_browse.selectedRow();
    if (row < 0) return;
    RenderPoem(m_browse.model()->poemId(row));
}

bool DisplayController::LoadPoemFields() {
    if (m_browse.model()->size() == 0) return false;
    BusyCursor busy;
    bool found = false;
    const int row = m_browse.selectedRow();
    if (row >= 0) {
        const TitleRow r = m_browse.model()->row(row);
        try {
            if (const std::optional<PoemRecord> p =
                    ReadListedPoem(m_store.db(), m_session.shownPoemId(), r.poet, r.title)) {
                found = true;
                ui.txtTitle->setText(p->title);
                LoadedTitle = ui.txtTitle->text();
                ui.cboPoet->setCurrentText(p->poet);
                LoadedPoet = ui.cboPoet->currentText();
                ui.cboDynasty->setCurrentText(p->dynasty);
                ui.txtContent->setPlainText(p->content);
                ui.txtPre->setPlainText(p->preface);
                ui.txtMemo->setPlainText(p->notes);
                ui.cboType->setCurrentText(p->type);
                ui.cboStyle->setCurrentText(p->style);
                ui.txtQty->setText(p->qty);
            }
        } catch (const SqlError& e) {
            m_store.reportReadFailure(e);
        }
    }
    m_session.setRecordChanged(false);
    return found;
}
