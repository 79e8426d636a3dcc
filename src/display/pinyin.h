#pragma once
// Pinyin readings of the characters a reader selects in the poem pane, looked
// up one character at a time in table hzPy.
#include "db/sqlitedb.h"

#include <QString>

// At most this many characters of a selection are looked up.
inline constexpr int kPinyinHintMaxChars = 16;

// The readings of `text`, one item per character (a character outside the BMP
// is one character), each followed by one blank. A text of exactly one
// character gets all its readings in ascending py2 order joined by "/";
// longer texts get each character's first reading. A character without a
// reading, or whose lookup fails, stands for itself.
QString PinyinOf(SqlDatabase& db, const QString& text);

// The part of the pane's selected text that the hint shows: the first
// kPinyinHintMaxChars characters, with the first CR LF removed. Paragraph and
// line separators of the pane (U+2029, U+2028) count as the CR LF they stand for.
QString PinyinHintSelection(const QString& selected);

// The hint for the pane's selected text: "[" + s + "]：" + PinyinOf(s) with s
// from PinyinHintSelection; the empty text when nothing is selected.
QString PinyinHintText(SqlDatabase& db, const QString& selected);
