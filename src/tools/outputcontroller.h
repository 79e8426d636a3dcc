#pragma once
// Printing and exporting the shown poem: the pane's formatted text to a printer
// through the print dialog, or to a file as RTF or plain text.
#include <QObject>
#include <QString>
#include <functional>

class Dialogs;
class DisplayController;
class QAction;
class QPrinter;
class QTextDocument;
class QTextEdit;
class QToolButton;
struct PoemNotes;

// The print button and menu entries, and the pane they print or export.
struct OutputUi {
    QToolButton* cmdPrint = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuFileOutput = nullptr;
    QTextEdit* RichTextBox1 = nullptr;
};

class OutputController : public QObject {
    Q_OBJECT
public:
    // `display` tells what the pane shows; `programFolder` gives the folder an
    // export is first offered in.
    OutputController(const OutputUi& ui, Dialogs& dialogs, const DisplayController& display,
                     std::function<QString()> programFolder, QObject* parent);

    // Print: the selection when text is selected (preselected in the dialog),
    // else the whole pane. A cancelled dialog prints nothing and says nothing.
    void cmdPrint_Click();
    void mnuPrint_Click() { cmdPrint_Click(); }
    // Export: asks for a file (confirming an overwrite), then writes plain text
    // when the name ends in ".txt" (any case), RTF otherwise.
    void mnuFileOutput_Click();

    // The pane as RTF, drawn from the shown layout, template and pinyin.
    QByteArray paneAsRtf() const;
    // The pane as plain text, with a pinyin line above each line that has pinyin.
    QString paneAsText() const;
    // Prints the pane (or its selection) to a printer that is ready to use.
    void printPane(QPrinter* printer, bool selectionOnly) const;
    // Writes `data` to `path` through a temporary file in the same folder that
    // replaces the target only when complete. False with the reason on failure.
    static bool writeFileSafely(const QString& path, const QByteArray& data, QString* error);

private:
    void printWithNotes(QPrinter* printer, QTextDocument* doc, const PoemNotes& notes, double screenDpiX,
                        double screenDpiY) const;
    // The caption of the window the pane is in, the title of its dialogs.
    QString windowTitle() const;
    OutputUi ui;
    Dialogs& m_dialogs;
    const DisplayController& m_display;
    std::function<QString()> m_programFolder;
};
