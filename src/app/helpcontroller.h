#pragma once
// The help menu: the help file (also on F1), the editor's preface, the product
// web page, a mail to the author and the about window.
#include "db/messagesink.h"

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QWidget;

// The help menu's entries.
struct HelpUi {
    QAction* mnuHlpBook = nullptr;
    QAction* mnuHlpHtml = nullptr;
    QAction* mnuHlpMail = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* mnuPreface = nullptr;
};

// The author's mailbox (the product web page is kProductWebPage).
inline const QString kAuthorMailAddress = QStringLiteral("lyrabook@forelane.org");

// Hands a target (a web address, a "mailTo:" address or a document path) to the
// desktop's "open". The result is ignored: a missing browser, mail program or
// document is the desktop's to report.
void DesktopShellOpen(const QString& target);

class HelpController : public QObject {
    Q_OBJECT
public:
    // `window` takes the F1 key and owns the about and preface windows;
    // `programFolder` gives the folder the help file and the preface are in.
    HelpController(const HelpUi& ui, std::function<QString()> programFolder, QWidget* window);

    // The help file F1 opens; empty: readme.chm in the program folder.
    QString HelpFile;

    // The "open" used for every target; tests replace it so that nothing is
    // really opened.
    std::function<void(const QString&)> shellOpen = DesktopShellOpen;
    void ShellOpen(const QString& target);

    // F1: readme.chm from the program folder when it is there, otherwise the
    // readme.html shipped with the program.
    void ShowHelpFile();
    QString helpTarget() const;

    void mnuHlpBook_Click();
    void mnuHlpHtml_Click();
    void mnuHlpMail_Click();
    void mnuAbout_Click();
    void mnuPreface_Click();

private:
    HelpUi ui;
    std::function<QString()> m_programFolder;
    QWidget* m_window;
};
