#include "app/helpcontroller.h"

#include "app/mainwindow.h"

HelpController::HelpController(MainWindow& window) : QObject(&window), w(window) {}
