// Pinyin hints on the poem pane: the tooltip follows the selection while
// [汉语拼音] 提示 is ticked.
#include "display/displaycontroller.h"
#include "display/pinyinhint.h"
#include "support/windowtest.h"

#include <QToolTip>

class PinyinHintTest : public WindowTest {
    Q_OBJECT

    std::unique_ptr<MainWindow> showing(int poemId) {
        auto w = start();
        w->FillTitleList(QStringLiteral(" Where a.fPoemID=%1").arg(poemId), QStringLiteral("a.fTitle"),
                         QStringLiteral("0"));
        return w;
    }

    static void select(MainWindow& w, int from, int to) {
        QTextCursor c = w.ui.RichTextBox1->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        w.ui.RichTextBox1->setTextCursor(c);
    }

    // Selects the first occurrence of `text` in the pane.
    static void selectText(MainWindow& w, const QString& text) {
        const int at = w.ui.RichTextBox1->document()->toPlainText().indexOf(text);
        QVERIFY2(at >= 0, qPrintable(text));
        select(w, at, at + int(text.size()));
    }

private slots:
    void init() {
        freshFixture();
        fx->db().execNative(QStringLiteral("INSERT INTO hzPy (hz,py1,py2) VALUES ('思','sāi',2),('思','sī',1),"
                                           "('思','sì',3),('光','guāng',1),('霜','shuāng',1),('一','yī',1)"));
    }

    void hintFollowsTheSelection_data() {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("hint");
        // 静夜思: 床前明月光，疑是地上霜。 / 举头望明月，低头思故乡。
        QTest::newRow("one character, three readings") << "思" << "[思]：sī/sāi/sì ";
        // Longer selections and other characters: see the hint text's own test.
        QTest::newRow("over a line end") << "霜。\n举" << "[霜。举]：shuāng 。 举 ";
        QTest::newRow("only a line break") << "。\n" << "";
    }

    void hintFollowsTheSelection() {
        QFETCH(QString, selected);
        QFETCH(QString, hint);
        auto w = showing(1);
        // Hints are on from the start, and rendering left the caret at the top.
        QVERIFY(w->ui.mnuToolPy->isChecked());
        QCOMPARE(w->ui.RichTextBox1->toolTip(), QString());
        if (selected == QStringLiteral("。\n")) {
            // Just the paragraph break after the first content line.
            const int at = w->ui.RichTextBox1->document()->toPlainText().indexOf(selected) + 1;
            select(*w, at, at + 1);
            QCOMPARE(w->ui.RichTextBox1->toolTip(), QStringLiteral("[]："));
            return;
        }
        selectText(*w, selected);
        QCOMPARE(w->ui.RichTextBox1->toolTip(), hint);
        // Moving the caret without selecting clears it.
        QTextCursor c = w->ui.RichTextBox1->textCursor();
        c.clearSelection();
        w->ui.RichTextBox1->setTextCursor(c);
        QCOMPARE(w->ui.RichTextBox1->toolTip(), QString());
        QVERIFY(dialogs.messages.isEmpty());
    }

    void switchingOffAndOn() {
        auto w = showing(1);
        selectText(*w, QStringLiteral("明月"));
        QCOMPARE(w->ui.RichTextBox1->toolTip(), QStringLiteral("[明月]：míng yuè "));
        // Off: the hint goes at once and selections leave the tooltip empty.
        QVERIFY(triggerEnabled(w->ui.mnuToolPy));
        QCOMPARE(w->ui.RichTextBox1->toolTip(), QString());
        selectText(*w, QStringLiteral("思"));
        QCOMPARE(w->ui.RichTextBox1->toolTip(), QString());
        // On again: nothing until the selection changes.
        QVERIFY(triggerEnabled(w->ui.mnuToolPy));
        QCOMPARE(w->ui.RichTextBox1->toolTip(), QString());
        selectText(*w, QStringLiteral("光"));
        QCOMPARE(w->ui.RichTextBox1->toolTip(), QStringLiteral("[光]：guāng "));
    }

    void hoveringThePaneShowsTheHint() {
        auto w = showing(1);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        selectText(*w, QStringLiteral("思"));
        QWidget* viewport = w->ui.RichTextBox1->viewport();
        const QPoint at(20, 20);
        QHelpEvent hover(QEvent::ToolTip, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &hover);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), QStringLiteral("[思]：sī/sāi/sì "));
        QToolTip::hideText();
    }

    void searchTermSelectedByRenderingGetsItsHint() {
        auto w = showing(1);
        w->ui.fraSeek->show();
        w->ui.txtContent->setPlainText(QStringLiteral("明月"));
        w->RenderPoem(QStringLiteral("1"));
        QCOMPARE(w->ui.RichTextBox1->textCursor().selectedText(), QStringLiteral("明月"));
        QCOMPARE(w->ui.RichTextBox1->toolTip(), QStringLiteral("[明月]：míng yuè "));
    }
};

QTEST_MAIN(PinyinHintTest)
#include "pinyinhint_test.moc"
