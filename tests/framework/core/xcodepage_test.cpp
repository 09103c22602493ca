#include "xcodepage.h"

#include <gtest/gtest.h>

TEST(Windows1252, EveryByteRoundTripsAndTheCharactersKeepTheirBytes)
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes += char(b);
    const QString text = FromWindows1252(bytes);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(ToWindows1252(text), bytes);

    const std::pair<char16_t, unsigned char> cases[] = {
        {u'A', 0x41},   {u'õ', 0xF5},   {u'€', 0x80},      {u'Š', 0x8A}, {u'Ÿ', 0x9F},
        {0x0081, 0x81}, {0x009D, 0x9D}, {u'\u00A0', 0xA0}, {u'ÿ', 0xFF}, {u'’', 0x92}};
    for (const auto& [character, byte] : cases) {
        EXPECT_EQ(ToWindows1252(QString(QChar(character))), QByteArray(1, char(byte)))
            << int(character);
        EXPECT_EQ(FromWindows1252(QByteArray(1, char(byte))), QString(QChar(character)));
    }
}

TEST(Windows1252, UnmappableBecomesQuestionMark)
{
    // U+0080 and U+0082 are not the characters of bytes 80 and 82; an emoji is one character.
    EXPECT_EQ(ToWindows1252(QStringLiteral("a\u0080\u0082\u4E2D\U0001F600b")),
              QByteArrayLiteral("a????b"));
    EXPECT_FALSE(IsWindows1252Text(QStringLiteral("senha\u4E2D")));
    EXPECT_FALSE(IsWindows1252Text(QStringLiteral("\U0001F600")));
    EXPECT_TRUE(IsWindows1252Text(QStringLiteral("õ€?a")));
}
