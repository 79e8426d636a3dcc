#pragma once
// Text of the history box's lines and of the duplicate list's entries. Both pad
// to display columns (2 per double-byte character) so a monospaced CJK font lines
// the poet and the id up.
#include <QString>

// The title cut or padded to 16 columns, then "(" poet ")".
QString FormatTitlePoet(const QString& title, const QString& poet);
// FormatTitlePoet padded or cut to 40 columns, then the id right-aligned in 15 characters.
QString FormatHistoryLine(const QString& title, const QString& poet, const QString& id);
// The id a history line ends with (its last 15 characters, trimmed); -1 when unreadable.
qint32 HistoryLineId(const QString& line);
