#pragma once
// The duplicate check: poems whose first clause another poem shares.
#include <QObject>

class MainWindow;

class DuplicateCheck : public QObject {
    Q_OBJECT
public:
    explicit DuplicateCheck(MainWindow& window);

private:
    MainWindow& w;
};
