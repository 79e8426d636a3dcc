#pragma once
// The filter clause over Poetry (alias a) that the title list appends to its
// query, built from the poem fields of the search panel or the navigation tree,
// and the rule that puts the search panel's count field into a safe form.
#include <QString>

#include <optional>

// The count field as the search panel keeps it: a whole number, or one of the
// operators >=, <=, <>, >, <, = followed by a whole number, each number
// rounded to the nearest whole (halves to even) and within -32768..32767.
// Blanks may stand around the number, also between operator and number; the
// operator must stand first. An empty text stays empty; anything else that
// cannot be put into that form gives nothing (the panel then empties the field).
// Examples: " 7 " → "7", "3.6" → "4", "> 5" → ">5", ">=2.5" → ">=2";
// "=>3", "abc", "99999" → nothing.
std::optional<QString> NormalizeSearchCount(const QString& count);

// " Where 1=1" followed by one term for every value that is not empty, in the
// order type, style, title, poet, dynasty, content, preface, notes, count.
// Text values are spliced as they are (not trimmed, not case-folded), single
// quotes doubled; % and _ keep their wildcard meaning. The count is first
// normalised by NormalizeSearchCount: a plain number gives "a.fQty = N", an
// operator and number "a.fQty <op>N", and a count that cannot be normalised
// gives no term, so free text never reaches the statement.
QString BuildPoemFilter(const QString& type, const QString& dynasty, const QString& style,
                        const QString& poet, const QString& title, const QString& content,
                        const QString& preface, const QString& notes, const QString& count);
