#include "tools/duplicatecheck.h"

#include "app/mainwindow.h"

DuplicateCheck::DuplicateCheck(MainWindow& window) : QObject(&window), w(window) {}
