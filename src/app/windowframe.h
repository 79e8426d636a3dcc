#pragma once
// The main window's frame as the panels see it. A panel that opens (the search,
// the poem or poet editor, the template designer) takes the Escape key for its
// cancel button, holds the toolbar commands and has the text pane laid out
// again around it; the frame does these for it.
#include <QString>

class QAbstractButton;
class QWidget;

class WindowFrame {
public:
    // The button Escape presses; browsing names the quit button.
    virtual QAbstractButton* escapeButton() const = 0;
    virtual void setEscapeButton(QAbstractButton* button) = 0;
    // The toolbar and menu commands that a panel holds while it is open.
    virtual void enableCommandButtons(bool enabled) = 0;
    // Lays the text pane out for the panels now shown.
    virtual void arrangeTextPane() = 0;
    // Enter in a single-line field moves the focus on, as Tab does.
    virtual void enterMovesFocus(QWidget* field) = 0;
    virtual int twipsToPixels(int twips) const = 0;

protected:
    ~WindowFrame() = default;
};
