#pragma once
// Pinyin hints: while mnuToolPy is ticked, the poem pane's tooltip shows the
// readings of the selected characters.
#include <QObject>

class QAction;
class QTextEdit;
class SqlDatabase;

// The menu entry that turns the hints on and the pane they are shown over.
struct PinyinHintUi {
    QAction* mnuToolPy = nullptr;
    QTextEdit* RichTextBox1 = nullptr;
};

class PinyinHint : public QObject {
    Q_OBJECT
public:
    // The readings are looked up in `db`.
    PinyinHint(const PinyinHintUi& ui, SqlDatabase& db, QObject* parent);

    // Turns the hints on or off (inverts the tick of mnuToolPy); off clears the tooltip.
    void mnuToolPy_Click();
    // The pane's selection or caret moved: the tooltip follows the selection.
    void RichTextBox1_SelChange();
    bool enabled() const;

private:
    void toggled(bool on);
    PinyinHintUi ui;
    SqlDatabase& m_db;
};
