#pragma once
// The geometry of a printed booklet, computed without the toolkit's drawing
// classes: page frames, the flow of poems over pages, the cells of vertical
// text (punctuation in its vertical place, brackets in their vertical forms,
// Latin runs turned) and their breaking into columns, and the rows of the
// practice grid. Lengths are in points (1/72 inch) unless a name says cells.
#include "db/sqlitedb.h"
#include "display/poemlayout.h"
#include "display/poemnotes.h"

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

enum class BookletStyle { Horizontal, Vertical, Grid };
enum class BookletPageSize { A4, A5, B5 };

struct BookletOptions {
    BookletStyle style = BookletStyle::Horizontal;
    BookletPageSize pageSize = BookletPageSize::A4;
    QString title;         // the cover's title; no cover when empty
    bool contents = false; // a table of contents after the cover
    bool pinyin = false;   // readings above the characters (vertical and grid)
};

// The notes (pinyin) of a poem of the given id laid out by BuildPoemLayout,
// as the pane shows them; no notes for none.
using BookletNotes = std::function<PoemNotes(qint32 id, const PoemFields& poem, const PoemLayout& layout)>;
// The pane's pinyin: readings by context from hzPy and the phrase tables, with
// the reader's corrections of each poem.
BookletNotes BookletPinyin(SqlDatabase& db);

// The pinyin of every character (code point, line breaks included) of a
// poem's title or content, from its notes; the empty text where there is none.
QStringList PartPinyin(const PoemNotes& notes, PoemPart part, const QString& field);
// Per-character texts of a stored text split into its lines as TextLines
// splits it (the line breaks' own entries dropped).
QList<QStringList> LineNotes(const QString& text, const QStringList& perCharacter);

// The characters of a text, a surrogate pair kept as one.
QStringList SplitCharacters(QStringView text);

// ---- Pages ----

struct PageFrame {
    QSizeF page;  // the whole sheet
    QRectF body;  // where poems go
    QRectF footer; // the band the page number is centred in
};
// ISO A4 210×297 mm, A5 148×210 mm, B5 176×250 mm, with margins of a tenth of
// the shorter side.
PageFrame BookletPageFrame(BookletPageSize size);

// One stretch of a poem on one page: units [first, end) starting `at` points
// into the page body along the flow (down the page, or leftwards for columns).
struct FlowSlice {
    int page = 0;
    double at = 0;
    int first = 0;
    int end = 0;
    bool operator==(const FlowSlice&) const = default;
};

// Places poems one after another on pages whose body is `extent` long along the
// flow, `gap` apart on one page. A poem is a list of unit extents (lines,
// columns or grid rows) that can break only between units. A poem that fits in
// what is left of the page goes there; one that fits on a page but not in the
// rest starts a new page; a longer one starts where it is when at least a third
// of the page is left (else on a new page) and continues on the following
// pages. A unit longer than a page gets a page of its own.
class PageFlow {
public:
    PageFlow(double extent, double gap) : m_extent(extent), m_gap(gap) {}
    QList<FlowSlice> place(const QList<double>& units);
    // Pages used so far (at least one once anything was placed).
    int pageCount() const { return m_used ? m_page + 1 : 0; }

private:
    void newPage();
    double m_extent;
    double m_gap;
    int m_page = 0;
    double m_at = 0;
    bool m_used = false;
};

// ---- Vertical text ----

enum class GlyphPlace {
    Upright,    // centred in its cell
    UpperRight, // a comma or full stop: its vertical form, which sits in the upper right
    Turned,     // a Latin run turned a quarter clockwise
};

struct VerticalCell {
    QString text;      // what is drawn (a vertical form where there is one)
    QString source;    // the characters it stands for
    GlyphPlace place = GlyphPlace::Upright;
    int span = 1;      // cells taken along the column
    QStringList notes; // the annotation of each source character
    bool operator==(const VerticalCell&) const = default;
};

// The vertical presentation form of a bracket, quotation mark, comma, full
// stop, colon, semicolon, ellipsis or dash; the character itself when it has none.
QString VerticalForm(char32_t c);
// Opening brackets and quotation marks (a column must not end on one), and the
// closing ones with the pause and stop marks (a column must not begin with one).
bool IsOpeningPunctuation(char32_t c);
bool IsClosingPunctuation(char32_t c);

// The cells of one line of text: one per character, punctuation mapped, and
// each run of Latin letters, digits and blanks one turned cell spanning half a
// cell per character (rounded up). `notes` holds one annotation per character
// or is empty.
QList<VerticalCell> VerticalCells(QStringView line, const QStringList& notes = {});

// Breaks a line's cells into columns of at most `perColumn` cells. A column
// never ends on an opening mark nor begins with a closing one: cells move on to
// the next column until neither happens (when the whole column would move, it
// breaks where it fills). A cell longer than a column gets a column of its own.
QList<QList<VerticalCell>> BreakColumns(const QList<VerticalCell>& cells, int perColumn);

// ---- Practice grid ----

// The squares of one line: one character per square, blanks dropped, at most
// `perRow` to a row; a row does not begin with closing punctuation when the
// mark can join the row before by moving a character on (as for columns), and
// a row that breaks ends after the last clause mark in its second half.
QList<QStringList> GridRows(QStringView line, int perRow);

// ---- Contents ----

struct ContentsEntry {
    QString title;
    QString poet;
    int page = 0;
};
// Pages a table of `entries` lines takes with `perPage` lines a page.
int ContentsPageCount(qsizetype entries, int perPage);

// ---- Source ----

// The poem of the given id as the pane shows it; false when it is gone. Throws SqlError.
bool ReadBookletPoem(SqlDatabase& db, qint32 id, PoemFields* poem);
// Lines of a stored text (CR LF, CR or LF end a line).
QStringList TextLines(const QString& text);
