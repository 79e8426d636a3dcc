#pragma once
// Folding of simplified, traditional and variant characters for the search:
// every character maps to one form (長 → 长, 風 → 风, 爲 → 为), and a text
// folded on both sides finds the other script. The table comes from
// data/scriptfold.txt. A character folds to one of the same length in UTF-16
// units, so a folded text is exactly as long as the stored one and a position
// found in it is the same position in the stored text.
#include <QString>
#include <QStringView>

#include <vector>

struct sqlite3;

namespace ScriptFold {

// The folded form of one code point (the code point itself when it has none).
char32_t fold(char32_t c);
// The text with every character folded; the same length as the text.
QString fold(QStringView text);
// Every character that folds to the same form as c, c included, in code point order.
std::vector<char32_t> variants(char32_t c);
// True when some character of the text has a variant, so that a folded search
// for it can find other text than a plain one.
bool hasVariants(QStringView text);
// Changes whenever the table does (an index built from folded text records it).
quint32 tableStamp();
// Registers lyra_fold(text) on the connection: its argument folded (NULL stays NULL).
// Returns the SQLite result code.
int registerSqlFunction(sqlite3* db);

} // namespace ScriptFold
