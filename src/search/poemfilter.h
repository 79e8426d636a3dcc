#pragma once
// The filter clause over Poetry (alias a) that the title list appends to its
// query, built from the poem fields of the search panel or the navigation tree,
// and the rule that puts the search panel's count field into a safe form.
#include <QString>

#include <optional>

// The nine search fields, as the search panel holds them.
struct PoemSearchFields {
    // Each has a default, so callers name only the fields they fill.
    QString type{}, dynasty{}, style{}, poet{}, title{}, content{}, preface{}, notes{}, count{};
};

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
// Callers name the fields they fill: BuildPoemFilter({.dynasty = d, .poet = p}).
QString BuildPoemFilter(const PoemSearchFields& fields);

// BuildPoemFilter over the fields. With foldScripts the poet and the four
// "contains" fields match across simplified, traditional and variant characters
// (ScriptFold): a term without any such character keeps its plain term; the
// poet's begins-with term lists the term's few spellings (a.fPoet Like '苏轼%'
// Or a.fPoet Like '蘇軾%' ...), so its index still serves; the other terms
// compare the folded column, lyra_fold(a.fContent) like '%<folded term>%'.
// % and _ keep their wildcard meaning either way.
QString BuildSearchFilter(const PoemSearchFields& fields, bool foldScripts);
