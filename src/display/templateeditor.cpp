#include "display/templateeditor.h"

#include "app/mainwindow.h"

TemplateEditor::TemplateEditor(MainWindow& window) : QObject(&window), w(window) {}
