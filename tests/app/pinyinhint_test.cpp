// Pinyin hints on the poem pane: the tooltip follows the selection while
// [汉语拼音] 提示 is ticked. (The hint's text is the hint text's own test;
// hovering shows the pane's tooltip, the toolkit's own doing.)
#include "display/displaycontroller.h"
#include "display/pinyinhint.h"
#include "support/windowtest.h"

class PinyinHintTest : public WindowTest {
    Q_OBJECT

private slots:
    // On from the start; a caret without a selection has no hint. Switched off
    // the hint goes at once; on again, it waits for the next selection. A search
    // term that rendering selects gets its hint.
    void hintFollowsTheSelection() {
        fx->db().execNative(u"INSERT INTO hzPy (hz,py1,py2) VALUES ('思','sāi',2),('思','sī',1),"
                            "('思','sì',3),('光','guāng',1),('霜','shuāng',1)"_s);
        auto w = start();
        w->FillTitleList(u" Where a.fPoemID=1"_s, u"a.fTitle"_s, u"0"_s); // 床前明月光，疑是地上霜。 / 举头望明月，低头思故乡。
        QTextEdit* pane = w->ui.RichTextBox1;
        const auto select = [pane](const QString& text) { // an empty text leaves the caret at the top
            const int at = int(pane->toPlainText().indexOf(text));
            QTextCursor c = pane->textCursor();
            c.setPosition(at);
            c.setPosition(at + int(text.size()), QTextCursor::KeepAnchor);
            pane->setTextCursor(c);
            return pane->toolTip();
        };
        QVERIFY(w->ui.mnuToolPy->isChecked());
        QCOMPARE(select(u"思"_s), u"[思]：sī/sāi/sì "_s);
        QCOMPARE(select(u"霜。\n举"_s), u"[霜。举]：shuāng 。 举 "_s);
        QCOMPARE(select(u"明月"_s), u"[明月]：míng yuè "_s);
        QVERIFY(triggerEnabled(w->ui.mnuToolPy));
        QCOMPARE(pane->toolTip(), QString());
        QCOMPARE(select(u"思"_s), QString());
        QVERIFY(triggerEnabled(w->ui.mnuToolPy));
        QCOMPARE(pane->toolTip(), QString());
        QCOMPARE(select(u"光"_s), u"[光]：guāng "_s);

        w->ui.fraSeek->show();
        w->ui.txtContent->setPlainText(u"明月"_s);
        w->RenderPoem(u"1"_s);
        QCOMPARE(pane->textCursor().selectedText() + pane->toolTip(), u"明月[明月]：míng yuè "_s);
        QVERIFY(dialogs.messages.isEmpty());
    }
};

QTEST_MAIN(PinyinHintTest)
#include "pinyinhint_test.moc"
