#pragma once
// A small RTF reader for tests: enough of the format to read back what the
// program writes (font and colour tables, paragraphs, \uN escapes, escaped
// symbols) and to see which control words each paragraph carries.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

struct RtfParagraph {
    QString text;
    // Every control word met inside the paragraph, with its number ("qc",
    // "li600", "fs32", "up16"), in order.
    QStringList controls;
};

struct RtfReadBack {
    QStringList fonts;   // names in table order
    QStringList colours; // "r,g,b"; entry 0 is the automatic colour ("auto")
    QStringList charsets; // the \fcharset of each font
    QList<RtfParagraph> paragraphs;
    bool wellFormed = false; // groups balanced, starts with {\rtf1

    QString text() const {
        QStringList lines;
        for (const RtfParagraph& p : paragraphs) lines << p.text;
        return lines.join(u'\n');
    }
};

inline RtfReadBack ReadRtf(const QByteArray& rtf) {
    enum class Dest { Body, Fonts, Colours, Skip };
    struct State {
        Dest dest = Dest::Body;
    };
    RtfReadBack out;
    out.paragraphs.append(RtfParagraph{});
    std::vector<State> stack;
    State cur;
    int skip = 0; // fallback characters still to skip after \uN
    QString fontName;
    int r = 0, g = 0, b = 0;
    bool colourSet = false;
    bool sawRtf1 = false;
    int depth = 0;
    bool balanced = true;
    auto put = [&](QChar c) {
        if (skip > 0) {
            --skip;
            return;
        }
        switch (cur.dest) {
        case Dest::Body: out.paragraphs.last().text += c; break;
        case Dest::Fonts:
            if (c == u';') {
                out.fonts << fontName.trimmed();
                fontName.clear();
            } else {
                fontName += c;
            }
            break;
        case Dest::Colours:
            if (c == u';') {
                out.colours << (colourSet ? QStringLiteral("%1,%2,%3").arg(r).arg(g).arg(b) : QStringLiteral("auto"));
                r = g = b = 0;
                colourSet = false;
            }
            break;
        case Dest::Skip: break;
        }
    };
    const qsizetype n = rtf.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = rtf[i];
        if (c == '{') {
            stack.push_back(cur);
            ++depth;
            continue;
        }
        if (c == '}') {
            if (stack.empty()) {
                balanced = false;
                continue;
            }
            cur = stack.back();
            stack.pop_back();
            --depth;
            continue;
        }
        if (c == '\r' || c == '\n') continue;
        if (c != '\\') {
            put(QLatin1Char(c));
            continue;
        }
        if (++i >= n) break;
        const char d = rtf[i];
        if (d == '\\' || d == '{' || d == '}') {
            put(QLatin1Char(d));
            continue;
        }
        if (d == '\'') {
            i += 2;
            put(u'?');
            continue;
        }
        if (d == '*') {
            cur.dest = Dest::Skip;
            continue;
        }
        if (!((d >= 'a' && d <= 'z') || (d >= 'A' && d <= 'Z'))) continue; // other symbols
        QByteArray word;
        while (i < n && ((rtf[i] >= 'a' && rtf[i] <= 'z') || (rtf[i] >= 'A' && rtf[i] <= 'Z'))) word += rtf[i++];
        QByteArray num;
        if (i < n && rtf[i] == '-') num += rtf[i++];
        while (i < n && rtf[i] >= '0' && rtf[i] <= '9') num += rtf[i++];
        if (!(i < n && rtf[i] == ' ')) --i; // the delimiter blank belongs to the word
        const int value = num.toInt();
        if (word == "rtf" && value == 1 && depth == 1) sawRtf1 = true;
        if (word == "u") {
            put(QChar(char16_t(value < 0 ? value + 0x10000 : value)));
            skip = 1;
        } else if (word == "fonttbl") cur.dest = Dest::Fonts;
        else if (word == "colortbl") cur.dest = Dest::Colours;
        else if (cur.dest == Dest::Colours) {
            if (word == "red") r = value, colourSet = true;
            if (word == "green") g = value, colourSet = true;
            if (word == "blue") b = value, colourSet = true;
        } else if (cur.dest == Dest::Fonts) {
            if (word == "fcharset") out.charsets << QString::number(value);
        } else if (cur.dest == Dest::Body) {
            if (word == "par") {
                out.paragraphs.append(RtfParagraph{});
            } else if (word == "line") {
                put(QChar::LineSeparator);
            } else if (word == "tab") {
                put(u'\t');
            } else {
                out.paragraphs.last().controls << QString::fromLatin1(word + num);
            }
        }
    }
    out.wellFormed = balanced && depth == 0 && sawRtf1;
    return out;
}
