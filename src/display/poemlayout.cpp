#include "display/poemlayout.h"

#include "search/scriptfold.h"

#include <QStringView>

#include <algorithm>

namespace {

// Characters at which the pane begins a new paragraph. CR LF is one break;
// the caller handles that pair.
bool isParagraphBreak(QChar c) {
    switch (c.unicode()) {
    case u'\r':
    case u'\n':
    case 0x2029: // paragraph separator
    case 0xFDD0: // the pane's start-of-frame mark
    case 0xFDD1: // the pane's end-of-frame mark
        return true;
    default:
        return false;
    }
}

// Builds the paragraphs the way the pane receives the pieces: a line format is
// set at the insertion point (its paragraph takes the line's paragraph format,
// the text typed next its character format), text is inserted, and a line
// break in the text starts a paragraph that inherits the current one's format.
class LayoutWriter {
public:
    LayoutWriter() { m_layout.paragraphs.append(LayoutParagraph{}); }

    void applyLineFormat(int kind) {
        m_charKind = kind;
        m_layout.paragraphs.last().lineKind = kind;
    }

    void insert(const QString& text) {
        const qsizetype n = text.size();
        qsizetype segment = 0;
        for (qsizetype i = 0; i < n; ++i) {
            if (!isParagraphBreak(text[i])) continue;
            appendRun(QStringView(text).sliced(segment, i - segment));
            if (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
            breakParagraph();
            segment = i + 1;
        }
        appendRun(QStringView(text).sliced(segment));
    }

    qint32 position() const { return m_position; }
    PoemLayout& layout() { return m_layout; }

private:
    void appendRun(QStringView text) {
        if (text.isEmpty()) return;
        QList<LayoutRun>& runs = m_layout.paragraphs.last().runs;
        if (!runs.isEmpty() && runs.last().lineKind == m_charKind)
            runs.last().text += text;
        else
            runs.append(LayoutRun{text.toString(), m_charKind});
        m_position += qint32(text.size());
    }

    void breakParagraph() {
        m_layout.paragraphs.append(LayoutParagraph{m_layout.paragraphs.last().lineKind, {}});
        m_position += 1;
    }

    PoemLayout m_layout;
    int m_charKind = TitleLine;
    qint32 m_position = 0;
};

bool splitsSurrogatePair(const QString& text, qsizetype pos) {
    return pos > 0 && pos < text.size() && text[pos - 1].isHighSurrogate() &&
           text[pos].isLowSurrogate();
}

std::optional<TextRange> findInPart(const QString& text, const QString& term, qint32 from,
                                    qint32 to) {
    const qsizetype size = text.size();
    const qsizetype begin = std::clamp<qsizetype>(0, from, size);
    const qsizetype end = std::clamp<qsizetype>(begin, to, size);
    const QStringView part = QStringView(text).sliced(begin, end - begin);
    for (qsizetype at = part.indexOf(term, 0, Qt::CaseInsensitive); at >= 0;
         at = part.indexOf(term, at + 1, Qt::CaseInsensitive)) {
        const qsizetype start = begin + at;
        if (!splitsSurrogatePair(text, start) && !splitsSurrogatePair(text, start + term.size()))
            return TextRange{qint32(start), qint32(term.size())};
    }
    return std::nullopt;
}

} // namespace

QString LayoutParagraph::text() const {
    QString out;
    for (const LayoutRun& run : runs)
        out += run.text;
    return out;
}

QString PoemLayout::plainText() const {
    QString out;
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i > 0) out += u'\n';
        out += paragraphs[i].text();
    }
    for (QChar& c : out) {
        if (c == QChar::LineSeparator)
            c = u'\n';
        else if (c == QChar::Nbsp)
            c = u' ';
    }
    return out;
}

PoemLayout BuildPoemLayout(const PoemFields& poem) {
    static const QString kTwoBreaks = QStringLiteral("\r\n\r\n");
    LayoutWriter w;
    std::array<qint32, 4> start{};

    w.applyLineFormat(TitleLine);
    w.insert(poem.title);
    w.applyLineFormat(AuthorLine);
    w.insert(QStringLiteral(" (") + poem.poet + u'·' + poem.dynasty + u')' + kTwoBreaks);
    start[0] = w.position();

    if (!poem.preface.isEmpty()) {
        w.applyLineFormat(PrefaceLine);
        w.insert(poem.preface + kTwoBreaks);
    }
    start[1] = w.position();

    w.applyLineFormat(ContentLine);
    w.insert(poem.content + kTwoBreaks);
    start[2] = w.position();

    w.applyLineFormat(NotesLine);
    w.insert(poem.notes);
    start[3] = w.position();

    PoemLayout& layout = w.layout();
    layout.PartStart = start;
    return std::move(layout);
}

std::optional<TextRange> FindSearchTermInPoem(const QString& plainText,
                                              const std::array<qint32, 4>& PartStart,
                                              const QString& contentTerm, const QString& notesTerm,
                                              const QString& prefaceTerm, bool foldScripts) {
    if (foldScripts)
        return FindSearchTermInPoem(ScriptFold::fold(plainText), PartStart, ScriptFold::fold(contentTerm),
                                    ScriptFold::fold(notesTerm), ScriptFold::fold(prefaceTerm));
    if (!contentTerm.isEmpty())
        return findInPart(plainText, contentTerm, PartStart[1], PartStart[2]);
    if (!notesTerm.isEmpty())
        return findInPart(plainText, notesTerm, PartStart[2], qint32(plainText.size()));
    if (!prefaceTerm.isEmpty())
        return findInPart(plainText, prefaceTerm, PartStart[0], PartStart[1]);
    return std::nullopt;
}

LineGeometry LineGeometryFor(const TemplateLine& line, qint32 charWidth, qint32 charHeight) {
    const qint32 firstLine = qint32(line.Indent) * charWidth;
    const qint32 followingLines = (qint32(line.Indent) + line.HangingIndent) * charWidth;
    // Neither line may start left of the pane's edge.
    LineGeometry g;
    g.leftMargin = qMax(followingLines, 0);
    g.textIndent = qMax(firstLine, 0) - g.leftMargin;
    g.baselineShift = line.Offset * double(charHeight) / 5.0;
    g.baselineOffsetPercent = qint32(line.Offset) * 20;
    return g;
}
