#pragma once
// Puts a poem layout into the poem pane: every paragraph becomes one block with
// the paragraph format of its line kind, every run one fragment with the
// character format of its line kind, so positions in the document equal the
// layout's positions (PartStart, search ranges).
#include "display/poemlayout.h"
#include "display/templateline.h"

#include <QFont>
#include <QTextBlockFormat>
#include <QTextCharFormat>

class QPaintDevice;
class QTextDocument;
class QTextEdit;

// The font of a template line: the stored face first, then the installed CJK
// families that face maps to, at the line's point size, bold and italic.
// Underline is left to the character format; it does not change the metrics.
// A size of 0 is skipped (the font keeps its default size).
QFont TemplateLineFont(const TemplateLine& line);

// Advance width and height of "繁" in the line's font on `surface` (the
// measuring surface, in the pane's units; the screen when null), rounded to
// the nearest whole number, halves to even.
qint32 MeasureCharWidth(const TemplateLine& line, QPaintDevice* surface);
qint32 MeasureCharHeight(const TemplateLine& line, QPaintDevice* surface);

// Face, size, bold, italic, underline, colour (0x00BBGGRR) and baseline
// offset (Offset × 20 percent of the font height) of a template line.
QTextCharFormat TemplateCharFormat(const TemplateLine& line);
// Alignment (0 left, 1 right, 2 centre, anything else left), left margin and
// first-line indent for a character width of `charWidth` (see LineGeometryFor).
QTextBlockFormat TemplateBlockFormat(const TemplateLine& line, qint32 charWidth);

// Replaces the document's content with the layout, each line kind formatted
// from `lines`, the character widths measured on `surface`. The first
// paragraph goes into the document's first block; every further one is a new
// block. The whole fill is one edit block, so the document lays out once.
void ApplyPoemLayout(QTextDocument* document, const PoemLayout& layout, const Template& lines,
                     QPaintDevice* surface);
// The same for the poem pane, measuring on the pane itself.
void ApplyPoemLayout(const PoemLayout& layout, const Template& lines, QTextEdit* pane);

// Selects `length` positions from `start` in the pane (length 0: puts the caret
// there) and shows the selection. The range is clipped to the text, and an end
// that would fall between the halves of a surrogate pair is moved out of it.
void SelectRange(QTextEdit* pane, qint32 start, qint32 length);
