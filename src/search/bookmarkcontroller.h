#pragma once
// Bookmarks: listing the bookmarked poems newest first, bookmarking and
// unbookmarking the current poem or every listed poem, clearing them all.
#include <QList>
#include <QObject>
#include <QString>
#include <array>

class BrowseController;
class MessageSink;
class QAction;
class QLabel;
class QMenu;
class QToolButton;
class Session;
class SqlDatabase;

// The controls the bookmark commands work on, by their given names.
struct BookmarkUi {
    QToolButton* cmdBmkSeek = nullptr;
    QToolButton* cmdBookmarkAdd = nullptr;
    QToolButton* cmdBookmarkDel = nullptr;
    QLabel* myState = nullptr;
    QAction* mnuBmkSeek = nullptr;
    std::array<QMenu*, 2> mnuBookmark{};
    std::array<QAction*, 2> mnuBookmarkAdd{};
    std::array<QAction*, 2> mnuBookmarkDel{};
    QAction* mnuBookmarkDelAll = nullptr;
};

class BookmarkController : public QObject {
    Q_OBJECT
public:
    // `browse` is asked for the title list and its selection, the poems the commands act on.
    BookmarkController(const BookmarkUi& ui, SqlDatabase& db, MessageSink& messages, Session& session,
                       const BrowseController& browse, QObject* parent = nullptr);

    void cmdBmkSeek_Click();
    void mnuBmkSeek_Click() { cmdBmkSeek_Click(); }
    void mnuBookmarkAdd_Click(int index);
    void cmdBookmarkAdd_Click() { mnuBookmarkAdd_Click(0); }
    void mnuBookmarkDel_Click(int index);
    void cmdBookmarkDel_Click() { mnuBookmarkDel_Click(0); }
    void mnuBookmarkDelAll_Click();

signals:
    // The title list is to show the poems of `filter` in `order`, in place of
    // what it shows.
    void listWanted(const QString& filter, const QString& order);

private:
    // The poems a command acts on: the selected one (index 0) or every listed one.
    QList<qint32> chosenPoems(int index) const;
    void reportFailure(const QString& what, const QString& storeMessage);

    BookmarkUi m_ui;
    SqlDatabase& m_db;
    MessageSink& m_messages;
    Session& m_session;
    const BrowseController& m_browse;
};
