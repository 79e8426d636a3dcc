// The poem layout applied to a real text document and pane, offscreen: the
// text, paragraphs and positions the pane ends up with, and its formats.
#include "display/poemdocument.h"

#include <QAbstractTextDocumentLayout>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

namespace {

PoemFields quietNight() {
    PoemFields p;
    p.title = QStringLiteral("静夜思");
    p.poet = QStringLiteral("李白");
    p.dynasty = QStringLiteral("唐");
    p.preface = QStringLiteral("序一\r\n序二");
    p.content = QStringLiteral("床前明月光，疑是地上霜。\r\n举头望明月，低头思故乡。");
    p.notes = QStringLiteral("注：思乡");
    return p;
}

// Every line kind recognisably different.
Template distinctTemplate() {
    Template t = DefaultTemplate();
    t[TitleLine].FontName = QStringLiteral("黑体");
    t[TitleLine].FontSize = 16;
    t[TitleLine].FontBold = 1;
    t[TitleLine].FontColor = 0x0000FF;  // red
    t[TitleLine].Align = 2;
    t[AuthorLine].FontSize = 10;
    t[AuthorLine].FontColor = 0xFF0000;  // blue
    t[PrefaceLine].FontItalic = 1;
    t[PrefaceLine].Align = 1;
    t[ContentLine].FontSize = 12;
    t[ContentLine].FontUnderline = 1;
    t[ContentLine].Offset = 1;
    t[ContentLine].Indent = 2;
    t[ContentLine].HangingIndent = -2;
    t[NotesLine].FontColor = 0x008000;  // green 0x80
    return t;
}

// The format of the character at `pos` (the cursor reports the one before it).
QTextCharFormat charAt(QTextDocument* doc, int pos) {
    QTextCursor c(doc);
    c.setPosition(pos + 1);
    return c.charFormat();
}

// The pane holds the layout's text in its paragraphs, the content and the notes
// beginning exactly at their part starts and the last one the end.
void checkPositions(QTextEdit& pane, const PoemLayout& layout) {
    QTextDocument* doc = pane.document();
    QCOMPARE(pane.toPlainText(), layout.plainText());
    QCOMPARE(doc->blockCount(), int(layout.paragraphs.size()));
    QCOMPARE(doc->characterAt(layout.PartStart[1]), layout.plainText().at(layout.PartStart[1]));
    QCOMPARE(doc->characterAt(layout.PartStart[2]), QChar(u'注'));
    QCOMPARE(layout.PartStart[3], doc->characterCount() - 1);
}

} // namespace

class PoemDocumentTest : public QObject {
    Q_OBJECT

private slots:
    void paneHoldsTheLayoutsTextAndPositions() {
        QTextEdit pane;
        const Template t = distinctTemplate();
        const PoemLayout layout = BuildPoemLayout(quietNight());
        ApplyPoemLayout(layout, t, &pane);
        QTextDocument* doc = pane.document();

        checkPositions(pane, layout);
        QCOMPARE(doc->characterAt(layout.PartStart[0]), QChar(u'序'));

        // Applying another poem replaces everything, first block included.
        PoemFields short_;
        short_.title = QStringLiteral("题");
        ApplyPoemLayout(BuildPoemLayout(short_), DefaultTemplate(), &pane);
        QCOMPARE(pane.toPlainText(), QStringLiteral("题 (·)\n\n\n\n"));
        QVERIFY(!charAt(doc, 0).font().bold());
    }

    void charactersTakeTheirLineKindsFormat() {
        QTextEdit pane;
        Template t = distinctTemplate();
        const PoemLayout layout = BuildPoemLayout(quietNight());
        ApplyPoemLayout(layout, t, &pane);
        QTextDocument* doc = pane.document();

        const QTextCharFormat title = charAt(doc, 0);
        QCOMPARE(title.fontFamilies().toStringList().value(0), QStringLiteral("黑体"));
        QCOMPARE(title.fontPointSize(), 16.0);
        QVERIFY(title.font().bold());
        QCOMPARE(title.foreground().color(), QColor(255, 0, 0));
        // The bracket on the same line is the author's.
        QCOMPARE(charAt(doc, 4).foreground().color(), QColor(0, 0, 255));
        QVERIFY(charAt(doc, layout.PartStart[0]).fontItalic());
        const QTextCharFormat content = charAt(doc, layout.PartStart[1] + 3);
        QVERIFY(content.fontUnderline() && !content.fontItalic());
        QCOMPARE(content.baselineOffset(), 20.0);
        QCOMPARE(charAt(doc, layout.PartStart[2]).foreground().color(), QColor(0, 0x80, 0));

        // An empty line is as high as its own line kind's font; so is the first
        // block's own format, which the pane had before the poem came.
        QCOMPARE(doc->begin().charFormat().fontPointSize(), 10.0);
        QCOMPARE(doc->findBlock(layout.PartStart[2] - 1).charFormat().fontPointSize(), 12.0);

        // The first line takes the author line's paragraph format, not the title's.
        QCOMPARE(doc->begin().blockFormat().alignment(), Qt::AlignLeft);
        QCOMPARE(doc->findBlock(layout.PartStart[0]).blockFormat().alignment(), Qt::AlignRight);
        t[AuthorLine].Align = 2;
        ApplyPoemLayout(layout, t, &pane);
        QCOMPARE(doc->begin().blockFormat().alignment(), Qt::AlignHCenter);
    }

    void indentsCountInMeasuredWidths() {
        QTextEdit pane;
        const Template t = distinctTemplate();
        const qint32 w = MeasureCharWidth(t[ContentLine], &pane);
        QVERIFY(w > 0);

        PoemFields p = quietNight();
        p.content = QString(60, QChar(u'月')) + QStringLiteral("\r\n短");
        const PoemLayout layout = BuildPoemLayout(p);
        QTextDocument* doc = pane.document();
        ApplyPoemLayout(doc, layout, t, &pane);
        // Every content line starts two widths in; a wrapped line at the edge.
        for (QTextBlock b = doc->findBlock(layout.PartStart[1]); b.position() < layout.PartStart[2];
             b = b.next()) {
            QCOMPARE(b.blockFormat().leftMargin(), 0.0);
            QCOMPARE(b.blockFormat().textIndent(), 2.0 * w);
        }
        doc->setTextWidth(20 * w);
        doc->documentLayout()->blockBoundingRect(doc->findBlock(layout.PartStart[1]));
        const QTextLayout* wrapped = doc->findBlock(layout.PartStart[1]).layout();
        QVERIFY(wrapped->lineCount() >= 3);
        QCOMPARE(qRound(wrapped->lineAt(0).x()), 2 * w);
        QCOMPARE(qRound(wrapped->lineAt(1).x()), 0);
    }

    void unusualCharactersKeepPositionsInStep() {
        QTextEdit pane;
        PoemFields p = quietNight();
        p.title = QStringLiteral("𠀀月");
        p.content = QStringLiteral("𠀀月\u2029二\u2028三\u00A0四\r五\n\r六");
        const PoemLayout layout = BuildPoemLayout(p);
        ApplyPoemLayout(layout, distinctTemplate(), &pane);
        checkPositions(pane, layout);
        QCOMPARE(pane.document()->characterAt(layout.PartStart[1]).unicode(), char16_t(0xD840));
    }

    void searchHitIsSelectedInThePane() {
        QTextEdit pane;
        PoemFields p = quietNight();
        p.title = QStringLiteral("𠀀月夜");
        p.content = QStringLiteral("𠀀明月");
        const PoemLayout layout = BuildPoemLayout(p);
        ApplyPoemLayout(layout, DefaultTemplate(), &pane);

        const auto hit = FindSearchTermInPoem(pane.toPlainText(), layout.PartStart, QStringLiteral("月"), {}, {});
        QVERIFY(hit.has_value());
        SelectRange(&pane, hit->start, hit->length);
        QCOMPARE(pane.textCursor().selectedText(), QStringLiteral("月"));
        QCOMPARE(pane.textCursor().selectionStart(), layout.PartStart[1] + 3);
        // A range past the end stops at the end; one inside a pair takes the whole pair.
        SelectRange(&pane, layout.PartStart[2], 1000);
        QCOMPARE(pane.textCursor().selectedText(), QStringLiteral("注：思乡"));
        SelectRange(&pane, layout.PartStart[1] + 1, 1);
        QCOMPARE(pane.textCursor().selectedText(), QStringLiteral("𠀀"));
    }

    void measuresTheLinesFont() {
        QTextEdit pane;
        TemplateLine small;
        TemplateLine large;
        large.FontSize = 18;
        const qint32 w9 = MeasureCharWidth(small, &pane);
        QVERIFY(qAbs(MeasureCharWidth(large, &pane) - 2 * w9) <= 1);
        QVERIFY(MeasureCharHeight(large, &pane) > MeasureCharHeight(small, &pane));
        // A size the font cannot take is skipped: the default size is measured.
        TemplateLine zero;
        zero.FontSize = 0;
        small.FontSize = quint8(QFont().pointSize());
        QCOMPARE(MeasureCharWidth(zero, &pane), MeasureCharWidth(small, &pane));
    }
};

QTEST_MAIN(PoemDocumentTest)
#include "poemdocument_test.moc"
