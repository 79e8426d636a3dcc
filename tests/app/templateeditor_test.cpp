// The template panel through the real widgets: opening and closing it, showing
// a line kind, every field change redrawing the poem, the colour dialog, save,
// save as, delete with the start-up default kept consistent.
#include "app/settings.h"
#include "display/displaycontroller.h"
#include "display/templateeditor.h"
#include "support/windowtest.h"

#include <QRadioButton>
#include <QSignalSpy>

namespace {

const QString kStandard = QStringLiteral("1# 标准模板");

// Adds a five-row template whose lines are all `size`-point 宋体.
void addTemplate(FixtureDb& fx, const QString& name, int size) {
    for (int k = 0; k < 5; ++k)
        fx.db().execNative(QStringLiteral("INSERT INTO PoetrySet (fModel,fID,fFontName,fFontSize,fFontBold,fFontItalic,"
                                          "fFontUnderline,fFontColor,fAlign,fIndent,fHangingIndent,fOffset) VALUES "
                                          "('%1',%2,'宋体',%3,0,0,0,0,0,1,0,0)")
                               .arg(name)
                               .arg(k)
                               .arg(size));
}

qint64 rowsOf(FixtureDb& fx, const QString& name) {
    return fx.count(QStringLiteral("SELECT count(*) FROM PoetrySet WHERE fModel='") + name + u'\'');
}

// The character format of the shown poem's content (its first character).
QTextCharFormat contentFormat(MainWindow& w) {
    QTextCursor c(w.ui.RichTextBox1->document());
    c.setPosition(w.display->PartStart[1] + 1);
    return c.charFormat();
}

QTextBlockFormat contentBlock(MainWindow& w) {
    QTextCursor c(w.ui.RichTextBox1->document());
    c.setPosition(w.display->PartStart[1] + 1);
    return c.blockFormat();
}

} // namespace

class TemplateEditorTest : public WindowTest {
    Q_OBJECT

    // A started and shown window showing 静夜思, its panel open, content line chosen.
    std::unique_ptr<MainWindow> open() {
        auto w = start();
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get())) return nullptr;
        w->FillTitleList(QStringLiteral(" Where a.fPoemID=1"), QStringLiteral("a.fTitle"), QStringLiteral("0"));
        w->ui.cmdSetting->click();
        return w;
    }

private slots:
    void openingAndClosingThePanel() {
        auto w = startActive();
        QVERIFY(w);
        const int paneTopBefore = w->ui.RichTextBox1->y();
        QTest::mouseClick(w->ui.cmdSetting, Qt::LeftButton);
        QVERIFY(w->ui.fraModel->isVisible());
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[模板设置]"));
        QVERIFY(!w->ui.cmdSetting->isEnabled() && !w->ui.cmdEdit->isEnabled() && !w->ui.cmdSeek->isEnabled());
        QCOMPARE(QApplication::focusWidget(), w->ui.cboModel);
        QVERIFY(w->ui.RichTextBox1->y() > paneTopBefore);
        // The controls show the content line after start-up: 14-point 宋体;
        // filling the face list at start-up changed no line.
        QCOMPARE(w->ui.cboText->currentText(), QStringLiteral("4-[内容]"));
        QCOMPARE(w->ui.cboFontName->currentText() + w->ui.cboFontSize->currentText(), QStringLiteral("宋体14"));

        // Escape presses 返回>>.
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(w->ui.fraModel->isHidden());
        QCOMPARE(w->ui.myState->text(), QStringLiteral("状态：[查询]"));
        QVERIFY(w->ui.cmdSetting->isEnabled() && w->ui.cmdSeek->isEnabled() && w->ui.cmdEdit->isEnabled());
        QCOMPARE(w->ui.RichTextBox1->y(), paneTopBefore);

        // The File menu's entry opens it as well.
        QVERIFY(triggerEnabled(w->ui.mnuModel));
        QVERIFY(w->ui.fraModel->isVisible());
        QVERIFY(dialogs.messages.isEmpty());
    }

    // The format row: every alignment caption is shown whole, and the row's
    // buttons stand side by side, none over another or past the separator.
    void formatRowFitsItsCaptions() {
        auto w = start();
        QWidget* row[] = {w->ui.optAlign[0],         w->ui.optAlign[1],         w->ui.optAlign[2],
                          w->ui.cmdIndent[0],        w->ui.cmdIndent[1],        w->ui.cmdHangingIndent[0],
                          w->ui.cmdHangingIndent[1], w->ui.cmdOffset[0],        w->ui.cmdOffset[1]};
        for (int i = 0; i < 3; ++i)
            QVERIFY2(row[i]->width() >= row[i]->sizeHint().width(), qPrintable(row[i]->objectName()));
        for (size_t i = 1; i < std::size(row); ++i)
            QVERIFY2(row[i]->x() >= row[i - 1]->geometry().right() + 1, qPrintable(row[i]->objectName()));
        QVERIFY(row[std::size(row) - 1]->geometry().right() < w->ui.Line6->x());
    }

    // Choosing a line kind shows its values and changes nothing; a value that no
    // entry lists leaves its control without a choice.
    void showingALineKindChangesNothing() {
        fx->db().execNative(QStringLiteral("UPDATE PoetrySet SET fFontSize=15, fAlign=7 WHERE fID=2"));
        auto w = open();
        QVERIFY(w);
        const Template before = w->display->CurrentTemplate;
        QSignalSpy redraws(w->ui.RichTextBox1, &QTextEdit::textChanged);
        w->ui.cboText->setCurrentIndex(0);
        // Title line: 16-point bold 黑体, red, centred.
        QCOMPARE(w->ui.cboFontName->currentText() + w->ui.cboFontSize->currentText(), QStringLiteral("黑体16"));
        QVERIFY(w->ui.chkFontBold->isChecked() && !w->ui.chkFontItalic->isChecked());
        QCOMPARE(w->templateEditor->fontColorFace(), QColor(255, 0, 0));
        QVERIFY(w->ui.optAlign[2]->isChecked());
        w->ui.cboText->setCurrentIndex(3);
        QVERIFY(!w->ui.chkFontBold->isChecked() && w->ui.optAlign[0]->isChecked());
        QCOMPARE(w->templateEditor->fontColorFace(), QColor(0, 0, 0));
        w->ui.cboText->setCurrentIndex(2);
        QCOMPARE(w->ui.cboFontSize->currentIndex(), -1);
        for (QRadioButton* r : w->ui.optAlign) QVERIFY(!r->isChecked());
        QCOMPARE(w->display->CurrentTemplate, before);
        QCOMPARE(redraws.count(), 0);
    }

    // Each field change, one after another on the content line of the fixture's
    // template (14-point 宋体, indent 2), redraws the poem at once.
    void fieldChangesRedraw() {
        const struct {
            QString action, field, expected;
        } steps[] = {{u"size 8"_s, u"FontSize"_s, u"8"_s},
                     {u"chkFontBold"_s, u"FontBold"_s, u"1"_s},
                     {u"chkFontUnderline"_s, u"FontUnderline"_s, u"1"_s},
                     {u"optAlign_1"_s, u"Align"_s, u"1"_s},
                     {u"cmdIndent_0"_s, u"Indent"_s, u"1"_s},        // 减少缩进量
                     {u"cmdHangingIndent_0"_s, u"HangingIndent"_s, u"1"_s}, // 悬挂缩进
                     {u"cmdOffset_0"_s, u"Offset"_s, u"-1"_s},       // 文字下移
                     {u"pick 黑体"_s, u"FontName"_s, u"黑体"_s},
                     {u"type 楷"_s, u"FontName"_s, u"楷"_s}};
        auto w = open();
        QVERIFY(w);
        const Template before = w->display->CurrentTemplate;
        for (const auto& step : steps) {
            const QString& action = step.action;
            QSignalSpy redraws(w->ui.RichTextBox1, &QTextEdit::textChanged);
            if (action.startsWith(QStringLiteral("size "))) {
                w->ui.cboFontSize->setCurrentIndex(w->ui.cboFontSize->findText(action.mid(5)));
            } else if (action.startsWith(QStringLiteral("pick "))) {
                w->ui.cboFontName->addItem(action.mid(5));
                w->ui.cboFontName->setCurrentIndex(w->ui.cboFontName->findText(action.mid(5)));
            } else if (action.startsWith(QStringLiteral("type "))) {
                w->ui.cboFontName->lineEdit()->clear();
                typeText(w->ui.cboFontName->lineEdit(), action.mid(5));
            } else {
                auto* b = w->findChild<QAbstractButton*>(action);
                QVERIFY2(b, qPrintable(action));
                QTest::mouseClick(b, Qt::LeftButton);
            }
            const TemplateLine& l = w->display->CurrentTemplate[3];
            const QMap<QString, QString> now = {
                {u"FontName"_s, l.FontName}, {u"FontSize"_s, QString::number(l.FontSize)},
                {u"FontBold"_s, QString::number(l.FontBold)}, {u"FontUnderline"_s, QString::number(l.FontUnderline)},
                {u"Align"_s, QString::number(l.Align)}, {u"Indent"_s, QString::number(l.Indent)},
                {u"HangingIndent"_s, QString::number(l.HangingIndent)}, {u"Offset"_s, QString::number(l.Offset)}};
            QCOMPARE(now.value(step.field), step.expected);
            // Only the content line changed, and the poem was drawn again at once.
            for (int k : {0, 1, 2, 4}) QCOMPARE(w->display->CurrentTemplate[size_t(k)], before[size_t(k)]);
            QVERIFY2(redraws.count() > 0, qPrintable(action));
            const QTextCharFormat cf = contentFormat(*w);
            QCOMPARE(cf.fontPointSize(), double(l.FontSize));
            QCOMPARE(cf.fontWeight() >= QFont::Bold, l.FontBold != 0);
            QCOMPARE(cf.fontUnderline(), l.FontUnderline != 0);
            const Qt::Alignment align[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
            QVERIFY(contentBlock(*w).alignment() & align[l.Align]);
        }
    }

    void stepButtonsHaveNoBound() {
        fx->db().execNative(QStringLiteral("UPDATE PoetrySet SET fIndent=1 WHERE fID=3"));
        auto w = open();
        QVERIFY(w);
        for (int i = 0; i < 3; ++i) QTest::mouseClick(w->ui.cmdIndent[0], Qt::LeftButton);
        QCOMPARE(int(w->display->CurrentTemplate[3].Indent), -2);
        for (int i = 0; i < 4; ++i) QTest::mouseClick(w->ui.cmdOffset[0], Qt::LeftButton);
        QCOMPARE(int(w->display->CurrentTemplate[3].Offset), -4);
        // The ends of the 16-bit range hold instead of wrapping to the other end.
        w->display->CurrentTemplate[3].HangingIndent = 32767;
        QTest::mouseClick(w->ui.cmdHangingIndent[0], Qt::LeftButton);
        QCOMPARE(int(w->display->CurrentTemplate[3].HangingIndent), 32767);
    }

    void emptyTitleListDrawsNothing() {
        auto w = open();
        QVERIFY(w);
        w->FillTitleList(QStringLiteral(" Where a.fPoemID=-5"), QStringLiteral("a.fTitle"), QStringLiteral("0"));
        QCOMPARE(w->browse->model()->size(), 0);
        const QString shown = w->ui.RichTextBox1->toPlainText();
        QSignalSpy redraws(w->ui.RichTextBox1, &QTextEdit::textChanged);
        QTest::mouseClick(w->ui.chkFontBold, Qt::LeftButton);
        w->ui.cboFontSize->setCurrentIndex(0);
        QCOMPARE(int(w->display->CurrentTemplate[3].FontBold), 1);
        QCOMPARE(int(w->display->CurrentTemplate[3].FontSize), 8);
        QCOMPARE(redraws.count(), 0);
        QCOMPARE(w->ui.RichTextBox1->toPlainText(), shown);
    }

    void colourDialog() {
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
    }

    void closingKeepsUnsavedChanges() {
        addTemplate(*fx, QStringLiteral("2# 大字"), 20);
        auto w = open();
        QVERIFY(w);
        w->ui.cboFontSize->setCurrentIndex(w->ui.cboFontSize->findText(QStringLiteral("28")));
        w->ui.cmdSaveCancel->click();
        // Another poem, shown with the changed content size.
        w->FillTitleList(QStringLiteral(" Where a.fPoemID=3"), QStringLiteral("a.fTitle"), QStringLiteral("0"));
        QCOMPARE(w->ui.RichTextBox1->document()->firstBlock().text(), QStringLiteral("春望 (杜甫·唐)"));
        QCOMPARE(contentFormat(*w).fontPointSize(), 28.0);
        QCOMPARE(fx->count(QStringLiteral("SELECT fFontSize FROM PoetrySet WHERE fID=3 AND fModel='1# 标准模板'")), 14);
        // Choosing a template drops the change.
        w->ui.cmdSetting->click();
        w->ui.cboModel->setCurrentIndex(1);
        w->ui.cboModel->setCurrentIndex(0);
        QCOMPARE(contentFormat(*w).fontPointSize(), 14.0);
    }

    void saveWritesTheCurrentTemplate() {
        auto w = open();
        QVERIFY(w);
        QTest::mouseClick(w->ui.chkFontItalic, Qt::LeftButton);
        QTest::mouseClick(w->ui.cmdIndent[0], Qt::LeftButton);
        QTest::mouseClick(w->ui.cmdIndent[0], Qt::LeftButton);
        QTest::mouseClick(w->ui.cmdIndent[0], Qt::LeftButton);
        QTest::mouseClick(w->ui.cmdSave, Qt::LeftButton);
        QCOMPARE(dialogs.marked(), QStringList{u"i:模板设置保存完毕!"_s});
        QCOMPARE(rowsOf(*fx, kStandard), 5);
        QCOMPARE(fx->count(QStringLiteral("SELECT fFontItalic FROM PoetrySet WHERE fID=3")), 1);
        QCOMPARE(fx->count(QStringLiteral("SELECT fIndent FROM PoetrySet WHERE fID=3")), -1);
        QCOMPARE(fx->count(QStringLiteral("SELECT fFontItalic FROM PoetrySet WHERE fID=2")), 0);
    }

    void aFailedSaveWritesNothing() {
        fx->db().execNative(QStringLiteral("CREATE TRIGGER diskfull BEFORE INSERT ON PoetrySet WHEN NEW.fID=4 "
                                           "BEGIN SELECT RAISE(ABORT,'database or disk is full'); END"));
        fx->db().execNative(QStringLiteral("CREATE TRIGGER stuck BEFORE UPDATE ON PoetrySet WHEN NEW.fID=4 "
                                           "BEGIN SELECT RAISE(ABORT,'database is locked'); END"));
        auto w = open();
        QVERIFY(w);
        QTest::mouseClick(w->ui.chkFontBold, Qt::LeftButton);
        QVERIFY(!w->templateEditor->SaveTemplate(kStandard, TemplateWriteMode::Save));
        QCOMPARE(dialogs.marked(), QStringList{u"!:模板保存出错:database is locked"_s});
        QCOMPARE(fx->count(QStringLiteral("SELECT fFontBold FROM PoetrySet WHERE fID=3")), 0);
        // Save as: the failure is reported and the name is not listed.
        dialogs = ScriptedDialogs();
        dialogs.inputs.push_back(QStringLiteral("2# 新模板"));
        dialogs.answers.push_back(true);
        QTest::mouseClick(w->ui.cmdSaveTo, Qt::LeftButton);
        QCOMPARE(dialogs.texts().last(), QStringLiteral("模板保存出错:database or disk is full"));
        QCOMPARE(items(w->ui.cboModel), QStringList{kStandard});
        QCOMPARE(rowsOf(*fx, QStringLiteral("2# 新模板")), 0);
    }

    void saveAs_data() {
        QTest::addColumn<QString>("input"); // null: the input box cancelled
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("messages"); // after the prompt, "|"-joined
        QTest::addColumn<QString>("added");    // the template listed last, if any
        const QString exists = QStringLiteral("该模板已有存在, 不可新建 !");
        QTest::newRow("cancelled") << QString() << false << "" << "";
        QTest::newRow("empty") << "" << false << "" << "";
        QTest::newRow("current name") << kStandard << false << "" << "";
        QTest::newRow("listed name") << "2# 大字" << false << exists << "";
        QTest::newRow("listed name in other case") << "2# 大字 A" << false << exists << "2# 大字 a";
        QTest::newRow("question cancelled") << "3# 新" << false << "确定: 新建模板 [3# 新] ?" << "";
        QTest::newRow("new") << "3# 新" << true << "确定: 新建模板 [3# 新] ?|模板新增完毕!" << "3# 新";
    }
    void saveAs() {
        QFETCH(QString, input);
        QFETCH(bool, answer);
        QFETCH(QString, messages);
        QFETCH(QString, added);
        addTemplate(*fx, QStringLiteral("2# 大字"), 20);
        if (added == u"2# 大字 a") addTemplate(*fx, added, 20);
        auto w = open();
        QVERIFY(w);
        QTest::mouseClick(w->ui.chkFontUnderline, Qt::LeftButton);
        if (!input.isNull()) dialogs.inputs.push_back(input);
        dialogs.answers.push_back(answer);
        QTest::mouseClick(w->ui.cmdSaveTo, Qt::LeftButton);
        QCOMPARE(dialogs.marked().value(0),
                 QStringLiteral("-:请输入新模板名称: \r\n\r\n    系统将把当前摸板的数据保存到新模板中. @摸板新建"));
        QCOMPARE(dialogs.texts().mid(1).join(u'|'), messages);
        QCOMPARE(items(w->ui.cboModel), (QStringList{kStandard, u"2# 大字"_s} + (added.isEmpty() ? QStringList{} : QStringList{added})));
        const bool created = added == u"3# 新";
        QCOMPARE(rowsOf(*fx, QStringLiteral("3# 新")), created ? 5 : 0);
        // The new template is selected and loaded: not the default, so the box is clear and enabled.
        QCOMPARE(w->ui.cboModel->currentIndex(), created ? 2 : 0);
        if (created) {
            QVERIFY(!w->ui.chkModel->isChecked() && w->ui.chkModel->isEnabled());
            QCOMPARE(w->ui.myModel->text(), QStringLiteral("诗词模板：3# 新"));
            QVERIFY(contentFormat(*w).fontUnderline());
        }
    }

    void deleteKeepsTheDefault_data() {
        QTest::addColumn<int>("defaultAt");
        QTest::addColumn<int>("deleteAt");
        QTest::addColumn<int>("defaultAfter");
        QTest::addColumn<QString>("savedDefault");
        // Templates listed: 1# 标准模板, 2# 甲, 3# 乙, 4# 丙.
        QTest::newRow("default at 3 deleted") << 3 << 3 << 2 << "3# 乙";
        QTest::newRow("default at 0 deleted") << 0 << 0 << 0 << "2# 甲";
        QTest::newRow("one before the default") << 2 << 0 << 1 << "3# 乙";
        QTest::newRow("one after the default") << 1 << 3 << 1 << "2# 甲";
    }

    void deleteKeepsTheDefault() {
        QFETCH(int, defaultAt);
        QFETCH(int, deleteAt);
        QFETCH(int, defaultAfter);
        QFETCH(QString, savedDefault);
        const QStringList names = {kStandard, u"2# 甲"_s, u"3# 乙"_s, u"4# 丙"_s};
        for (int i = 1; i < 4; ++i) addTemplate(*fx, names[i], 10 + i);
        Settings::setDefaultModel(names[defaultAt]);
        auto w = open();
        QVERIFY(w);
        QCOMPARE(items(w->ui.cboModel), names);
        w->ui.cboModel->setCurrentIndex(deleteAt);
        dialogs.answers = {true, true};
        QTest::mouseClick(w->ui.cmdDel, Qt::LeftButton);
        QCOMPARE(dialogs.texts(), (QStringList{u"确认: 删除模板 ["_s + names[deleteAt] + u"] ?"_s, u"最后确认: 模板删除后,将不可恢复 !?"_s}));
        QStringList left = names;
        left.removeAt(deleteAt);
        QCOMPARE(items(w->ui.cboModel), left);
        QCOMPARE(rowsOf(*fx, names[deleteAt]), 0);
        QCOMPARE(Settings::defaultModel(), savedDefault);
        QCOMPARE(left[defaultAfter], savedDefault);
        // The first template is selected and loaded.
        QCOMPARE(w->ui.myModel->text(), QStringLiteral("诗词模板：") + left[0]);
        QCOMPARE(w->ui.chkModel->isChecked(), defaultAfter == 0);
        QCOMPARE(contentFormat(*w).fontPointSize(), left[0] == kStandard ? 14.0 : 11.0);
    }

    void deleteRefusals_data() {
        QTest::addColumn<bool>("two");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("messages");
        const QString first = QStringLiteral("?:确认: 删除模板 [1# 标准模板] ?");
        const QString last = QStringLiteral("?:最后确认: 模板删除后,将不可恢复 !?");
        QTest::newRow("only one template") << false << QList<bool>{true}
                                           << QStringList{first, u"!:系统目前仅有一个模板, 不可删除!"_s};
        QTest::newRow("first question cancelled") << true << QList<bool>{false} << QStringList{first};
        QTest::newRow("last question cancelled") << true << QList<bool>{true, false} << QStringList{first, last};
    }

    void deleteRefusals() {
        QFETCH(bool, two);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, messages);
        if (two) addTemplate(*fx, QStringLiteral("2# 甲"), 11);
        auto w = open();
        QVERIFY(w);
        for (bool a : answers) dialogs.answers.push_back(a);
        QTest::mouseClick(w->ui.cmdDel, Qt::LeftButton);
        QCOMPARE(dialogs.marked(), messages);
        QCOMPARE(rowsOf(*fx, kStandard), 5);
        QCOMPARE(w->ui.cboModel->count(), two ? 2 : 1);
    }

    void deleteKeyStartsTheQuestions() {
        addTemplate(*fx, QStringLiteral("2# 甲"), 11);
        auto w = open();
        QVERIFY(w);
        w->ui.cboModel->setCurrentIndex(1);
        w->ui.cboModel->setFocus();
        dialogs.answers = {true, true};
        QTest::keyClick(w->ui.cboModel, Qt::Key_Delete);
        QCOMPARE(dialogs.texts().first(), QStringLiteral("确认: 删除模板 [2# 甲] ?"));
        QCOMPARE(items(w->ui.cboModel), QStringList{kStandard});
        // Locked: the delete button is disabled and the key does nothing either.
        addTemplate(*fx, QStringLiteral("3# 乙"), 11);
        w.reset();
        Settings::setDefaultLocked(0);
        dialogs = ScriptedDialogs();
        w = open();
        QVERIFY(w);
        QVERIFY(!w->ui.cmdDel->isEnabled());
        dialogs.answers = {true, true};
        QTest::keyClick(w->ui.cboModel, Qt::Key_Delete);
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(w->ui.cboModel->count(), 2);
    }
};

QTEST_MAIN(TemplateEditorTest)
#include "templateeditor_test.moc"
