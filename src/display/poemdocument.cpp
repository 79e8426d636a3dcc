#include "display/poemdocument.h"

#include "app/fonts.h"
#include "display/poemnotes.h"

#include <QBrush>
#include <QColor>
#include <QFontMetricsF>
#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextEdit>

#include <algorithm>
#include <cmath>

namespace {

qint32 roundHalfToEven(double x) {
    if (std::fabs(x - std::trunc(x)) == 0.5) return qint32(2.0 * std::round(x / 2.0));
    return qint32(std::round(x));
}

QStringList familiesFor(const QString& face) {
    QStringList families;
    if (!face.isEmpty()) families << face;
    for (const QString& f : cjkSubstitutesFor(face))
        if (!families.contains(f)) families << f;
    return families;
}

QFontMetricsF metricsFor(const TemplateLine& line, QPaintDevice* surface) {
    const QFont font = TemplateLineFont(line);
    return surface ? QFontMetricsF(font, surface) : QFontMetricsF(font);
}

const QString kMeasureChar = QStringLiteral("繁");

// A position that does not fall between the halves of a surrogate pair: moved
// back to the pair's start, or forward past it.
int outsidePair(const QTextDocument* doc, int pos, bool forward) {
    if (pos > 0 && doc->characterAt(pos).isLowSurrogate() &&
        doc->characterAt(pos - 1).isHighSurrogate())
        return forward ? pos + 1 : pos - 1;
    return pos;
}

} // namespace

QFont TemplateLineFont(const TemplateLine& line) {
    QFont font;
    const QStringList families = familiesFor(line.FontName);
    if (!families.isEmpty()) font.setFamilies(families);
    if (line.FontSize > 0) font.setPointSize(line.FontSize);
    font.setBold(line.FontBold != 0);
    font.setItalic(line.FontItalic != 0);
    return font;
}

qint32 MeasureCharWidth(const TemplateLine& line, QPaintDevice* surface) {
    return roundHalfToEven(metricsFor(line, surface).horizontalAdvance(kMeasureChar));
}

qint32 MeasureCharHeight(const TemplateLine& line, QPaintDevice* surface) {
    // The height of a line of text in the font, as the measuring surface gives
    // it for a single character.
    return roundHalfToEven(metricsFor(line, surface).height());
}

QTextCharFormat TemplateCharFormat(const TemplateLine& line) {
    QTextCharFormat format;
    const QStringList families = familiesFor(line.FontName);
    if (!families.isEmpty()) format.setFontFamilies(families);
    if (line.FontSize > 0) format.setFontPointSize(line.FontSize);
    format.setFontWeight(line.FontBold != 0 ? QFont::Bold : QFont::Normal);
    format.setFontItalic(line.FontItalic != 0);
    // Poems are Han text: no shaping pass (see installFontSubstitutions).
    format.setFontStyleStrategy(QFont::PreferNoShaping);
    format.setFontUnderline(line.FontUnderline != 0);
    format.setForeground(QBrush(
        QColor(colorRed(line.FontColor), colorGreen(line.FontColor), colorBlue(line.FontColor))));
    // Percent of the font height; the measured height is not needed here.
    format.setBaselineOffset(LineGeometryFor(line, 0, 0).baselineOffsetPercent);
    return format;
}

QTextBlockFormat TemplateBlockFormat(const TemplateLine& line, qint32 charWidth) {
    QTextBlockFormat format;
    switch (line.Align) {
    case 1:
        format.setAlignment(Qt::AlignRight);
        break;
    case 2:
        format.setAlignment(Qt::AlignHCenter);
        break;
    default:
        format.setAlignment(Qt::AlignLeft);
        break;
    }
    const LineGeometry g = LineGeometryFor(line, charWidth, 0);
    format.setLeftMargin(g.leftMargin);
    format.setTextIndent(g.textIndent);
    return format;
}

namespace {

int kindOf(PoemPart part) { return part == PoemPart::Title ? TitleLine : ContentLine; }

// A font of `pointSize` points on `surface`, set in pixels.
QFont pixelFont(QFont font, double pointSize, QPaintDevice* surface) {
    const int dpi = surface ? surface->logicalDpiY() : 96;
    font.setPixelSize(qMax(1, int(std::lround(pointSize * dpi / 72.0))));
    return font;
}

struct ParagraphNotes {
    bool pinyin = false;
    bool marks = false;
};

QList<ParagraphNotes> notesByParagraph(const PoemLayout& layout, const PoemNotes& notes) {
    const QList<qint32> starts = ParagraphStarts(layout);
    QList<ParagraphNotes> out(layout.paragraphs.size());
    qsizetype p = 0;
    for (const PoemNote& n : notes.notes) {
        while (p + 1 < starts.size() && starts[p + 1] <= n.position) ++p;
        if (!n.pinyin.isEmpty()) out[p].pinyin = true;
        if (n.tone != Tone::Unknown) out[p].marks = true;
    }
    return out;
}

void fillDocument(QTextDocument* document, const PoemLayout& layout, const Template& lines, QPaintDevice* surface,
                  const PoemNotes* notes, const NoteStyle* style) {
    std::array<QTextCharFormat, kTemplateLineCount> charFormats;
    std::array<QTextBlockFormat, kTemplateLineCount> blockFormats;
    std::array<qint32, kTemplateLineCount> heights{};
    for (int k = 0; k < kTemplateLineCount; ++k) {
        charFormats[k] = TemplateCharFormat(lines[k]);
        blockFormats[k] = TemplateBlockFormat(lines[k], MeasureCharWidth(lines[k], surface));
        if (style && style->spacing[k] > 0) {
            charFormats[k].setFontLetterSpacingType(QFont::AbsoluteSpacing);
            charFormats[k].setFontLetterSpacing(style->spacing[k]);
        }
        if (notes) heights[k] = MeasureCharHeight(lines[k], surface);
    }
    auto kind = [](int k) { return qBound(0, k, kTemplateLineCount - 1); };
    const QList<ParagraphNotes> withNotes = notes ? notesByParagraph(layout, *notes) : QList<ParagraphNotes>();

    document->clear();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    bool first = true;
    for (qsizetype i = 0; i < layout.paragraphs.size(); ++i) {
        const LayoutParagraph& p = layout.paragraphs[i];
        const int k = kind(p.lineKind);
        QTextBlockFormat block = blockFormats[k];
        if (i < withNotes.size() && style) {
            // The tallest line kind of the paragraph's runs sets the room for its notes.
            int tall = k;
            for (const LayoutRun& run : p.runs)
                if (heights[kind(run.lineKind)] > heights[tall]) tall = kind(run.lineKind);
            // Room above every line (a wrapped one too) for its pinyin, and for
            // the marks under the line before it; the last line's marks go
            // into the bottom margin.
            qreal above = 0;
            if (withNotes[i].pinyin) above += style->pinyinHeight[tall];
            if (withNotes[i].marks) {
                above += style->markHeight;
                block.setBottomMargin(style->markHeight);
            }
            if (above > 0) block.setLineHeight(heights[tall] + above, QTextBlockFormat::MinimumHeight);
        }
        if (first) {
            cursor.setBlockFormat(block);
            cursor.setBlockCharFormat(charFormats[k]);
            first = false;
        } else {
            cursor.insertBlock(block, charFormats[k]);
        }
        for (qsizetype r = 0; r < p.runs.size(); ++r) {
            const LayoutRun& run = p.runs[r];
            const QTextCharFormat& format = charFormats[kind(run.lineKind)];
            const bool last = r + 1 == p.runs.size();
            if (!last || !style || style->spacing[kind(run.lineKind)] <= 0) {
                cursor.insertText(run.text, format);
                continue;
            }
            // No spacing after the paragraph's last character, so that a
            // centred or right-aligned line keeps its place.
            qsizetype cut = run.text.size() - 1;
            if (cut > 0 && run.text[cut].isLowSurrogate() && run.text[cut - 1].isHighSurrogate()) --cut;
            QTextCharFormat plain = format;
            plain.clearProperty(QTextFormat::FontLetterSpacing);
            plain.clearProperty(QTextFormat::FontLetterSpacingType);
            if (cut > 0) cursor.insertText(run.text.left(cut), format);
            cursor.insertText(run.text.mid(cut), plain);
        }
    }
    cursor.endEditBlock();
}

} // namespace

void ApplyPoemLayout(QTextDocument* document, const PoemLayout& layout, const Template& lines,
                     QPaintDevice* surface) {
    fillDocument(document, layout, lines, surface, nullptr, nullptr);
}

void ApplyPoemLayout(QTextDocument* document, const PoemLayout& layout, const Template& lines,
                     QPaintDevice* surface, const PoemNotes& notes, const NoteStyle& style) {
    fillDocument(document, layout, lines, surface, notes.isEmpty() ? nullptr : &notes,
                 notes.isEmpty() ? nullptr : &style);
}

NoteStyle MakeNoteStyle(const Template& lines, const PoemNotes& notes, QPaintDevice* surface) {
    NoteStyle style;
    std::array<qreal, kTemplateLineCount> widest{};
    for (int k = 0; k < kTemplateLineCount; ++k) {
        const TemplateLine& line = lines[size_t(k)];
        const double size = line.FontSize > 0 ? line.FontSize : 9;
        const QFont own = pixelFont(TemplateLineFont(line), size, surface);
        style.glyphWidth[k] = QFontMetricsF(own).horizontalAdvance(kMeasureChar);
        QFont py = pixelFont(TemplateLineFont(line), qMax(6.0, size * 0.5), surface);
        py.setBold(false);
        py.setItalic(false);
        style.pinyinFont[k] = py;
        style.pinyinHeight[k] = QFontMetricsF(py).height();
        // Lighter than the line's own colour: the same hue, a third of the way to white.
        const QColor c(colorRed(line.FontColor), colorGreen(line.FontColor), colorBlue(line.FontColor));
        style.noteColor[k] = QColor(c.red() + (255 - c.red()) / 3, c.green() + (255 - c.green()) / 3,
                                    c.blue() + (255 - c.blue()) / 3);
    }
    for (const PoemNote& n : notes.notes) {
        if (n.pinyin.isEmpty()) continue;
        const int k = kindOf(n.part);
        widest[k] = qMax(widest[k], QFontMetricsF(style.pinyinFont[k]).horizontalAdvance(n.pinyin));
    }
    for (int k = 0; k < kTemplateLineCount; ++k)
        if (widest[k] > 0) style.spacing[k] = std::ceil(qMax(0.0, widest[k] + 2 - style.glyphWidth[k]));
    const TemplateLine& content = lines[ContentLine];
    style.markFont = pixelFont(QFont(), qMax(6.0, (content.FontSize > 0 ? content.FontSize : 9) * 0.6), surface);
    style.markHeight = QFontMetricsF(style.markFont).height() + 2;
    return style;
}

void PaintPoemNotes(QPainter* painter, const QTextDocument* document, const PoemNotes& notes,
                    const NoteStyle& style, const QRectF& clip) {
    const QAbstractTextDocumentLayout* docLayout = document->documentLayout();
    painter->save();
    for (const PoemNote& n : notes.notes) {
        const QTextBlock block = document->findBlock(n.position);
        if (!block.isValid() || !block.layout()) continue;
        const QTextLayout* tl = block.layout();
        const int rel = n.position - block.position();
        const QTextLine line = tl->lineForTextPosition(rel);
        if (!line.isValid()) continue;
        const QPointF origin = docLayout->blockBoundingRect(block).topLeft();
        const QRectF lineRect = line.rect().translated(origin);
        const int k = kindOf(n.part);
        const qreal above = style.pinyinHeight[k];
        if (lineRect.bottom() + style.markHeight < clip.top() || lineRect.top() - above > clip.bottom()) continue;
        const qreal x = origin.x() + line.cursorToX(rel);
        const qreal centre = x + style.glyphWidth[k] / 2;
        if (!n.pinyin.isEmpty()) {
            painter->setFont(style.pinyinFont[k]);
            painter->setPen(style.noteColor[k]);
            const QFontMetricsF fm(style.pinyinFont[k]);
            const qreal w = fm.horizontalAdvance(n.pinyin);
            painter->drawText(QPointF(centre - w / 2, lineRect.top() - fm.descent() - 1), n.pinyin);
        }
        const QString mark = ToneMark(n.tone);
        if (!mark.isEmpty()) {
            painter->setFont(style.markFont);
            painter->setPen(n.breaks ? style.breakColor : style.noteColor[k]);
            const QFontMetricsF fm(style.markFont);
            const qreal w = fm.horizontalAdvance(mark);
            const qreal base = lineRect.bottom() + fm.ascent();
            painter->drawText(QPointF(centre - w / 2, base), mark);
            if (n.rhyme) painter->drawLine(QPointF(centre - w / 2, base + 2), QPointF(centre + w / 2, base + 2));
        }
    }
    painter->restore();
}

void ApplyPoemLayout(const PoemLayout& layout, const Template& lines, QTextEdit* pane) {
    ApplyPoemLayout(pane->document(), layout, lines, pane);
}

void SelectRange(QTextEdit* pane, qint32 start, qint32 length) {
    const QTextDocument* doc = pane->document();
    const int last = doc->characterCount() - 1; // the position after the text
    const int from = outsidePair(doc, qBound(0, start, last), false);
    const qint64 wantedEnd = qint64(qMax(start, 0)) + qMax(length, 0);
    const int to = outsidePair(doc, int(std::clamp<qint64>(from, wantedEnd, last)), true);
    QTextCursor cursor(pane->document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    pane->setTextCursor(cursor);
    pane->ensureCursorVisible();
}
