#include "books/bookcontroller.h"

#include "app/mainwindow.h"

BookController::BookController(MainWindow& window) : QObject(&window), w(window) {}
