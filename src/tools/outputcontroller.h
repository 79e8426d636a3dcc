#pragma once
// Printing and exporting the shown poem: the pane's formatted text to a printer
// through the print dialog, or to a file as RTF or plain text.
#include <QObject>
#include <QString>

class MainWindow;
class QPrinter;
class QTextDocument;
struct PoemNotes;

class OutputController : public QObject {
    Q_OBJECT
public:
    explicit OutputController(MainWindow& window);

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
    MainWindow& w;
};
