#pragma once
// Puts a poem layout into the poem pane: every paragraph becomes one block with
// the paragraph format of its line kind, every run one fragment with the
// character format of its line kind, so positions in the document equal the
// layout's positions (PartStart, search ranges).
#include "display/poemlayout.h"
#include "display/templateline.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QTextBlockFormat>
#include <QTextCharFormat>

struct PoemNotes;
class QPainter;
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

// How the pinyin over the characters and the 平仄 marks under them are drawn
// for one template, measured on one surface (fonts in pixels of that surface,
// so a painter scaled to another device draws them in proportion).
struct NoteStyle {
    std::array<QFont, kTemplateLineCount> pinyinFont;
    std::array<QColor, kTemplateLineCount> noteColor; // the line's colour, lightened
    std::array<qreal, kTemplateLineCount> glyphWidth{}; // advance of "繁" in the line's font
    // Extra room after each character so that the widest syllable of the poem
    // fits over it (letter spacing, in the surface's pixels).
    std::array<qreal, kTemplateLineCount> spacing{};
    std::array<qreal, kTemplateLineCount> pinyinHeight{};
    QFont markFont;
    qreal markHeight = 0;
    QColor breakColor = QColor(0xD0, 0x20, 0x20);
};

// The style for `notes` shown with `lines` on `surface` (the screen when null).
NoteStyle MakeNoteStyle(const Template& lines, const PoemNotes& notes, QPaintDevice* surface);

// Draws the notes of a document filled by ApplyPoemLayout with the same notes:
// each syllable centred over its character, each mark centred under it (a
// breaking position in the break colour, a rhyme position underlined). Only
// lines meeting `clip` (document coordinates) are drawn.
void PaintPoemNotes(QPainter* painter, const QTextDocument* document, const PoemNotes& notes,
                    const NoteStyle& style, const QRectF& clip);

// Replaces the document's content with the layout, each line kind formatted
// from `lines`, the character widths measured on `surface`. The first
// paragraph goes into the document's first block; every further one is a new
// block. The whole fill is one edit block, so the document lays out once.
void ApplyPoemLayout(QTextDocument* document, const PoemLayout& layout, const Template& lines,
                     QPaintDevice* surface);
// The same with room for notes: the title's and the content's characters get
// the style's letter spacing, a paragraph with pinyin a line height that
// leaves the pinyin's height above every line, and a paragraph with marks a
// bottom margin of the marks' height. Positions stay those of the layout.
void ApplyPoemLayout(QTextDocument* document, const PoemLayout& layout, const Template& lines,
                     QPaintDevice* surface, const PoemNotes& notes, const NoteStyle& style);
// The same for the poem pane, measuring on the pane itself.
void ApplyPoemLayout(const PoemLayout& layout, const Template& lines, QTextEdit* pane);

// Selects `length` positions from `start` in the pane (length 0: puts the caret
// there) and shows the selection. The range is clipped to the text, and an end
// that would fall between the halves of a surrogate pair is moved out of it.
void SelectRange(QTextEdit* pane, qint32 start, qint32 length);
