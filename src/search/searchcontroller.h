#pragma once
// Search: the poem panel in search mode, running a search (replace or append),
// the count field's checks.
#include <QObject>

class MainWindow;

class SearchController : public QObject {
    Q_OBJECT
public:
    explicit SearchController(MainWindow& window);

private:
    MainWindow& w;
};
