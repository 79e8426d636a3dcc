#pragma once
// The poem editor: arming add, modify and delete on the poem panel, and
// writing the change.
#include <QObject>

class MainWindow;

class PoemEditor : public QObject {
    Q_OBJECT
public:
    explicit PoemEditor(MainWindow& window);

private:
    MainWindow& w;
};
