#include "tools/outputcontroller.h"

#include "app/mainwindow.h"

OutputController::OutputController(MainWindow& window) : QObject(&window), w(window) {}
