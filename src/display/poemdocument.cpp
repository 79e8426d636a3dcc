#include "display/poemdocument.h"

#include "app/fonts.h"

#include <QBrush>
#include <QColor>
#include <QFontMetricsF>
#include <QTextCursor>
#include <QTextDocument>
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

void ApplyPoemLayout(QTextDocument* document, const PoemLayout& layout, const Template& lines,
                     QPaintDevice* surface) {
    std::array<QTextCharFormat, kTemplateLineCount> charFormats;
    std::array<QTextBlockFormat, kTemplateLineCount> blockFormats;
    for (int k = 0; k < kTemplateLineCount; ++k) {
        charFormats[k] = TemplateCharFormat(lines[k]);
        blockFormats[k] = TemplateBlockFormat(lines[k], MeasureCharWidth(lines[k], surface));
    }
    auto kind = [](int k) { return qBound(0, k, kTemplateLineCount - 1); };

    document->clear();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    bool first = true;
    for (const LayoutParagraph& p : layout.paragraphs) {
        const int k = kind(p.lineKind);
        if (first) {
            cursor.setBlockFormat(blockFormats[k]);
            cursor.setBlockCharFormat(charFormats[k]);
            first = false;
        } else {
            cursor.insertBlock(blockFormats[k], charFormats[k]);
        }
        for (const LayoutRun& run : p.runs)
            cursor.insertText(run.text, charFormats[kind(run.lineKind)]);
    }
    cursor.endEditBlock();
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
