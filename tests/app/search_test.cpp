// The search panel through the real widgets: entering and leaving search mode
// (with the database writable and locked), replacing and appending searches,
// the count field's checks and keys, and awkward search texts.
#include "search/searchcontroller.h"
#include "display/displaycontroller.h"
#include "browse/titlelistview.h"
#include "support/windowtest.h"

#include <QContextMenuEvent>

namespace {

// Which of cmdSetting, cmdPoet, cmdEdit and cmdSeek are enabled, as "1" or "0".
QString commandButtons(MainWindow& w) {
    QString s;
    for (QWidget* b : std::initializer_list<QWidget*>{w.ui.cmdSetting, w.ui.cmdPoet, w.ui.cmdEdit, w.ui.cmdSeek})
        s += b->isEnabled() ? u'1' : u'0';
    return s;
}

bool shown(MainWindow& w, QWidget* c) { return c->isVisibleTo(&w); }

void setField(QWidget* f, const QString& value) {
    if (auto* le = qobject_cast<QLineEdit*>(f)) le->setText(value);
    else if (auto* cb = qobject_cast<QComboBox*>(f)) cb->setEditText(value);
    else qobject_cast<QTextEdit*>(f)->setPlainText(value);
}

} // namespace

class SearchTest : public WindowTest {
    Q_OBJECT

    // Runs the search in the panel; the listed titles.
    static QStringList seek(MainWindow& w) {
        w.ui.cmdSeekOk->click();
        return titles(w);
    }

private slots:
    // Writable, then locked: only cmdSetting and cmdSeek follow the mode then, the
    // write lock keeps cmdPoet and cmdEdit disabled.
    void enteringAndLeavingSearch() {
        auto w = startActive();
        QVERIFY(w);
        // The command buttons enabled in search, and afterwards.
        for (const auto& [inSearch, afterwards] : {std::pair{"0010", "1111"}, std::pair{"0000", "1001"}}) {
            w->ui.txtTitle->setText(u"月"_s);
            w->ui.txtQty->setText(u"3"_s);
            QTest::mouseClick(w->ui.cmdSeek, Qt::LeftButton);
            QVERIFY(shown(*w, w->ui.fraSeek) && shown(*w, w->ui.cmdSeekOk) && !shown(*w, w->ui.cmdEditOk));
            QCOMPARE(w->ui.myState->text(), u"状态：[诗词检索]"_s);
            QCOMPARE(commandButtons(*w), QLatin1String(inSearch));
            // The count is emptied, the other fields keep their text so a search can be refined.
            QVERIFY(w->ui.txtQty->text().isEmpty() && w->ui.txtTitle->text() == u"月"_s);
            QTRY_VERIFY(w->ui.txtTitle->hasFocus());
            QVERIFY(w->ui.RichTextBox1->y() >= w->ui.fraSeek->geometry().bottom()); // the pane moved below

            QTest::mouseClick(w->ui.cmdSeekCancel, Qt::LeftButton);
            QVERIFY(!shown(*w, w->ui.fraSeek));
            QVERIFY(!w->ui.mnuSeekOk[0]->isEnabled() && !w->ui.mnuSeekOk[1]->isEnabled());
            QCOMPARE(w->ui.myState->text(), u"状态：[查询]"_s);
            QCOMPARE(commandButtons(*w), QLatin1String(afterwards));
            QVERIFY(w->ui.RichTextBox1->y() < w->ui.fraSeek->geometry().bottom());
            // No edit was armed: the search texts stay for the next time.
            QCOMPARE(w->ui.txtTitle->text(), u"月"_s);
            w->mnuToolLock_Click();
        }
    }

    void replaceThenAppend() {
        auto w = start();
        w->ui.cmdSeek->click();
        // The poet is a prefix: 李 finds 李白 and 李商隐 (not Li Bai).
        w->ui.cboPoet->setEditText(u"李"_s);
        QCOMPARE(seek(*w), (QStringList{u"无题"_s, u"早发白帝城"_s, u"静夜思"_s}));
        QCOMPARE(w->ui.mySelect->text(), u"目前选入：3题 (3首)"_s);
        // The user picks the last title; appending keeps that choice on show.
        QTest::keyClick(w->ui.lstTitle->listView(), Qt::Key_End);
        w->ui.cboPoet->setEditText(QString());
        w->ui.cboType->setEditText(u"词"_s);
        QVERIFY(triggerEnabled(w->ui.mnuSeekOk[1]));
        QCOMPARE(titles(*w), (QStringList{u"无题"_s, u"早发白帝城"_s, u"静夜思"_s, u"念奴娇·赤壁怀古"_s, u"水调歌头"_s}));
        QCOMPARE(w->ui.mySelect->text(), u"目前选入：5题"_s);
        QVERIFY(w->ui.RichTextBox1->document()->toRawText().startsWith(u"静夜思"_s));
        // The same search appended again lists its poems twice.
        QVERIFY(triggerEnabled(w->ui.mnuSeekOk[1]));
        QCOMPARE(w->ui.mySelect->text(), u"目前选入：7题"_s);
        // Replacing with every field empty lists every poem in title-then-poet order.
        w->ui.cboType->setEditText(QString());
        QVERIFY(triggerEnabled(w->ui.mnuSeekOk[0]));
        QCOMPARE(titles(*w).first(), u"Moon's Song"_s);
        QCOMPARE(w->ui.mySelect->text(), u"目前选入：9题 (12首)"_s);
        // The count field on focus loss, and the same text handed straight to a
        // search: text that is no count never reaches SQL (the rules: NormalizeSearchCount's
        // test); awkward texts in the other fields are searched for as text (the filter's test).
        const struct {
            QString typed, checked;
            qsizetype found;
        } counts[] = {{u"abc"_s, u""_s, 9}, {u">= 2"_s, u">=2"_s, 2}, {u"1; DELETE FROM Poetry"_s, u""_s, 9}};
        for (const auto& c : counts) {
            w->ui.txtQty->setText(c.typed);
            loseFocus(w->ui.txtQty);
            QCOMPARE(w->ui.txtQty->text(), c.checked);
            w->ui.txtQty->setText(c.typed);
            QCOMPARE(seek(*w).size(), c.found);
            QCOMPARE(w->ui.txtQty->text(), c.checked);
        }
        w->ui.txtQty->clear();
        const QStringList moon{u"Moon's Song"_s};
        const struct {
            QWidget* field;
            QString value;
            QStringList found;
        } texts[] = {{w->ui.txtTitle, u"Moon's"_s, moon},
                     {w->ui.txtContent, u"bright_ly"_s, moon},
                     {w->ui.cboPoet, u"li b"_s, moon}, // Latin case ignored
                     {w->ui.cboType, u"诗"_s, {u"Moon's Song"_s, u"早发白帝城"_s, u"春望"_s, u"登高"_s, u"静夜思"_s}},
                     {w->ui.cboType, u" "_s, {}}};
        for (const auto& t : texts) {
            setField(t.field, t.value);
            QCOMPARE(seek(*w), t.found);
            setField(t.field, {});
        }
        QCOMPARE(fx->count(u"SELECT count(*) FROM Poetry"_s), 9);
        QVERIFY(dialogs.messages.isEmpty());
        // With an edit armed (cmdSeekOk hidden) the search entries do nothing.
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[1]));
        w->ui.txtTitle->setText(u"春"_s);
        QVERIFY(triggerEnabled(w->ui.mnuSeekOk[0]));
        QCOMPARE(titles(*w), QStringList{}); // as the last search (a blank type) left it
        QCOMPARE(w->ui.myState->text(), u"状态：[诗词新增]"_s);
    }

    // Enter moves on as Tab (running the count's check on the way); the count
    // field's context menu (to paste, say) is no focus loss: a half-typed
    // operator stays for the pasted number.
    void countFieldKeys() {
        auto w = startActive();
        QVERIFY(w);
        w->ui.cmdSeek->click();
        w->ui.txtQty->setFocus();
        w->ui.txtQty->setText(u"> 5"_s);
        QTest::keyClick(w->ui.txtQty, Qt::Key_Return);
        QCOMPARE(w->ui.txtQty->text(), u">5"_s);
        QVERIFY(w->ui.txtPre->hasFocus());
        w->ui.txtQty->clear();
        w->ui.txtQty->setFocus();
        QTest::keyClicks(w->ui.txtQty, u">"_s);
        const QPoint at(4, 4);
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, at, w->ui.txtQty->mapToGlobal(at));
        QApplication::sendEvent(w->ui.txtQty, &menuEvent);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QCOMPARE(w->ui.txtQty->text(), u">"_s);
        QApplication::activePopupWidget()->close();
        w->ui.txtQty->insert(u"1"_s);
        // Only 无名氏's 无题 and Moon's Song hold more than one poem.
        QCOMPARE(seek(*w), (QStringList{u"Moon's Song"_s, u"无题"_s}));
    }

    // The poem shown while searching has the first content term selected, else
    // the notes term, else the preface term, inside that part; never the title's.
    void searchTermSelected() {
        auto w = start();
        w->ui.cmdSeek->click();
        const struct {
            QString title, content, notes, preface, selected;
            int part;
        } cases[] = {{u"Moon"_s, u"MOON"_s, {}, {}, u"moon"_s, 1},
                     {u"静夜思"_s, {}, u"思乡"_s, {}, u"思乡"_s, 2},
                     {u"水调歌头"_s, {}, {}, u"中秋"_s, u"中秋"_s, 0},
                     {u"静夜思"_s, {}, {}, {}, {}, 0}};
        for (const auto& c : cases) {
            QWidget* fields[] = {w->ui.txtTitle, w->ui.txtContent, w->ui.txtMemo, w->ui.txtPre};
            const QString* texts[] = {&c.title, &c.content, &c.notes, &c.preface};
            for (int i = 0; i < 4; ++i) setField(fields[i], *texts[i]);
            QCOMPARE(seek(*w).size(), 1);
            const QTextCursor cur = w->ui.RichTextBox1->textCursor();
            QCOMPARE(cur.selectedText(), c.selected);
            if (c.selected.isEmpty()) continue;
            QVERIFY(cur.selectionStart() >= w->display->PartStart[size_t(c.part)]);
            QVERIFY(cur.selectionEnd() <= w->display->PartStart[size_t(c.part) + 1]);
        }
    }
};

QTEST_MAIN(SearchTest)
#include "search_test.moc"
