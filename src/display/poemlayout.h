#pragma once
// The poem pane's content, computed without the toolkit: the paragraphs in the
// order the pane shows them, the line kind each piece of text is set in, the
// positions where the parts of the poem begin, and the arithmetic that turns a
// template line's counts into margins and offsets. The window side applies the
// result to a QTextDocument; the RTF writer and the printout read the same
// layout.
//
// Positions count the way the pane counts them: UTF-16 units, every paragraph
// break one position. A position is therefore an offset into plainText().
#include "display/templateline.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

// The Poetry fields the pane shows. A null field renders as the empty text.
struct PoemFields {
    QString title;   // fTitle
    QString poet;    // fPoet
    QString dynasty; // fDynasty
    QString preface; // fPre
    QString content; // fContent
    QString notes;   // fMemo
};

// A stretch of text inside one paragraph, set in one line kind's character format.
struct LayoutRun {
    QString text;
    int lineKind = TitleLine;

    bool operator==(const LayoutRun&) const = default;
};

// One paragraph of the pane. lineKind picks the template line whose alignment,
// indent and hanging indent the paragraph takes; it is also the line kind of
// the paragraph's own line break, which gives an empty paragraph its height.
// A blank line has no runs.
struct LayoutParagraph {
    int lineKind = TitleLine;
    QList<LayoutRun> runs;

    QString text() const;
    bool operator==(const LayoutParagraph&) const = default;
};

struct PoemLayout {
    QList<LayoutParagraph> paragraphs;
    // [0] where the preface begins (the content, when there is no preface),
    // [1] where the content begins, [2] where the notes begin, [3] the end.
    std::array<qint32, 4> PartStart{};

    // The whole text with "\n" between paragraphs, as the pane's toPlainText()
    // returns it (which also shows a line separator as "\n" and a no-break
    // space as a blank, one position each).
    QString plainText() const;
};

// Lays out one poem: the title and the author bracket " (poet·dynasty)" on the
// first line, a blank line, then the preface and a blank line (only when the
// preface is not the empty text), the content and a blank line, the notes. The
// first line takes the author line's paragraph format. Stored line breaks (CR
// LF, a lone CR, a lone LF) each end a paragraph; nothing else is split,
// trimmed or re-indented. The pane's own paragraph separators (U+2029, and the
// frame marks U+FDD0, U+FDD1) end a paragraph too, since the pane splits there
// whatever it is given.
PoemLayout BuildPoemLayout(const PoemFields& poem);

// A selection in the pane.
struct TextRange {
    qint32 start = 0;
    qint32 length = 0;

    bool operator==(const TextRange&) const = default;
};

// The search follow-up of a rendered poem: the first of the three terms that
// is not empty is looked for, and only that one: the content term in the
// content [PartStart[1], PartStart[2]), else the notes term in the notes
// [PartStart[2], end of text), else the preface term in the preface
// [PartStart[0], PartStart[1]). Plain substring search, letters matched
// regardless of case. Returns the first occurrence lying wholly inside its
// part and not starting or ending between the halves of a surrogate pair;
// nothing when there is none or every term is empty. With foldScripts the text
// and the term are compared with simplified, traditional and variant characters
// folded (ScriptFold keeps lengths), so the range marks the stored characters.
std::optional<TextRange> FindSearchTermInPoem(const QString& plainText,
                                              const std::array<qint32, 4>& PartStart,
                                              const QString& contentTerm, const QString& notesTerm,
                                              const QString& prefaceTerm, bool foldScripts = false);

// Paragraph and character geometry of one template line, for a character "繁"
// of width w and height h in the line's font (in the pane's units).
struct LineGeometry {
    // The following lines of a paragraph start at leftMargin; the first line
    // starts textIndent further right (left when negative).
    qint32 leftMargin = 0;
    qint32 textIndent = 0;
    // Baseline shift: Offset fifths of h, in the pane's units (positive
    // raises), and the same as percent of the font height (Offset × 20).
    double baselineShift = 0.0;
    qint32 baselineOffsetPercent = 0;

    bool operator==(const LineGeometry&) const = default;
};

// The first line starts Indent × w from the left, the following lines
// HangingIndent × w right of the first (left of it when negative): left margin
// (Indent + HangingIndent) × w, text indent −HangingIndent × w. The pane shows
// nothing left of its edge, so a line that would start left of it starts at
// the edge and the other line keeps its place: a negative left margin becomes
// 0 (the first line staying where it was meant to be), and a first line left
// of the edge gets the text indent that puts it at the edge.
LineGeometry LineGeometryFor(const TemplateLine& line, qint32 charWidth, qint32 charHeight);
