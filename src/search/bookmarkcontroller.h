#pragma once
// Bookmarks: listing, inserting and deleting them.
#include <QObject>

class MainWindow;

class BookmarkController : public QObject {
    Q_OBJECT
public:
    explicit BookmarkController(MainWindow& window);

private:
    MainWindow& w;
};
