#pragma once
// Pinyin hints: the readings of the characters selected in the poem pane.
#include <QObject>

class MainWindow;

class PinyinHint : public QObject {
    Q_OBJECT
public:
    explicit PinyinHint(MainWindow& window);

private:
    MainWindow& w;
};
