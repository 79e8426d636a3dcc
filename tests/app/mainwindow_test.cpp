// Start-up, the write lock, the database switch, the saved settings, the splash
// and the window frame, driven through the real widgets.
#include "app/mainwindow.h"
#include "app/settings.h"
#include "app/splash.h"
#include "browse/titlelistview.h"
#include "support/windowtest.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMenu>
#include <QPushButton>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

namespace {

// Every control that writes to the database, by name.
const QStringList kWriteWidgets = {"cmdSave", "cmdSaveTo", "cmdDel", "cmdEdit", "cmdPoet", "cmdPoetOk",
                                   "cmdBookmarkAdd", "cmdBookmarkDel"};
const QStringList kWriteActions = {"mnuEditTo_1",        "mnuEditTo_2",       "mnuEditTo_3",   "mnuPoetEdit",
                                   "mnuPoetDel",         "mnuBookmark_0Action", "mnuBookmark_1Action",
                                   "mnuBookmarkDelAll",  "mnuVolumnAction",   "mnuBookOrder",  "mnuBookAddedAction",
                                   "mnuBookDeleteAction", "mnuBookDelAll",    "mnuToolCHK"};

void writeRaw(const QString& key, const QString& value) {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Forelane"), QStringLiteral("Lyrabook"));
    s.beginGroup(QStringLiteral("Lyrabook"));
    if (value.isNull()) s.remove(key);
    else s.setValue(key, value);
    s.endGroup();
    s.sync();
}

} // namespace

class MainWindowTest : public WindowTest {
    Q_OBJECT

private:
    // True when every write control has the given enabled state.
    static QString writeControlsNotIn(MainWindow& w, bool enabled) {
        QStringList wrong;
        for (const QString& n : kWriteWidgets) {
            auto* c = w.findChild<QWidget*>(n);
            if (!c) wrong << n + QStringLiteral(" (missing)");
            else if (c->isEnabled() != enabled) wrong << n;
        }
        for (const QString& n : kWriteActions) {
            auto* a = w.findChild<QAction*>(n);
            if (!a) wrong << n + QStringLiteral(" (missing)");
            else if (a->isEnabled() != enabled) wrong << n;
        }
        return wrong.join(u',');
    }

private slots:
    void initTestCase() { redirectSettings(); }
    void init() { freshFixture(); }

    void startupFillsThePickListsAndCaption() {
        auto w = start();
        QCOMPARE(w->windowTitle(), QStringLiteral("蓝溪诗汇 "));
        QCOMPARE(int(w->session().writeMode()), 1);
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(w->session().databasePath(), fx->dir() + QStringLiteral("/poem.mdb"));
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("myPath"))->text(), w->session().databasePath());
        // The poets of the Poet table, in both poet lists.
        QCOMPARE(items(w->ui.cboPoet), (QStringList{"李商隐", "李白", "杜甫", "苏轼"}));
        QCOMPARE(items(w->ui.cboPoet2), items(w->ui.cboPoet));
        QCOMPARE(items(w->ui.cboDynasty), (QStringList{"先秦", "唐", "五代", "宋"}));
        QCOMPARE(items(w->ui.cboType), (QStringList{"词", "诗"}));
        QCOMPARE(items(w->ui.cboStyle),
                 (QStringList{"七言律诗", "七言绝句", "乐府", "五言律诗", "五言绝句", "念奴娇", "水调歌头"}));
        // Hidden books and books without a name are not offered.
        QCOMPARE(items(w->ui.cboBook), (QStringList{"蓝溪诗汇", "宋词选", "唐诗选"}));
        QCOMPARE(w->ui.cboBook->currentIndex(), 0);
        QCOMPARE(w->ui.cboList->currentIndex(), 1);
        QCOMPARE(w->ui.cboText->currentIndex(), 3);
        QCOMPARE(w->ui.myTotal->text(), QStringLiteral("系统总计：9题 (12首)"));
        QCOMPARE(MainWindow::tag(w->ui.myState), QStringLiteral("查询"));
        QCOMPARE(writeControlsNotIn(*w, true), QString());
        QCOMPARE(w->ui.lstTitle->viewStyle(), 2);
    }

    void lockAndUnlockAlternate() {
        auto w = start();
        QAction* lock = w->ui.mnuToolLock;
        lock->trigger();
        QCOMPARE(int(w->session().writeMode()), 0);
        QCOMPARE(w->windowTitle(), QStringLiteral("蓝溪诗汇 -（锁定）"));
        QVERIFY(lock->isChecked());
        QCOMPARE(writeControlsNotIn(*w, false), QString());
        // Locked really means read-only.
        QVERIFY_THROWS_EXCEPTION(SqlError, w->store().db().exec(QStringLiteral("Delete From Poet")));
        lock->trigger();
        QCOMPARE(int(w->session().writeMode()), 1);
        QCOMPARE(w->windowTitle(), QStringLiteral("蓝溪诗汇 "));
        QVERIFY(!lock->isChecked());
        QCOMPARE(writeControlsNotIn(*w, true), QString());
        lock->trigger();
        w->close();
        QCOMPARE(Settings::raw(QStringLiteral("Default_Locked")), QStringLiteral("0"));
        QVERIFY(dialogs.messages.isEmpty());

        // The next start comes up locked.
        auto w2 = start();
        QCOMPARE(int(w2->session().writeMode()), 0);
        QCOMPARE(w2->windowTitle(), QStringLiteral("蓝溪诗汇 -（锁定）"));
        QVERIFY(w2->ui.mnuToolLock->isChecked());
    }

    void startWithoutDatabaseThenSwitch() {
        QFile::remove(fx->path());
        auto w = start();
        QCOMPARE(int(w->session().writeMode()), -1);
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].text.startsWith(QStringLiteral("无法打开数据库文件 ") + w->session().databasePath()));
        QCOMPARE(dialogs.messages[0].icon, MessageSink::Icon::Critical);
        QCOMPARE(w->windowTitle(), QStringLiteral("蓝溪诗汇 "));
        QCOMPARE(writeControlsNotIn(*w, false), QString());
        QCOMPARE(w->ui.cboPoet->count(), 0);
        QCOMPARE(w->ui.cboBook->count(), 0);

        // A good file opens writable, even though the failed start left -1.
        FixtureDb other;
        other.fillSample();
        dialogs.files.push_back(other.path());
        w->ui.mnuToolFile->trigger();
        QCOMPARE(dialogs.fileRequests.size(), 1);
        QCOMPARE(dialogs.fileRequests[0].kind, 1);
        QCOMPARE(dialogs.fileRequests[0].initialName, fx->dir() + QStringLiteral("/poem.mdb"));
        QCOMPARE(int(w->session().writeMode()), 1);
        QCOMPARE(w->session().databasePath(), other.path());
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("myPath"))->text(), other.path());
        QCOMPARE(w->ui.myTotal->text(), QStringLiteral("系统总计：9题 (12首)"));
        QCOMPARE(writeControlsNotIn(*w, true), QString());
        QCOMPARE(dialogs.messages.size(), 1);
        // No template is listed after the failed start: saving has no name to
        // save under and writes nothing.
        QCOMPARE(w->ui.cboModel->currentText(), QString());
        QTest::mouseClick(w->ui.cmdSetting, Qt::LeftButton);
        QTest::mouseClick(w->ui.cmdSave, Qt::LeftButton);
        QCOMPARE(dialogs.marked().mid(1), QStringList{"!:未选定模板，无法保存！"});
        QCOMPARE(other.count(QStringLiteral("SELECT count(*) FROM PoetrySet WHERE fModel=''")), 0);
        // A start that failed leaves the saved mode alone at shutdown.
        writeRaw(QStringLiteral("Default_Locked"), QString());
    }

    void failedStartKeepsSavedMode() {
        QFile::remove(fx->path());
        writeRaw(QStringLiteral("Default_Locked"), QStringLiteral("0"));
        auto w = start();
        QCOMPARE(int(w->session().writeMode()), -1);
        w->close();
        QCOMPARE(Settings::raw(QStringLiteral("Default_Locked")), QStringLiteral("0"));
    }

    void switchToBadFileReopensThePrevious() {
        auto w = start();
        const QString before = w->session().databasePath();
        QTemporaryDir dir;
        const QString bad = dir.filePath(QStringLiteral("bad.mdb"));
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, '\x5a'));
        f.close();
        dialogs.files.push_back(bad);
        w->mnuToolFile_Click();
        QCOMPARE(dialogs.texts(), QStringList{bad + QStringLiteral(" 并不是《蓝溪诗汇》数据库文件，操作失败！")});
        QCOMPARE(w->session().databasePath(), before);
        QCOMPARE(int(w->session().writeMode()), 1);
        QVERIFY(w->store().isOpen());
        QCOMPARE(w->store().FindTable(QStringLiteral("Poetry"), QString()), 9);

        // Cancelling, or naming a file that does not exist, changes nothing.
        dialogs.messages.clear();
        w->mnuToolFile_Click();
        dialogs.files.push_back(dir.filePath(QStringLiteral("nothing.mdb")));
        w->mnuToolFile_Click();
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(w->session().databasePath(), before);
    }

    void switchChangesTheGrouping() {
        auto w = start();
        auto* cboList = w->ui.cboList;
        FixtureDb other;
        other.fillSample();
        const int expected[][2] = {{1, 0}, {0, 1}, {2, 0}};
        for (const auto& e : expected) {
            cboList->setCurrentIndex(e[0]);
            dialogs.files.push_back(other.path());
            w->mnuToolFile_Click();
            QCOMPARE(cboList->currentIndex(), e[1]);
            QCOMPARE(w->browse->shownGrouping(), e[1]);
        }
    }

    void settingsReadWithDefaults_data() {
        QTest::addColumn<QString>("locked");
        QTest::addColumn<QString>("view");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("style");
        QTest::newRow("absent") << QString() << QString() << 1 << 2;
        QTest::newRow("text") << "abc" << "abc" << 1 << 2;
        QTest::newRow("negative") << "-1" << "-1" << 1 << 2;
        QTest::newRow("huge") << "99999999999" << "99999999999" << 1 << 2;
        QTest::newRow("stored") << "0" << "3" << 0 << 3;
        QTest::newRow("blank-padded") << " 0 " << " 1" << 0 << 1;
    }

    void settingsReadWithDefaults() {
        QFETCH(QString, locked);
        QFETCH(QString, view);
        QFETCH(int, mode);
        QFETCH(int, style);
        writeRaw(QStringLiteral("Default_Locked"), locked);
        writeRaw(QStringLiteral("Default_LstView"), view);
        QCOMPARE(int(Settings::defaultLocked()), mode);
        QCOMPARE(Settings::defaultLstView(), style);
        auto w = start();
        QCOMPARE(int(w->session().writeMode()), mode);
        QCOMPARE(w->ui.lstTitle->viewStyle(), style);
    }

    void shutdownWritesOnlyWhatChanged() {
        writeRaw(QStringLiteral("Default_LstView"), QStringLiteral("02"));
        auto w = start();
        w->findChild<QAction*>(QStringLiteral("mnuList_2"))->trigger();
        w->close();
        // Numerically equal: left as it was.
        QCOMPARE(Settings::raw(QStringLiteral("Default_LstView")), QStringLiteral("02"));
        QCOMPARE(Settings::raw(QStringLiteral("Default_Locked")), QString());
        auto w2 = start();
        w2->findChild<QAction*>(QStringLiteral("mnuList_3"))->trigger();
        w2->close();
        QCOMPARE(Settings::raw(QStringLiteral("Default_LstView")), QStringLiteral("3"));
    }

    void splashLoadsOnFirstTickAndHandsOverAfterFifth() {
        auto w = std::make_unique<MainWindow>(&dialogs);
        int loads = 0;
        bool shown = false;
        SplashWindow splash([&] { ++loads; w->Form_Load(); }, [&] { shown = true; });
        splash.Timer1->stop();
        splash.Timer1_Timer();
        QCOMPARE(loads, 1);
        QVERIFY(w->isLoaded());
        QVERIFY(!shown);
        for (int i = 0; i < 3; ++i) splash.Timer1_Timer();
        QVERIFY(!shown);
        splash.Timer1_Timer();
        QVERIFY(shown);
        QCOMPARE(loads, 1);
        QCOMPARE(splash.ticks(), 5);
    }

    void splashClickLoadsAtOnce() {
        int loads = 0;
        bool shown = false;
        SplashWindow splash([&] { ++loads; }, [&] { shown = true; });
        splash.show();
        QTest::mouseClick(splash.Image2, Qt::LeftButton);
        QCOMPARE(loads, 1);
        QVERIFY(shown);
        QVERIFY(!splash.Timer1->isActive());
    }

    void fileHeldByAnotherProgramAtStartShowsAWaitThatCanStop() {
        fx->db().execNative(QStringLiteral("BEGIN EXCLUSIVE"));
        auto w = std::make_unique<MainWindow>(&dialogs);
        bool loading = false;
        bool shown = false;
        bool shownWhileLoading = false;
        // The user stops the wait on its note, later than the splash would have gone.
        QElapsedTimer clock;
        QTimer user;
        connect(&user, &QTimer::timeout, this, [&] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->objectName() == QLatin1String("dlgBusyWait") && top->isVisible() && clock.elapsed() > 800)
                    if (auto* cancel = top->findChild<QPushButton*>()) cancel->click();
        });
        SplashWindow splash(
            [&] {
                loading = true;
                clock.start();
                user.start(50);
                w->Form_Load();
                loading = false;
            },
            [&] {
                shown = true;
                shownWhileLoading = loading;
            });
        QTRY_VERIFY_WITH_TIMEOUT(shown, 20000);
        fx->db().execNative(QStringLiteral("COMMIT"));
        QVERIFY(!shownWhileLoading);
        QCOMPARE(int(w->session().writeMode()), -1);
        QCOMPARE(dialogs.marked(), QStringList{QStringLiteral("x:数据库文件 ") + fx->path() +
                                               QStringLiteral(" 正被另一个程序占用，现在无法打开。\n\n"
                                                              "请关闭正在使用它的程序后再试。")});
    }

    void missingSideTableIsNamedOnceAndTheOtherListsStillFill() {
        fx->db().execNative(QStringLiteral("DROP TABLE Poet"));
        auto w = start();
        for (const char* id : {"1", "3", "4", "2", "8"}) w->RenderPoem(QString::fromLatin1(id));
        QCOMPARE(dialogs.marked(), QStringList{QStringLiteral("!:数据库文件 ") + fx->path() +
                                               QStringLiteral(" 中没有数据表 Poet，用到它的内容无法显示。\n\n"
                                                              "本次运行不再提示。")});
        QCOMPARE(items(w->ui.cboDynasty).size(), 4);
        QCOMPARE(items(w->ui.cboBook).size(), 3);
    }

    void databaseCheckInTheToolsMenuReportsInPlainWords() {
        auto w = start();
        QVERIFY(w->ui.mnuTool->actions().contains(w->ui.mnuToolDbCheck));
        QCOMPARE(w->ui.mnuToolDbCheck->text(), QStringLiteral("数据库检查"));
        w->ui.mnuToolLock->trigger(); // the check reads beside the locked connection
        w->ui.mnuToolDbCheck->trigger();
        QCOMPARE(dialogs.marked(), QStringList{QStringLiteral("i:数据库检查完毕：") + fx->path() +
                                               QStringLiteral(" 完好，没有发现问题。 @数据库检查")});
    }

    void tooSmallWindowSnapsBack() {
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const int minW = w->twipsToPixels(9720);
        const int minH = w->twipsToPixels(6900);
        w->resize(w->twipsToPixels(9000), w->twipsToPixels(9000));
        QTRY_COMPARE(w->frameGeometry().width(), minW);
        QCOMPARE(w->frameGeometry().height(), minH);
        // A large window is laid out: the text pane fills what the columns leave.
        w->resize(w->twipsToPixels(14000), w->twipsToPixels(9000));
        auto* pane = w->ui.RichTextBox1;
        auto* poet = w->ui.imgPoet;
        QTRY_VERIFY(qAbs(pane->geometry().right() + 1 - poet->geometry().left()) <= 2);
        QVERIFY(pane->height() > 0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
