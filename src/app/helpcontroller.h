#pragma once
// The help menu: the help file, the preface, the web page, mail, the about window.
#include <QObject>

class MainWindow;

class HelpController : public QObject {
    Q_OBJECT
public:
    explicit HelpController(MainWindow& window);

private:
    MainWindow& w;
};
