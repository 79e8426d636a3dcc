// The recycle bin: the poem editor's delete and modify keep what they remove,
// the dialog lists and shows it, restores it with its book and bookmark (as a
// new poem when its place is taken, never as a second poem of one title by one
// poet), and empties the bin after a question.
#include "edit/recyclebin.h"
#include "edit/recyclebindialog.h"
#include "support/windowtest.h"

#include <QTreeWidget>

namespace {

QStringList listed(const RecycleBinDialog& d) {
    QStringList out;
    for (int i = 0; i < d.lstBin->topLevelItemCount(); ++i)
        out << QStringList{d.lstBin->topLevelItem(i)->text(0), d.lstBin->topLevelItem(i)->text(1),
                           d.lstBin->topLevelItem(i)->text(3)}.join(u'|');
    return out;
}

// fPoemID, fBookID, fBookmark and fContent of the poems of one title, by id.
QStringList poemsTitled(FixtureDb& fx, const QString& title) {
    SqlStatement st = fx.db().prepareNative(
        QStringLiteral("SELECT fPoemID,fBookID,fBookmark,fContent FROM Poetry WHERE fTitle=?1 ORDER BY fPoemID"));
    st.bind(1, title);
    QStringList out;
    while (st.next()) out << QStringList{st.text(0), st.text(1), st.text(2), st.text(3)}.join(u'|');
    return out;
}

const QString kJingYeSi = QStringLiteral("床前明月光，疑是地上霜。\r\n举头望明月，低头思故乡。");

} // namespace

class RecycleBinTest : public WindowTest {
    Q_OBJECT

private slots:
    // Through the poem editor: 静夜思 (book 唐诗选, bookmark 5) deleted, 春望 changed; listed
    // newest first; the deleted one comes back under its own id, in its book, with its bookmark.
    void deleteAndModifyThenRestore() {
        auto w = start();
        w->FillTitleList(QStringLiteral(" Where a.fPoemID=1"), QStringLiteral("a.fTitle"), QStringLiteral("0"));
        w->ui.mnuEditTo[3]->trigger();
        dialogs.answers = {true};
        w->ui.cmdEditOk->click();
        w->FillTitleList(QStringLiteral(" Where a.fPoemID=3"), QStringLiteral("a.fTitle"), QStringLiteral("0"));
        w->ui.mnuEditTo[2]->trigger();
        w->ui.txtContent->setPlainText(QStringLiteral("新的内容。"));
        w->ui.cmdEditOk->click();
        QCOMPARE(dialogs.marked().filter(QStringLiteral("完毕")),
                 (QStringList{u"i:《静夜思》删除完毕！"_s, u"i:《春望》修改完毕！"_s}));
        RecycleBinDialog bin(w->store().db(), dialogs, true);
        QCOMPARE(listed(bin), (QStringList{u"春望|杜甫|修改前"_s, u"静夜思|李白|删除"_s}));
        QVERIFY(bin.txtBinText->toPlainText().contains(QStringLiteral("国破山河在，城春草木深。\n感时花溅泪")));
        bin.lstBin->setCurrentItem(bin.lstBin->topLevelItem(1));
        QVERIFY(bin.txtBinText->toPlainText().startsWith(QStringLiteral("静夜思\n〔唐〕李白　五言绝句\n")));
        bin.cmdBinRestore->click();
        QCOMPARE(dialogs.marked().last(), u"i:《静夜思》恢复完毕！"_s);
        QCOMPARE(poemsTitled(*fx, QStringLiteral("静夜思")), QStringList{u"1|1|5|"_s + kJingYeSi});
        QCOMPARE(listed(bin), QStringList{u"春望|杜甫|修改前"_s});
    }

    // Restoring by the bin's own rules, with the file changed in between: 静夜思 (1) deleted or
    // 春望 (3) replaced, the SQL run meanwhile, the message, poemsTitled after, the entries left.
    void restore() {
        const struct { int poem; QString meanwhile, message, rows; int left; } cases[] = {
            {1, u"DELETE FROM PoetBook WHERE fBookID=1"_s, u"i:《静夜思》恢复完毕！"_s, u"1|-1|5|"_s + kJingYeSi, 0},
            {1, u"INSERT INTO Poetry (fPoet,fTitle,fContent) VALUES ('李白','静夜思','另一首')"_s,
             u"!:该作者的诗词《静夜思》已有存在，请查验！"_s, u"10|-1|0|另一首"_s, 1},
            {3, QString(), u"!:该作者的诗词《春望》已有存在，请查验！"_s, u"3|1|0|改"_s, 1},
            {3, u"UPDATE Poetry SET fTitle='春望二' WHERE fPoemID=3"_s, u"i:《春望》的原位置已有诗词，已作为新诗词恢复完毕！"_s,
             u"10|1|0|国破山河在，城春草木深。\r\n感时花溅泪，恨别鸟惊心。"_s, 0}};
        for (const auto& c : cases) {
            freshFixture();
            RecycleBin(fx->db()).keep(c.poem, c.poem == 1 ? BinKind::Deleted : BinKind::Replaced);
            fx->db().execNative(c.poem == 1 ? u"DELETE FROM Poetry WHERE fPoemID=1"_s
                                            : u"UPDATE Poetry SET fContent='改' WHERE fPoemID=3"_s);
            if (!c.meanwhile.isEmpty()) fx->db().execNative(c.meanwhile);
            RecycleBinDialog bin(fx->db(), dialogs, true);
            bin.cmdBinRestore->click();
            QCOMPARE(dialogs.marked(), QStringList{c.message});
            QCOMPARE(poemsTitled(*fx, c.poem == 1 ? u"静夜思"_s : u"春望"_s), QStringList{c.rows});
            QCOMPARE(bin.lstBin->topLevelItemCount(), c.left);
        }
    }

    // A file without the bin lists nothing and gains no table by looking; a locked
    // database is shown but not changed; emptying asks first.
    void lookingChangesNothingEmptyingAsksFirst() {
        SqlDatabase& db = fx->db();
        QCOMPARE(RecycleBinDialog(db, dialogs, true).lstBin->topLevelItemCount(), 0);
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name='PoetryBin'")), 0);
        for (int id : {1, 2}) RecycleBin(db).keep(id, BinKind::Replaced);
        RecycleBinDialog locked(db, dialogs, false);
        QCOMPARE(locked.lstBin->topLevelItemCount(), 2);
        QVERIFY(!locked.cmdBinRestore->isEnabled() && !locked.cmdBinEmpty->isEnabled());
        QVERIFY(dialogs.messages.isEmpty());
        RecycleBinDialog bin(db, dialogs, true);
        dialogs.answers = {false, true};
        bin.cmdBinEmpty->click();
        QCOMPARE(bin.lstBin->topLevelItemCount(), 2);
        bin.cmdBinEmpty->click();
        QCOMPARE(bin.lstBin->topLevelItemCount(), 0);
        QCOMPARE(dialogs.marked(), QStringList(2, u"?:确认：清空回收站（2 项）？清空后不能再恢复。"_s));
        QCOMPARE(fx->count(QStringLiteral("SELECT count(*) FROM PoetryBin")), 0);
        QVERIFY(!bin.cmdBinEmpty->isEnabled() && !bin.cmdBinRestore->isEnabled());
    }
};

QTEST_MAIN(RecycleBinTest)
#include "recyclebin_test.moc"
