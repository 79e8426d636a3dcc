#pragma once
// One line format of a display template, and the five-line template the poem
// pane is drawn with. Field names and widths follow the PoetrySet columns
// (FontSize holds fFontSize, and so on).
#include <QString>
#include <QtGlobal>

#include <array>

// Line kinds: the index into a Template, the fID of a PoetrySet row.
enum TemplateLineKind : int {
    TitleLine = 0,
    AuthorLine = 1,
    PrefaceLine = 2,
    ContentLine = 3,
    NotesLine = 4,
};
inline constexpr int kTemplateLineCount = 5;

struct TemplateLine {
    QString FontName = QStringLiteral("宋体");
    quint8 FontSize = 9; // points
    quint8 FontBold = 0; // 0 off, anything else on
    quint8 FontItalic = 0;
    quint8 FontUnderline = 0;
    qint32 FontColor = 0;     // 0x00BBGGRR: red in the lowest byte
    quint8 Align = 0;         // 0 left, 1 right, 2 centred
    qint16 Indent = 0;        // left indent of the first line, in widths of "繁"
    qint16 HangingIndent = 0; // following lines relative to the first, in widths of "繁"
    qint16 Offset = 0;        // baseline shift in fifths of the height of "繁"; positive raises

    bool operator==(const TemplateLine&) const = default;
};

using Template = std::array<TemplateLine, kTemplateLineCount>;

// The values every line takes when a template has no stored rows:
// 9-point 宋体, black, left-aligned, no indents, no offset.
inline TemplateLine DefaultTemplateLine() {
    return TemplateLine{};
}

inline Template DefaultTemplate() {
    Template t;
    t.fill(DefaultTemplateLine());
    return t;
}

// The colour channels of a stored FontColor (0x00BBGGRR).
inline int colorRed(qint32 color) {
    return color & 0xFF;
}
inline int colorGreen(qint32 color) {
    return (color >> 8) & 0xFF;
}
inline int colorBlue(qint32 color) {
    return (color >> 16) & 0xFF;
}
