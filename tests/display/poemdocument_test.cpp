// The poem layout applied to a real text document and pane, offscreen: the
// text, paragraphs and positions the pane ends up with, and its formats.
#include "display/poemdocument.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

PoemFields quietNight() {
    return {u"静夜思"_s, u"李白"_s, u"唐"_s, u"序一\r\n序二"_s, u"床前明月光，疑是地上霜。\r\n举头望明月，低头思故乡。"_s,
            u"注：思乡"_s};
}

// Every line kind recognisably different.
Template distinctTemplate() {
    // face, size, bold, italic, underline, colour (0xBBGGRR), align, indent, hanging indent, offset
    Template t;
    t[TitleLine] = {u"黑体"_s, 16, 1, 0, 0, 0x0000FF, 2, 0, 0, 0};   // red, centred
    t[AuthorLine] = {u"宋体"_s, 10, 0, 0, 0, 0xFF0000, 0, 0, 0, 0};  // blue
    t[PrefaceLine] = {u"宋体"_s, 9, 0, 1, 0, 0, 1, 0, 0, 0};         // italic, right
    t[ContentLine] = {u"宋体"_s, 12, 0, 0, 1, 0, 0, 2, -2, 1};       // underlined, raised
    t[NotesLine] = {u"宋体"_s, 9, 0, 0, 0, 0x008000, 0, 0, 0, 0};    // green
    return t;
}

// The format of the character at `pos` (the cursor reports the one before it).
QTextCharFormat charAt(QTextDocument* doc, int pos) {
    QTextCursor c(doc);
    c.setPosition(pos + 1);
    return c.charFormat();
}

} // namespace

class PoemDocumentTest : public QObject {
    Q_OBJECT

private slots:
    // The pane holds the layout's text in its paragraphs, each part beginning
    // exactly at its start, also with characters outside the BMP and the pane's
    // own separators; another poem replaces everything, first block included.
    void paneHoldsTheLayoutsTextAndPositions() {
        QTextEdit pane;
        PoemFields unusual = quietNight();
        unusual.title = u"𠀀月"_s;
        unusual.content = u"𠀀月\u2029二\u2028三\u00A0四\r五\n\r六"_s;
        for (const PoemFields& p : {quietNight(), unusual}) {
            const PoemLayout layout = BuildPoemLayout(p);
            ApplyPoemLayout(layout, distinctTemplate(), &pane);
            QTextDocument* doc = pane.document();
            QCOMPARE(pane.toPlainText(), layout.plainText());
            QCOMPARE(doc->blockCount(), int(layout.paragraphs.size()));
            QCOMPARE(QString(doc->characterAt(layout.PartStart[0])) + doc->characterAt(layout.PartStart[2]), u"序注"_s);
            QCOMPARE(doc->characterAt(layout.PartStart[1]), p.content.at(0));
            QCOMPARE(layout.PartStart[3], doc->characterCount() - 1);
        }
        ApplyPoemLayout(BuildPoemLayout(PoemFields{u"题"_s, {}, {}, {}, {}, {}}), DefaultTemplate(), &pane);
        QCOMPARE(pane.toPlainText(), u"题 (·)\n\n\n\n"_s);
        QVERIFY(!charAt(pane.document(), 0).font().bold());
    }

    void charactersTakeTheirLineKindsFormat() {
        QTextEdit pane;
        const PoemLayout layout = BuildPoemLayout(quietNight());
        ApplyPoemLayout(layout, distinctTemplate(), &pane);
        QTextDocument* doc = pane.document();
        const QTextCharFormat title = charAt(doc, 0);
        QCOMPARE(title.fontFamilies().toStringList().value(0) + QString::number(title.fontPointSize()), u"黑体16"_s);
        QVERIFY(title.font().bold());
        QCOMPARE(title.foreground().color(), QColor(255, 0, 0));
        QCOMPARE(charAt(doc, 4).foreground().color(), QColor(0, 0, 255)); // the bracket is the author's
        QVERIFY(charAt(doc, layout.PartStart[0]).fontItalic());
        const QTextCharFormat content = charAt(doc, layout.PartStart[1] + 3);
        QVERIFY(content.fontUnderline() && !content.fontItalic());
        QCOMPARE(content.baselineOffset(), 20.0);
        // An empty line is as high as its own line kind's font; so is the first
        // block's own format, which the pane had before the poem came.
        QCOMPARE(doc->begin().charFormat().fontPointSize(), 10.0);
        QCOMPARE(doc->findBlock(layout.PartStart[2] - 1).charFormat().fontPointSize(), 12.0);
        // The first line takes the author line's paragraph format, not the title's.
        QCOMPARE(doc->begin().blockFormat().alignment(), Qt::AlignLeft);
        QCOMPARE(doc->findBlock(layout.PartStart[0]).blockFormat().alignment(), Qt::AlignRight);
    }

    // Each content line starts two measured widths in, a wrapped line at the edge; the width
    // follows the font size. A range past the end stops at the end; one inside a pair takes the pair.
    void indentsMeasuresAndSelections() {
        QTextEdit pane;
        TemplateLine large;
        large.FontSize = 18;
        QVERIFY(qAbs(MeasureCharWidth(large, &pane) - 2 * MeasureCharWidth(TemplateLine{}, &pane)) <= 1);
        QVERIFY(MeasureCharHeight(large, &pane) > MeasureCharHeight(TemplateLine{}, &pane));
        const Template t = distinctTemplate();
        const qint32 w = MeasureCharWidth(t[ContentLine], &pane);
        PoemLayout layout = BuildPoemLayout(quietNight());
        ApplyPoemLayout(pane.document(), layout, t, &pane);
        for (QTextBlock b = pane.document()->findBlock(layout.PartStart[1]); b.position() < layout.PartStart[2]; b = b.next())
            QCOMPARE(b.blockFormat().leftMargin() * 1000 + b.blockFormat().textIndent(), 2.0 * w);
        layout = BuildPoemLayout(PoemFields{u"月夜"_s, {}, {}, {}, u"𠀀明月"_s, u"注：思乡"_s});
        ApplyPoemLayout(layout, DefaultTemplate(), &pane);
        SelectRange(&pane, layout.PartStart[1] + 3, 1);
        QCOMPARE(pane.textCursor().selectedText(), u"月"_s);
        SelectRange(&pane, layout.PartStart[2], 1000);
        QCOMPARE(pane.textCursor().selectedText(), u"注：思乡"_s);
        SelectRange(&pane, layout.PartStart[1] + 1, 1);
        QCOMPARE(pane.textCursor().selectedText(), u"𠀀"_s);
    }
};

QTEST_MAIN(PoemDocumentTest)
#include "poemdocument_test.moc"
