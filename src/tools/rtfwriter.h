#pragma once
// Writes the poem pane's content as RTF, from the same poem layout and template
// lines the pane is drawn with. Faces are declared with \fcharset134 (Chinese),
// colours go into a colour table, and every character outside printable ASCII
// is written as a \uN? escape, so any RTF reader shows the Chinese text without
// knowing the writer's code page.
#include "display/poemlayout.h"
#include "display/poemnotes.h"
#include "display/templateline.h"

#include <QByteArray>
#include <QString>

#include <array>

// The size of "繁" in one line kind's font, as the pane measured it, in twips
// (1/1440 inch). The indents are whole multiples of the width; the baseline
// offset is fifths of the height.
struct RtfCharMeasure {
    qint32 width = 0;
    qint32 height = 0;
};
using RtfMeasures = std::array<RtfCharMeasure, kTemplateLineCount>;

// The whole document: one RTF paragraph per layout paragraph, each with the
// alignment, left indent (\li) and first-line indent (\fi) of its line kind,
// each run in the face, size, bold, italic, underline, colour and baseline
// offset (\up or \dn) of its line kind. An empty paragraph keeps its line
// kind's size through the paragraph mark.
QByteArray WritePoemRtf(const PoemLayout& layout, const Template& lines, const RtfMeasures& measures);
// The same with the pinyin of `notes`: every paragraph that has pinyin is
// preceded by a paragraph of its syllables, blank-separated, with the
// paragraph's alignment and indents, in half the size of its line kind and a
// lighter shade of its colour.
QByteArray WritePoemRtf(const PoemLayout& layout, const Template& lines, const RtfMeasures& measures,
                        const PoemNotes& notes);

// Text as RTF body text: "\", "{" and "}" escaped, a line separator as \line,
// a tab as \tab, other control characters dropped, and every non-ASCII UTF-16
// unit as \uN? (N the signed 16-bit value, so a character outside the BMP
// becomes its two surrogates).
QByteArray RtfEscape(const QString& text);
