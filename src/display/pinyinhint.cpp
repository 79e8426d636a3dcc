#include "display/pinyinhint.h"

#include "display/pinyin.h"

#include <QAction>
#include <QTextCursor>
#include <QTextEdit>

PinyinHint::PinyinHint(const PinyinHintUi& controls, SqlDatabase& db, QObject* parent)
    : QObject(parent), ui(controls), m_db(db) {
    // The action is checkable: Qt has already inverted the tick when it triggers.
    connect(ui.mnuToolPy, &QAction::triggered, this, [this](bool on) { toggled(on); });
    connect(ui.RichTextBox1, &QTextEdit::selectionChanged, this, [this] { RichTextBox1_SelChange(); });
    connect(ui.RichTextBox1, &QTextEdit::cursorPositionChanged, this, [this] { RichTextBox1_SelChange(); });
}

bool PinyinHint::enabled() const { return ui.mnuToolPy->isChecked(); }

void PinyinHint::mnuToolPy_Click() { ui.mnuToolPy->trigger(); }

void PinyinHint::toggled(bool on) {
    // Switching on waits for the next selection change.
    if (!on) ui.RichTextBox1->setToolTip(QString());
}

void PinyinHint::RichTextBox1_SelChange() {
    if (!enabled()) return;
    const QString selected = ui.RichTextBox1->textCursor().selectedText();
    // Without a usable database every lookup fails and each character stands for itself.
    const QString hint = PinyinHintText(m_db, selected);
    if (ui.RichTextBox1->toolTip() != hint) ui.RichTextBox1->setToolTip(hint);
}
