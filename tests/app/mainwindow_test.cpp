// Start-up, the write lock, the database switch, the saved settings and a file
// held by another program at start, driven through the real widgets.
#include "app/settings.h"
#include "app/splash.h"
#include "browse/titlelistview.h"
#include "support/windowtest.h"

#include <QElapsedTimer>

namespace {

// Every button and menu entry that writes to the database, by name.
const QStringList kWriteControls = {
    u"cmdSave"_s, u"cmdSaveTo"_s, u"cmdDel"_s, u"cmdEdit"_s, u"cmdEditOk"_s, u"cmdPoet"_s, u"cmdPoetOk"_s,
    u"cmdBookmarkAdd"_s, u"cmdBookmarkDel"_s, u"mnuEditTo_1"_s, u"mnuEditTo_2"_s, u"mnuEditTo_3"_s,
    u"mnuPoetEdit"_s, u"mnuPoetDel"_s, u"mnuBookmark_0Action"_s, u"mnuBookmark_1Action"_s, u"mnuBookmarkDelAll"_s,
    u"mnuVolumnAction"_s, u"mnuBookOrder"_s, u"mnuBookAddedAction"_s, u"mnuBookDeleteAction"_s, u"mnuBookDelAll"_s,
    u"mnuToolCHK"_s};

// Writes (or with a null value removes) one saved setting as another program would.
void writeRaw(const QString& key, const QString& value) {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, u"Forelane"_s, u"Lyrabook"_s);
    if (value.isNull()) s.remove(u"Lyrabook/"_s + key);
    else s.setValue(u"Lyrabook/"_s + key, value);
}

} // namespace

class MainWindowTest : public WindowTest {
    Q_OBJECT

private:
    // The write controls missing or not in the given enabled state, ","-joined.
    static QString writeControlsNotIn(MainWindow& w, bool enabled) {
        QStringList wrong;
        for (const QString& n : kWriteControls) {
            const QObject* c = w.findChild<QObject*>(n);
            if (!c || c->property("enabled").toBool() != enabled) wrong << n;
        }
        return wrong.join(u',');
    }

private slots:
    // The pick lists and caption at start; the lock, taken and released, then
    // saved for the next start.
    void startupThenLockAndUnlock() {
        auto w = start();
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(w->findChild<QLabel*>(u"myPath"_s)->text(), fx->dir() + u"/poem.mdb"_s);
        // The poets of the Poet table (the same in the poet panel's list).
        QCOMPARE(items(w->ui.cboPoet), (QStringList{u"李商隐"_s, u"李白"_s, u"杜甫"_s, u"苏轼"_s}));
        QCOMPARE(items(w->ui.cboDynasty), (QStringList{u"先秦"_s, u"唐"_s, u"五代"_s, u"宋"_s}));
        QCOMPARE(items(w->ui.cboType), (QStringList{u"词"_s, u"诗"_s}));
        QCOMPARE(items(w->ui.cboStyle),
                 (QStringList{u"七言律诗"_s, u"七言绝句"_s, u"乐府"_s, u"五言律诗"_s, u"五言绝句"_s, u"念奴娇"_s, u"水调歌头"_s}));
        // Hidden books and books without a name are not offered.
        QCOMPARE(items(w->ui.cboBook), (QStringList{u"蓝溪诗汇"_s, u"宋词选"_s, u"唐诗选"_s}));
        QCOMPARE(w->ui.myTotal->text(), u"系统总计：9题 (12首)"_s);
        QCOMPARE(writeControlsNotIn(*w, true), QString());
        QAction* lock = w->ui.mnuToolLock;
        lock->trigger();
        QCOMPARE(w->windowTitle(), u"蓝溪诗汇 -（锁定）"_s);
        QCOMPARE(writeControlsNotIn(*w, false), QString());
        // Locked really means read-only.
        QVERIFY_THROWS_EXCEPTION(SqlError, w->store().db().exec(u"Delete From Poet"_s));
        lock->trigger();
        QCOMPARE(w->windowTitle(), u"蓝溪诗汇 "_s);
        QCOMPARE(writeControlsNotIn(*w, true), QString());
        lock->trigger();
        // The database check in the tools menu reads beside the locked connection.
        w->ui.mnuToolDbCheck->trigger();
        QCOMPARE(dialogs.marked(), QStringList{u"i:数据库检查完毕："_s + fx->path() + u" 完好，没有发现问题。 @数据库检查"_s});
        w->close();
        QCOMPARE(Settings::raw(u"Default_Locked"_s), u"0"_s);

        // The next start comes up locked.
        auto w2 = start();
        QCOMPARE(w2->windowTitle(), u"蓝溪诗汇 -（锁定）"_s);
    }

    void startWithoutDatabaseThenSwitches() {
        QFile::remove(fx->path());
        // A failed start, closed, keeps the saved lock mode for the next start.
        writeRaw(u"Default_Locked"_s, u"0"_s);
        start()->close();
        QCOMPARE(Settings::raw(u"Default_Locked"_s), u"0"_s);
        dialogs = ScriptedDialogs();
        auto w = start();
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.marked()[0].startsWith(u"x:无法打开数据库文件 "_s + fx->path()));
        QCOMPARE(writeControlsNotIn(*w, false), QString());
        QCOMPARE(w->ui.cboPoet->count() + w->ui.cboBook->count(), 0);

        // A good file opens writable, even though the failed start left -1.
        FixtureDb other;
        other.fillSample();
        dialogs.files.push_back(other.path());
        w->ui.mnuToolFile->trigger();
        QCOMPARE(w->findChild<QLabel*>(u"myPath"_s)->text(), other.path());
        QCOMPARE(w->ui.myTotal->text(), u"系统总计：9题 (12首)"_s);
        QCOMPARE(writeControlsNotIn(*w, true), QString());
        // No template is listed after the failed start: saving has no name to
        // save under and writes nothing.
        QCOMPARE(w->ui.cboModel->currentText(), QString());
        QTest::mouseClick(w->ui.cmdSetting, Qt::LeftButton);
        QTest::mouseClick(w->ui.cmdSave, Qt::LeftButton);
        QCOMPARE(dialogs.marked().mid(1), QStringList{u"!:未选定模板，无法保存！"_s});
        QCOMPARE(other.count(u"SELECT count(*) FROM PoetrySet WHERE fModel=''"_s), 0);
        // A file that is no database is refused and the open one reopened.
        QTemporaryDir dir;
        const QString bad = dir.filePath(u"bad.mdb"_s);
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, '\x5a'));
        f.close();
        dialogs.messages.clear();
        dialogs.files.push_back(bad);
        w->mnuToolFile_Click();
        QCOMPARE(dialogs.texts(), QStringList{bad + u" 并不是《蓝溪诗汇》数据库文件，操作失败！"_s});
        QCOMPARE(w->store().FindTable(u"Poetry"_s, QString()), 9);
        QCOMPARE(writeControlsNotIn(*w, true), QString());
        // Cancelling, or naming a file that does not exist, changes nothing.
        dialogs.messages.clear();
        w->mnuToolFile_Click();
        dialogs.files.push_back(dir.filePath(u"nothing.mdb"_s));
        w->mnuToolFile_Click();
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(w->findChild<QLabel*>(u"myPath"_s)->text(), other.path());
        // A switch moves the tree to another grouping so that it is filled anew.
        w->ui.cboList->setCurrentIndex(2);
        dialogs.files.push_back(other.path());
        w->mnuToolFile_Click();
        QCOMPARE(w->ui.cboList->currentIndex(), 0);
    }

    // The lock ("0" is locked) and the list view style as saved; text, out of
    // range or absent reads as the default (writable, style 2).
    void settingsReadWithDefaults() {
        const struct {
            QString savedLock, savedView;
            bool locked;
            int style;
        } cases[] = {{{}, {}, false, 2},          {u"abc"_s, u"abc"_s, false, 2}, {u"99999999999"_s, u"-1"_s, false, 2},
                     {u"0"_s, u"3"_s, true, 3}, {u" 0 "_s, u" 1"_s, true, 1}};
        for (const auto& c : cases) {
            writeRaw(u"Default_Locked"_s, c.savedLock);
            writeRaw(u"Default_LstView"_s, c.savedView);
            auto w = start();
            QCOMPARE(w->ui.mnuToolLock->isChecked(), c.locked);
            QCOMPARE(w->ui.lstTitle->viewStyle(), c.style);
        }
        // A changed style is saved on closing.
        auto w = start();
        w->findChild<QAction*>(u"mnuList_3"_s)->trigger();
        w->close();
        QCOMPARE(Settings::raw(u"Default_LstView"_s), u"3"_s);
    }

    void fileHeldByAnotherProgramAtStartShowsAWaitThatCanStop() {
        fx->db().execNative(u"BEGIN EXCLUSIVE"_s);
        auto w = std::make_unique<MainWindow>(&dialogs);
        bool loading = false, shown = false, shownWhileLoading = false;
        // The user stops the wait on its note, later than the splash would have gone.
        QElapsedTimer clock;
        QTimer user;
        connect(&user, &QTimer::timeout, this, [&] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->objectName() == QLatin1String("dlgBusyWait") && top->isVisible() && clock.elapsed() > 800)
                    if (auto* cancel = top->findChild<QPushButton*>()) cancel->click();
        });
        SplashWindow splash([&] { loading = true; clock.start(); user.start(50); w->Form_Load(); loading = false; },
                            [&] { shown = true; shownWhileLoading = loading; });
        QTRY_VERIFY_WITH_TIMEOUT(shown, 20000);
        fx->db().execNative(u"COMMIT"_s);
        QVERIFY(!shownWhileLoading);
        QCOMPARE(dialogs.marked(), QStringList{u"x:数据库文件 "_s + fx->path() +
                                               u" 正被另一个程序占用，现在无法打开。\n\n请关闭正在使用它的程序后再试。"_s});
    }

    void missingSideTableIsNamedOnceAndTheOtherListsStillFill() {
        fx->db().execNative(u"DROP TABLE Poet"_s);
        auto w = start();
        for (const char* id : {"1", "3", "4", "2", "8"}) w->RenderPoem(QString::fromLatin1(id));
        QCOMPARE(dialogs.marked(), QStringList{u"!:数据库文件 "_s + fx->path() +
                                               u" 中没有数据表 Poet，用到它的内容无法显示。\n\n本次运行不再提示。"_s});
        QCOMPARE(items(w->ui.cboDynasty).size() + items(w->ui.cboBook).size(), 7);
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
