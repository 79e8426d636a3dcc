#include "app/dialogs.h"
#include "app/fonts.h"
#include "app/mainwindow.h"
#include "app/splash.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lyrabook"));
    QApplication::setOrganizationName(QStringLiteral("Forelane"));
    installFontSubstitutions();

    QtDialogs dialogs;
    MainWindow window(&dialogs);
    dialogs.setParent(&window);

    // --quit-after-ms N: close the main window N ms after it is shown and report
    // what the start-up loaded (used by the start-up check of the test suite).
    int quitAfter = -1;
    const QStringList args = QApplication::arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--quit-after-ms"));
    if (at >= 0 && at + 1 < args.size()) quitAfter = args[at + 1].toInt();

    SplashWindow splash([&] { window.Form_Load(); },
                        [&] {
                            window.show();
                            if (quitAfter >= 0) {
                                QTimer::singleShot(quitAfter, &window, [&] {
                                    std::printf("caption=%s\nwritemode=%d\ndatabase=%s\n",
                                                qPrintable(window.windowTitle()), int(window.session().writeMode()),
                                                qPrintable(window.session().databasePath()));
                                    window.close();
                                });
                            }
                        });
    splash.show();
    const int rc = app.exec();
    if (quitAfter >= 0) return window.session().canWrite() ? rc : 1;
    return rc;
}
