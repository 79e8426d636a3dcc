#include "tools/rtfwriter.h"

#include <QList>

#include <cmath>

namespace {

// Faces and colours in order of first use; their RTF table index is the
// position in the list (colours from 1: entry 0 is the reader's automatic colour).
template <typename T> int indexOf(QList<T>& list, const T& value) {
    qsizetype i = list.indexOf(value);
    if (i < 0) {
        list.append(value);
        i = list.size() - 1;
    }
    return int(i);
}

QString faceOf(const TemplateLine& line) {
    return line.FontName.isEmpty() ? DefaultTemplateLine().FontName : line.FontName;
}

QByteArray number(qint64 n) { return QByteArray::number(n); }

struct LineCodes {
    QByteArray paragraph; // \q? \li \fi
    QByteArray character; // \f \fs \cf \b \i \ul \up/\dn
};

LineCodes codesFor(const TemplateLine& line, const RtfCharMeasure& m, int font, int colour) {
    LineCodes c;
    switch (line.Align) {
    case 1: c.paragraph += "\\qr"; break;
    case 2: c.paragraph += "\\qc"; break;
    default: c.paragraph += "\\ql"; break;
    }
    const LineGeometry g = LineGeometryFor(line, m.width, m.height);
    c.paragraph += "\\li" + number(g.leftMargin) + "\\fi" + number(g.textIndent);

    c.character += "\\f" + number(font);
    if (line.FontSize > 0) c.character += "\\fs" + number(qint64(line.FontSize) * 2);
    c.character += "\\cf" + number(colour + 1);
    if (line.FontBold != 0) c.character += "\\b";
    if (line.FontItalic != 0) c.character += "\\i";
    if (line.FontUnderline != 0) c.character += "\\ul";
    // The shift is in twips; \up and \dn take half-points (10 twips).
    const qint64 halfPoints = std::llround(g.baselineShift / 10.0);
    if (halfPoints > 0) c.character += "\\up" + number(halfPoints);
    else if (halfPoints < 0) c.character += "\\dn" + number(-halfPoints);
    return c;
}

} // namespace

QByteArray RtfEscape(const QString& text) {
    QByteArray out;
    out.reserve(text.size() * 8);
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        switch (u) {
        case u'\\': out += "\\\\"; continue;
        case u'{': out += "\\{"; continue;
        case u'}': out += "\\}"; continue;
        case u'\t': out += "\\tab "; continue;
        case 0x2028: out += "\\line "; continue;
        default: break;
        }
        if (u >= 0x20 && u < 0x7F) {
            out += char(u);
        } else if (u >= 0x80) {
            // \uN takes a signed 16-bit N; "?" is what a reader without Unicode shows.
            out += "\\u" + number(u > 0x7FFF ? qint64(u) - 0x10000 : qint64(u)) + '?';
        }
        // Other control characters have no place in a paragraph's text.
    }
    return out;
}

QByteArray WritePoemRtf(const PoemLayout& layout, const Template& lines, const RtfMeasures& measures) {
    return WritePoemRtf(layout, lines, measures, PoemNotes{});
}

QByteArray WritePoemRtf(const PoemLayout& layout, const Template& lines, const RtfMeasures& measures,
                        const PoemNotes& notes) {
    QList<QString> faces;
    QList<qint32> colours;
    std::array<LineCodes, kTemplateLineCount> codes;
    std::array<QByteArray, kTemplateLineCount> pinyinCodes;
    for (int k = 0; k < kTemplateLineCount; ++k) {
        const TemplateLine& line = lines[size_t(k)];
        const int font = indexOf(faces, faceOf(line));
        const int colour = indexOf(colours, line.FontColor & 0xFFFFFF);
        codes[size_t(k)] = codesFor(line, measures[size_t(k)], font, colour);
    }
    const bool withPinyin = notes.hasPinyin();
    if (withPinyin) {
        for (int k = 0; k < kTemplateLineCount; ++k) {
            const TemplateLine& line = lines[size_t(k)];
            const qint32 c = line.FontColor & 0xFFFFFF;
            auto lighter = [](int v) { return v + (255 - v) / 3; };
            const qint32 light = lighter(colorRed(c)) | (lighter(colorGreen(c)) << 8) | (lighter(colorBlue(c)) << 16);
            const int colour = indexOf(colours, light);
            const int size = line.FontSize > 0 ? line.FontSize : 9;
            pinyinCodes[size_t(k)] = "\\f" + number(indexOf(faces, faceOf(line))) + "\\fs" + number(qMax(12, size)) +
                                     "\\cf" + number(colour + 1);
        }
    }
    const QList<qint32> starts = withPinyin ? ParagraphStarts(layout) : QList<qint32>();
    auto kind = [](int k) { return size_t(qBound(0, k, kTemplateLineCount - 1)); };

    QByteArray out;
    out += "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1\\deflang2052\r\n{\\fonttbl";
    for (qsizetype i = 0; i < faces.size(); ++i)
        out += "{\\f" + number(i) + "\\fnil\\fcharset134 " + RtfEscape(faces[i]) + ";}";
    out += "}\r\n{\\colortbl;";
    for (const qint32 c : colours)
        out += "\\red" + number(colorRed(c)) + "\\green" + number(colorGreen(c)) + "\\blue" + number(colorBlue(c)) +
               ';';
    out += "}\r\n";

    for (qsizetype p = 0; p < layout.paragraphs.size(); ++p) {
        const LayoutParagraph& para = layout.paragraphs[p];
        const LineCodes& own = codes[kind(para.lineKind)];
        if (withPinyin) {
            const QString syllables =
                PinyinLineOf(notes, starts[p], starts[p] + qint32(para.text().size())).replace(u' ', QStringLiteral("  "));
            if (!syllables.isEmpty()) {
                // The syllables take the size of the paragraph's first Han run.
                size_t k = kind(para.lineKind);
                for (const LayoutRun& run : para.runs)
                    if (run.lineKind == TitleLine || run.lineKind == ContentLine) {
                        k = kind(run.lineKind);
                        break;
                    }
                out += "\\pard" + own.paragraph + "\\plain" + pinyinCodes[k] + ' ' + RtfEscape(syllables) + "\\par\r\n";
            }
        }
        // The paragraph's format, then its mark's character format (which sizes
        // an empty paragraph), then each run in a group of its own.
        out += "\\pard" + own.paragraph + "\\plain" + own.character + ' ';
        for (const LayoutRun& run : para.runs)
            out += '{' + codes[kind(run.lineKind)].character + ' ' + RtfEscape(run.text) + '}';
        if (p + 1 < layout.paragraphs.size()) out += "\\par";
        out += "\r\n";
    }
    out += "}\r\n";
    return out;
}
