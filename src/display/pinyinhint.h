#pragma once
// Pinyin hints: while mnuToolPy is ticked, the poem pane's tooltip shows the
// readings of the selected characters.
#include <QObject>

class MainWindow;

class PinyinHint : public QObject {
    Q_OBJECT
public:
    explicit PinyinHint(MainWindow& window);

    // Turns the hints on or off (inverts the tick of mnuToolPy); off clears the tooltip.
    void mnuToolPy_Click();
    // The pane's selection or caret moved: the tooltip follows the selection.
    void RichTextBox1_SelChange();
    bool enabled() const;

private:
    void toggled(bool on);
    MainWindow& w;
};
