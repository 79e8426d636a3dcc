#include "edit/poemeditor.h"

#include "app/mainwindow.h"

PoemEditor::PoemEditor(MainWindow& window) : QObject(&window), w(window) {}
