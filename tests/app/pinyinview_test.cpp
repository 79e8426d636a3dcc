// Pinyin over the poem and 平仄 marks: the Tools menu entries, the notes the
// pane shows, corrections from the context menu, and print and export
// carrying the pinyin.
#include "app/settings.h"
#include "display/displaycontroller.h"
#include "display/pinyinview.h"
#include "tools/outputcontroller.h"
#include "support/windowtest.h"

#include <QDir>
#include <QPrinter>

class PinyinViewTest : public WindowTest {
    Q_OBJECT

    std::unique_ptr<MainWindow> showing(int poemId) {
        auto w = start();
        w->FillTitleList(QStringLiteral(" Where a.fPoemID=%1").arg(poemId), QStringLiteral("a.fTitle"),
                         QStringLiteral("0"));
        return w;
    }
    static QString readingOf(MainWindow& w, const QString& ch, int nth = 0) {
        for (const PoemNote& n : w.display->ShownNotes.notes)
            if (n.character == ch && nth-- == 0) return n.pinyin;
        return QStringLiteral("(none)");
    }
    static qint32 positionOf(MainWindow& w, const QString& ch) {
        for (const PoemNote& n : w.display->ShownNotes.notes)
            if (n.character == ch && n.part == PoemPart::Content) return n.position;
        return -1;
    }

private slots:
    void init() {
        freshFixture();
        fx->db().execNative(QStringLiteral("INSERT INTO hzPy (hz,py1,py2) VALUES ('地','de',1),('地','dì',2),"
                                           "('床','chuáng',1),('朝','cháo',1),('朝','zhāo',2)"));
    }

    void offByDefaultThenSaved() {
        auto w = showing(1);
        PinyinView* v = w->pinyinNotes;
        QVERIFY(!v->pinyinAction()->isChecked() && !v->pingzeAction()->isChecked());
        QVERIFY(w->display->ShownNotes.isEmpty());
        const QString plain = w->ui.RichTextBox1->toPlainText();

        v->pinyinAction()->trigger();
        QCOMPARE(Settings::raw(QStringLiteral("Show_Pinyin")), QStringLiteral("1"));
        // The pane's text and positions stay; the notes carry the readings.
        QCOMPARE(w->ui.RichTextBox1->toPlainText(), plain);
        QCOMPARE(readingOf(*w, QStringLiteral("地")), QStringLiteral("dì"));
        QCOMPARE(w->ui.RichTextBox1->toPlainText().mid(positionOf(*w, QStringLiteral("地")), 1), QStringLiteral("地"));

        v->pingzeAction()->trigger();
        QCOMPARE(Settings::raw(QStringLiteral("Show_Pingze")), QStringLiteral("1"));
        QVERIFY(w->display->ShownNotes.hasTones());
        // A new window starts with both as saved.
        auto again = showing(2);
        QVERIFY(again->pinyinNotes->pinyinAction()->isChecked() && again->pinyinNotes->pingzeAction()->isChecked());
        QCOMPARE(readingOf(*again, QStringLiteral("朝")), QStringLiteral("zhāo"));
        // A ci has no 平仄 marks.
        again->FillTitleList(QStringLiteral(" Where a.fPoemID=4"), QStringLiteral("a.fTitle"), QStringLiteral("0"));
        QVERIFY(again->display->ShownNotes.hasPinyin());
        QVERIFY(!again->display->ShownNotes.hasTones());
    }

    void correctionShownStoredAndRestored() {
        auto w = showing(1);
        PinyinView* v = w->pinyinNotes;
        v->pinyinAction()->trigger();
        const qint32 at = positionOf(*w, QStringLiteral("地"));
        // hzPy's readings in rank order.
        QCOMPARE(v->readingsAt(at), (QStringList{QStringLiteral("de"), QStringLiteral("dì")}));
        v->correct(at, QStringLiteral("de"));
        QCOMPARE(readingOf(*w, QStringLiteral("地")), QStringLiteral("de"));
        QCOMPARE(fx->text(QStringLiteral("SELECT fChar || fPos || fReading FROM PinyinFix WHERE fPoemID=1")),
                 QStringLiteral("地8de"));
        // Carried into the text export. (The fixture's hzPy has readings for a few characters only.)
        const QString text = w->output->paneAsText();
        QVERIFY2(text.contains(QStringLiteral("\n\nchuáng míng yuè de\n床前明月光")), qPrintable(text));
        // Another poem and back: still there; restore brings the computed reading.
        w->FillTitleList(QStringLiteral(" Where a.fPoemID=2"), QStringLiteral("a.fTitle"), QStringLiteral("0"));
        w->FillTitleList(QStringLiteral(" Where a.fPoemID=1"), QStringLiteral("a.fTitle"), QStringLiteral("0"));
        QCOMPARE(readingOf(*w, QStringLiteral("地")), QStringLiteral("de"));
        QVERIFY(triggerEnabled(v->restoreAction()));
        QCOMPARE(readingOf(*w, QStringLiteral("地")), QStringLiteral("dì"));
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM PinyinFix")), 0);
        // Positions without a Han character offer nothing.
        QVERIFY(v->readingsAt(at + 1000).isEmpty());
    }

    // The poem editor changes the content: a correction whose character stays
    // in place stays, one whose character moved goes.
    void correctionsFollowTheEditor() {
        Settings::setShowPinyin(true);
        auto w = start();
        w->FillTitleList(QStringLiteral(" Where a.fPoet='李白'"), QStringLiteral("a.fTitle,a.fPoet"), QStringLiteral("0"));
        QCOMPARE(w->ui.cboTitle2->currentText().left(5), QStringLiteral("早发白帝城"));
        w->pinyinNotes->correct(positionOf(*w, QStringLiteral("朝")), QStringLiteral("cháo"));
        w->pinyinNotes->correct(positionOf(*w, QStringLiteral("还")), QStringLiteral("hái"));
        QCOMPARE(readingOf(*w, QStringLiteral("还")), QStringLiteral("hái"));
        w->ui.mnuEditTo[2]->trigger();
        w->ui.txtContent->setPlainText(
            QStringLiteral("朝辞白帝彩云间，千里江陵一日即还。\n两岸猿声啼不住，轻舟已过万重山。"));
        w->ui.cmdEditOk->click();
        QCOMPARE(fx->text(QStringLiteral("SELECT group_concat(fChar || fReading) FROM PinyinFix WHERE fPoemID=2")),
                 QStringLiteral("朝cháo"));
        w->display->RenderSelectedPoem();
        QCOMPARE(readingOf(*w, QStringLiteral("朝")), QStringLiteral("cháo"));
        QCOMPARE(readingOf(*w, QStringLiteral("还")), QStringLiteral("huán"));
    }

    void correctionPastTheEndIsIgnored() {
        fx->db().execNative(QStringLiteral("CREATE TABLE PinyinFix (fPoemID INTEGER NOT NULL, fPart INTEGER NOT NULL, "
                                           "fPos INTEGER NOT NULL, fChar TEXT NOT NULL, fReading TEXT NOT NULL, "
                                           "PRIMARY KEY (fPoemID, fPart, fPos))"));
        fx->db().execNative(QStringLiteral("INSERT INTO PinyinFix VALUES (1,1,999,'地','x'),(1,7,0,'床','x')"));
        Settings::setShowPinyin(true);
        auto w = showing(1);
        QCOMPARE(readingOf(*w, QStringLiteral("床")), QStringLiteral("chuáng"));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void exportAndPrintCarryThePinyin() {
        fx->db().execNative(QStringLiteral(
            "INSERT INTO hzPy (hz,py1,py2) VALUES ('静','jìng',1),('夜','yè',1),('思','sī',1),('前','qián',1),"
            "('明','míng',1),('月','yuè',1),('光','guāng',1),('疑','yí',1),('是','shì',1),('上','shàng',1),"
            "('霜','shuāng',1),('举','jǔ',1),('头','tóu',1),('望','wàng',1),('低','dī',1),('故','gù',1),('乡','xiāng',1)"));
        Settings::setShowPinyin(true);
        auto w = showing(1);
        const QByteArray rtf = w->output->paneAsRtf();
        // "chuáng" as RTF writes it: á is \\u225?.
        QVERIFY2(rtf.contains("chu\\u225?ng"), rtf.constData());
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("poem.pdf")));
        w->output->printPane(&printer, false);
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("poem.pdf"))).size() > 1000);
    }
};

QTEST_MAIN(PinyinViewTest)
#include "pinyinview_test.moc"
