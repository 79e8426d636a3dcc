#pragma once
// A small RTF reader for tests: enough of the format to read back what the
// program writes (font and colour tables, paragraphs, \uN escapes, escaped
// symbols) and to see which control words each paragraph carries.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

struct RtfParagraph {
    QString text;
    // Every control word met inside the paragraph, with its number ("qc",
    // "li600", "fs32", "up16"), in order.
    QStringList controls;
};

struct RtfReadBack {
    QStringList fonts;    // names in table order
    QStringList colours;  // "r,g,b"; entry 0 is the automatic colour ("auto")
    QStringList charsets; // the \fcharset of each font
    QList<RtfParagraph> paragraphs{RtfParagraph{}};
    bool wellFormed = false; // groups balanced, starts with {\rtf1

    QString text() const {
        QStringList lines;
        for (const RtfParagraph& p : paragraphs) lines << p.text;
        return lines.join(u'\n');
    }
};

inline RtfReadBack ReadRtf(const QByteArray& rtf) {
    enum class Dest { Body, Fonts, Colours };
    RtfReadBack out;
    std::vector<Dest> stack; // the destination of each enclosing group
    Dest dest = Dest::Body;
    int skip = 0; // fallback characters still to skip after \uN
    QString fontName;
    int rgb[3] = {0, 0, 0};
    bool colourSet = false, sawRtf1 = false, balanced = true;
    const auto put = [&](QChar c) {
        if (skip > 0) {
            --skip;
        } else if (dest == Dest::Body) {
            out.paragraphs.last().text += c;
        } else if (dest == Dest::Fonts) {
            if (c != u';') fontName += c;
            else out.fonts << std::exchange(fontName, QString()).trimmed();
        } else if (dest == Dest::Colours && c == u';') {
            out.colours << (colourSet ? QStringLiteral("%1,%2,%3").arg(rgb[0]).arg(rgb[1]).arg(rgb[2]) : QStringLiteral("auto"));
            rgb[0] = rgb[1] = rgb[2] = 0;
            colourSet = false;
        }
    };
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const qsizetype n = rtf.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = rtf[i];
        if (c == '{') {
            stack.push_back(dest);
        } else if (c == '}') {
            balanced = balanced && !stack.empty();
            if (!stack.empty()) dest = stack.back(), stack.pop_back();
        } else if (c != '\\') {
            if (c != '\r' && c != '\n') put(QLatin1Char(c));
        } else if (++i >= n) {
            break;
        } else if (rtf[i] == '\\' || rtf[i] == '{' || rtf[i] == '}') {
            put(QLatin1Char(rtf[i]));
        } else if (letter(rtf[i])) {
            QByteArray word, num;
            while (i < n && letter(rtf[i])) word += rtf[i++];
            if (i < n && rtf[i] == '-') num += rtf[i++];
            while (i < n && rtf[i] >= '0' && rtf[i] <= '9') num += rtf[i++];
            if (!(i < n && rtf[i] == ' ')) --i; // the delimiter blank belongs to the word
            const int value = num.toInt();
            if (word == "rtf" && value == 1 && stack.size() == 1) sawRtf1 = true;
            const int colour = word == "red" ? 0 : word == "green" ? 1 : word == "blue" ? 2 : -1;
            if (word == "u") {
                put(QChar(char16_t(value < 0 ? value + 0x10000 : value)));
                skip = 1;
            } else if (word == "fonttbl" || word == "colortbl") {
                dest = word == "fonttbl" ? Dest::Fonts : Dest::Colours;
            } else if (dest == Dest::Colours && colour >= 0) {
                rgb[colour] = value;
                colourSet = true;
            } else if (dest == Dest::Fonts && word == "fcharset") {
                out.charsets << QString::number(value);
            } else if (dest == Dest::Body) {
                if (word == "par") out.paragraphs.append(RtfParagraph{});
                else if (word == "line" || word == "tab") put(word == "tab" ? QChar(u'\t') : QChar(QChar::LineSeparator));
                else out.paragraphs.last().controls << QString::fromLatin1(word + num);
            }
        }
    }
    out.wellFormed = balanced && stack.empty() && sawRtf1;
    return out;
}
