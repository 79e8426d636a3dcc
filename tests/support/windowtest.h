#pragma once
// Shared set-up of the window tests: settings redirected to a temporary folder,
// a fresh fixture database beside the "program", scripted dialogs, and a main
// window that has run its load routine.
#include "app/mainwindow.h"
#include "browse/browsecontroller.h"
#include "browse/titlelistmodel.h"
#include "support/fixture.h"
#include "support/scripteddialogs.h"

// The widgets the window tests drive, included once for them all.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <memory>

class WindowTest : public QObject {
    Q_OBJECT
protected slots:
    // Run by the test runner for every derived test class that does not define its own.
    void initTestCase() { redirectSettings(); }
    void init() { freshFixture(); }

protected:
    QTemporaryDir config;
    std::unique_ptr<FixtureDb> fx;
    ScriptedDialogs dialogs;

    // Call from initTestCase().
    void redirectSettings() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path()); }
    // Call from init(): forgets the settings, makes the sample database.
    void freshFixture() {
        QFile::remove(config.filePath(QStringLiteral("Forelane/Lyrabook.ini")));
        fx = std::make_unique<FixtureDb>();
        fx->fillSample();
        MainWindow::setProgramFolderForTesting(fx->dir());
        dialogs = ScriptedDialogs();
    }
    std::unique_ptr<MainWindow> start() {
        auto w = std::make_unique<MainWindow>(&dialogs);
        w->Form_Load();
        return w;
    }
    // A started window, shown and active so that focus moves raise their events;
    // null when the window never became active.
    std::unique_ptr<MainWindow> startActive() {
        auto w = start();
        w->show();
        QApplication::setActiveWindow(w.get());
        if (!QTest::qWaitForWindowActive(w.get())) return nullptr;
        return w;
    }
    static QStringList items(const QComboBox* cb) {
        QStringList out;
        for (int i = 0; i < cb->count(); ++i) out << cb->itemText(i);
        return out;
    }
    // The titles of the title list, top first.
    static QStringList titles(MainWindow& w) {
        QStringList out;
        const TitleListModel* m = w.browse->model();
        for (int i = 0; i < m->size(); ++i) out << m->row(i).title;
        return out;
    }
    // Types text the way an input method commits it (keyClicks cannot type Chinese).
    static void typeText(QWidget* field, const QString& text) {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(field, &commit);
    }
    // Chooses entry `index` of a combo as a user does with the keyboard: opens
    // its popup list, walks to the entry and presses Enter. Unlike
    // setCurrentIndex this also chooses the entry that is already current.
    static bool chooseInPopup(QComboBox* cb, int index) {
        cb->showPopup();
        QAbstractItemView* view = cb->view();
        if (!QTest::qWaitForWindowExposed(view->window())) return false;
        int at = view->currentIndex().isValid() ? view->currentIndex().row() : -1;
        if (at < 0) {
            QTest::keyClick(view, Qt::Key_Home);
            at = 0;
        }
        for (; at < index; ++at) QTest::keyClick(view, Qt::Key_Down);
        for (; at > index; --at) QTest::keyClick(view, Qt::Key_Up);
        QTest::keyClick(view, Qt::Key_Return);
        return !view->isVisible() && cb->currentIndex() == index;
    }
    // Triggers a menu action as a user can: only when it exists and is enabled.
    [[nodiscard]] static bool triggerEnabled(QAction* a) {
        if (!a || !a->isEnabled()) return false;
        a->trigger();
        return true;
    }
    [[nodiscard]] static bool triggerEnabled(QWidget& w, const char* name) {
        return triggerEnabled(w.findChild<QAction*>(QString::fromLatin1(name)));
    }
    static void loseFocus(QWidget* field) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(field, &out);
    }
};
