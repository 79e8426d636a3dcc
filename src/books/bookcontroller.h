#pragma once
// Books: the book combo's adding and renaming, the book menu, filing and
// unfiling poems.
#include <QObject>

class MainWindow;

class BookController : public QObject {
    Q_OBJECT
public:
    explicit BookController(MainWindow& window);

private:
    MainWindow& w;
};
