#pragma once
// Bookmarks: listing the bookmarked poems newest first, bookmarking and
// unbookmarking the current poem or every listed poem, clearing them all.
#include <QObject>

class MainWindow;

class BookmarkController : public QObject {
    Q_OBJECT
public:
    explicit BookmarkController(MainWindow& window);

    void cmdBmkSeek_Click();
    void mnuBmkSeek_Click() { cmdBmkSeek_Click(); }
    void mnuBookmarkAdd_Click(int index);
    void cmdBookmarkAdd_Click() { mnuBookmarkAdd_Click(0); }
    void mnuBookmarkDel_Click(int index);
    void cmdBookmarkDel_Click() { mnuBookmarkDel_Click(0); }
    void mnuBookmarkDelAll_Click();

private:
    void reportFailure(const QString& what, const QString& storeMessage);
    MainWindow& w;
};
