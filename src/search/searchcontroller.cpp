#include "search/searchcontroller.h"

#include "app/mainwindow.h"

SearchController::SearchController(MainWindow& window) : QObject(&window), w(window) {}
