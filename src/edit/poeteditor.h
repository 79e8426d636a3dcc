#pragma once
// The poet editor in the poet panel: biographies, new poets, deleting poets.
#include <QObject>

class MainWindow;

class PoetEditor : public QObject {
    Q_OBJECT
public:
    explicit PoetEditor(MainWindow& window);

private:
    MainWindow& w;
};
