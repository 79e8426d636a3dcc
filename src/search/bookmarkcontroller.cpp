#include "search/bookmarkcontroller.h"

#include "app/busycursor.h"
#include "app/mainwindow.h"
#include "browse/browsecontroller.h"
#include "browse/titlelistmodel.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

BookmarkController::BookmarkController(MainWindow& window) : QObject(&window), w(window) {
    MainUi& ui = w.ui;
    connect(ui.cmdBmkSeek, &QToolButton::clicked, this, [this] { cmdBmkSeek_Click(); });
    connect(ui.mnuBmkSeek, &QAction::triggered, this, [this] { mnuBmkSeek_Click(); });
    connect(ui.cmdBookmarkAdd, &QToolButton::clicked, this, [this] { cmdBookmarkAdd_Click(); });
    connect(ui.cmdBookmarkDel, &QToolButton::clicked, this, [this] { cmdBookmarkDel_Click(); });
    for (int i = 0; i < 2; ++i) {
        connect(ui.mnuBookmarkAdd[size_t(i)], &QAction::triggered, this, [this, i] { mnuBookmarkAdd_Click(i); });
        connect(ui.mnuBookmarkDel[size_t(i)], &QAction::triggered, this, [this, i] { mnuBookmarkDel_Click(i); });
    }
    connect(ui.mnuBookmarkDelAll, &QAction::triggered, this, [this] { mnuBookmarkDelAll_Click(); });
}

void BookmarkController::cmdBmkSeek_Click() {
    w.ui.cmdBmkSeek->setEnabled(false);
    {
        BusyCursor busy;
        w.FillTitleList(QStringLiteral(" Where a.fBookmark>0"), QStringLiteral("a.fBookmark desc"),
                        QStringLiteral("0"));
        w.ui.myState->setText(QStringLiteral("状态：[书签查询]"));
    }
    w.ui.cmdBmkSeek->setEnabled(true);
}

void BookmarkController::mnuBookmarkAdd_Click(int index) {
    if (!w.session().canWrite() || index < 0 || index > 1) return;
    const TitleListModel* list = w.browse->model();
    const int selected = w.browse->selectedRow();
    if (list->size() == 0 || (index == 0 && selected < 0)) return;
    const QString what = w.ui.mnuBookmark[0]->title();
    try {
        BusyCursor busy;
        SqlTransaction t(w.store().db());
        // Each new number is above every number in use, so the newest comes first.
        // Read here rather than through getMaxBookmark, which reads a failure as 0
        // and would hand out numbers already in use.
        qint64 highest = 0;
        if (!w.store().db().scalarInt(QStringLiteral("select max(fBookmark) from Poetry"), &highest)) highest = 0;
        qint64 next = qMax<qint64>(highest, 0) + 1;
        const auto mark = [this, &next](qint32 poemId) {
            w.store().db().exec(QStringLiteral("Update Poetry Set fBookmark=%1 Where fPoemID =%2").arg(next).arg(poemId));
            ++next;
        };
        if (index == 0) {
            mark(list->poemId(selected));
        } else {
            for (int i = 0; i < list->size(); ++i) mark(list->poemId(i));
        }
        t.commit();
    } catch (const SqlError& e) {
        reportFailure(what, e.message());
        return;
    }
    const QString text =
        index == 0 ? list->title(selected) + QStringLiteral("：书签插入完毕!")
                   : w.ui.mnuBookmarkAdd[1]->text() + QStringLiteral("（选入 ") + QString::number(list->size()) +
                         QStringLiteral("题）：书签插入完毕!");
    w.dialogs().message(text, MessageSink::Icon::Information);
}

void BookmarkController::mnuBookmarkDel_Click(int index) {
    if (!w.session().canWrite() || index < 0 || index > 1) return;
    const TitleListModel* list = w.browse->model();
    const int selected = w.browse->selectedRow();
    if (list->size() == 0 || (index == 0 && selected < 0)) return;
    const QString what = w.ui.mnuBookmark[1]->title();
    const QString unmark = QStringLiteral("Update Poetry Set fBookmark=0 Where fPoemID =");
    try {
        BusyCursor busy;
        SqlTransaction t(w.store().db());
        if (index == 0) {
            w.store().db().exec(unmark + QString::number(list->poemId(selected)));
        } else {
            for (int i = 0; i < list->size(); ++i) w.store().db().exec(unmark + QString::number(list->poemId(i)));
        }
        t.commit();
    } catch (const SqlError& e) {
        reportFailure(what, e.message());
        return;
    }
    const QString subject = index == 0 ? list->title(selected) : w.ui.mnuBookmarkDel[1]->text();
    w.dialogs().message(subject + QStringLiteral("：书签删除完毕!"), MessageSink::Icon::Information);
}

void BookmarkController::mnuBookmarkDelAll_Click() {
    if (!w.session().canWrite() || w.browse->model()->size() == 0) return;
    try {
        BusyCursor busy;
        SqlTransaction t(w.store().db());
        w.store().db().exec(QStringLiteral("Update Poetry Set fBookmark=0 Where fBookmark <> 0"));
        t.commit();
    } catch (const SqlError& e) {
        reportFailure(w.ui.mnuBookmarkDelAll->text(), e.message());
        return;
    }
    w.dialogs().message(QStringLiteral("所有书签删除完毕!"), MessageSink::Icon::Information);
}

void BookmarkController::reportFailure(const QString& what, const QString& storeMessage) {
    w.dialogs().message(what + QStringLiteral("操作失败，未作任何修改！\n\n") + storeMessage,
                        MessageSink::Icon::Warning);
}
