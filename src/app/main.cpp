#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "db/poemstore.h"
#include "db/textwidth.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QtDialogs dialogs;
    PoemStore store(&dialogs);
    const QString path = StripTrailingBackslash(QCoreApplication::applicationDirPath()) + QStringLiteral("/poem.mdb");
    store.OpenPoemDatabase(1, path);
    MainWindow w;
    dialogs.setParent(&w);
    w.show();
    return app.exec();
}
