#pragma once
// Width helpers measured in the GBK code page: a character that GBK encodes in
// two bytes counts 2, anything else (ASCII, or a character GBK cannot encode,
// which the conversion writes as "?") counts 1.
#include <QString>

int AnsiByteLength(const QString& text);
QString TruncateToWidth(const QString& text, int limit);
// Drops one trailing path separator ("/" or "\"), so a file name can be joined
// with "/" + name; a root "/" becomes "".
QString StripTrailingBackslash(const QString& path);
// Width in bytes of one code point.
int gbkWidth(char32_t codePoint);
