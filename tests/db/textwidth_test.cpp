#include "db/sqltext.h"
#include "db/textwidth.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(TextWidth, GbkLengthTruncationPathsAndQuoting) {
    // Full-width punctuation and the middle dot are two bytes, CR LF one each;
    // a character GBK cannot encode is written as "?": one byte.
    const std::pair<QString, int> lengths[] = {
        {u"静夜思"_s, 6}, {u"李白·唐"_s, 8}, {u"明月，\r\n"_s, 8}, {u"𠀀"_s, 1}, {u"😀a"_s, 2}};
    for (const auto& [text, bytes] : lengths) EXPECT_EQ(AnsiByteLength(text), bytes) << qPrintable(text);
    const std::tuple<QString, int, QString> cuts[] = {
        {u"ab床"_s, 5, u"ab床"_s}, {u"ab床"_s, 3, u"ab"_s}, {u"床前"_s, 0, u""_s}, {u"床前"_s, -1, u""_s},
        {u"𠀀𠀀床"_s, 1, u"𠀀"_s}, {u"𠀀𠀀床"_s, 3, u"𠀀𠀀"_s}, {u"𠀀𠀀床"_s, 4, u"𠀀𠀀床"_s}};
    for (const auto& [text, width, kept] : cuts)
        EXPECT_EQ(TruncateToWidth(text, width), kept) << qPrintable(text) << width;
    for (const auto& [path, stripped] : {std::pair{u"/opt/poem"_s, u"/opt/poem"_s}, {u"C:\\"_s, u"C:"_s},
                                         {u"/"_s, QString()}, {u"a//"_s, u"a/"_s}})
        EXPECT_EQ(StripTrailingBackslash(path), stripped);
    // Quotes doubled, wildcards and backslashes kept (sqlEscaped: the filter's test).
    for (const auto& [text, quoted] : {std::pair{QString(), u"''"_s}, {u"''"_s, u"''''''"_s},
                                       {u"100%_\\"_s, u"'100%_\\'"_s}})
        EXPECT_EQ(sqlText(text), quoted);
}
