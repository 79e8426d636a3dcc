// Pinyin over the poem and 平仄 marks: the Tools menu entries, the notes the
// pane shows, corrections from the context menu, and the exports carrying the
// pinyin. (Where notes sit and which corrections survive an edit of the poem are
// the notes' own tests.)
#include "display/displaycontroller.h"
#include "display/pinyinview.h"
#include "tools/outputcontroller.h"
#include "support/windowtest.h"

class PinyinViewTest : public WindowTest {
    Q_OBJECT

    std::unique_ptr<MainWindow> showing(int poemId) {
        auto w = start();
        w->FillTitleList(u" Where a.fPoemID=%1"_s.arg(poemId), u"a.fTitle"_s, u"0"_s);
        return w;
    }
    // The note shown over the first `ch` of the content.
    static PoemNote noteOf(MainWindow& w, const QString& ch) {
        for (const PoemNote& n : w.display->ShownNotes.notes)
            if (n.character == ch && n.part == PoemPart::Content) return n;
        return PoemNote{};
    }

private slots:
    // Off by default; switched on, the pane's text stays and the notes carry the
    // readings. A correction: offered in hzPy's rank order, stored, carried into
    // the exports, kept across poems, restored. Both switches are saved and a new
    // window starts with them; a ci has no 平仄 marks.
    void readingsCorrectionsAndSavedSwitches() {
        fx->db().execNative(u"INSERT INTO hzPy (hz,py1,py2) VALUES ('地','de',1),('地','dì',2),('床','chuáng',1)"_s);
        auto w = showing(1);
        PinyinView* v = w->pinyinNotes;
        QVERIFY(!v->pinyinAction()->isChecked() && !v->pingzeAction()->isChecked());
        const QString plain = w->ui.RichTextBox1->toPlainText();
        v->pinyinAction()->trigger();
        QCOMPARE(w->ui.RichTextBox1->toPlainText(), plain);
        const qint32 at = noteOf(*w, u"地"_s).position;
        QCOMPARE(plain.mid(at, 1) + noteOf(*w, u"地"_s).pinyin, u"地dì"_s);
        QCOMPARE(v->readingsAt(at), (QStringList{u"de"_s, u"dì"_s}));
        v->correct(at, u"de"_s);
        QCOMPARE(fx->text(u"SELECT fChar || fPos || fReading FROM PinyinFix WHERE fPoemID=1"_s), u"地8de"_s);
        const QString text = w->output->paneAsText();
        QVERIFY2(text.contains(u"\n\nchuáng míng yuè de\n床前明月光"_s), qPrintable(text));
        QVERIFY(w->output->paneAsRtf().contains("chu\\u225?ng")); // á as RTF writes it
        w->FillTitleList(u" Where a.fPoemID=2"_s, u"a.fTitle"_s, u"0"_s);
        w->FillTitleList(u" Where a.fPoemID=1"_s, u"a.fTitle"_s, u"0"_s);
        QCOMPARE(noteOf(*w, u"地"_s).pinyin, u"de"_s);
        QVERIFY(triggerEnabled(v->restoreAction()));
        QCOMPARE(noteOf(*w, u"地"_s).pinyin, u"dì"_s);
        QCOMPARE(fx->count(u"SELECT count(*) FROM PinyinFix"_s), 0);

        v->pingzeAction()->trigger();
        QVERIFY(w->display->ShownNotes.hasTones());
        auto again = showing(4);
        QVERIFY(again->pinyinNotes->pinyinAction()->isChecked() && again->pinyinNotes->pingzeAction()->isChecked());
        QVERIFY(again->display->ShownNotes.hasPinyin() && !again->display->ShownNotes.hasTones());
    }
};

QTEST_MAIN(PinyinViewTest)
#include "pinyinview_test.moc"
