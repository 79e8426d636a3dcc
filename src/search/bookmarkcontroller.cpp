#include "search/bookmarkcontroller.h"

#include "app/mainwindow.h"

BookmarkController::BookmarkController(MainWindow& window) : QObject(&window), w(window) {}
