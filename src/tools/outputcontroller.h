#pragma once
// Printing and exporting the shown poem.
#include <QObject>

class MainWindow;

class OutputController : public QObject {
    Q_OBJECT
public:
    explicit OutputController(MainWindow& window);

private:
    MainWindow& w;
};
