#include "db/sqltext.h"
#include "db/textwidth.h"

#include <gtest/gtest.h>

TEST(TextWidth, AnsiByteLengthCountsGbkBytes) {
    EXPECT_EQ(AnsiByteLength(QStringLiteral("静夜思")), 6);
    // The middle dot and full-width punctuation are double-byte in GBK; CR LF are 1 each.
    EXPECT_EQ(AnsiByteLength(QStringLiteral("李白·唐")), 8);
    EXPECT_EQ(AnsiByteLength(QStringLiteral("明月，\r\n")), 8);
    // A character GBK cannot encode is written as "?": one byte.
    EXPECT_EQ(AnsiByteLength(QStringLiteral("𠀀")), 1);
    EXPECT_EQ(AnsiByteLength(QStringLiteral("😀a")), 2);
}

TEST(TextWidth, TruncateToWidthKeepsWholeCharacters) {
    EXPECT_EQ(TruncateToWidth(QStringLiteral("床前明"), 5), QStringLiteral("床前"));
    EXPECT_EQ(TruncateToWidth(QStringLiteral("ab床"), 5), QStringLiteral("ab床"));
    EXPECT_EQ(TruncateToWidth(QStringLiteral("ab床"), 3), QStringLiteral("ab"));
    EXPECT_EQ(TruncateToWidth(QStringLiteral("床前"), 0), QString());
    EXPECT_EQ(TruncateToWidth(QStringLiteral("床前"), -1), QString());
    EXPECT_EQ(TruncateToWidth(QString(), 10), QString());
    // A surrogate pair is never cut in half.
    const QString ext = QStringLiteral("𠀀𠀀床");
    EXPECT_EQ(TruncateToWidth(ext, 1), QStringLiteral("𠀀"));
    EXPECT_EQ(TruncateToWidth(ext, 3), QStringLiteral("𠀀𠀀"));
    EXPECT_EQ(TruncateToWidth(ext, 4), ext);
}

TEST(TextWidth, StripTrailingBackslashDropsOneSeparator) {
    EXPECT_EQ(StripTrailingBackslash(QStringLiteral("/opt/poem")), QStringLiteral("/opt/poem"));
    EXPECT_EQ(StripTrailingBackslash(QStringLiteral("C:\\")), QStringLiteral("C:"));
    EXPECT_EQ(StripTrailingBackslash(QStringLiteral("/")), QString());
    EXPECT_EQ(StripTrailingBackslash(QStringLiteral("a//")), QStringLiteral("a/"));
}

TEST(SqlText, DoublesEveryQuote) {
    EXPECT_EQ(sqlText(QString()), QStringLiteral("''"));
    EXPECT_EQ(sqlText(QStringLiteral("''")), QStringLiteral("''''''"));
    EXPECT_EQ(sqlText(QStringLiteral("100%_\\")), QStringLiteral("'100%_\\'"));
    EXPECT_EQ(sqlEscaped(QStringLiteral("a'b")), QStringLiteral("a''b"));
}
