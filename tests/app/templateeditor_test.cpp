// The template panel through the real widgets: opening and closing it, showing
// a line kind, every field change redrawing the poem, the colour dialog, save,
// save as, delete with the start-up default kept consistent.
#include "app/settings.h"
#include "display/displaycontroller.h"
#include "display/templateeditor.h"
#include "support/windowtest.h"

#include <QRadioButton>
#include <QSignalSpy>
#include <functional>

namespace {

const QString kStandard = QStringLiteral("1# 标准模板");

// Adds a five-row template whose lines are all `size`-point 宋体.
void addTemplate(FixtureDb& fx, const QString& name, int size) {
    for (int k = 0; k < 5; ++k)
        fx.db().execNative(u"INSERT INTO PoetrySet (fModel,fID,fFontName,fFontSize,fFontBold,fFontItalic,fFontUnderline,"
                           "fFontColor,fAlign,fIndent,fHangingIndent,fOffset) VALUES ('%1',%2,'宋体',%3,0,0,0,0,0,1,0,0)"_s
                               .arg(name).arg(k).arg(size));
}

qint64 rowsOf(FixtureDb& fx, const QString& name) { return fx.count(u"SELECT count(*) FROM PoetrySet WHERE fModel='"_s + name + u'\''); }

// A cursor on the shown poem's first content character.
QTextCursor contentCursor(MainWindow& w) {
    QTextCursor c(w.ui.RichTextBox1->document());
    c.setPosition(w.display->PartStart[1] + 1);
    return c;
}
QTextCharFormat contentFormat(MainWindow& w) { return contentCursor(w).charFormat(); }

// A line's face, size, bold, underline, alignment, indents and offset.
QString state(const TemplateLine& l) {
    return QStringList{l.FontName,          QString::number(l.FontSize),      QString::number(l.FontBold),
                       QString::number(l.FontUnderline), QString::number(l.Align), QString::number(l.Indent),
                       QString::number(l.HangingIndent), QString::number(l.Offset)}.join(u' ');
}

} // namespace

class TemplateEditorTest : public WindowTest {
    Q_OBJECT

    // A started and shown window showing 静夜思, its panel open, content line chosen.
    std::unique_ptr<MainWindow> open() {
        auto w = start();
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get())) return nullptr;
        w->FillTitleList(u" Where a.fPoemID=1"_s, u"a.fTitle"_s, u"0"_s);
        w->ui.cmdSetting->click();
        return w;
    }

private slots:
    void openingAndClosingThePanel() {
        auto w = startActive();
        QVERIFY(w);
        QTest::mouseClick(w->ui.cmdSetting, Qt::LeftButton);
        QVERIFY(w->ui.fraModel->isVisible());
        QCOMPARE(w->ui.myState->text(), u"状态：[模板设置]"_s);
        QVERIFY(!w->ui.cmdSetting->isEnabled() && !w->ui.cmdEdit->isEnabled() && !w->ui.cmdSeek->isEnabled());
        QCOMPARE(QApplication::focusWidget(), w->ui.cboModel);
        // The content line after start-up: filling the face list changed no line.
        QCOMPARE(w->ui.cboText->currentText() + w->ui.cboFontName->currentText() + w->ui.cboFontSize->currentText(),
                 u"4-[内容]宋体14"_s);
        // Escape presses 返回>>; the File menu's entry opens it again.
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(w->ui.fraModel->isHidden());
        QCOMPARE(w->ui.myState->text(), u"状态：[查询]"_s);
        QVERIFY(w->ui.cmdSetting->isEnabled() && w->ui.cmdSeek->isEnabled() && w->ui.cmdEdit->isEnabled());
        QVERIFY(triggerEnabled(w->ui.mnuModel));
        QVERIFY(w->ui.fraModel->isVisible());
        QVERIFY(dialogs.messages.isEmpty());
    }

    // Choosing a line kind shows its values and changes nothing; a value that no
    // entry lists leaves its control without a choice. Each field change, one
    // after another on the content line, changes that line only and redraws the
    // poem at once; the indent steps go below zero.
    void lineKindsAndFieldChanges() {
        fx->db().execNative(u"UPDATE PoetrySet SET fFontSize=15, fAlign=7 WHERE fID=2"_s);
        auto w = open();
        QVERIFY(w);
        const Template before = w->display->CurrentTemplate;
        QSignalSpy drawn(w->ui.RichTextBox1, &QTextEdit::textChanged);
        w->ui.cboText->setCurrentIndex(0); // title: 16-point bold 黑体, red, centred
        QCOMPARE(w->ui.cboFontName->currentText() + w->ui.cboFontSize->currentText(), u"黑体16"_s);
        QVERIFY(w->ui.chkFontBold->isChecked() && !w->ui.chkFontItalic->isChecked() && w->ui.optAlign[2]->isChecked());
        QCOMPARE(w->templateEditor->fontColorFace(), QColor(255, 0, 0));
        w->ui.cboText->setCurrentIndex(2);
        QCOMPARE(w->ui.cboFontSize->currentIndex(), -1);
        for (QRadioButton* r : w->ui.optAlign) QVERIFY(!r->isChecked());
        w->ui.cboText->setCurrentIndex(3);
        QVERIFY(!w->ui.chkFontBold->isChecked() && w->ui.optAlign[0]->isChecked());
        QCOMPARE(w->templateEditor->fontColorFace(), QColor(0, 0, 0));
        QCOMPARE(w->display->CurrentTemplate, before);
        QCOMPARE(drawn.count(), 0);

        const auto click = [](QAbstractButton* b) { return [b] { QTest::mouseClick(b, Qt::LeftButton); }; };
        const auto choose = [](QComboBox* cb, const QString& text) {
            return [cb, text] {
                if (cb->findText(text) < 0) cb->addItem(text);
                cb->setCurrentIndex(cb->findText(text));
            };
        };
        // The content line's face, size, bold, underline, align, indent, hanging indent, offset after each step.
        const struct { std::function<void()> act; QString state; } steps[] = {
            {choose(w->ui.cboFontSize, u"8"_s), u"宋体 8 0 0 0 2 0 0"_s},
            {click(w->ui.chkFontBold), u"宋体 8 1 0 0 2 0 0"_s},
            {click(w->ui.chkFontUnderline), u"宋体 8 1 1 0 2 0 0"_s},
            {click(w->ui.optAlign[1]), u"宋体 8 1 1 1 2 0 0"_s},
            {click(w->ui.cmdIndent[0]), u"宋体 8 1 1 1 1 0 0"_s},        // 减少缩进量
            {click(w->ui.cmdHangingIndent[0]), u"宋体 8 1 1 1 1 1 0"_s}, // 悬挂缩进
            {click(w->ui.cmdOffset[0]), u"宋体 8 1 1 1 1 1 -1"_s},       // 文字下移
            {choose(w->ui.cboFontName, u"黑体"_s), u"黑体 8 1 1 1 1 1 -1"_s},
            {[&] { w->ui.cboFontName->lineEdit()->clear(); typeText(w->ui.cboFontName->lineEdit(), u"楷"_s); },
             u"楷 8 1 1 1 1 1 -1"_s},
            {click(w->ui.cmdIndent[0]), u"楷 8 1 1 1 0 1 -1"_s},
            {click(w->ui.cmdIndent[0]), u"楷 8 1 1 1 -1 1 -1"_s}};
        TemplateLine& l = w->display->CurrentTemplate[3];
        for (const auto& step : steps) {
            QSignalSpy redraws(w->ui.RichTextBox1, &QTextEdit::textChanged);
            step.act();
            QCOMPARE(state(l), step.state);
            for (int k : {0, 1, 2, 4}) QCOMPARE(w->display->CurrentTemplate[size_t(k)], before[size_t(k)]);
            QVERIFY2(redraws.count() > 0, qPrintable(step.state));
            const QTextCharFormat cf = contentFormat(*w);
            QCOMPARE(cf.fontPointSize(), double(l.FontSize));
            QCOMPARE(cf.fontWeight() >= QFont::Bold, l.FontBold != 0);
            QCOMPARE(cf.fontUnderline(), l.FontUnderline != 0);
            QVERIFY(contentCursor(*w).blockFormat().alignment() & (l.Align ? Qt::AlignRight : Qt::AlignLeft));
        }
    }

    // The colour dialog, then a save, then a failing save as on the same window (a failing save: fault injection).
    void colourAndSave() {
        auto w = open();
        QVERIFY(w);
        QSignalSpy redraws(w->ui.RichTextBox1, &QTextEdit::textChanged);
        // Cancelled, then the same colour again: nothing changes.
        QTest::mouseClick(w->ui.cmdFontColor, Qt::LeftButton);
        dialogs.colours.push_back(QColor(0, 0, 0));
        QTest::mouseClick(w->ui.cmdFontColor, Qt::LeftButton);
        QCOMPARE(redraws.count(), 0);
        QCOMPARE(w->display->CurrentTemplate[3].FontColor, 0);
        // A new colour: the face, the stored value (red in the lowest byte) and the poem.
        dialogs.colours.push_back(QColor(0x12, 0x34, 0x56));
        QTest::mouseClick(w->ui.cmdFontColor, Qt::LeftButton);
        QCOMPARE(w->templateEditor->fontColorFace(), QColor(0x12, 0x34, 0x56));
        QCOMPARE(w->display->CurrentTemplate[3].FontColor, 0x563412);
        QVERIFY(redraws.count() > 0);
        QCOMPARE(contentFormat(*w).foreground().color(), QColor(0x12, 0x34, 0x56));

        QTest::mouseClick(w->ui.chkFontItalic, Qt::LeftButton);
        for (int i = 0; i < 3; ++i) QTest::mouseClick(w->ui.cmdIndent[0], Qt::LeftButton);
        QTest::mouseClick(w->ui.cmdSave, Qt::LeftButton);
        QCOMPARE(dialogs.marked(), QStringList{u"i:模板设置保存完毕!"_s});
        QCOMPARE(rowsOf(*fx, kStandard), 5);
        QCOMPARE(fx->text(u"SELECT fFontItalic || '/' || fIndent || '/' || fFontColor FROM PoetrySet WHERE fID=3"_s),
                 u"1/-1/5649426"_s);
        QCOMPARE(fx->count(u"SELECT count(*) FROM PoetrySet WHERE fFontItalic<>0"_s), 1);

        fx->db().execNative(u"CREATE TRIGGER diskfull BEFORE INSERT ON PoetrySet WHEN NEW.fID=4 "
                            "BEGIN SELECT RAISE(ABORT,'database or disk is full'); END"_s);
        dialogs = ScriptedDialogs();
        // Save as: the failure is reported and the name is not listed.
        dialogs.inputs.push_back(u"2# 新模板"_s);
        dialogs.answers.push_back(true);
        QTest::mouseClick(w->ui.cmdSaveTo, Qt::LeftButton);
        QCOMPARE(dialogs.texts().last(), u"模板保存出错:database or disk is full"_s);
        QCOMPARE(items(w->ui.cboModel), QStringList{kStandard});
        QCOMPARE(rowsOf(*fx, u"2# 新模板"_s), 0);
    }

    // Closing keeps unsaved changes until a template is chosen. Save as: every
    // refusal in turn, then a new template: selected and loaded, not the default.
    void closingAndSaveAs() {
        const QStringList names = {kStandard, u"2# 大字"_s, u"2# 大字 a"_s};
        for (int i : {1, 2}) addTemplate(*fx, names[i], 20);
        auto w = open();
        QVERIFY(w);
        w->ui.cboFontSize->setCurrentIndex(w->ui.cboFontSize->findText(u"28"_s));
        w->ui.cmdSaveCancel->click();
        w->FillTitleList(u" Where a.fPoemID=3"_s, u"a.fTitle"_s, u"0"_s);
        QCOMPARE(w->ui.RichTextBox1->document()->firstBlock().text(), u"春望 (杜甫·唐)"_s);
        QCOMPARE(contentFormat(*w).fontPointSize(), 28.0);
        QCOMPARE(fx->count(u"SELECT fFontSize FROM PoetrySet WHERE fID=3 AND fModel='1# 标准模板'"_s), 14);
        w->ui.cmdSetting->click();
        w->ui.cboModel->setCurrentIndex(1);
        w->ui.cboModel->setCurrentIndex(0);
        QCOMPARE(contentFormat(*w).fontPointSize(), 14.0);

        QTest::mouseClick(w->ui.chkFontUnderline, Qt::LeftButton);
        const QString exists = u"该模板已有存在, 不可新建 !"_s, ask = u"确定: 新建模板 [3# 新] ?"_s;
        // The input (null: the box cancelled), the answer, the messages after the prompt.
        const struct { QString input; bool answer; QString messages; } steps[] = {
            {QString(), false, QString()}, {QStringLiteral(""), false, QString()}, {kStandard, false, QString()},
            {names[1], false, exists}, {u"2# 大字 A"_s, false, exists}, {u"3# 新"_s, false, ask},
            {u"3# 新"_s, true, ask + u"|模板新增完毕!"_s}};
        for (const auto& s : steps) {
            dialogs = ScriptedDialogs();
            if (!s.input.isNull()) dialogs.inputs.push_back(s.input);
            dialogs.answers.push_back(s.answer);
            QTest::mouseClick(w->ui.cmdSaveTo, Qt::LeftButton);
            QCOMPARE(dialogs.marked().value(0),
                     u"-:请输入新模板名称: \r\n\r\n    系统将把当前摸板的数据保存到新模板中. @摸板新建"_s);
            QCOMPARE(dialogs.texts().mid(1).join(u'|'), s.messages);
            QCOMPARE(items(w->ui.cboModel), s.answer ? names + QStringList{u"3# 新"_s} : names);
            QCOMPARE(rowsOf(*fx, u"3# 新"_s), s.answer ? 5 : 0);
            QCOMPARE(w->ui.cboModel->currentIndex(), s.answer ? 3 : 0);
        }
        QVERIFY(!w->ui.chkModel->isChecked() && w->ui.chkModel->isEnabled());
        QCOMPARE(w->ui.myModel->text(), u"诗词模板：3# 新"_s);
        QVERIFY(contentFormat(*w).fontUnderline());
    }

    // The saved default stays on its template, or moves to the one before when
    // deleted; the first template is selected and loaded.
    void deleteKeepsTheDefault() {
        const QStringList names = {kStandard, u"2# 甲"_s, u"3# 乙"_s, u"4# 丙"_s};
        const struct { int defaultAt, deleteAt, defaultAfter; } cases[] = {{3, 3, 2}, {0, 0, 0}, {2, 0, 1}, {1, 3, 1}};
        for (const auto& c : cases) {
            freshFixture();
            for (int i = 1; i < 4; ++i) addTemplate(*fx, names[i], 10 + i);
            Settings::setDefaultModel(names[c.defaultAt]);
            auto w = open();
            QVERIFY(w);
            w->ui.cboModel->setCurrentIndex(c.deleteAt);
            dialogs.answers = {true, true};
            QTest::mouseClick(w->ui.cmdDel, Qt::LeftButton);
            QStringList left = names;
            left.removeAt(c.deleteAt);
            QCOMPARE(items(w->ui.cboModel), left);
            QCOMPARE(rowsOf(*fx, names[c.deleteAt]), 0);
            QCOMPARE(Settings::defaultModel(), left[c.defaultAfter]);
            QCOMPARE(w->ui.myModel->text(), u"诗词模板："_s + left[0]);
            QCOMPARE(w->ui.chkModel->isChecked(), c.defaultAfter == 0);
            QCOMPARE(contentFormat(*w).fontPointSize(), left[0] == kStandard ? 14.0 : 11.0);
        }
    }

    // Either question cancelled keeps the template; the Delete key asks the same;
    // the last template left is refused; locked, neither button nor key deletes.
    void deleteQuestionsAndRefusals() {
        addTemplate(*fx, u"2# 甲"_s, 11);
        auto w = open();
        QVERIFY(w);
        const QString first = u"?:确认: 删除模板 [2# 甲] ?"_s, last = u"?:最后确认: 模板删除后,将不可恢复 !?"_s;
        const struct { QList<bool> answers; bool key; QStringList messages; qint64 rowsLeft; } steps[] = {
            {{false}, false, {first}, 5}, {{true, false}, false, {first, last}, 5}, {{true, true}, true, {first, last}, 0},
            {{true}, false, {u"?:确认: 删除模板 [1# 标准模板] ?"_s, u"!:系统目前仅有一个模板, 不可删除!"_s}, 0}};
        w->ui.cboModel->setCurrentIndex(1);
        w->ui.cboModel->setFocus();
        for (const auto& s : steps) {
            dialogs = ScriptedDialogs();
            for (bool a : s.answers) dialogs.answers.push_back(a);
            if (s.key) QTest::keyClick(w->ui.cboModel, Qt::Key_Delete);
            else QTest::mouseClick(w->ui.cmdDel, Qt::LeftButton);
            QCOMPARE(dialogs.marked(), s.messages);
            QCOMPARE(rowsOf(*fx, u"2# 甲"_s), s.rowsLeft);
            QCOMPARE(rowsOf(*fx, kStandard), 5);
        }
        QCOMPARE(items(w->ui.cboModel), QStringList{kStandard});

        // Locked: the button is disabled and the key does nothing either (not even refuse).
        w.reset();
        Settings::setDefaultLocked(0);
        w = open();
        QVERIFY(w && !w->ui.cmdDel->isEnabled());
        dialogs = ScriptedDialogs();
        dialogs.answers = {true, true};
        QTest::keyClick(w->ui.cboModel, Qt::Key_Delete);
        QVERIFY(dialogs.messages.isEmpty()); // unlocked, the last template is refused with a message
    }
};

QTEST_MAIN(TemplateEditorTest)
#include "templateeditor_test.moc"
