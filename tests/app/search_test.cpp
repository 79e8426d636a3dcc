// The search panel through the real widgets: entering and leaving search mode
// (with the database writable and locked), replacing and appending searches,
// the count field's checks, Enter as Tab, and the search term shown selected.
#include "display/displaycontroller.h"
#include "search/searchcontroller.h"
#include "browse/titlelistview.h"
#include "support/windowtest.h"

#include <QContextMenuEvent>

namespace {

QStringList keys(MainWindow& w) {
    QStringList out;
    const TitleListModel* m = w.browse->model();
    for (int i = 0; i < m->size(); ++i) out << m->key(i);
    return out;
}

// Which of the four command buttons are enabled, as "1" or "0" in the order
// cmdSetting, cmdPoet, cmdEdit, cmdSeek.
QString commandButtons(MainWindow& w) {
    QString s;
    for (QWidget* b : {static_cast<QWidget*>(w.ui.cmdSetting), static_cast<QWidget*>(w.ui.cmdPoet),
                       static_cast<QWidget*>(w.ui.cmdEdit), static_cast<QWidget*>(w.ui.cmdSeek)})
        s += b->isEnabled() ? u'1' : u'0';
    return s;
}

bool shown(MainWindow& w, QWidget* c) { return c->isVisibleTo(&w); }

} // namespace

class SearchTest : public WindowTest {
    Q_OBJECT

private slots:
    void enteringAndLeavingSearch_data() {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("inSearch");
        QTest::addColumn<QString>("afterwards");
        // cmdSetting, cmdPoet, cmdEdit, cmdSeek
        QTest::newRow("writable") << false << "0010" << "1111";
        // Locked: only cmdSetting and cmdSeek follow the mode; the write lock
        // keeps cmdPoet and cmdEdit disabled.
        QTest::newRow("locked") << true << "0000" << "1001";
    }
    void enteringAndLeavingSearch() {
        QFETCH(bool, locked);
        QFETCH(QString, inSearch);
        QFETCH(QString, afterwards);
        auto w = startActive();
        QVERIFY(w);
        if (locked) w->mnuToolLock_Click();
        const int paneTopBefore = w->ui.RichTextBox1->y();
        w->ui.txtTitle->setText(QStringLiteral("月"));
        w->ui.txtQty->setText(QStringLiteral("3"));

        QTest::mouseClick(w->ui.cmdSeek, Qt::LeftButton);
        QVERIFY(shown(*w, w->ui.fraSeek) && shown(*w, w->ui.cmdSeekOk) && !shown(*w, w->ui.cmdEditOk));
        QVERIFY(w->ui.mnuSeekOk[0]->isEnabled() && w->ui.mnuSeekOk[1]->isEnabled());
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[诗词检索]"));
        QCOMPARE(commandButtons(*w), inSearch);
        QVERIFY(w->ui.txtQty->text().isEmpty());
        // The other fields keep their text so a search can be refined.
        QCOMPARE(w->ui.txtTitle->text(), QStringLiteral("月"));
        QTRY_VERIFY(w->ui.txtTitle->hasFocus());
        // The text pane moved below the panel.
        QVERIFY(w->ui.RichTextBox1->y() >= w->ui.fraSeek->geometry().bottom());

        QTest::mouseClick(w->ui.cmdSeekCancel, Qt::LeftButton);
        QVERIFY(!shown(*w, w->ui.fraSeek));
        QVERIFY(!w->ui.mnuSeekOk[0]->isEnabled() && !w->ui.mnuSeekOk[1]->isEnabled());
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[查询]"));
        QCOMPARE(commandButtons(*w), afterwards);
        QCOMPARE(w->ui.RichTextBox1->y(), paneTopBefore);
        // No edit was armed: the search texts stay for the next time.
        QCOMPARE(w->ui.txtTitle->text(), QStringLiteral("月"));
    }

    void menuEntriesAndEscape() {
        auto w = startActive();
        QVERIFY(w);
        const QStringList before = titles(*w);
        // Outside search mode the two search entries are off and do nothing.
        QVERIFY(!w->ui.mnuSeekOk[0]->isEnabled());
        w->search->mnuSeekOk_Click(0);
        QCOMPARE(titles(*w), before);

        QVERIFY(triggerEnabled(w->ui.mnuSeekBegin));
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(!shown(*w, w->ui.fraSeek));

        // Arming an edit hides cmdSeekOk: the entries stay enabled but do nothing.
        QVERIFY(triggerEnabled(w->ui.mnuSeekBegin));
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[1]));
        QVERIFY(w->ui.mnuSeekOk[0]->isEnabled());
        w->ui.txtTitle->setText(QStringLiteral("春"));
        QVERIFY(triggerEnabled(w->ui.mnuSeekOk[0]));
        QCOMPARE(titles(*w), before);
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[诗词新增]"));
    }

    void replaceThenAppend() {
        auto w = start();
        w->ui.cmdSeek->click();
        // The poet is a prefix: 李 finds 李白 and 李商隐 (not Li Bai).
        w->ui.cboPoet->setEditText(QStringLiteral("李"));
        w->ui.cmdSeekOk->click();
        QCOMPARE(titles(*w), (QStringList{u"无题"_s, u"早发白帝城"_s, u"静夜思"_s}));
        QCOMPARE(w->ui.mySelect->text(), QStringLiteral("目前选入：3题 (3首)"));
        // The user picks the last title; appending keeps that choice on show.
        QTest::keyClick(w->ui.lstTitle->listView(), Qt::Key_End);
        QCOMPARE(w->browse->selectedRow(), 2);

        w->ui.cboPoet->setEditText(QString());
        w->ui.cboType->setEditText(QStringLiteral("词"));
        QVERIFY(triggerEnabled(w->ui.mnuSeekOk[1]));
        QCOMPARE(titles(*w), (QStringList{u"无题"_s, u"早发白帝城"_s, u"静夜思"_s, u"念奴娇·赤壁怀古"_s, u"水调歌头"_s}));
        QCOMPARE(w->ui.mySelect->text(), QStringLiteral("目前选入：5题"));
        QCOMPARE(w->browse->selectedRow(), 2);
        QVERIFY(w->ui.RichTextBox1->document()->toRawText().startsWith(QStringLiteral("静夜思")));

        // The same search appended again lists its poems twice.
        QVERIFY(triggerEnabled(w->ui.mnuSeekOk[1]));
        QCOMPARE(keys(*w).mid(5), (QStringList{u"L5"_s, u"L6"_s}));
        QCOMPARE(w->ui.mySelect->text(), QStringLiteral("目前选入：7题"));

        // Replacing with every field empty lists every poem in title-then-poet order.
        w->ui.cboType->setEditText(QString());
        QVERIFY(triggerEnabled(w->ui.mnuSeekOk[0]));
        QCOMPARE(w->browse->model()->size(), 9);
        QCOMPARE(titles(*w).first(), QStringLiteral("Moon's Song"));
        QCOMPARE(w->ui.mySelect->text(), QStringLiteral("目前选入：9题 (12首)"));
        QVERIFY(dialogs.messages.isEmpty());
    }

    // The count field on focus loss (search side), and the same text handed
    // straight to a search without leaving the field: the search puts it into
    // the checked form first, so text that is no count never reaches SQL. The
    // rules themselves are tested case by case with NormalizeSearchCount.
    void countField_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<int>("found");
        QTest::newRow("text") << "abc" << "" << 9;
        QTest::newRow("half to even") << "2.5" << "2" << 1;
        QTest::newRow("operator and blank") << ">= 2" << ">=2" << 2;
        QTest::newRow("statement text") << "1; DELETE FROM Poetry" << "" << 9;
    }
    void countField() {
        QFETCH(QString, typed);
        QFETCH(QString, checked);
        QFETCH(int, found);
        auto w = start();
        w->ui.cmdSeek->click();
        w->ui.txtQty->setText(typed);
        loseFocus(w->ui.txtQty);
        QCOMPARE(w->ui.txtQty->text(), checked);

        w->ui.txtQty->setText(typed);
        w->ui.cmdSeekOk->click();
        QCOMPARE(w->ui.txtQty->text(), checked);
        QCOMPARE(w->browse->model()->size(), found);
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM Poetry")), 9);
        QVERIFY(dialogs.messages.isEmpty());
    }

    // Quotes, wildcards, backslashes and characters outside the BMP are searched
    // for as text; none breaks the statement (each term's text: the filter's test).
    void awkwardSearchTexts_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("quote") << u"txtTitle"_s << u"Moon's"_s << QStringList{u"Moon's Song"_s};
        QTest::newRow("underscore is a wildcard") << u"txtContent"_s << u"bright_ly"_s << QStringList{u"Moon's Song"_s};
        QTest::newRow("backslash") << "txtTitle" << "\\" << QStringList{};
        QTest::newRow("outside the BMP") << "txtTitle" << "𠀀" << QStringList{};
        QTest::newRow("latin case ignored") << u"cboPoet"_s << u"li b"_s << QStringList{u"Moon's Song"_s};
        QTest::newRow("type compared as text") << u"cboType"_s << u"诗"_s << QStringList{u"Moon's Song"_s, u"早发白帝城"_s, u"春望"_s, u"登高"_s, u"静夜思"_s};
        QTest::newRow("blank type") << "cboType" << " " << QStringList{};
    }
    void awkwardSearchTexts() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QStringList, found);
        auto w = start();
        w->ui.cmdSeek->click();
        QObject* f = w->findChild<QObject*>(field);
        QVERIFY(f);
        if (auto* le = qobject_cast<QLineEdit*>(f)) le->setText(value);
        else if (auto* cb = qobject_cast<QComboBox*>(f)) cb->setEditText(value);
        else qobject_cast<QTextEdit*>(f)->setPlainText(value);
        w->ui.cmdSeekOk->click();
        QCOMPARE(titles(*w), found);
        QVERIFY(dialogs.messages.isEmpty());
    }

    // Each poem shown while searching has the first content term selected,
    // else the notes term, else the preface term; never a term of the title.
    void searchTermSelected_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("notes");
        QTest::addColumn<QString>("preface");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("part");
        // "Moon" stands in the title first; the content's "moon" is the one selected.
        QTest::newRow("content, any case") << "Moon" << "MOON" << "" << "" << "moon" << 1;
        QTest::newRow("notes") << "静夜思" << "" << "思乡" << "" << "思乡" << 2;
        QTest::newRow("preface") << "水调歌头" << "" << "" << "中秋" << "中秋" << 0;
        QTest::newRow("title only") << "静夜思" << "" << "" << "" << "" << 0;
    }
    void searchTermSelected() {
        QFETCH(QString, title);
        QFETCH(QString, content);
        QFETCH(QString, notes);
        QFETCH(QString, preface);
        QFETCH(QString, selected);
        QFETCH(int, part);
        auto w = start();
        w->ui.cmdSeek->click();
        w->ui.txtTitle->setText(title);
        w->ui.txtContent->setPlainText(content);
        w->ui.txtMemo->setPlainText(notes);
        w->ui.txtPre->setPlainText(preface);
        w->ui.cmdSeekOk->click();
        QCOMPARE(w->browse->model()->size(), 1);
        const QTextCursor c = w->ui.RichTextBox1->textCursor();
        QCOMPARE(c.selectedText(), selected);
        if (!selected.isEmpty()) {
            QVERIFY(c.selectionStart() >= w->display->PartStart[size_t(part)]);
            QVERIFY(c.selectionEnd() <= w->display->PartStart[size_t(part) + 1]);
        }
    }

    void enterMovesOnAsTab() {
        auto w = startActive();
        QVERIFY(w);
        w->ui.cmdSeek->click();
        QTRY_VERIFY(w->ui.txtTitle->hasFocus());
        const QList<QWidget*> chain = {w->ui.txtTitle, w->ui.cboPoet, w->ui.cboDynasty, w->ui.cboType,
                                       w->ui.cboStyle, w->ui.txtQty, w->ui.txtPre};
        for (int i = 0; i + 1 < chain.size(); ++i) {
            QVERIFY2(chain[i]->hasFocus(), qPrintable(chain[i]->objectName()));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        // In the multi-line fields Enter is a line break.
        QTest::keyClick(w->ui.txtPre, Qt::Key_Return);
        QVERIFY(w->ui.txtPre->hasFocus());
        // Leaving the count field by Enter runs its check.
        w->ui.txtQty->setFocus();
        w->ui.txtQty->setText(QStringLiteral("> 5"));
        QTest::keyClick(w->ui.txtQty, Qt::Key_Return);
        QCOMPARE(w->ui.txtQty->text(), QStringLiteral(">5"));
    }

    // Opening the count field's context menu (to paste, say) is no focus loss:
    // the half-typed operator stays for the pasted number.
    void countFieldKeepsItsTextWhileItsMenuIsOpen() {
        auto w = startActive();
        QVERIFY(w);
        w->ui.cmdSeek->click();
        w->ui.txtQty->setFocus();
        QTest::keyClicks(w->ui.txtQty, QStringLiteral(">"));
        const QPoint at(4, 4);
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, at, w->ui.txtQty->mapToGlobal(at));
        QApplication::sendEvent(w->ui.txtQty, &menuEvent);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QCOMPARE(w->ui.txtQty->text(), QStringLiteral(">"));
        QApplication::activePopupWidget()->close();
        w->ui.txtQty->insert(QStringLiteral("1"));
        w->ui.cmdSeekOk->click();
        // Only 无名氏's 无题 and Moon's Song hold more than one poem.
        QCOMPARE(titles(*w), (QStringList{u"Moon's Song"_s, u"无题"_s}));
    }
};

QTEST_MAIN(SearchTest)
#include "search_test.moc"
