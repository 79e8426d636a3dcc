// The help menu: the help file on F1, the web page, the mail link, the about
// window closing by its timer, and the preface viewer.
#include "app/aboutwindow.h"
#include "app/helpcontroller.h"
#include "app/prefaceviewer.h"
#include "support/windowtest.h"

#include <QStringEncoder>
#include <functional>

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
}

// Runs `inspect` on the modal dialog that `open` shows, then lets `open` return.
template <typename Dialog> void whileOpen(const std::function<void()>& open, const std::function<void(Dialog*)>& inspect) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        if (auto* dlg = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
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

private slots:
    // F1 and the menu: the shipped page without readme.chm, the help file with
    // it, the web page, the mail link. About: its web-page label opens its own
    // caption; it closes by itself on the 21st tick of its timer; opened again it
    // counts from 0, and 确定>> closes it.
    void helpFileWebPageMailAndAbout() {
        auto w = start();
        QStringList opened;
        w->help->shellOpen = [&opened](const QString& target) { opened << target; };
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        const QString folder = fx->dir();
        QTest::keyClick(w.get(), Qt::Key_F1);
        QVERIFY(triggerEnabled(w->ui.mnuHlpBook));
        writeFile(folder + u"/readme.chm"_s, "ITSF");
        QTest::keyClick(w->ui.RichTextBox1, Qt::Key_F1);
        QVERIFY(triggerEnabled(w->ui.mnuHlpHtml));
        QVERIFY(triggerEnabled(w->ui.mnuHlpMail));
        QCOMPARE(opened, (QStringList{folder + u"/readme.html"_s, folder + u"/readme.html"_s, folder + u"/readme.chm"_s,
                                      u"https://forelane.org/lyrabook/"_s, u"mailTo:lyrabook@forelane.org"_s}));
        opened.clear();
        whileOpen<AboutWindow>([&] { QVERIFY(triggerEnabled(w->ui.mnuAbout)); }, [&](AboutWindow* about) {
            QTest::mouseClick(about->Label9, Qt::LeftButton);
            about->Timer1->setInterval(5); // the same timer, run fast
            QTRY_VERIFY_WITH_TIMEOUT(!about->isVisible(), 4000);
            QCOMPARE(about->ticks(), qint16(21));
        });
        QCOMPARE(opened, QStringList{kProductWebPage});
        whileOpen<AboutWindow>([&] { w->help->mnuAbout_Click(); }, [&](AboutWindow* about) {
            QCOMPARE(about->ticks(), qint16(0));
            QTest::mouseClick(about->cmdCancel, Qt::LeftButton);
            QVERIFY(!about->isVisible() && !about->Timer1->isActive());
        });
        QVERIFY(dialogs.messages.isEmpty());
        // The help page and the preface are shipped beside the program.
        for (const QString& name : {u"readme.html"_s, u"myPreface.txt"_s}) {
            QFile f(QCoreApplication::applicationDirPath() + u'/' + name);
            QVERIFY2(f.open(QIODevice::ReadOnly) && QString::fromUtf8(f.readAll()).contains(u"诗"_s), qPrintable(name));
        }
    }

    // Read afresh on each opening and by 编者的话: UTF-8, with or without its
    // mark, or the Chinese code page; without the file the viewer is empty.
    void prefaceIsReadAfreshEachTime() {
        auto w = start();
        const QString path = fx->dir() + u"/myPreface.txt"_s;
        writeFile(path, u"第一稿：唐诗三百首。"_s.toUtf8());
        whileOpen<PrefaceViewer>([&] { QVERIFY(triggerEnabled(w->ui.mnuPreface)); }, [&](PrefaceViewer* v) {
            QCOMPARE(v->RichTextBox1->toPlainText(), u"第一稿：唐诗三百首。"_s);
            writeFile(path, QStringEncoder("GB18030").encode(u"第二稿：宋词。"_s));
            QTest::mouseClick(v->cmdPreface, Qt::LeftButton);
            QCOMPARE(v->RichTextBox1->toPlainText(), u"第二稿：宋词。"_s);
            writeFile(path, QByteArray("\xEF\xBB\xBF") + u"第三稿"_s.toUtf8());
            QTest::mouseClick(v->cmdPreface, Qt::LeftButton);
            QCOMPARE(v->RichTextBox1->toPlainText(), u"第三稿"_s);
        });
        QFile::remove(path);
        whileOpen<PrefaceViewer>([&] { w->help->mnuPreface_Click(); },
                                 [&](PrefaceViewer* v) { QCOMPARE(v->RichTextBox1->toPlainText(), QString()); });
    }
};

QTEST_MAIN(HelpTest)
#include "help_test.moc"
