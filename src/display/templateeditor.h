#pragma once
// The template panel: editing the current template's line formats, saving,
// saving as a new template, deleting.
#include <QObject>

class MainWindow;

class TemplateEditor : public QObject {
    Q_OBJECT
public:
    explicit TemplateEditor(MainWindow& window);

private:
    MainWindow& w;
};
