#pragma once
// Shared set-up of the window tests: settings redirected to a temporary folder,
// a fresh fixture database beside the "program", scripted dialogs, and a main
// window that has run its load routine.
#include "app/mainwindow.h"
#include "support/fixture.h"
#include "support/scripteddialogs.h"

#include <QComboBox>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>

class WindowTest : public QObject {
    Q_OBJECT
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
    static QStringList items(const QComboBox* cb) {
        QStringList out;
        for (int i = 0; i < cb->count(); ++i) out << cb->itemText(i);
        return out;
    }
};
