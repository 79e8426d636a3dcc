#include "display/displaycontroller.h"

#include "app/busycursor.h"
#include "app/mainwindow.h"
#include "app/settings.h"
#include "browse/browsecontroller.h"
#include "browse/titlelistmodel.h"
#include "db/sqltext.h"
#include "display/poemdocument.h"
#include "display/poemlayout.h"
#include "display/pinyinview.h"
#include "display/templateeditor.h"
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

DisplayController::DisplayController(MainWindow& window) : QObject(&window), w(window) {
    connect(w.ui.cboModel, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { cboModel_Click(); });
    // The user's toggle, however it comes (mouse, keyboard, an accessibility
    // client); the ticks set from code below are made with the signal blocked.
    connect(w.ui.chkModel, &QCheckBox::toggled, this, [this] { chkModel_Click(); });
    connect(w.ui.cboText, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int k) { ShowLineKindFormat(k); });
}

// ---- Templates ----

void DisplayController::LoadTemplate(const QString& name) {
    BusyCursor busy;
    try {
        LoadTemplateRows(w.store().db(), name, CurrentTemplate);
    } catch (const SqlError& e) {
        w.store().reportReadFailure(e);
    }
    // The biography box uses the notes line's face, size and bold setting.
    const TemplateLine& notes = CurrentTemplate[NotesLine];
    QFont f = w.ui.txtPoet2->font();
    f.setFamily(notes.FontName);
    if (notes.FontSize > 0) f.setPointSize(notes.FontSize);
    f.setBold(notes.FontBold != 0);
    w.ui.txtPoet2->setFont(f);
}

void DisplayController::FillTemplateList() {
    const QString defaultName = Settings::defaultModel();
    DefaultTemplateIndex = 0;
    QComboBox* cbo = w.ui.cboModel;
    cbo->blockSignals(true);
    cbo->clear();
    try {
        const QStringList names = StoredTemplateNames(w.store().db());
        for (const QString& n : names) {
            if (n == defaultName) DefaultTemplateIndex = cbo->count();
            cbo->addItem(n);
        }
    } catch (const SqlError& e) {
        w.store().reportReadFailure(e);
    }
    if (cbo->count() == 0) cbo->addItem(Settings::kDefaultModel);
    cbo->setCurrentIndex(-1);
    cbo->blockSignals(false);
    cbo->setCurrentIndex(DefaultTemplateIndex);
    const QSignalBlocker quiet(w.ui.chkModel);
    w.ui.chkModel->setChecked(true);
}

bool DisplayController::templatePanelShown() const { return w.ui.fraModel->isVisible(); }

void DisplayController::cboModel_Click() {
    const int index = w.ui.cboModel->currentIndex();
    if (index < 0) return;
    const QString name = w.ui.cboModel->itemText(index);
    LoadTemplate(name);
    if (templatePanelShown()) ShowLineKindFormat(w.ui.cboText->currentIndex());
    const bool isDefault = index == DefaultTemplateIndex;
    {
        const QSignalBlocker quiet(w.ui.chkModel);
        w.ui.chkModel->setChecked(isDefault);
    }
    w.ui.chkModel->setEnabled(!isDefault);
    if (templatePanelShown()) RenderSelectedPoem();
    w.ui.myModel->setText(QStringLiteral("诗词模板：") + name);
}

void DisplayController::chkModel_Click() {
    const int index = w.ui.cboModel->currentIndex();
    if (!w.ui.chkModel->isVisible() || !w.ui.chkModel->isChecked() || index == DefaultTemplateIndex) return;
    const QString name = w.ui.cboModel->itemText(index);
    if (!w.dialogs().question(QStringLiteral("确定: 将当前模板[") + name + QStringLiteral("] 设为系统启动时的缺省模板 ?")))
        return;
    Settings::setDefaultModel(name);
    DefaultTemplateIndex = index;
    w.ui.chkModel->setEnabled(false);
}

// The template panel's controls belong to the template editor.
void DisplayController::ShowLineKindFormat(int kind) {
    if (w.templateEditor) w.templateEditor->ShowLineKindFormat(kind);
}

// ---- Rendering ----

qint32 DisplayController::MeasureCharWidth(int kind) const {
    return ::MeasureCharWidth(CurrentTemplate[size_t(kind)], w.ui.RichTextBox1);
}

qint32 DisplayController::MeasureCharHeight(int kind) const {
    return ::MeasureCharHeight(CurrentTemplate[size_t(kind)], w.ui.RichTextBox1);
}

void DisplayController::RenderPoem(const QString& id) {
    if (w.session().inputState() == InputState(1)) return;
    BusyCursor busy;
    QTextEdit* pane = w.ui.RichTextBox1;
    PoemFields poem;
    bool found = false;
    bool ok = false;
    const qint64 n = id.trimmed().toLongLong(&ok);
    try {
        if (ok) {
            SqlStatement st = w.store().db().prepare(QStringLiteral("select * from Poetry Where fPoemID = ") +
                                                     QString::number(n));
            if (st.next()) {
                found = true;
                poem.title = st.text(QStringLiteral("fTitle"));
                poem.poet = st.text(QStringLiteral("fPoet"));
                poem.dynasty = st.text(QStringLiteral("fDynasty"));
                poem.preface = st.text(QStringLiteral("fPre"));
                poem.content = st.text(QStringLiteral("fContent"));
                poem.notes = st.text(QStringLiteral("fMemo"));
            }
        }
    } catch (const SqlError& e) {
        w.store().reportReadFailure(e);
    }
    pane->setUpdatesEnabled(false);
    pane->clear();
    PartStart = {0, 0, 0, 0};
    ShownLayout = PoemLayout{};
    ShownTemplate = CurrentTemplate;
    ShownNotes = PoemNotes{};
    if (found) {
        // The poet panel follows the poem.
        if (w.ui.cboPoet2->currentText() != poem.poet) w.ui.cboPoet2->setCurrentText(poem.poet);
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

    if (w.session().editMode() == EditMode(0)) {
        if (!w.ui.fraSeek->isHidden()) {
            const auto hit = FindSearchTermInPoem(pane->toPlainText(), PartStart, w.ui.txtContent->toPlainText(),
                                            w.ui.txtMemo->toPlainText(), w.ui.txtPre->toPlainText(),
                                            Settings::foldScripts());
            if (hit) SelectRange(pane, hit->start, hit->length);
        }
    } else if (!(w.session().editMode() == EditMode(1) && w.session().recordChanged())) {
        LoadPoemFields();
    }
}

void DisplayController::RenderSelectedPoem() {
    const int row = w.browse->selectedRow();
    if (row < 0) return;
    RenderPoem(QString::number(w.browse->model()->poemId(row)));
}

bool DisplayController::LoadPoemFields() {
    if (w.browse->model()->size() == 0) return false;
    BusyCursor busy;
    bool found = false;
    const int row = w.browse->selectedRow();
    if (row >= 0) {
        const TitleRow r = w.browse->model()->row(row);
        const QString id = QString::number(w.session().shownPoemId());
        try {
            SqlStatement st = w.store().db().prepare(
                QStringLiteral("select * from Poetry Where '' & fPoemID=%1 and fPoet =%2 And fTitle=%3")
                    .arg(sqlText(id), sqlText(r.poet), sqlText(r.title)));
            if (st.next()) {
                found = true;
                w.ui.txtTitle->setText(st.text(QStringLiteral("fTitle")));
                LoadedTitle = w.ui.txtTitle->text();
                w.ui.cboPoet->setCurrentText(st.text(QStringLiteral("fPoet")));
                LoadedPoet = w.ui.cboPoet->currentText();
                w.ui.cboDynasty->setCurrentText(st.text(QStringLiteral("fDynasty")));
                w.ui.txtContent->setPlainText(st.text(QStringLiteral("fContent")));
                w.ui.txtPre->setPlainText(st.text(QStringLiteral("fPre")));
                w.ui.txtMemo->setPlainText(st.text(QStringLiteral("fMemo")));
                w.ui.cboType->setCurrentText(st.text(QStringLiteral("fType")));
                w.ui.cboStyle->setCurrentText(st.text(QStringLiteral("fStyle")));
                w.ui.txtQty->setText(QString::number(st.int64(QStringLiteral("fQty"))));
            }
        } catch (const SqlError& e) {
            w.store().reportReadFailure(e);
        }
    }
    w.session().setRecordChanged(false);
    return found;
}
