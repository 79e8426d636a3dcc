#include "app/helpcontroller.h"

#include "app/aboutwindow.h"
#include "app/prefaceviewer.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QShortcut>
#include <QUrl>

void DesktopShellOpen(const QString& target) {
    // Web and mail addresses carry a scheme; anything else is a document path.
    const bool isAddress = target.contains(QStringLiteral("://")) ||
                           target.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive);
    QDesktopServices::openUrl(isAddress ? QUrl(target) : QUrl::fromLocalFile(target));
}

HelpController::HelpController(const HelpUi& controls, std::function<QString()> programFolder, QWidget* window)
    : QObject(window), ui(controls), m_programFolder(std::move(programFolder)), m_window(window) {
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), window);
    f1->setObjectName(QStringLiteral("helpShortcut"));
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, [this] { ShowHelpFile(); });
    connect(ui.mnuHlpBook, &QAction::triggered, this, [this] { mnuHlpBook_Click(); });
    connect(ui.mnuHlpHtml, &QAction::triggered, this, [this] { mnuHlpHtml_Click(); });
    connect(ui.mnuHlpMail, &QAction::triggered, this, [this] { mnuHlpMail_Click(); });
    connect(ui.mnuAbout, &QAction::triggered, this, [this] { mnuAbout_Click(); });
    connect(ui.mnuPreface, &QAction::triggered, this, [this] { mnuPreface_Click(); });
}

void HelpController::ShellOpen(const QString& target) {
    if (shellOpen) shellOpen(target);
}

QString HelpController::helpTarget() const {
    const QString chm = HelpFile.isEmpty() ? m_programFolder() + QStringLiteral("/readme.chm") : HelpFile;
    if (QFileInfo::exists(chm)) return chm;
    return QFileInfo(chm).dir().filePath(QStringLiteral("readme.html"));
}

void HelpController::ShowHelpFile() { ShellOpen(helpTarget()); }

// The menu entry does what the F1 key does.
void HelpController::mnuHlpBook_Click() { ShowHelpFile(); }

void HelpController::mnuHlpHtml_Click() { ShellOpen(kProductWebPage); }

void HelpController::mnuHlpMail_Click() { ShellOpen(QStringLiteral("mailTo:") + kAuthorMailAddress); }

void HelpController::mnuAbout_Click() {
    AboutWindow about([this](const QString& target) { ShellOpen(target); }, m_window);
    about.exec();
}

void HelpController::mnuPreface_Click() {
    PrefaceViewer viewer(m_programFolder(), m_window);
    viewer.State = 0;
    viewer.exec();
}
