// Start-up, the write lock, the database switch, the saved settings, the splash
// and the window frame, driven through the real widgets.
#include "app/mainwindow.h"
#include "app/settings.h"
#include "app/splash.h"
#include "browse/titlelistview.h"
#include "support/fixture.h"
#include "support/scripteddialogs.h"
#include "support/windowtest.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTextEdit>
#include <QToolButton>
#include <memory>

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
        QCOMPARE(w->WriteMode, qint16(1));
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(w->DatabasePath, fx->dir() + QStringLiteral("/poem.mdb"));
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("myPath"))->text(), w->DatabasePath);
        const QStringList poets = {"Li Bai", "李商隐", "李白", "杜甫", "苏轼"};
        QCOMPARE(items(w->findChild<QComboBox*>(QStringLiteral("cboPoet"))).size(), 4);
        QCOMPARE(items(w->findChild<QComboBox*>(QStringLiteral("cboPoet2"))),
                 items(w->findChild<QComboBox*>(QStringLiteral("cboPoet"))));
        QCOMPARE(items(w->findChild<QComboBox*>(QStringLiteral("cboDynasty"))),
                 (QStringList{"先秦", "唐", "五代", "宋"}));
        QCOMPARE(items(w->findChild<QComboBox*>(QStringLiteral("cboType"))), (QStringList{"词", "诗"}));
        QCOMPARE(items(w->findChild<QComboBox*>(QStringLiteral("cboStyle"))),
                 (QStringList{"七言律诗", "七言绝句", "乐府", "五言律诗", "五言绝句", "念奴娇", "水调歌头"}));
        // Hidden books and books without a name are not offered.
        QCOMPARE(items(w->findChild<QComboBox*>(QStringLiteral("cboBook"))),
                 (QStringList{"蓝溪诗汇", "宋词选", "唐诗选"}));
        QCOMPARE(w->findChild<QComboBox*>(QStringLiteral("cboBook"))->currentIndex(), 0);
        QCOMPARE(w->findChild<QComboBox*>(QStringLiteral("cboList"))->currentIndex(), 1);
        QCOMPARE(w->findChild<QComboBox*>(QStringLiteral("cboText"))->currentIndex(), 3);
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("myTotal"))->text(), QStringLiteral("系统总计：9题 (12首)"));
        QCOMPARE(MainWindow::tag(w->findChild<QLabel*>(QStringLiteral("myState"))), QStringLiteral("查询"));
        QVERIFY(w->findChild<QComboBox*>(QStringLiteral("cboFontName"))->count() > 0);
        QCOMPARE(writeControlsNotIn(*w, true), QString());
        QCOMPARE(w->findChild<TitleListView*>(QStringLiteral("lstTitle"))->viewStyle(), 2);
    }

    void lockAndUnlockAlternate() {
        auto w = start();
        QAction* lock = w->findChild<QAction*>(QStringLiteral("mnuToolLock"));
        lock->trigger();
        QCOMPARE(w->WriteMode, qint16(0));
        QCOMPARE(w->windowTitle(), QStringLiteral("蓝溪诗汇 -（锁定）"));
        QVERIFY(lock->isChecked());
        QCOMPARE(writeControlsNotIn(*w, false), QString());
        // Locked really means read-only.
        QVERIFY_THROWS_EXCEPTION(SqlError, w->store().db().exec(QStringLiteral("Delete From Poet")));
        lock->trigger();
        QCOMPARE(w->WriteMode, qint16(1));
        QCOMPARE(w->windowTitle(), QStringLiteral("蓝溪诗汇 "));
        QVERIFY(!lock->isChecked());
        QCOMPARE(writeControlsNotIn(*w, true), QString());
        lock->trigger();
        w->close();
        QCOMPARE(Settings::raw(QStringLiteral("Default_Locked")), QStringLiteral("0"));
        QVERIFY(dialogs.messages.isEmpty());

        // The next start comes up locked.
        auto w2 = start();
        QCOMPARE(w2->WriteMode, qint16(0));
        QCOMPARE(w2->windowTitle(), QStringLiteral("蓝溪诗汇 -（锁定）"));
        QVERIFY(w2->findChild<QAction*>(QStringLiteral("mnuToolLock"))->isChecked());
    }

    void startWithoutDatabaseThenSwitch() {
        QFile::remove(fx->path());
        auto w = start();
        QCOMPARE(w->WriteMode, qint16(-1));
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].text.startsWith(QStringLiteral("无法打开数据库文件 ") + w->DatabasePath));
        QCOMPARE(dialogs.messages[0].icon, MessageSink::Icon::Critical);
        QCOMPARE(w->windowTitle(), QStringLiteral("蓝溪诗汇 "));
        QCOMPARE(writeControlsNotIn(*w, false), QString());
        QCOMPARE(w->findChild<QComboBox*>(QStringLiteral("cboPoet"))->count(), 0);
        QCOMPARE(w->findChild<QComboBox*>(QStringLiteral("cboBook"))->count(), 0);

        // A good file opens writable, even though the failed start left -1.
        FixtureDb other;
        other.fillSample();
        dialogs.files.push_back(other.path());
        w->findChild<QAction*>(QStringLiteral("mnuToolFile"))->trigger();
        QCOMPARE(dialogs.fileRequests.size(), 1);
        QCOMPARE(dialogs.fileRequests[0].kind, 1);
        QCOMPARE(dialogs.fileRequests[0].initialName, fx->dir() + QStringLiteral("/poem.mdb"));
        QCOMPARE(dialogs.fileRequests[0].filter,
                 QStringLiteral("所有文件 (*.*)|*.*|Access 数据库 (*.mdb)|*.mdb"));
        QCOMPARE(w->WriteMode, qint16(1));
        QCOMPARE(w->DatabasePath, other.path());
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("myPath"))->text(), other.path());
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("myTotal"))->text(), QStringLiteral("系统总计：9题 (12首)"));
        QCOMPARE(writeControlsNotIn(*w, true), QString());
        QCOMPARE(dialogs.messages.size(), 1);
        // A start that failed leaves the saved mode alone at shutdown.
        writeRaw(QStringLiteral("Default_Locked"), QString());
    }

    void failedStartKeepsSavedMode() {
        QFile::remove(fx->path());
        writeRaw(QStringLiteral("Default_Locked"), QStringLiteral("0"));
        auto w = start();
        QCOMPARE(w->WriteMode, qint16(-1));
        w->close();
        QCOMPARE(Settings::raw(QStringLiteral("Default_Locked")), QStringLiteral("0"));
    }

    void notAPoemDatabaseAtStart() {
        QFile f(fx->path());
        fx->closeConnection();
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("plain text, no database");
        f.close();
        auto w = start();
        QCOMPARE(w->WriteMode, qint16(-1));
        QCOMPARE(dialogs.texts(), QStringList{w->DatabasePath + QStringLiteral(" 并不是《蓝溪诗汇》数据库文件，操作失败！")});
        QVERIFY(!w->store().isOpen());
    }

    void switchToBadFileReopensThePrevious() {
        auto w = start();
        const QString before = w->DatabasePath;
        QTemporaryDir dir;
        const QString bad = dir.filePath(QStringLiteral("bad.mdb"));
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, '\x5a'));
        f.close();
        dialogs.files.push_back(bad);
        w->mnuToolFile_Click();
        QCOMPARE(dialogs.texts(), QStringList{bad + QStringLiteral(" 并不是《蓝溪诗汇》数据库文件，操作失败！")});
        QCOMPARE(w->DatabasePath, before);
        QCOMPARE(w->WriteMode, qint16(1));
        QVERIFY(w->store().isOpen());
        QCOMPARE(w->store().FindTable(QStringLiteral("Poetry"), QString()), 9);

        // Cancelling, or naming a file that does not exist, changes nothing.
        dialogs.messages.clear();
        w->mnuToolFile_Click();
        dialogs.files.push_back(dir.filePath(QStringLiteral("nothing.mdb")));
        w->mnuToolFile_Click();
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(w->DatabasePath, before);
    }

    void switchChangesTheGrouping() {
        auto w = start();
        auto* cboList = w->findChild<QComboBox*>(QStringLiteral("cboList"));
        FixtureDb other;
        other.fillSample();
        const int expected[][2] = {{1, 0}, {0, 1}, {2, 0}};
        for (const auto& e : expected) {
            cboList->setCurrentIndex(e[0]);
            dialogs.files.push_back(other.path());
            w->mnuToolFile_Click();
            QCOMPARE(cboList->currentIndex(), e[1]);
            QCOMPARE(MainWindow::tag(cboList), QString::number(e[1]));
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
        QCOMPARE(int(w->WriteMode), mode);
        QCOMPARE(w->findChild<TitleListView*>(QStringLiteral("lstTitle"))->viewStyle(), style);
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

    void frameHasEveryControlAndAccessibleNames() {
        auto w = start();
        const QStringList names = {
            "fraTop", "Image1", "fraSelect", "cboList", "tvwList", "lstTitle", "cboTitle2", "cboTitle3", "fraBook",
            "cboBook", "fraSeek", "txtTitle", "cboPoet", "cboDynasty", "cboType", "cboStyle", "txtQty", "txtPre",
            "txtContent", "txtMemo", "cmdSeekOk", "cmdEditOk", "cmdSeekCancel", "fraModel", "cboModel", "chkModel",
            "cmdSaveTo", "cmdDel", "cmdSave", "cmdSaveCancel", "Line6", "cboText", "cboFontName", "cboFontSize",
            "chkFontBold", "chkFontItalic", "chkFontUnderline", "cmdFontColor", "optAlign_0", "optAlign_1",
            "optAlign_2", "cmdIndent_0", "cmdIndent_1", "cmdHangingIndent_0", "cmdHangingIndent_1", "cmdOffset_0",
            "cmdOffset_1", "RichTextBox1", "picText", "imgPoet", "txtPoet2", "lblPoet2", "cboPoet2",
            "cmdPoetExpand", "cmdPoetOk", "cmdPoetCancel", "StatusBar1", "myTotal", "mySelect", "myModel",
            "myState", "myCheck", "cmdQuit"};
        for (const QString& n : names) QVERIFY2(w->findChild<QWidget*>(n), qPrintable(n));
        const QList<QPair<QString, QString>> fields = {{"txtTitle", "标题"}, {"cboPoet", "作者"},
                                                        {"cboDynasty", "朝代"}, {"cboType", "类别"},
                                                        {"cboStyle", "格式"}, {"txtQty", "首"},
                                                        {"txtPre", "前言"}, {"txtContent", "内容"},
                                                        {"txtMemo", "简析"}, {"txtPoet2", "作者简介"}};
        for (const auto& [n, text] : fields) {
            QWidget* f = w->findChild<QWidget*>(n);
            QCOMPARE(f->accessibleName(), text);
        }
        const QList<QPair<QString, QString>> tools = {
            {"cmdSetting", "模板设置"}, {"cmdPoet", "作者编辑"},   {"cmdEdit", "诗词编辑"}, {"cmdBookmarkAdd", "书签插入"},
            {"cmdBookmarkDel", "书签删除"}, {"cmdBmkSeek", "书签查询"}, {"cmdSeek", "诗词检索"}, {"cmdPrint", "作品打印"}};
        for (const auto& [n, tip] : tools) {
            auto* b = w->findChild<QToolButton*>(n);
            QVERIFY2(b, qPrintable(n));
            QCOMPARE(b->toolTip(), tip);
            QCOMPARE(b->accessibleName(), tip);
            QVERIFY(!b->icon().isNull());
        }
        // Status bar panels start with their texts (before the load routine fills them).
        MainWindow fresh(&dialogs);
        QCOMPARE(fresh.findChild<QLabel*>(QStringLiteral("myTotal"))->text(), QStringLiteral("系统总计：xxxx题(xxxx首)"));
        QCOMPARE(fresh.findChild<QLabel*>(QStringLiteral("mySelect"))->text(), QStringLiteral("目前选入：xxxx题(xxxx首)"));
        QCOMPARE(fresh.findChild<QLabel*>(QStringLiteral("myModel"))->text(), QStringLiteral("诗词模板："));
        QCOMPARE(fresh.findChild<QLabel*>(QStringLiteral("myState"))->text(), QStringLiteral("状态：查询"));
        QCOMPARE(fresh.findChild<QLabel*>(QStringLiteral("myCheck"))->text(), QString());
        // Menus and their shortcuts.
        QCOMPARE(w->findChild<QAction*>(QStringLiteral("mnuQuit"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
        QCOMPARE(w->findChild<QAction*>(QStringLiteral("mnuPrint"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
        QVERIFY(w->findChild<QAction*>(QStringLiteral("mnuToolPy"))->isChecked());
        QVERIFY(!w->findChild<QAction*>(QStringLiteral("mnuSeekOk_0"))->isEnabled());
        QVERIFY(!w->findChild<QAction*>(QStringLiteral("mnuSeekOk_1"))->isEnabled());
        QStringList toolMenu;
        for (QAction* a : w->findChild<QMenu*>(QStringLiteral("mnuTool"))->actions())
            toolMenu << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(toolMenu, (QStringList{"[汉语拼音] 提示", "-", "[数据库] 锁定", "[数据库] 切换", "-", "[重复诗词] 检验"}));
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
        auto* pane = w->findChild<QTextEdit*>(QStringLiteral("RichTextBox1"));
        auto* poet = w->findChild<QLabel*>(QStringLiteral("imgPoet"));
        QTRY_VERIFY(qAbs(pane->geometry().right() + 1 - poet->geometry().left()) <= 2);
        QVERIFY(pane->height() > 0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
