// The poem editor through the real widgets: arming add, modify and delete,
// every message of the confirm, the rows of Poetry afterwards, the list, the
// counters and the history, the locked fields, and writes that fail.
#include "browse/historyline.h"
#include "browse/titlelistview.h"
#include "edit/poemeditor.h"
#include "edit/poemrecord.h"
#include "support/windowtest.h"

namespace {

QList<qint32> historyIds(MainWindow& w) {
    QList<qint32> out;
    for (int i = 0; i < w.ui.cboTitle2->count(); ++i) out << HistoryLineId(w.ui.cboTitle2->itemText(i));
    return out;
}

// The stored columns of one poem, "" for NULL, or an empty list when it is gone.
QStringList poemRow(FixtureDb& fx, qint64 id) {
    SqlStatement st = fx.db().prepareNative(u"SELECT fTitle,fPoet,fDynasty,fType,fStyle,fQty,fPre,fContent,fMemo,"
                                            "fBookID,fBookmark,ifnull(fBook_del,'<null>') FROM Poetry WHERE fPoemID="_s +
                                            QString::number(id));
    QStringList out;
    if (!st.next()) return out;
    for (int i = 0; i < st.columnCount(); ++i) out << st.text(i);
    return out;
}

qint64 poemCount(FixtureDb& fx) { return fx.count(u"SELECT count(*) FROM Poetry"_s); }

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

// A new poem of title, poet, count and notes, with content 文.
void fillNew(MainWindow& w, const QString& title, const QString& poet = u"王维"_s, const QString& qty = u"1"_s,
             const QString& notes = {}) {
    fill(w, {title, poet, {}, {}, {}, qty, {}, u"文"_s, notes});
}

QString focusName() { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); }

const QString kHeading = u"【注释】\r\n"_s;
const QString kRefused = u"数据库写入失败，本次修改已全部撤销。\r\n\r\n写入被拒绝"_s;

} // namespace

class PoemEditorTest : public WindowTest {
    Q_OBJECT

    QString lastText() const { return dialogs.messages.isEmpty() ? QString() : dialogs.messages.last().text; }
    // Clicks the confirm (a question answered yes when `yes`); the last message.
    QString confirm(MainWindow& w, bool yes = false) {
        if (yes) dialogs.answers = {true};
        w.ui.cmdEditOk->click();
        return lastText();
    }

private slots:
    // Add, modify and delete armed and left by Escape, one after another.
    void arming() {
        auto w = startActive();
        QVERIFY(w);
        const QString states[] = {{}, u"状态：[诗词新增]"_s, u"状态：[诗词修改]"_s, u"状态：[诗词删除]"_s};
        const QList<QObject*> lockable = {w->ui.txtTitle, w->ui.cboPoet->lineEdit(), w->ui.cboStyle->lineEdit(),
                                          w->ui.txtPre,   w->ui.txtContent,          w->ui.txtMemo};
        for (const size_t index : {1, 2, 3}) {
            const bool locked = index == 3;
            w->ui.txtTitle->setText(u"从前的文字"_s);
            QVERIFY(triggerEnabled(w->ui.mnuEditTo[index]));
            QCOMPARE(w->ui.myState->text(), states[index]);
            QVERIFY(w->ui.cmdEditOk->isVisible() && !w->ui.cmdSeekOk->isVisible() && !w->ui.cmdPoet->isEnabled());
            QTRY_COMPARE(focusName(), locked ? u"cmdEditOk"_s : u"txtTitle"_s);
            // Add from a hidden panel starts empty; modify and delete load the shown poem.
            QCOMPARE((QStringList{w->ui.txtTitle->text(), w->ui.txtQty->text()}),
                     (index == 1 ? QStringList{{}, u"1"_s} : QStringList{u"Moon's Song"_s, u"3"_s}));
            // Exactly six fields are locked in delete mode.
            for (QObject* f : lockable) QCOMPARE(f->property("readOnly").toBool(), locked);
            if (locked) { // a locked list takes no other entry by the keys either
                w->ui.cboStyle->setFocus();
                QTest::keyClick(w->ui.cboStyle, Qt::Key_Down);
                QCOMPARE(w->ui.cboStyle->currentText(), u"乐府"_s);
            }
            // Escape leaves the edit: fields cleared and unlocked, browsing again.
            QTest::keyClick(w.get(), Qt::Key_Escape);
            QVERIFY(!w->ui.fraSeek->isVisible());
            QVERIFY(w->ui.txtTitle->text().isEmpty() && w->ui.txtContent->toPlainText().isEmpty());
        }
    }

    // Add from the open search panel keeps the search texts; back to search from
    // delete, the fields are cleared and unlocked; with no poem listed, arming
    // modify or delete changes nothing at all; then a delete from a search.
    void searchAndEditSwitch() {
        auto w = start();
        w->ui.cmdSeek->click();
        w->ui.txtTitle->setText(u"没有这首诗"_s);
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[1]));
        QCOMPARE(w->ui.txtTitle->text(), u"没有这首诗"_s);
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[3]));
        QVERIFY(w->ui.txtTitle->isReadOnly());
        w->ui.cmdSeek->click();
        QVERIFY(!w->ui.txtTitle->isReadOnly() && w->ui.txtTitle->text().isEmpty());
        w->ui.txtTitle->setText(u"没有这首诗"_s);
        w->ui.cmdSeekOk->click(); // lists nothing
        for (const size_t index : {2, 3}) {
            QVERIFY(triggerEnabled(w->ui.mnuEditTo[index]));
            QCOMPARE(w->ui.myState->text(), u"状态：[诗词检索]"_s);
            QVERIFY(w->ui.txtTitle->text() == u"没有这首诗"_s && !w->ui.txtTitle->isReadOnly());
        }
        // A poem listed twice (a search appended twice) leaves the list entirely;
        // after an appended search the panel counts titles only, and stays so.
        w->ui.txtTitle->clear();
        w->ui.cboPoet->setEditText(u"杜甫"_s);
        w->ui.cmdSeekOk->click();
        QVERIFY(triggerEnabled(w->ui.mnuSeekOk[1]));
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[3]));
        QCOMPARE(confirm(*w, true), u"《春望》删除完毕！"_s);
        QCOMPARE(titles(*w), (QStringList{u"登高"_s, u"登高"_s}));
        QCOMPARE(w->ui.mySelect->text(), u"目前选入：2题"_s);
    }

    // Every change event of the nine fields makes a modify worth confirming.
    void changesMarkTheRecord() {
        auto w = start();
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[2]));
        // Only the Latin case of the title: the poem is no duplicate of itself.
        w->ui.txtTitle->setText(u"MOON'S SONG"_s);
        QCOMPARE(confirm(*w), u"《MOON'S SONG》修改完毕！"_s);
        QCOMPARE(poemRow(*fx, 9).value(0), u"MOON'S SONG"_s);
        for (const char* name :
             {"cboPoet", "cboDynasty", "cboType", "cboStyle", "txtQty", "txtPre", "txtContent", "txtMemo"}) {
            QObject* f = w->findChild<QObject*>(QString::fromLatin1(name));
            auto* cb = qobject_cast<QComboBox*>(f);
            if (auto* le = qobject_cast<QLineEdit*>(f)) le->setText(le->text() + u'1');
            else if (auto* te = qobject_cast<QTextEdit*>(f)) te->setPlainText(te->toPlainText() + u'1');
            else cb->setEditText(cb->currentText() + u'1');
            QVERIFY2(confirm(*w).endsWith(u"修改完毕！"_s), name);
            QVERIFY2(confirm(*w) == u"记录信息未有修改!"_s, name);
        }
        // Deleted meanwhile (by another copy of the program): not reported as
        // modified, and nothing else changes.
        fx->db().execNative(u"DELETE FROM Poetry WHERE fPoemID=9"_s);
        w->ui.txtContent->setPlainText(u"新的内容"_s);
        QCOMPARE(confirm(*w), u"该作者的诗词《MOON'S SONG》已不存在，请查验！"_s);
        QCOMPARE(poemCount(*fx), 8);
        QCOMPARE(w->ui.txtContent->toPlainText(), u"新的内容"_s);
    }

    // Refusals keep the typed texts, with the count and the notes put in form
    // first. Texts are stored exactly as typed (characters outside the BMP,
    // no-break spaces, 100 KB; quotes and wildcards: the record statements'
    // test). Two poets may each have a poem of one title. Then the count field.
    void add() {
        auto w = start();
        w->poemEditor->drawKeyNumber = [] { return qint32(42); };
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[1]));
        const QString missing = u"请输入诗词作者及其标题信息!"_s;
        const QStringList cases[] = {{u""_s, u"李白"_s, missing},
                                     {u"静夜思"_s, u""_s, missing},
                                     {u"静夜思"_s, u"李白"_s, u"该作者的诗词《静夜思》已有存在，请查验！"_s}};
        for (const QStringList& c : cases) {
            dialogs.messages.clear();
            fillNew(*w, c[0], c[1], u"abc"_s);
            w->ui.cmdEditOk->click();
            QCOMPARE(dialogs.marked(), QStringList{u"!:"_s + c[2]});
            QCOMPARE(poemCount(*fx), 9);
            QCOMPARE((QStringList{w->ui.txtTitle->text(), w->ui.txtQty->text(), PoemEditor::fieldText(w->ui.txtMemo)}),
                     (QStringList{c[0], u"1"_s, kHeading}));
        }
        const QString title = u"𠀀A\u00a0B"_s + QString(100 * 1024, u'长');
        const QString content = u"空山新雨后，\n明月𠀁x\u00a0y"_s + QString(100 * 1024, u'文');
        fill(*w, {title, u"王维"_s, u"唐"_s, u"诗"_s, u"五言律诗"_s, u"2"_s, {}, content, {}});
        dialogs.messages.clear();
        w->ui.cmdEditOk->click();
        QCOMPARE(dialogs.marked(), QStringList{u"i:《"_s + title + u"》新增完毕！"_s});
        QCOMPARE(poemCount(*fx), 10);
        const qint64 id = fx->count(u"SELECT max(fPoemID) FROM Poetry"_s);
        // Filed in no book, no bookmark, no duplicate key; notes get their heading.
        QCOMPARE(poemRow(*fx, id), (QStringList{title, u"王维"_s, u"唐"_s, u"诗"_s, u"五言律诗"_s, u"2"_s, u""_s,
                                                QString(content).replace(u"\n"_s, u"\r\n"_s), kHeading, u"-1"_s,
                                                u"0"_s, u"<null>"_s}));
        // The new row is listed last with a tmp key, selected, shown and recorded.
        const TitleRow row = w->browse->model()->row(1);
        QCOMPARE((QStringList{row.title, row.poet, row.style, QString::number(row.poemId)}),
                 (QStringList{title, u"王维"_s, u"五言律诗"_s, QString::number(id)}));
        QCOMPARE(w->browse->selectedRow(), 1);
        QCOMPARE(historyIds(*w), (QList<qint32>{qint32(id), 9}));
        fillNew(*w, u"静夜思"_s, u"杜甫"_s, u"1"_s, u"【注释】已有"_s);
        QCOMPARE(confirm(*w), u"《静夜思》新增完毕！"_s);
        // A heading already there is not doubled.
        QCOMPARE(fx->text(u"SELECT fMemo FROM Poetry WHERE fPoet='杜甫' AND fTitle='静夜思'"_s), u"【注释】已有"_s);
        // The count field on focus loss, and as confirmed without leaving the
        // field (stored in the checked form).
        const struct {
            QString typed, checked, stored;
        } counts[] = {{u"abc"_s, u"1"_s, u"1"_s}, {u""_s, u"1"_s, u"1"_s}, {u"-3"_s, u"-3"_s, u"1"_s},
                      {u"2.5"_s, u"2"_s, u"2"_s}, {u"99999"_s, u"1"_s, u"1"_s}, {u"1); DELETE"_s, u"1"_s, u"1"_s}};
        int n = 0;
        for (const auto& c : counts) {
            const QString name = u"新诗"_s + QString::number(++n);
            fillNew(*w, name, u"王维"_s, c.typed);
            loseFocus(w->ui.txtQty);
            QCOMPARE(w->ui.txtQty->text(), c.checked);
            w->ui.txtQty->setText(c.typed);
            w->ui.cmdEditOk->click();
            QCOMPARE(w->ui.txtQty->text(), c.stored);
            QCOMPARE(fx->text(u"SELECT fQty FROM Poetry WHERE fTitle='"_s + name + u"'"_s), c.stored);
        }
        // Keys of added rows stay unique even when the drawn number is taken.
        const TitleListModel* m = w->browse->model();
        QCOMPARE((QStringList{m->key(0), m->key(1), m->key(8)}), (QStringList{u"L0"_s, u"tmp42"_s, u"tmp49"_s}));
    }

    void modify() {
        auto w = start();
        // 李白's two poems: 早发白帝城 (2, shown) and 静夜思 (1).
        w->FillTitleList(u" Where a.fPoet='李白'"_s, u"a.fTitle,a.fPoet"_s, u"0"_s);
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[2]));
        // Only the preface changed: no duplicate test, one update.
        w->ui.txtPre->setPlainText(u"乾元二年，\n流放途中遇赦。"_s);
        w->ui.cmdEditOk->click();
        QCOMPARE(dialogs.marked(), QStringList{u"i:《早发白帝城》修改完毕！"_s});
        QCOMPARE(poemRow(*fx, 2), (QStringList{u"早发白帝城"_s, u"李白"_s, u"唐"_s, u"诗"_s, u"七言绝句"_s, u"1"_s,
                                               u"乾元二年，\r\n流放途中遇赦。"_s,
                                               u"朝辞白帝彩云间，千里江陵一日还。\r\n两岸猿声啼不住，轻舟已过万重山。"_s,
                                               kHeading, u"1"_s, u"0"_s, u"<null>"_s}));
        QCOMPARE(historyIds(*w).count(2), 1);
        // Renamed to a title the poet already has: refused, nothing written.
        w->ui.txtTitle->setText(u"静夜思"_s);
        QCOMPARE(confirm(*w), u"该作者的诗词《静夜思》已有存在，请查验！"_s);
        QCOMPARE(poemRow(*fx, 2).value(0), u"早发白帝城"_s);
        // Renamed and given a new count and another poet: the list row follows;
        // the totals stay, a changed count included.
        fill(*w, {u"下江陵"_s, u"李太白"_s, u"唐"_s, u"诗"_s, u"七绝"_s, u"3"_s, {}, u"朝辞白帝彩云间"_s, {}});
        QCOMPARE(confirm(*w), u"《下江陵》修改完毕！"_s);
        QCOMPARE(poemRow(*fx, 2).mid(0, 6), (QStringList{u"下江陵"_s, u"李太白"_s, u"唐"_s, u"诗"_s, u"七绝"_s, u"3"_s}));
        const TitleRow row = w->browse->model()->row(0);
        QCOMPARE((QStringList{row.title, row.poet, row.style}), (QStringList{u"下江陵"_s, u"李太白"_s, u"七绝"_s}));
        QVERIFY(w->ui.cboTitle2->itemText(0).startsWith(u"下江陵"_s));
        QCOMPARE(w->ui.myTotal->text(), u"系统总计：9题 (12首)"_s);
        // An empty title is refused with the shorter wording.
        w->ui.txtTitle->clear();
        QCOMPARE(confirm(*w), u"请输入作者及标题信息!"_s);
        QCOMPARE(poemRow(*fx, 2).value(0), u"下江陵"_s);
    }

    // A look at another poem through the history does not move an armed modify to it.
    void historyPickLeavesTheArmedModify() {
        auto w = startActive();
        QVERIFY(w);
        // 杜甫: 春望 (3) and 登高 (8); 春望 chosen last in the list.
        w->FillTitleList(u" Where a.fPoet='杜甫'"_s, u"a.fTitle"_s, u"0"_s);
        QTest::keyClick(w->ui.lstTitle->listView(), Qt::Key_Down);
        QTest::keyClick(w->ui.lstTitle->listView(), Qt::Key_Up);
        QVERIFY(triggerEnabled(*w, "mnuEditTo_2"));
        QVERIFY(chooseInPopup(w->ui.cboTitle2, 1));
        QVERIFY(w->ui.RichTextBox1->document()->toRawText().startsWith(u"登高"_s));
        w->ui.txtPre->setPlainText(u"序"_s);
        w->ui.cmdEditOk->click();
        QCOMPARE(dialogs.texts(), QStringList{u"《春望》修改完毕！"_s});
        QCOMPARE((QStringList{poemRow(*fx, 3).value(6), poemRow(*fx, 8).value(6)}), (QStringList{u"序"_s, u""_s}));
    }

    void deleteUntilTheListIsEmpty() {
        auto w = start();
        w->FillTitleList(u" Where a.fPoet='李白'"_s, u"a.fTitle,a.fPoet"_s, u"0"_s);
        QVERIFY(triggerEnabled(w->ui.mnuEditTo[3]));
        // Cancelled: nothing written.
        w->ui.cmdEditOk->click();
        QCOMPARE(dialogs.marked(), QStringList{u"?:确认：《早发白帝城》诗词删除？"_s});
        QCOMPARE(poemCount(*fx), 9);
        // A count typed into the (unlocked) count field does not skew the totals.
        dialogs.messages.clear();
        w->ui.txtQty->setText(u"7"_s);
        confirm(*w, true);
        QCOMPARE(dialogs.marked(), (QStringList{u"?:确认：《早发白帝城》诗词删除？"_s, u"i:《早发白帝城》删除完毕！"_s}));
        QVERIFY(poemRow(*fx, 2).isEmpty());
        QCOMPARE((QStringList{w->ui.myTotal->text(), w->ui.mySelect->text()}),
                 (QStringList{u"系统总计：8题 (11首)"_s, u"目前选入：1题 (1首)"_s}));
        QCOMPARE(titles(*w), QStringList{u"静夜思"_s});
        // The next poem is loaded, still locked, ready for the next delete.
        QVERIFY(w->ui.txtTitle->text() == u"静夜思"_s && w->ui.txtTitle->isReadOnly());
        // The last listed poem: the list empties, the fields keep it.
        dialogs.messages.clear();
        confirm(*w, true);
        QCOMPARE(dialogs.texts(), (QStringList{u"确认：《静夜思》诗词删除？"_s, u"《静夜思》删除完毕！"_s}));
        QCOMPARE(w->browse->model()->size(), 0);
        QCOMPARE(w->ui.mySelect->text(), u"目前选入：0题"_s);
        QCOMPARE(w->ui.txtTitle->text(), u"静夜思"_s);
        QVERIFY(!historyIds(*w).contains(1));
        // Once more: the poem is gone.
        confirm(*w, true);
        QCOMPARE(dialogs.marked().last(), u"!:该作者的诗词《静夜思》已不存在，请查验！"_s);
        QCOMPARE(poemCount(*fx), 7);
    }

    // Each write fails inside its transaction: the user is told the store's
    // reason, nothing is written, and the list, counters and fields stay.
    void refusedWrites() {
        auto w = start();
        // (The file itself under failures at every write: the fault injection test.)
        for (const QString& verb : {u"INSERT"_s, u"UPDATE"_s, u"DELETE"_s})
            fx->db().execNative(u"CREATE TRIGGER refuse%1 BEFORE %1 ON Poetry BEGIN SELECT RAISE(ABORT,'写入被拒绝'); END"_s.arg(verb));
        const QStringList counters = {w->ui.myTotal->text(), w->ui.mySelect->text()};
        for (const size_t index : {1, 2, 3}) {
            QVERIFY(triggerEnabled(w->ui.mnuEditTo[index]));
            if (index == 1) fillNew(*w, u"新诗"_s);
            else if (index == 2) w->ui.txtContent->setPlainText(u"新的内容"_s);
            const QString content = w->ui.txtContent->toPlainText();
            QCOMPARE(confirm(*w, true), kRefused);
            QCOMPARE(dialogs.messages.last().icon, MessageSink::Icon::Warning);
            QCOMPARE(poemCount(*fx), 9);
            QCOMPARE(titles(*w), QStringList{u"Moon's Song"_s});
            QCOMPARE((QStringList{w->ui.myTotal->text(), w->ui.mySelect->text()}), counters);
            QCOMPARE(w->ui.txtContent->toPlainText(), content);
        }
        // The connection is usable afterwards: without the trigger the delete goes through.
        fx->db().execNative(u"DROP TRIGGER refuseDELETE"_s);
        QCOMPARE(confirm(*w, true), u"《Moon's Song》删除完毕！"_s);
    }
};

QTEST_MAIN(PoemEditorTest)
#include "poemeditor_test.moc"
