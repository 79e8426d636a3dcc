#include "tools/bookletwriter.h"

#include "display/poemdocument.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

QPageSize::PageSizeId pageSizeId(BookletPageSize size) {
    switch (size) {
    case BookletPageSize::A5: return QPageSize::A5;
    case BookletPageSize::B5: return QPageSize::B5;
    case BookletPageSize::A4: break;
    }
    return QPageSize::A4;
}

// A font of the given family group (a template face name) at `points`.
QFont faceFont(const QString& face, double points, bool bold = false) {
    TemplateLine line;
    line.FontName = face;
    QFont font = TemplateLineFont(line);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QColor templateColor(const TemplateLine& line) {
    return QColor(colorRed(line.FontColor), colorGreen(line.FontColor), colorBlue(line.FontColor));
}

// The pinyin of each character of each content line (as TextLines splits it).
QList<QStringList> contentPinyin(const PoemNotes& notes, const PoemFields& poem) {
    if (!notes.hasPinyin()) return {};
    return LineNotes(poem.content, PartPinyin(notes, PoemPart::Content, poem.content));
}

// What the drawing of every layout shares: the page, the device and its scale.
struct Stage {
    PageFrame frame;
    QPaintDevice* device = nullptr;
    double k = 1;       // device pixels per point
    double screenK = 1; // screen pixels per point: the pane's units

    QRectF px(const QRectF& pt) const {
        return QRectF(pt.x() * k, pt.y() * k, pt.width() * k, pt.height() * k);
    }
};

// One poem laid out for the booklet: the extents of its unbreakable units
// along the flow (points), and the drawing of a run of them.
class PoemPiece {
public:
    virtual ~PoemPiece() = default;
    virtual QList<double> units() const = 0;
    virtual void drawSlice(QPainter& p, const FlowSlice& slice) const = 0;
};

// ---- Horizontal: the pane's layout in the template's formats ----

class HorizontalPiece : public PoemPiece {
public:
    // The poem is laid out in the pane's units, as the pane and its printout
    // lay it out (the pinyin's spacing is measured in them), and scaled to the
    // page when drawn.
    HorizontalPiece(const Stage& stage, const Template& lines, const PoemLayout& poem, const PoemNotes& notes)
        : m_stage(stage), m_notes(notes) {
        m_doc.setDocumentMargin(0);
        if (notes.hasPinyin()) {
            m_style = MakeNoteStyle(lines, notes, nullptr);
            ApplyPoemLayout(&m_doc, poem, lines, nullptr, notes, m_style);
        } else {
            ApplyPoemLayout(&m_doc, poem, lines, nullptr);
        }
        m_doc.setTextWidth(stage.frame.body.width() * stage.screenK);
        QAbstractTextDocumentLayout* layout = m_doc.documentLayout();
        for (QTextBlock b = m_doc.begin(); b.isValid(); b = b.next()) {
            layout->blockBoundingRect(b); // lays the block out
            const QTextLayout* tl = b.layout();
            for (int i = 0; i < tl->lineCount(); ++i)
                m_lines.append({b, i, tl->position().y() + tl->lineAt(i).y(), tl->lineAt(i).height(),
                                b.text().isEmpty()});
        }
        // The blank lines after the content and an empty notes part end no poem.
        while (m_lines.size() > 1 && m_lines.last().empty) m_lines.removeLast();
    }

    QList<double> units() const override {
        QList<double> out;
        for (qsizetype i = 0; i < m_lines.size(); ++i) {
            const double next = i + 1 < m_lines.size() ? m_lines[i + 1].top : m_lines[i].top + m_lines[i].height;
            out.append((next - m_lines[i].top) / m_stage.screenK);
        }
        return out;
    }

    void drawSlice(QPainter& p, const FlowSlice& slice) const override {
        const double sk = m_stage.screenK;
        const QRectF body(m_stage.frame.body.topLeft() * sk, m_stage.frame.body.size() * sk);
        const double top = body.top() + slice.at * sk - m_lines[slice.first].top;
        p.save();
        p.scale(m_stage.k / sk, m_stage.k / sk);
        for (int u = slice.first; u < slice.end; ++u) {
            const Line& l = m_lines[u];
            const QTextLayout* tl = l.block.layout();
            const QTextLine line = tl->lineAt(l.index);
            line.draw(&p, QPointF(body.left() + tl->position().x(), top + l.top - line.y()));
        }
        if (m_notes.hasPinyin()) {
            // The pinyin over the lines of this stretch, as the pane draws it.
            const double end = slice.end < m_lines.size() ? m_lines[slice.end].top
                                                          : m_lines.last().top + m_lines.last().height;
            p.translate(body.left(), top);
            PaintPoemNotes(&p, &m_doc, m_notes, m_style,
                           QRectF(0, m_lines[slice.first].top, body.width(), end - m_lines[slice.first].top));
        }
        p.restore();
    }

private:
    struct Line {
        QTextBlock block;
        int index = 0;
        double top = 0; // document pixels
        double height = 0;
        bool empty = false;
    };
    const Stage& m_stage;
    PoemNotes m_notes;
    NoteStyle m_style;
    QTextDocument m_doc;
    QList<Line> m_lines;
};

// ---- Vertical: columns top to bottom, right to left ----

struct VerticalMetrics {
    double fs = 14;    // character size, points
    double cell = 16;  // along the column
    double pitch = 27; // column to column
    double shift = 0;  // characters left of the column's middle to make room for readings
    int perColumn = 40;
};

VerticalMetrics verticalMetrics(const PageFrame& frame, BookletPageSize size, bool pinyin) {
    VerticalMetrics m;
    m.fs = size == BookletPageSize::A4 ? 16 : size == BookletPageSize::B5 ? 14 : 12;
    m.cell = m.fs * 1.15;
    m.pitch = m.fs * (pinyin ? 2.4 : 1.9);
    m.shift = pinyin ? m.fs * 0.3 : 0;
    m.perColumn = std::max(4, int(frame.body.height() / m.cell));
    return m;
}

class VerticalPiece : public PoemPiece {
public:
    VerticalPiece(const Stage& stage, const Template& lines, const VerticalMetrics& m, const PoemFields& poem,
                  const PoemNotes& notes)
        : m_stage(stage), m_m(m) {
        const TemplateLine& content = lines[ContentLine];
        m_font = faceFont(content.FontName, m.fs);
        m_titleFont = faceFont(lines[TitleLine].FontName, m.fs, true);
        m_noteFont = faceFont(QStringLiteral("Noto Sans CJK SC"), m.fs * 0.36);
        m_color = templateColor(content);
        m_titleColor = templateColor(lines[TitleLine]);

        const QStringList titlePinyin =
            notes.hasPinyin() ? PartPinyin(notes, PoemPart::Title, poem.title) : QStringList();
        addColumns(VerticalCells(poem.title, titlePinyin), 0, true);
        addPoet(poem);
        for (const QString& line : TextLines(poem.preface)) addColumns(VerticalCells(line), 2, false);
        const QStringList verses = TextLines(poem.content);
        const QList<QStringList> pinyin = contentPinyin(notes, poem);
        for (qsizetype i = 0; i < verses.size(); ++i) {
            if (verses[i].trimmed().isEmpty())
                m_columns.append(QList<Placed>());
            else
                addColumns(VerticalCells(verses[i], pinyin.value(i)), 0, false);
        }
    }

    QList<double> units() const override { return QList<double>(m_columns.size(), m_m.pitch); }

    void drawSlice(QPainter& p, const FlowSlice& slice) const override {
        const QRectF body = m_stage.frame.body;
        for (int u = slice.first; u < slice.end; ++u) {
            const double middle = body.right() - slice.at - (u - slice.first + 0.5) * m_m.pitch;
            for (const Placed& c : m_columns[u]) drawCell(p, c, middle - m_m.shift, body.top());
        }
    }

private:
    struct Placed {
        VerticalCell cell;
        int row = 0;
        bool title = false;
    };

    void addColumns(const QList<VerticalCell>& cells, int indent, bool title) {
        for (const QList<VerticalCell>& column : BreakColumns(cells, m_m.perColumn - indent)) {
            QList<Placed> placed;
            int row = indent;
            for (const VerticalCell& c : column) {
                placed.append({c, row, title});
                row += c.span;
            }
            m_columns.append(placed);
        }
        if (cells.isEmpty()) m_columns.append(QList<Placed>());
    }

    // The poet (dynasty in brackets before the name) at the foot of the title's
    // last column, or of a column of its own when the title leaves no room.
    void addPoet(const PoemFields& poem) {
        QString who = poem.poet;
        if (!poem.dynasty.isEmpty()) who = QStringLiteral("〔") + poem.dynasty + QStringLiteral("〕") + who;
        QList<VerticalCell> cells = VerticalCells(who);
        int rows = 0;
        for (const VerticalCell& c : cells) rows += c.span;
        if (rows == 0) return;
        int used = 0;
        for (const Placed& c : m_columns.last()) used = std::max(used, c.row + c.cell.span);
        if (used + 2 + rows > m_m.perColumn) m_columns.append(QList<Placed>());
        int row = std::max(0, m_m.perColumn - rows);
        for (const VerticalCell& c : cells) {
            m_columns.last().append({c, row, false});
            row += c.span;
        }
    }

    void drawCell(QPainter& p, const Placed& c, double middle, double top) const {
        const double k = m_stage.k;
        const double fs = m_m.fs;
        const double y = top + c.row * m_m.cell;
        p.setFont(c.title ? m_titleFont : m_font);
        p.setPen(c.title ? m_titleColor : m_color);
        const QRectF box((middle - fs / 2) * k, y * k + (m_m.cell - fs) / 2 * k, fs * k, fs * k);
        switch (c.cell.place) {
        case GlyphPlace::Upright:
        case GlyphPlace::UpperRight: // the vertical form's glyph sits where it belongs
            p.drawText(box, Qt::AlignCenter, c.cell.text);
            break;
        case GlyphPlace::Turned: {
            const double length = c.cell.span * m_m.cell * k;
            p.save();
            p.translate(middle * k, y * k + length / 2);
            p.rotate(90);
            p.drawText(QRectF(-length / 2, -fs * k / 2, length, fs * k), Qt::AlignCenter, c.cell.text);
            p.restore();
            break;
        }
        }
        if (!c.cell.notes.isEmpty() && !c.cell.notes.first().isEmpty()) {
            // The reading runs down the right of its character, turned.
            p.save();
            p.setFont(m_noteFont);
            p.translate((middle + fs * 0.5 + fs * 0.3) * k, (y + m_m.cell / 2) * k);
            p.rotate(90);
            p.drawText(QRectF(-m_m.cell * k, -fs * 0.3 * k, 2 * m_m.cell * k, fs * 0.6 * k), Qt::AlignCenter,
                       c.cell.notes.first());
            p.restore();
        }
    }

    const Stage& m_stage;
    VerticalMetrics m_m;
    QFont m_font;
    QFont m_titleFont;
    QFont m_noteFont;
    QColor m_color;
    QColor m_titleColor;
    QList<QList<Placed>> m_columns;
};

// ---- Practice grid: one character to a square, the 田 grid in a light colour ----

struct GridMetrics {
    int perRow = 10;
    double side = 40;  // square, points
    double band = 0;   // readings above a row
    double title = 30; // the title line
    double row = 46;   // row to row
};

GridMetrics gridMetrics(const PageFrame& frame, bool pinyin) {
    GridMetrics m;
    m.perRow = std::max(4, int(frame.body.width() / 42.0));
    m.side = frame.body.width() / m.perRow;
    m.band = pinyin ? m.side * 0.42 : 0;
    m.title = m.side * 0.9;
    m.row = m.band + m.side + m.side * 0.15;
    return m;
}

class GridPiece : public PoemPiece {
public:
    GridPiece(const Stage& stage, const GridMetrics& m, const PoemFields& poem, const PoemNotes& poemNotes)
        : m_stage(stage), m_m(m) {
        m_title = poem.title;
        m_poet = poem.poet;
        const QStringList content = TextLines(poem.content);
        const QList<QStringList> pinyin = contentPinyin(poemNotes, poem);
        for (qsizetype l = 0; l < content.size(); ++l) {
            // Blanks take no square: keep each kept character's reading with it.
            const QStringList chars = SplitCharacters(content[l]);
            QStringList notes = pinyin.value(l);
            if (notes.size() != chars.size()) notes.clear();
            QString kept;
            QStringList keptNotes;
            for (qsizetype i = 0; i < chars.size(); ++i) {
                if (chars[i].trimmed().isEmpty() || chars[i] == QStringLiteral("\u3000")) continue;
                kept += chars[i];
                keptNotes << (notes.isEmpty() ? QString() : notes[i]);
            }
            qsizetype at = 0;
            for (const QStringList& r : GridRows(kept, m.perRow)) {
                m_rows.append({r, keptNotes.mid(at, r.size())});
                at += r.size();
            }
        }
        m_font = faceFont(QStringLiteral("楷体"), m.side * 0.62);
        m_titleFont = faceFont(QStringLiteral("黑体"), m.side * 0.36, true);
        m_noteFont = faceFont(QStringLiteral("Noto Sans CJK SC"), m.side * 0.24);
    }

    QList<double> units() const override {
        QList<double> out{m_m.title};
        for (qsizetype i = 0; i < m_rows.size(); ++i) out.append(m_m.row);
        return out;
    }

    void drawSlice(QPainter& p, const FlowSlice& slice) const override {
        const double k = m_stage.k;
        const QRectF body = m_stage.frame.body;
        double y = body.top() + slice.at;
        for (int u = slice.first; u < slice.end; ++u) {
            if (u == 0) {
                p.setFont(m_titleFont);
                p.setPen(Qt::black);
                p.drawText(QRectF(body.left() * k, y * k, body.width() * k, m_m.title * k),
                           Qt::AlignLeft | Qt::AlignVCenter, m_title + QStringLiteral("　") + m_poet);
                y += m_m.title;
                continue;
            }
            drawRow(p, m_rows[u - 1], body.left(), y);
            y += m_m.row;
        }
    }

private:
    struct Row {
        QStringList chars;
        QStringList notes;
    };

    void drawRow(QPainter& p, const Row& row, double left, double y) const {
        const double k = m_stage.k;
        const double side = m_m.side;
        const double top = y + m_m.band;
        static const QColor kGrid(226, 150, 150);
        QPen solid(kGrid, 0.8 * k);
        QPen dashed(kGrid, 0.5 * k, Qt::DashLine);
        for (qsizetype i = 0; i < row.chars.size(); ++i) {
            const QRectF sq((left + i * side) * k, top * k, side * k, side * k);
            p.setPen(dashed);
            p.drawLine(QPointF(sq.center().x(), sq.top()), QPointF(sq.center().x(), sq.bottom()));
            p.drawLine(QPointF(sq.left(), sq.center().y()), QPointF(sq.right(), sq.center().y()));
            p.setPen(solid);
            p.drawRect(sq);
            p.setPen(Qt::black);
            p.setFont(m_font);
            p.drawText(sq, Qt::AlignCenter, row.chars[i]);
            if (i < row.notes.size() && !row.notes[i].isEmpty()) {
                p.setFont(m_noteFont);
                p.drawText(QRectF(sq.left(), (y * k), sq.width(), m_m.band * k), Qt::AlignCenter, row.notes[i]);
            }
        }
    }

    const Stage& m_stage;
    GridMetrics m_m;
    QString m_title;
    QString m_poet;
    QList<Row> m_rows;
    QFont m_font;
    QFont m_titleFont;
    QFont m_noteFont;
};

// Lays out poems in the chosen style on one device.
class Composer {
public:
    Composer(QPaintDevice* device, const Template& lines, const BookletOptions& options, const BookletNotes& notes)
        : m_lines(lines), m_options(options), m_notes(options.pinyin ? notes : BookletNotes()) {
        m_stage.frame = BookletPageFrame(options.pageSize);
        m_stage.device = device;
        m_stage.k = device->logicalDpiY() / 72.0;
        const QScreen* screen = QGuiApplication::primaryScreen();
        m_stage.screenK = (screen ? screen->logicalDotsPerInchY() : 96.0) / 72.0;
        m_vertical = verticalMetrics(m_stage.frame, options.pageSize, bool(m_notes));
        m_grid = gridMetrics(m_stage.frame, bool(m_notes));
    }

    const Stage& stage() const { return m_stage; }

    std::unique_ptr<PoemPiece> piece(qint32 id, const PoemFields& poem) const {
        const PoemLayout layout = BuildPoemLayout(poem);
        const PoemNotes notes = m_notes ? m_notes(id, poem, layout) : PoemNotes{};
        switch (m_options.style) {
        case BookletStyle::Vertical:
            return std::make_unique<VerticalPiece>(m_stage, m_lines, m_vertical, poem, notes);
        case BookletStyle::Grid: return std::make_unique<GridPiece>(m_stage, m_grid, poem, notes);
        case BookletStyle::Horizontal: break;
        }
        return std::make_unique<HorizontalPiece>(m_stage, m_lines, layout, notes);
    }

    PageFlow flow() const {
        const QRectF body = m_stage.frame.body;
        if (m_options.style == BookletStyle::Vertical) return PageFlow(body.width(), m_vertical.pitch);
        return PageFlow(body.height(), m_options.style == BookletStyle::Grid ? m_grid.side * 0.5 : 18.0);
    }

    // ---- Cover, contents, page numbers ----

    static constexpr double kContentsSize = 11;
    double contentsLine() const { return kContentsSize * 1.9; }
    double contentsHeader() const { return kContentsSize * 5; }
    int contentsPerPage() const {
        return std::max(1, int((m_stage.frame.body.height() - contentsHeader()) / contentsLine()));
    }

    void drawCover(QPainter& p, qsizetype poems) const {
        const double k = m_stage.k;
        const QRectF body = m_stage.frame.body;
        p.setPen(Qt::black);
        p.setFont(faceFont(QStringLiteral("楷体"), 30, true));
        p.drawText(QRectF(body.left() * k, (body.top() + body.height() * 0.25) * k, body.width() * k, 80 * k),
                   Qt::AlignCenter | Qt::TextWordWrap, m_options.title);
        p.setFont(faceFont(QStringLiteral("宋体"), 14));
        p.drawText(QRectF(body.left() * k, (body.top() + body.height() * 0.25 + 100) * k, body.width() * k, 30 * k),
                   Qt::AlignCenter, QStringLiteral("共 %1 首").arg(poems));
    }

    void drawContentsPage(QPainter& p, const QList<BookletWriter::Plan>& plans, int page, int offset) const;

    void drawPageNumber(QPainter& p, int number) const {
        p.setPen(Qt::black);
        p.setFont(faceFont(QStringLiteral("宋体"), 9));
        p.drawText(m_stage.px(m_stage.frame.footer), Qt::AlignCenter, QString::number(number));
    }

private:
    const Template& m_lines;
    const BookletOptions& m_options;
    BookletNotes m_notes;
    Stage m_stage;
    VerticalMetrics m_vertical;
    GridMetrics m_grid;
};

} // namespace

struct BookletWriter::Plan {
    QString title;
    QString poet;
    qint32 id = 0;
    QList<FlowSlice> slices;
};

namespace {

void Composer::drawContentsPage(QPainter& p, const QList<BookletWriter::Plan>& plans, int page, int offset) const {
    const double k = m_stage.k;
    const QRectF body = m_stage.frame.body;
    p.setPen(Qt::black);
    p.setFont(faceFont(QStringLiteral("黑体"), 18, true));
    p.drawText(QRectF(body.left() * k, body.top() * k, body.width() * k, contentsHeader() * 0.7 * k),
               Qt::AlignCenter, QStringLiteral("目　录"));
    const QFont font = faceFont(QStringLiteral("宋体"), kContentsSize);
    const QFontMetricsF fm(font, m_stage.device);
    p.setFont(font);
    const int per = contentsPerPage();
    const qsizetype first = qsizetype(page) * per;
    const qsizetype end = std::min<qsizetype>(plans.size(), first + per);
    QPen dots(Qt::gray, 0.8 * k, Qt::DotLine);
    for (qsizetype i = first; i < end; ++i) {
        const BookletWriter::Plan& plan = plans[i];
        const double y = (body.top() + contentsHeader() + (i - first) * contentsLine()) * k;
        const QRectF line(body.left() * k, y, body.width() * k, contentsLine() * k);
        const QString number = QString::number(offset + plan.slices.value(0).page + 1);
        const double numberWidth = fm.horizontalAdvance(number);
        const QString entry =
            fm.elidedText(plan.title + QStringLiteral("　") + plan.poet, Qt::ElideRight, line.width() * 0.8);
        const double entryWidth = fm.horizontalAdvance(entry);
        p.setPen(Qt::black);
        p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, entry);
        p.drawText(line, Qt::AlignRight | Qt::AlignVCenter, number);
        p.setPen(dots);
        const double baseline = line.center().y() + fm.ascent() / 2 - fm.descent();
        p.drawLine(QPointF(line.left() + entryWidth + 6 * k, baseline),
                   QPointF(line.right() - numberWidth - 6 * k, baseline));
    }
}

} // namespace

BookletWriter::BookletWriter(SqlDatabase& db, const Template& lines, const BookletOptions& options,
                             BookletNotes notes)
    : m_db(db), m_lines(lines), m_options(options), m_notes(std::move(notes)) {}

BookletWriter::Result BookletWriter::render(const QList<qint32>& ids, QPagedPaintDevice* device,
                                            QString* error) {
    const Composer composer(device, m_lines, m_options, m_notes);
    const qint64 total = 2 * qint64(ids.size());
    qint64 done = 0;
    const auto step = [&] { return !m_progress || m_progress(++done, total); };

    // First pass: where every poem goes.
    PageFlow flow = composer.flow();
    QList<Plan> plans;
    for (qint32 id : ids) {
        PoemFields poem;
        if (ReadBookletPoem(m_db, id, &poem))
            plans.append({poem.title, poem.poet, id, flow.place(composer.piece(id, poem)->units())});
        if (!step()) return Result::Cancelled;
    }
    if (plans.isEmpty()) {
        *error = QStringLiteral("列表中没有可输出的诗词。");
        return Result::Failed;
    }
    const bool cover = !m_options.title.trimmed().isEmpty();
    const int contentsPages = m_options.contents ? ContentsPageCount(plans.size(), composer.contentsPerPage()) : 0;
    const int offset = (cover ? 1 : 0) + contentsPages;

    // Second pass: the drawing.
    QPainter painter;
    if (!painter.begin(device)) {
        *error = QStringLiteral("无法开始绘制页面。");
        return Result::Failed;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    int current = 0;
    const auto finishPage = [&] {
        if (current > 0 || !cover) composer.drawPageNumber(painter, current + 1);
    };
    const auto goTo = [&](int page) {
        while (current < page) {
            finishPage();
            device->newPage();
            ++current;
        }
    };
    if (cover) composer.drawCover(painter, plans.size());
    for (int c = 0; c < contentsPages; ++c) {
        goTo((cover ? 1 : 0) + c);
        composer.drawContentsPage(painter, plans, c, offset);
    }
    for (const Plan& plan : plans) {
        PoemFields poem;
        if (ReadBookletPoem(m_db, plan.id, &poem)) {
            const std::unique_ptr<PoemPiece> piece = composer.piece(plan.id, poem);
            for (const FlowSlice& slice : plan.slices) {
                goTo(offset + slice.page);
                piece->drawSlice(painter, slice);
            }
        }
        if (!step()) {
            painter.end();
            return Result::Cancelled;
        }
    }
    finishPage();
    if (!painter.end()) {
        *error = QStringLiteral("页面写出失败。");
        return Result::Failed;
    }
    m_pages = current + 1;
    return Result::Written;
}

BookletWriter::Result BookletWriter::writePdf(const QList<qint32>& ids, const QString& path, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return Result::Failed;
    }
    Result result;
    {
        QPdfWriter pdf(&file);
        pdf.setResolution(300);
        pdf.setPageSize(QPageSize(pageSizeId(m_options.pageSize)));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(m_options.title);
        pdf.setCreator(QStringLiteral("蓝溪诗汇"));
        result = render(ids, &pdf, error);
    }
    if (result != Result::Written) {
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return Result::Failed;
    }
    return Result::Written;
}

BookletWriter::Result BookletWriter::print(const QList<qint32>& ids, QPrinter* printer, QString* error) {
    printer->setFullPage(true);
    printer->setPageSize(QPageSize(pageSizeId(m_options.pageSize)));
    printer->setPageMargins(QMarginsF(0, 0, 0, 0));
    printer->setDocName(m_options.title);
    const Result result = render(ids, printer, error);
    if (result == Result::Cancelled) printer->abort();
    return result;
}

qint64 BookletWriter::estimatePages(const QList<qint32>& ids, int sample) {
    if (ids.isEmpty()) return 0;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(300);
    const Composer composer(&pdf, m_lines, m_options, m_notes);
    PageFlow flow = composer.flow();
    const qsizetype n = std::min<qsizetype>(ids.size(), std::max(sample, 1));
    qsizetype placed = 0;
    for (qsizetype i = 0; i < n; ++i) {
        PoemFields poem;
        const qint32 id = ids[i * ids.size() / n];
        if (!ReadBookletPoem(m_db, id, &poem)) continue;
        flow.place(composer.piece(id, poem)->units());
        ++placed;
    }
    if (placed == 0) return 0;
    const qint64 pages = std::llround(double(flow.pageCount()) * double(ids.size()) / double(placed));
    const qint64 contents =
        m_options.contents ? ContentsPageCount(ids.size(), composer.contentsPerPage()) : 0;
    return pages + contents + (m_options.title.trimmed().isEmpty() ? 0 : 1);
}
