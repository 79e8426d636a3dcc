#include "display/pinyinhint.h"

#include "app/mainwindow.h"
#include "display/pinyin.h"

#include <QAction>
#include <QTextCursor>
#include <QTextEdit>

PinyinHint::PinyinHint(MainWindow& window) : QObject(&window), w(window) {
    // The action is checkable: Qt has already inverted the tick when it triggers.
    connect(w.ui.mnuToolPy, &QAction::triggered, this, [this](bool on) { toggled(on); });
    connect(w.ui.RichTextBox1, &QTextEdit::selectionChanged, this, [this] { RichTextBox1_SelChange(); });
    connect(w.ui.RichTextBox1, &QTextEdit::cursorPositionChanged, this, [this] { RichTextBox1_SelChange(); });
}

bool PinyinHint::enabled() const { return w.ui.mnuToolPy->isChecked(); }

void PinyinHint::mnuToolPy_Click() { w.ui.mnuToolPy->trigger(); }

void PinyinHint::toggled(bool on) {
    // Switching on waits for the next selection change.
    if (!on) w.ui.RichTextBox1->setToolTip(QString());
}

void PinyinHint::RichTextBox1_SelChange() {
    if (!enabled()) return;
    const QString selected = w.ui.RichTextBox1->textCursor().selectedText();
    // Without a usable database every lookup fails and each character stands for itself.
    const QString hint = PinyinHintText(w.store().db(), selected);
    if (w.ui.RichTextBox1->toolTip() != hint) w.ui.RichTextBox1->setToolTip(hint);
}
