// The poem editor through the real widgets: arming add, modify and delete,
// every message of the confirm, the rows of Poetry afterwards, the list, the
// counters and the history, the locked fields, and writes that fail.
#include "browse/historyline.h"
#include "display/displaycontroller.h"
#include "edit/poemeditor.h"
#include "edit/poemrecord.h"
#include "search/searchcontroller.h"
#include "browse/titlelistview.h"
#include "support/windowtest.h"

namespace {

QList<qint32> historyIds(MainWindow& w) {
    QList<qint32> out;
    for (int i = 0; i < w.ui.cboTitle2->count(); ++i) out << HistoryLineId(w.ui.cboTitle2->itemText(i));
    return out;
}

// The stored columns of one poem, "" for NULL, or an empty list when it is gone.
QStringList poemRow(FixtureDb& fx, qint64 id) {
    SqlStatement st = fx.db().prepareNative(
        QStringLiteral("SELECT fTitle,fPoet,fDynasty,fType,fStyle,fQty,fPre,fContent,fMemo,fBookID,fBookmark,"
                       "ifnull(fBook_del,'<null>') FROM Poetry WHERE fPoemID=") +
        QString::number(id));
    QStringList out;
    if (!st.next()) return out;
    for (int i = 0; i < st.columnCount(); ++i) out << st.text(i);
    return out;
}

qint64 poemCount(FixtureDb& fx) { return fx.count(QStringLiteral("SELECT count(*) FROM Poetry")); }

void fill(MainWindow& w, const PoemRecord& r) {
    w.ui.txtTitle->setText(r.title);
    w.ui.cboPoet->setEditText(r.poet);
    w.ui.cboDynasty->setEditText(r.dynasty);
    w.ui.cboType->setEditText(r.type);
    w.ui.cboStyle->setEditText(r.style);
    w.ui.txtQty->setText(r.qty);
    w.ui.txtPre->setPlainText(r.preface);
    w.ui.txtContent->setPlainText(r.content);
    w.ui.txtMemo->setPlainText(r.notes);
}

// Lists 李白's two poems: 早发白帝城 (2, shown) and 静夜思 (1).
void listLiBai(MainWindow& w) {
    w.FillTitleList(QStringLiteral(" Where a.fPoet='李白'"), QStringLiteral("a.fTitle,a.fPoet"), QStringLiteral("0"));
}

const QString kHeading = QStringLiteral("【注释】\r\n");

} // namespace

class PoemEditorTest : public WindowTest {
    Q_OBJECT

    QString lastText() const { return dialogs.messages.isEmpty() ? QString() : dialogs.messages.last().text; }

private slots:
    // ---- Arming and leaving ----

    void arming_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("title");
        QTest::newRow("add") << 1 << "状态：[诗词新增]" << false << "txtTitle" << "";
        QTest::newRow("modify") << 2 << "状态：[诗词修改]" << false << "txtTitle" << "Moon's Song";
        QTest::newRow("delete") << 3 << "状态：[诗词删除]" << true << "cmdEditOk" << "Moon's Song";
    }
    void arming() {
        QFETCH(int, index);
        QFETCH(QString, state);
        QFETCH(bool, locked);
        QFETCH(QString, focus);
        QFETCH(QString, title);
        auto w = startActive();
        QVERIFY(w);
        w->ui.txtTitle->setText(QStringLiteral("从前的文字"));
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[size_t(index)]));
        QCOMPARE(w->ui.myState->text(), state);
        QVERIFY(w->ui.cmdEditOk->isVisible() && !w->ui.cmdSeekOk->isVisible());
        QVERIFY(!w->ui.cmdSetting->isEnabled() && !w->ui.cmdPoet->isEnabled());
        QTRY_COMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(), focus);
        // Add from a hidden panel starts empty; modify and delete load the shown poem.
        QCOMPARE(w->ui.txtTitle->text(), title);
        QCOMPARE(w->ui.txtQty->text(), index == 1 ? QStringLiteral("1") : QStringLiteral("3"));
        // Exactly six fields are locked in delete mode.
        const QList<QObject*> lockable = {w->ui.txtTitle, w->ui.cboPoet->lineEdit(), w->ui.cboStyle->lineEdit(),
                                          w->ui.txtPre,   w->ui.txtContent,          w->ui.txtMemo};
        for (QObject* f : lockable) QCOMPARE(f->property("readOnly").toBool(), locked);
        for (QObject* f : {w->ui.cboDynasty->lineEdit(), w->ui.cboType->lineEdit(), w->ui.txtQty})
            QVERIFY(!f->property("readOnly").toBool());

        // Escape leaves the edit: fields cleared and unlocked, browsing again.
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(!w->ui.fraSeek->isVisible());
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[查询]"));
        QVERIFY(w->ui.txtTitle->text().isEmpty() && w->ui.txtContent->toPlainText().isEmpty());
        for (QObject* f : lockable) QVERIFY(!f->property("readOnly").toBool());
        QVERIFY(dialogs.messages.isEmpty());
    }

    void searchAndEditSwitch() {
        auto w = start();
        w->ui.cmdSeek->click();
        w->ui.txtTitle->setText(QStringLiteral("春"));
        w->ui.cboType->setEditText(QStringLiteral("诗"));
        // Add from the open search panel keeps the search texts.
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[1]));
        QCOMPARE(w->ui.txtTitle->text(), QStringLiteral("春"));
        QCOMPARE(w->ui.cboType->currentText(), QStringLiteral("诗"));
        // Delete, then back to search: the fields are cleared and unlocked.
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[3]));
        QVERIFY(w->ui.txtTitle->isReadOnly());
        w->ui.cmdSeek->click();
        QVERIFY(!w->ui.txtTitle->isReadOnly());
        QVERIFY(w->ui.txtTitle->text().isEmpty() && w->ui.txtQty->text().isEmpty());
        QVERIFY(w->ui.cmdSeekOk->isVisibleTo(w.get()) && !w->ui.cmdEditOk->isVisibleTo(w.get()));
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[诗词检索]"));
    }

    // With no poem listed, arming modify or delete changes nothing at all.
    void armingWithEmptyList() {
        auto w = start();
        w->ui.cmdSeek->click();
        w->ui.txtTitle->setText(QStringLiteral("没有这首诗"));
        w->ui.cmdSeekOk->click();
        QCOMPARE(w->browse->model()->size(), 0);
        for (size_t index : {2, 3}) {
            QVERIFY(triggerEnabled(w->ui.mnuEditTo[index]));
            QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[诗词检索]"));
            QCOMPARE(w->ui.txtTitle->text(), QStringLiteral("没有这首诗"));
            QVERIFY(!w->ui.txtTitle->isReadOnly());
        }
    }

    // Every change event of the nine fields makes a modify worth confirming.
    void changesMarkTheRecord_data() {
        QTest::addColumn<QString>("field");
        for (const char* f : {"txtTitle", "cboPoet", "cboDynasty", "cboType", "cboStyle", "txtQty", "txtPre",
                              "txtContent", "txtMemo"})
            QTest::newRow(f) << QString::fromLatin1(f);
    }
    void changesMarkTheRecord() {
        QFETCH(QString, field);
        auto w = start();
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[2]));
        QObject* f = w->findChild<QObject*>(field);
        if (auto* le = qobject_cast<QLineEdit*>(f)) le->setText(le->text() + u'1');
        else if (auto* te = qobject_cast<QTextEdit*>(f)) te->setPlainText(te->toPlainText() + u'1');
        else qobject_cast<QComboBox*>(f)->setEditText(qobject_cast<QComboBox*>(f)->currentText() + u'1');
        w->ui.cmdEditOk->click();
        QVERIFY2(lastText().endsWith(QStringLiteral("修改完毕！")), qPrintable(lastText()));
        // Choosing a listed entry (the Click event) counts too, even the same one.
        if (auto* cb = qobject_cast<QComboBox*>(f); cb && cb->count() > 0) {
            emit cb->activated(0);
            w->ui.cmdEditOk->click();
            QCOMPARE(dialogs.messages.size(), 2);
            QVERIFY2(lastText().endsWith(QStringLiteral("修改完毕！")), qPrintable(lastText()));
        }
    }

    // Locked fields take no typing and no other list entry; the others do.
    void lockedFieldsRefuseInput() {
        auto w = startActive();
        QVERIFY(w);
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[3]));
        w->ui.txtTitle->setFocus();
        QTest::keyClicks(w->ui.txtTitle, QStringLiteral("xyz"));
        QCOMPARE(w->ui.txtTitle->text(), QStringLiteral("Moon's Song"));
        w->ui.cboStyle->setFocus();
        QTest::keyClick(w->ui.cboStyle, Qt::Key_Down);
        QTest::keyClick(w->ui.cboStyle, Qt::Key_Up);
        QCOMPARE(w->ui.cboStyle->currentText(), QStringLiteral("乐府"));
        QTest::keyClicks(w->ui.txtContent, QStringLiteral("q"));
        QCOMPARE(w->ui.txtContent->toPlainText(), QStringLiteral("O moon, 100% bright_ly."));
        w->ui.cboDynasty->setFocus();
        QTest::keyClicks(w->ui.cboDynasty, QStringLiteral("x"));
        QCOMPARE(w->ui.cboDynasty->currentText(), QStringLiteral("唐x"));
    }

    // The count field on focus loss while an add is armed, and as confirmed
    // without leaving the field (stored in the checked form).
    void editCountField() {
        const struct {
            QString typed, checked, stored;
        } cases[] = {{u"abc"_s, u"1"_s, u"1"_s},     {u""_s, u"1"_s, u"1"_s},        {u"0"_s, u"0"_s, u"1"_s},
                     {u"-3"_s, u"-3"_s, u"1"_s},     {u"2.5"_s, u"2"_s, u"2"_s},     {u">=2"_s, u"1"_s, u"1"_s},
                     {u"99999"_s, u"1"_s, u"1"_s}, {u"1); DELETE FROM Poetry; --"_s, u"1"_s, u"1"_s}};
        auto w = start();
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[1]));
        int n = 0;
        for (const auto& c : cases) {
            const QString title = u"新诗"_s + QString::number(++n);
            fill(*w, {title, u"王维"_s, u"唐"_s, QString(), QString(), c.typed, QString(), u"空山新雨后"_s, QString()});
            loseFocus(w->ui.txtQty);
            QCOMPARE(w->ui.txtQty->text(), c.checked);
            w->ui.txtQty->setText(c.typed);
            w->ui.cmdEditOk->click();
            QCOMPARE(w->ui.txtQty->text(), c.stored);
            QCOMPARE(fx->text(u"SELECT fQty FROM Poetry WHERE fTitle='"_s + title + u"'"_s), c.stored);
        }
        QCOMPARE(poemCount(*fx), 9 + n);
    }

    // ---- Add ----

    // Texts are stored exactly as typed, found again and listed (quotes and
    // wildcards in values: the record statements' test).
    void addStoresTheFieldsAsTyped_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("poet");
        QTest::addColumn<QString>("content");
        QTest::newRow("plain") << "山居秋暝" << "王维" << "空山新雨后，天气晚来秋。\n明月松间照，清泉石上流。";
        QTest::newRow("outside the BMP") << "𠀀𠀁" << "𠀀" << "𠀀\n𠀁";
        QTest::newRow("non-breaking space") << "A\u00a0B" << "王维" << "x\u00a0y";
        QTest::newRow("100 KB") << QString(100 * 1024, QChar(u'长')) << "王维" << QString(100 * 1024, QChar(u'文'));
    }
    void addStoresTheFieldsAsTyped() {
        QFETCH(QString, title);
        QFETCH(QString, poet);
        QFETCH(QString, content);
        auto w = start();
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[1]));
        fill(*w, {title, poet, QStringLiteral("唐"), QStringLiteral("诗"), QStringLiteral("五言律诗"),
                  QStringLiteral("2"), QString(), content, QString()});
        w->ui.cmdEditOk->click();
        QCOMPARE(dialogs.marked(), QStringList{QStringLiteral("i:《") + title + QStringLiteral("》新增完毕！")});
        QCOMPARE(poemCount(*fx), 10);
        const qint64 id = fx->count(QStringLiteral("SELECT max(fPoemID) FROM Poetry"));
        QString crlf = content;
        crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        // Filed in no book, no bookmark, no duplicate key; notes get their heading.
        QCOMPARE(poemRow(*fx, id), (QStringList{title, poet, u"唐"_s, u"诗"_s, u"五言律诗"_s, u"2"_s, u""_s, crlf, kHeading, u"-1"_s,
                                                u"0"_s, u"<null>"_s}));
        // The new row is listed last with a tmp key, selected, shown and recorded.
        TitleListModel* m = w->browse->model();
        QCOMPARE(m->size(), 2);
        const TitleRow& row = m->row(1);
        QCOMPARE((QStringList{row.title, row.poet, row.style}), (QStringList{title, poet, u"五言律诗"_s}));
        QCOMPARE(row.poemId, qint32(id));
        QCOMPARE(w->browse->selectedRow(), 1);
        QCOMPARE(historyIds(*w), (QList<qint32>{qint32(id), 9}));
        // An add leaves the status-bar totals as they were.
        QCOMPARE(w->ui.myTotal->text(), QStringLiteral("系统总计：9题 (12首)"));
        // Modify finds it again by the same texts.
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[2]));
        QCOMPARE(w->ui.txtTitle->text(), title);
        QCOMPARE(w->ui.cboPoet->currentText(), poet);
        w->ui.txtPre->setPlainText(QStringLiteral("序"));
        w->ui.cmdEditOk->click();
        QCOMPARE(lastText(), QStringLiteral("《") + title + QStringLiteral("》修改完毕！"));
        QCOMPARE(poemRow(*fx, id).value(6), QStringLiteral("序"));
        QCOMPARE(poemRow(*fx, id).value(7), crlf);
    }

    void addRefusals_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("poet");
        QTest::addColumn<QString>("message");
        QTest::newRow("no title") << "" << "李白" << "请输入诗词作者及其标题信息!";
        QTest::newRow("no poet") << "静夜思" << "" << "请输入诗词作者及其标题信息!";
        QTest::newRow("same poet, same title") << "静夜思" << "李白" << "该作者的诗词《静夜思》已有存在，请查验！";
    }
    void addRefusals() {
        QFETCH(QString, title);
        QFETCH(QString, poet);
        QFETCH(QString, message);
        auto w = start();
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[1]));
        fill(*w, {title, poet, QString(), QString(), QString(), QStringLiteral("abc"), QString(),
                  QStringLiteral("文"), QString()});
        w->ui.cmdEditOk->click();
        QCOMPARE(dialogs.marked(), QStringList{u"!:"_s + message});
        QCOMPARE(poemCount(*fx), 9);
        QCOMPARE(w->browse->model()->size(), 1);
        // The count and the notes were put in form before the refusal; the typed
        // texts stay for correcting.
        QCOMPARE(w->ui.txtQty->text(), QStringLiteral("1"));
        QCOMPARE(PoemEditor::fieldText(w->ui.txtMemo), kHeading);
        QCOMPARE(w->ui.txtTitle->text(), title);
    }

    // Two poets may each have a poem of one title; the same poet may not twice.
    void sameTitleTwoPoets() {
        auto w = start();
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[1]));
        fill(*w, {QStringLiteral("静夜思"), QStringLiteral("杜甫"), QStringLiteral("唐"), QString(), QString(),
                  QStringLiteral("1"), QString(), QStringLiteral("文"), QStringLiteral("【注释】已有")});
        w->ui.cmdEditOk->click();
        QCOMPARE(lastText(), QStringLiteral("《静夜思》新增完毕！"));
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM Poetry WHERE fTitle='静夜思'")), 2);
        // A heading already there is not doubled.
        QCOMPARE(fx->text(QStringLiteral("SELECT fMemo FROM Poetry WHERE fPoet='杜甫' AND fTitle='静夜思'")),
                 QStringLiteral("【注释】已有"));
    }

    // Keys of added rows stay unique even when the drawn number is taken.
    void addedRowKeysAreUnique() {
        auto w = start();
        w->poemEditor->drawKeyNumber = [] { return qint32(42); };
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[1]));
        for (const char* t : {"甲", "乙", "丙"}) {
            fill(*w, {QString::fromUtf8(t), QStringLiteral("王维"), QString(), QString(), QString(),
                      QStringLiteral("1"), QString(), QStringLiteral("文"), QString()});
            w->ui.cmdEditOk->click();
        }
        const TitleListModel* m = w->browse->model();
        QCOMPARE(m->size(), 4);
        QCOMPARE((QStringList{m->key(0), m->key(1), m->key(2), m->key(3)}),
                 (QStringList{u"L0"_s, u"tmp42"_s, u"tmp43"_s, u"tmp44"_s}));
    }

    // ---- Modify ----

    void modify() {
        auto w = start();
        listLiBai(*w);
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[2]));
        QCOMPARE(w->ui.txtTitle->text(), QStringLiteral("早发白帝城"));
        // Nothing changed yet.
        w->ui.cmdEditOk->click();
        QCOMPARE(dialogs.marked(), QStringList{u"!:记录信息未有修改!"_s});

        // Only the preface changed: no duplicate test, one update.
        w->ui.txtPre->setPlainText(QStringLiteral("乾元二年，\n流放途中遇赦。"));
        w->ui.cmdEditOk->click();
        QCOMPARE(dialogs.marked().last(), QStringLiteral("i:《早发白帝城》修改完毕！"));
        QCOMPARE(poemRow(*fx, 2), (QStringList{u"早发白帝城"_s, u"李白"_s, u"唐"_s, u"诗"_s, u"七言绝句"_s, u"1"_s,
                                               u"乾元二年，\r\n流放途中遇赦。"_s,
                                               u"朝辞白帝彩云间，千里江陵一日还。\r\n两岸猿声啼不住，轻舟已过万重山。"_s,
                                               kHeading, u"1"_s, u"0"_s, u"<null>"_s}));
        QCOMPARE(historyIds(*w).count(2), 1);

        // Renamed to a title the poet already has: refused, nothing written.
        w->ui.txtTitle->setText(QStringLiteral("静夜思"));
        w->ui.cmdEditOk->click();
        QCOMPARE(lastText(), QStringLiteral("该作者的诗词《静夜思》已有存在，请查验！"));
        QCOMPARE(poemRow(*fx, 2).value(0), QStringLiteral("早发白帝城"));

        // Renamed and given a new count and another poet: the list row follows.
        w->ui.txtTitle->setText(QStringLiteral("下江陵"));
        w->ui.cboPoet->setEditText(QStringLiteral("李太白"));
        w->ui.cboStyle->setEditText(QStringLiteral("七绝"));
        w->ui.txtQty->setText(QStringLiteral("3"));
        w->ui.cmdEditOk->click();
        QCOMPARE(lastText(), QStringLiteral("《下江陵》修改完毕！"));
        QCOMPARE(poemRow(*fx, 2).mid(0, 6), (QStringList{u"下江陵"_s, u"李太白"_s, u"唐"_s, u"诗"_s, u"七绝"_s, u"3"_s}));
        const TitleRow& row = w->browse->model()->row(0);
        QCOMPARE((QStringList{row.title, row.poet, row.style}), (QStringList{u"下江陵"_s, u"李太白"_s, u"七绝"_s}));
        QVERIFY(w->ui.cboTitle2->itemText(0).startsWith(QStringLiteral("下江陵")));
        // A modify leaves the totals alone, a changed count included.
        QCOMPARE(w->ui.myTotal->text(), QStringLiteral("系统总计：9题 (12首)"));

        // An empty title is refused with the shorter wording.
        w->ui.txtTitle->clear();
        w->ui.cmdEditOk->click();
        QCOMPARE(lastText(), QStringLiteral("请输入作者及标题信息!"));
        QCOMPARE(poemRow(*fx, 2).value(0), QStringLiteral("下江陵"));
    }

    // A look at another poem through the history does not move an armed modify
    // to it; a lock taken while it is armed disables the confirm.
    void historyPickAndLockLeaveTheArmedModify() {
        auto w = startActive();
        QVERIFY(w);
        // 杜甫: 春望 (3) and 登高 (8); 春望 chosen last in the list.
        w->FillTitleList(QStringLiteral(" Where a.fPoet='杜甫'"), QStringLiteral("a.fTitle"), QStringLiteral("0"));
        QTest::keyClick(w->ui.lstTitle->listView(), Qt::Key_Down);
        QTest::keyClick(w->ui.lstTitle->listView(), Qt::Key_Up);
        QCOMPARE(historyIds(*w).mid(0, 2), (QList<qint32>{3, 8}));
        QVERIFY(triggerEnabled(*w, "mnuEditTo_2"));
        QVERIFY(chooseInPopup(w->ui.cboTitle2, 1));
        QVERIFY(w->ui.RichTextBox1->document()->toRawText().startsWith(QStringLiteral("登高")));
        w->ui.txtPre->setPlainText(QStringLiteral("序"));
        w->ui.cmdEditOk->click();
        QCOMPARE(dialogs.texts(), QStringList{u"《春望》修改完毕！"_s});
        QCOMPARE(poemRow(*fx, 3).value(6), QStringLiteral("序"));
        QCOMPARE(poemRow(*fx, 8).value(6), QString());

        w->ui.txtPre->setPlainText(QStringLiteral("序二"));
        QVERIFY(triggerEnabled(*w, "mnuToolLock"));
        QVERIFY(!w->ui.cmdEditOk->isEnabled());
        QTest::mouseClick(w->ui.cmdEditOk, Qt::LeftButton);
        QCOMPARE(dialogs.texts().size(), 1);
        QCOMPARE(poemRow(*fx, 3).value(6), QStringLiteral("序"));
    }

    // A poem may change only the Latin case of its title: it is no duplicate of
    // itself. Deleted meanwhile (by another copy of the program), it is not
    // reported as modified, and nothing else changes.
    void modifyCaseOnlyThenGoneMeanwhile() {
        auto w = start();
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[2]));
        w->ui.txtTitle->setText(QStringLiteral("MOON'S SONG"));
        w->ui.cmdEditOk->click();
        QCOMPARE(dialogs.marked(), QStringList{u"i:《MOON'S SONG》修改完毕！"_s});
        QCOMPARE(poemRow(*fx, 9).value(0), QStringLiteral("MOON'S SONG"));
        fx->db().execNative(QStringLiteral("DELETE FROM Poetry WHERE fPoemID=9"));
        w->ui.txtContent->setPlainText(QStringLiteral("新的内容"));
        w->ui.cmdEditOk->click();
        QCOMPARE(dialogs.marked().last(), u"!:该作者的诗词《MOON'S SONG》已不存在，请查验！"_s);
        QCOMPARE(poemCount(*fx), 8);
        QCOMPARE(w->browse->model()->size(), 1);
        QCOMPARE(w->ui.txtContent->toPlainText(), QStringLiteral("新的内容"));
    }

    // ---- Delete ----

    void deleteUntilTheListIsEmpty() {
        auto w = start();
        listLiBai(*w);
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[3]));
        // Cancelled: nothing written.
        dialogs.answers = {false};
        w->ui.cmdEditOk->click();
        QCOMPARE(dialogs.marked(), QStringList{u"?:确认：《早发白帝城》诗词删除？"_s});
        QCOMPARE(poemCount(*fx), 9);

        dialogs.messages.clear();
        dialogs.answers = {true};
        // A count typed into the (unlocked) count field does not skew the totals.
        w->ui.txtQty->setText(QStringLiteral("7"));
        w->ui.cmdEditOk->click();
        QCOMPARE(dialogs.marked(), (QStringList{u"?:确认：《早发白帝城》诗词删除？"_s, u"i:《早发白帝城》删除完毕！"_s}));
        QVERIFY(poemRow(*fx, 2).isEmpty());
        QCOMPARE(poemCount(*fx), 8);
        QCOMPARE(w->ui.myTotal->text(), QStringLiteral("系统总计：8题 (11首)"));
        QCOMPARE(w->ui.mySelect->text(), QStringLiteral("目前选入：1题 (1首)"));
        QCOMPARE(titles(*w), QStringList{u"静夜思"_s});
        QCOMPARE(historyIds(*w).first(), 1);
        // The next poem is loaded, still locked, ready for the next delete.
        QCOMPARE(w->ui.txtTitle->text(), QStringLiteral("静夜思"));
        QVERIFY(w->ui.txtTitle->isReadOnly());

        // The last listed poem: the list empties, the fields keep it.
        dialogs.messages.clear();
        dialogs.answers = {true};
        w->ui.cmdEditOk->click();
        QCOMPARE(dialogs.texts(), (QStringList{u"确认：《静夜思》诗词删除？"_s, u"《静夜思》删除完毕！"_s}));
        QCOMPARE(w->browse->model()->size(), 0);
        QCOMPARE(w->ui.mySelect->text(), QStringLiteral("目前选入：0题"));
        QCOMPARE(w->ui.txtTitle->text(), QStringLiteral("静夜思"));
        QVERIFY(!historyIds(*w).contains(1));

        // Once more: the poem is gone.
        dialogs.messages.clear();
        dialogs.answers = {true};
        w->ui.cmdEditOk->click();
        QCOMPARE(dialogs.marked().last(), QStringLiteral("!:该作者的诗词《静夜思》已不存在，请查验！"));
        QCOMPARE(poemCount(*fx), 7);
    }

    // A poem listed twice (a search appended twice) leaves the list entirely.
    void deletePoemListedTwice() {
        auto w = start();
        w->ui.cmdSeek->click();
        w->ui.cboPoet->setEditText(QStringLiteral("杜甫"));
        w->ui.cmdSeekOk->click();
        QVERIFY(triggerEnabled(w->ui.mnuSeekOk[1]));
        QCOMPARE(titles(*w), (QStringList{u"春望"_s, u"登高"_s, u"春望"_s, u"登高"_s}));
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[3]));
        dialogs.answers = {true};
        w->ui.cmdEditOk->click();
        QCOMPARE(lastText(), QStringLiteral("《春望》删除完毕！"));
        QCOMPARE(titles(*w), (QStringList{u"登高"_s, u"登高"_s}));
        // After an appended search the panel counts titles only, and stays so.
        QCOMPARE(w->ui.mySelect->text(), QStringLiteral("目前选入：2题"));
        QCOMPARE(w->ui.txtTitle->text(), QStringLiteral("登高"));
    }

    // ---- Writes the store refuses ----

    // The statement fails inside its transaction: the user is told the store's
    // reason, nothing is written, and the list, counters and fields stay.
    void refusedWrites_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("trigger");
        QTest::newRow("add") << 1 << "INSERT";
        QTest::newRow("modify") << 2 << "UPDATE";
        QTest::newRow("delete") << 3 << "DELETE";
    }
    void refusedWrites() {
        QFETCH(int, index);
        QFETCH(QString, trigger);
        auto w = start();
        // The trigger first writes elsewhere, then refuses: both must vanish.
        fx->db().execNative(QStringLiteral("CREATE TRIGGER refuse BEFORE %1 ON Poetry BEGIN "
                                           "INSERT INTO Poet (fPoet,fBrief) VALUES ('痕迹',''); "
                                           "SELECT RAISE(ABORT,'写入被拒绝'); END")
                                .arg(trigger));
        const QString totals = w->ui.myTotal->text();
        const QString selected = w->ui.mySelect->text();
        const QList<qint32> history = historyIds(*w);
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[size_t(index)]));
        if (index == 1)
            fill(*w, {QStringLiteral("新诗"), QStringLiteral("王维"), QString(), QString(), QString(),
                      QStringLiteral("1"), QString(), QStringLiteral("文"), QString()});
        else if (index == 2)
            w->ui.txtContent->setPlainText(QStringLiteral("新的内容"));
        const QString content = w->ui.txtContent->toPlainText();
        dialogs.answers = {true};
        w->ui.cmdEditOk->click();
        QCOMPARE(dialogs.marked().last(), QStringLiteral("!:数据库写入失败，本次修改已全部撤销。\r\n\r\n写入被拒绝"));
        for (const ScriptedDialogs::Message& m : dialogs.messages) QVERIFY(!m.text.contains(QStringLiteral("完毕")));
        QCOMPARE(poemCount(*fx), 9);
        QCOMPARE(poemRow(*fx, 9).value(7), QStringLiteral("O moon, 100% bright_ly."));
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM Poet WHERE fPoet='痕迹'")), 0);
        QCOMPARE(titles(*w), QStringList{u"Moon's Song"_s});
        QCOMPARE(w->ui.myTotal->text(), totals);
        QCOMPARE(w->ui.mySelect->text(), selected);
        QCOMPARE(historyIds(*w), history);
        QCOMPARE(w->ui.txtContent->toPlainText(), content);
        // The connection is usable afterwards: once the trigger is gone the same
        // confirm goes through.
        fx->db().execNative(QStringLiteral("DROP TRIGGER refuse"));
        dialogs.answers = {true};
        w->ui.cmdEditOk->click();
        QVERIFY(lastText().endsWith(QStringLiteral("完毕！")));
    }
};

QTEST_MAIN(PoemEditorTest)
#include "poemeditor_test.moc"
