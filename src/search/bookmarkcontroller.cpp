#include "search/bookmarkcontroller.h"

#include "app/busycursor.h"
#include "app/session.h"
#include "browse/browsecontroller.h"
#include "browse/titlelistmodel.h"
#include "db/messagesink.h"
#include "search/bookmarkstore.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

BookmarkController::BookmarkController(const BookmarkUi& ui, SqlDatabase& db, MessageSink& messages,
                                       Session& session, const BrowseController& browse, QObject* parent)
    : QObject(parent), m_ui(ui), m_db(db), m_messages(messages), m_session(session), m_browse(browse) {
    connect(m_ui.cmdBmkSeek, &QToolButton::clicked, this, [this] { cmdBmkSeek_Click(); });
    connect(m_ui.mnuBmkSeek, &QAction::triggered, this, [this] { mnuBmkSeek_Click(); });
    connect(m_ui.cmdBookmarkAdd, &QToolButton::clicked, this, [this] { cmdBookmarkAdd_Click(); });
    connect(m_ui.cmdBookmarkDel, &QToolButton::clicked, this, [this] { cmdBookmarkDel_Click(); });
    for (int i = 0; i < 2; ++i) {
        connect(m_ui.mnuBookmarkAdd[size_t(i)], &QAction::triggered, this, [this, i] { mnuBookmarkAdd_Click(i); });
        connect(m_ui.mnuBookmarkDel[size_t(i)], &QAction::triggered, this, [this, i] { mnuBookmarkDel_Click(i); });
    }
    connect(m_ui.mnuBookmarkDelAll, &QAction::triggered, this, [this] { mnuBookmarkDelAll_Click(); });
}

void BookmarkController::cmdBmkSeek_Click() {
    m_ui.cmdBmkSeek->setEnabled(false);
    {
        BusyCursor busy;
        emit listWanted(BookmarkedFilter(), BookmarkedOrder());
        m_ui.myState->setText(QStringLiteral("状态：[书签查询]"));
    }
    m_ui.cmdBmkSeek->setEnabled(true);
}

QList<qint32> BookmarkController::chosenPoems(int index) const {
    const TitleListModel* list = m_browse.model();
    QList<qint32> poems;
    if (index == 0) {
        poems.append(list->poemId(m_browse.selectedRow()));
    } else {
        poems.reserve(list->size());
        for (int i = 0; i < list->size(); ++i) poems.append(list->poemId(i));
    }
    return poems;
}

void BookmarkController::mnuBookmarkAdd_Click(int index) {
    if (!m_session.canWrite() || index < 0 || index > 1) return;
    const TitleListModel* list = m_browse.model();
    const int selected = m_browse.selectedRow();
    if (list->size() == 0 || (index == 0 && selected < 0)) return;
    const QString what = m_ui.mnuBookmark[0]->title();
    try {
        BusyCursor busy;
        // Each new number is above every number in use, so the newest comes first.
        AddBookmarks(m_db, chosenPoems(index));
    } catch (const SqlError& e) {
        reportFailure(what, e.message());
        return;
    }
    const QString text =
        index == 0 ? list->title(selected) + QStringLiteral("：书签插入完毕!")
                   : m_ui.mnuBookmarkAdd[1]->text() + QStringLiteral("（选入 ") + QString::number(list->size()) +
                         QStringLiteral("题）：书签插入完毕!");
    m_messages.message(text, MessageSink::Icon::Information);
}

void BookmarkController::mnuBookmarkDel_Click(int index) {
    if (!m_session.canWrite() || index < 0 || index > 1) return;
    const TitleListModel* list = m_browse.model();
    const int selected = m_browse.selectedRow();
    if (list->size() == 0 || (index == 0 && selected < 0)) return;
    const QString what = m_ui.mnuBookmark[1]->title();
    try {
        BusyCursor busy;
        RemoveBookmarks(m_db, chosenPoems(index));
    } catch (const SqlError& e) {
        reportFailure(what, e.message());
        return;
    }
    const QString subject = index == 0 ? list->title(selected) : m_ui.mnuBookmarkDel[1]->text();
    m_messages.message(subject + QStringLiteral("：书签删除完毕!"), MessageSink::Icon::Information);
}

void BookmarkController::mnuBookmarkDelAll_Click() {
    if (!m_session.canWrite() || m_browse.model()->size() == 0) return;
    try {
        BusyCursor busy;
        RemoveAllBookmarks(m_db);
    } catch (const SqlError& e) {
        reportFailure(m_ui.mnuBookmarkDelAll->text(), e.message());
        return;
    }
    m_messages.message(QStringLiteral("所有书签删除完毕!"), MessageSink::Icon::Information);
}

void BookmarkController::reportFailure(const QString& what, const QString& storeMessage) {
    m_messages.message(what + QStringLiteral("操作失败，未作任何修改！\n\n") + storeMessage,
                       MessageSink::Icon::Warning);
}
