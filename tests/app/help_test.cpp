// The help menu: the help file on F1, the web page, the mail link, the about
// window with its timer, and the preface viewer.
#include "app/aboutwindow.h"
#include "app/helpcontroller.h"
#include "app/prefaceviewer.h"
#include "support/windowtest.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStringEncoder>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Runs `inspect` on the modal dialog that `open` shows, then lets `open` return.
template <typename Dialog> void whileOpen(const std::function<void()>& open, const std::function<void(Dialog*)>& inspect) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dlg) {
            seen = true;
            inspect(dlg);
            if (dlg->isVisible()) dlg->reject();
        }
    });
    open();
    QVERIFY(seen);
}

} // namespace

class HelpTest : public WindowTest {
    Q_OBJECT

    QStringList opened;

    std::unique_ptr<MainWindow> startRecording() {
        auto w = start();
        w->help->shellOpen = [this](const QString& target) { opened << target; };
        return w;
    }

private slots:
    void initTestCase() { redirectSettings(); }
    void init() {
        freshFixture();
        opened.clear();
    }

    void helpFileWebPageAndMail() {
        auto w = startRecording();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        const QString folder = fx->dir();
        // Without readme.chm: the shipped page.
        QTest::keyClick(w.get(), Qt::Key_F1);
        QVERIFY(triggerEnabled(w->ui.mnuHlpBook));
        // With it: the help file.
        writeFile(folder + QStringLiteral("/readme.chm"), "ITSF");
        QTest::keyClick(w->ui.RichTextBox1, Qt::Key_F1);
        QVERIFY(triggerEnabled(w->ui.mnuHlpHtml));
        QVERIFY(triggerEnabled(w->ui.mnuHlpMail));
        QCOMPARE(opened, (QStringList{folder + u"/readme.html"_s, folder + u"/readme.html"_s, folder + u"/readme.chm"_s,
                                      u"https://forelane.org/lyrabook/"_s, u"mailTo:lyrabook@forelane.org"_s}));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void shippedFilesLieBesideTheProgram() {
        const QString dir = QCoreApplication::applicationDirPath();
        for (const char* name : {"readme.html", "myPreface.txt"}) {
            QFile f(dir + u'/' + QString::fromUtf8(name));
            QVERIFY2(f.open(QIODevice::ReadOnly), name);
            const QString text = QString::fromUtf8(f.readAll());
            QVERIFY2(text.contains(QStringLiteral("诗")), name);
        }
    }

    void aboutWindow() {
        auto w = startRecording();
        whileOpen<AboutWindow>([&] { QVERIFY(triggerEnabled(w->ui.mnuAbout)); }, [&](AboutWindow* about) {
            QVERIFY(about->Timer1->isActive());
            // The web-page label opens its own caption.
            QTest::mouseClick(about->Label9, Qt::LeftButton);
            QCOMPARE(opened, QStringList{kProductWebPage});
            QCOMPARE(about->Label9->text(), kProductWebPage);
            about->Timer1_Timer(); // counted, so the next opening must start over
        });
        // Opened again it counts from 0, and 确定>> closes it at once.
        whileOpen<AboutWindow>([&] { w->help->mnuAbout_Click(); }, [&](AboutWindow* about) {
            QCOMPARE(about->ticks(), qint16(0));
            about->Timer1_Timer();
            QCOMPARE(about->ticks(), qint16(1));
            QTest::mouseClick(about->cmdCancel, Qt::LeftButton);
            QVERIFY(!about->isVisible());
            QVERIFY(!about->Timer1->isActive());
        });
    }

    // It closes by itself on the 21st tick of its own timer.
    void aboutWindowClosesByItsTimer() {
        auto w = startRecording();
        int ticks = -1;
        QTimer::singleShot(0, [&] {
            auto* about = qobject_cast<AboutWindow*>(QApplication::activeModalWidget());
            QVERIFY(about);
            // The same timer, run fast: the window is gone after 21 ticks.
            about->Timer1->setInterval(5);
            connect(about->Timer1, &QTimer::timeout, about, [&ticks, about] { ticks = about->ticks(); });
        });
        QTimer::singleShot(5000, [] {
            if (QWidget* m = QApplication::activeModalWidget()) m->close();
        });
        QElapsedTimer clock;
        clock.start();
        w->help->mnuAbout_Click();
        QVERIFY(clock.elapsed() < 4000);
        QCOMPARE(ticks, 21);
    }

    void prefaceIsReadAfreshEachTime() {
        auto w = start();
        const QString path = fx->dir() + QStringLiteral("/myPreface.txt");
        writeFile(path, QStringLiteral("第一稿：唐诗三百首。").toUtf8());
        whileOpen<PrefaceViewer>([&] { QVERIFY(triggerEnabled(w->ui.mnuPreface)); }, [&](PrefaceViewer* v) {
            QCOMPARE(v->RichTextBox1->toPlainText(), QStringLiteral("第一稿：唐诗三百首。"));
            // The pane: at the top, as far from the bottom as from the left, clear of the buttons.
            const QRect pane = v->RichTextBox1->geometry();
            QCOMPARE(pane.top(), pane.left());
            QCOMPARE(v->height() - (pane.top() + pane.height()), pane.left());
            QVERIFY(!pane.intersects(v->cmdPreface->geometry()));
            QVERIFY(!pane.intersects(v->cmdCancel->geometry()));
            // Rewritten while open: 编者的话 reads it again. In the Chinese code page too.
            writeFile(path, QStringEncoder("GB18030").encode(QStringLiteral("第二稿：宋词。")));
            QTest::mouseClick(v->cmdPreface, Qt::LeftButton);
            QCOMPARE(v->RichTextBox1->toPlainText(), QStringLiteral("第二稿：宋词。"));
            QTest::mouseClick(v->cmdCancel, Qt::LeftButton);
            QVERIFY(!v->isVisible());
        });
        writeFile(path, QByteArray("\xEF\xBB\xBF") + QStringLiteral("第三稿").toUtf8());
        whileOpen<PrefaceViewer>([&] { w->help->mnuPreface_Click(); }, [&](PrefaceViewer* v) {
            QCOMPARE(v->RichTextBox1->toPlainText(), QStringLiteral("第三稿"));
        });
        // Without a preface file the viewer is empty and nothing is said.
        QFile::remove(path);
        whileOpen<PrefaceViewer>([&] { w->help->mnuPreface_Click(); }, [&](PrefaceViewer* v) {
            QCOMPARE(v->RichTextBox1->toPlainText(), QString());
        });
        QVERIFY(dialogs.messages.isEmpty());
    }
};

QTEST_MAIN(HelpTest)
#include "help_test.moc"
