#include "edit/poeteditor.h"

#include "app/mainwindow.h"

PoetEditor::PoetEditor(MainWindow& window) : QObject(&window), w(window) {}
