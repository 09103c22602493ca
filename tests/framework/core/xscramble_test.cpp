#include "xcodepage.h"
#include "xexception.h"
#include "xpackbuffer.h"
#include "xscramble.h"

#include <gtest/gtest.h>

namespace {

bool AllPrintable(const QByteArray& bytes)
{
    for (const char b : bytes)
        if (static_cast<unsigned char>(b) < 32)
            return false;
    return true;
}

const QByteArray kStoredPassword =
    QByteArray::fromHex("4b20254257414141d068bd6c215a67ed50d78bf180c873215f77f638d57fe37f");

} // namespace

TEST(Scramble, StoredPasswordUnscrambles)
{
    EXPECT_EQ(UnscrambleText(kStoredPassword, kUserPasswordKey), QByteArrayLiteral("SENHA123"));
    // Held in the database as text: the Windows-1252 decoding, "õ" in the key included.
    const QString stored = FromWindows1252(kStoredPassword);
    EXPECT_EQ(UnscrambleText(stored, kUserPasswordKey), QStringLiteral("SENHA123"));
    EXPECT_EQ(UnscrambleText(stored, QStringLiteral("bv$Lõw3")), QStringLiteral("SENHA123"));
    // Through UTF-8 by mistake the same text gives something else.
    EXPECT_NE(UnscrambleText(stored.toUtf8(), kUserPasswordKey), QByteArrayLiteral("SENHA123"));
}

TEST(Scramble, StoredConnectionFileReads)
{
    const QByteArray file = QByteArray::fromHex(
        "dc2142342023414141c96eea6ee471215d549a5aaa97d960d89343a535e8f4dc215ec028b428c128cd2152d42f"
        "2022435fdb61ee52af3f2022494af12299215299214f9c46b6");
    TPackBuffer buffer;
    PackInitRead(buffer, UnscrambleText(file, kConnectionFileKey));
    EXPECT_EQ(PackGetInt32(buffer), 1);
    EXPECT_EQ(PackGetString(buffer), QByteArrayLiteral("/home/estacao/dados/estacao.db"));
}

TEST(Scramble, RoundTripsAndDiffers)
{
    QByteArray everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte += char(b);
    const QByteArray keys[] = {kUserPasswordKey, kConnectionFileKey, "", "k", "ab", "abc"};
    const QByteArray texts[] = {everyByte, QByteArray(), QByteArray(600, '\0'), "SENHA123"};
    for (const QByteArray& key : keys)
        for (const QByteArray& text : texts) {
            const QByteArray first = ScrambleText(text, key);
            const QByteArray second = ScrambleText(text, key);
            EXPECT_FALSE(first.isEmpty());
            EXPECT_TRUE(AllPrintable(first));
            EXPECT_NE(first, second);
            EXPECT_EQ(UnscrambleText(first, key), text) << key.toHex().constData();
        }
}

TEST(Scramble, QStringOverloadsKeepEveryWindows1252Character)
{
    const QString text = QStringLiteral("Çãõ €‰ \u0081\u008D\u008F\u0090\u009D ÿ");
    const QString scrambled = ScrambleText(text, kUserPasswordKey);
    EXPECT_EQ(UnscrambleText(scrambled, kUserPasswordKey), text);
    EXPECT_EQ(ToWindows1252(scrambled).size(), scrambled.size());
}

TEST(Scramble, EscapingRuns)
{
    struct Case
    {
        QByteArray bytes;
        QByteArray escaped;
    };
    const Case cases[] = {
        {"abc", "abc"},
        {QByteArray::fromHex("21"), "!b"},
        {QByteArray::fromHex("2261"), "\"a"},
        {QByteArray::fromHex("00"), "!A"},
        {QByteArray::fromHex("000161"), "!A!Ba"},       // too near the end for a run
        {QByteArray::fromHex("00016161"), " \"ABaa"},   // a run of two
        {QByteArray::fromHex("6100012161"), "a #ABba"}, // run stops at the first byte >= 34
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EscapePrintable(c.bytes), c.escaped) << c.bytes.toHex().constData();
        EXPECT_EQ(UnescapePrintable(c.escaped), c.bytes);
    }

    const QByteArray zeros(500, '\0');
    const QByteArray escaped = EscapePrintable(zeros);
    const QByteArray run = ' ' + QByteArray(1, char(32 + 220)) + QByteArray(220, 'A');
    EXPECT_EQ(escaped, run + run + ' ' + char(32 + 60) + QByteArray(60, 'A'));
    EXPECT_EQ(UnescapePrintable(escaped), zeros);
}

TEST(Scramble, DamagedInputNeverCrashes)
{
    EXPECT_EQ(UnscrambleText(QByteArray(), kUserPasswordKey), QByteArray());
    EXPECT_EQ(UnscrambleText(QByteArrayLiteral("abc"), kUserPasswordKey), QByteArray());
    EXPECT_EQ(UnescapePrintable(QByteArrayLiteral("a ")), QByteArrayLiteral("a"));
    EXPECT_EQ(UnescapePrintable(QByteArrayLiteral("a!")), QByteArrayLiteral("a"));
    EXPECT_EQ(UnescapePrintable(QByteArrayLiteral(" \x7f"
                                                  "AB")),
              QByteArray::fromHex("0001"));
    // Cut short, the stored length no longer fits.
    EXPECT_THROW(UnscrambleText(kStoredPassword.left(28), kUserPasswordKey), XException);
}
