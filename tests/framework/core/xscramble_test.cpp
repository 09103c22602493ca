#include "xcodepage.h"
#include "xexception.h"
#include "xpackbuffer.h"
#include "xscramble.h"

#include <gtest/gtest.h>

const QByteArray kStoredPassword =
    QByteArray::fromHex("4b20254257414141d068bd6c215a67ed50d78bf180c873215f77f638d57fe37f");

TEST(Scramble, StoredPasswordUnscrambles)
{
    EXPECT_EQ(UnscrambleText(kStoredPassword, kUserPasswordKey), QByteArrayLiteral("SENHA123"));
    // Held in the database as text: the Windows-1252 decoding, "õ" in the key included.
    const QString stored = FromWindows1252(kStoredPassword);
    EXPECT_EQ(UnscrambleText(stored, kUserPasswordKey), QStringLiteral("SENHA123"));
    EXPECT_EQ(UnscrambleText(stored, QStringLiteral("bv$Lõw3")), QStringLiteral("SENHA123"));
    // Through UTF-8 by mistake the same text gives something else.
    EXPECT_NE(UnscrambleText(stored.toUtf8(), kUserPasswordKey), QByteArrayLiteral("SENHA123"));
    // Each scrambling differs (round trips on any text and key are fuzzed).
    EXPECT_NE(ScrambleText(QByteArrayLiteral("SENHA123"), kUserPasswordKey),
              ScrambleText(QByteArrayLiteral("SENHA123"), kUserPasswordKey));
    // Too short for a stored length reads as nothing; cut short, the length no longer fits.
    EXPECT_EQ(UnscrambleText(QByteArrayLiteral("abc"), kUserPasswordKey), QByteArray());
    EXPECT_THROW(UnscrambleText(kStoredPassword.left(28), kUserPasswordKey), XException);
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

TEST(Scramble, QStringOverloadsKeepEveryWindows1252Character)
{
    const QString text = QStringLiteral("Çãõ €‰ \u0081\u008D\u008F\u0090\u009D ÿ");
    const QString scrambled = ScrambleText(text, kUserPasswordKey);
    EXPECT_EQ(UnscrambleText(scrambled, kUserPasswordKey), text);
    EXPECT_EQ(ToWindows1252(scrambled).size(), scrambled.size());
}

TEST(Scramble, EscapingRuns)
{
    const std::pair<QByteArray, QByteArray> cases[] = {
        {"abc", "abc"},
        {QByteArray::fromHex("21"), "!b"},
        {QByteArray::fromHex("2261"), "\"a"},
        {QByteArray::fromHex("00"), "!A"},
        {QByteArray::fromHex("000161"), "!A!Ba"},       // too near the end for a run
        {QByteArray::fromHex("00016161"), " \"ABaa"},   // a run of two
        {QByteArray::fromHex("6100012161"), "a #ABba"}, // run stops at the first byte >= 34
    };
    for (const auto& [bytes, escaped] : cases) {
        EXPECT_EQ(EscapePrintable(bytes), escaped) << bytes.toHex().constData();
        EXPECT_EQ(UnescapePrintable(escaped), bytes);
    }

    const QByteArray zeros(500, '\0');
    const QByteArray escaped = EscapePrintable(zeros);
    const QByteArray run = ' ' + QByteArray(1, char(32 + 220)) + QByteArray(220, 'A');
    EXPECT_EQ(escaped, run + run + ' ' + char(32 + 60) + QByteArray(60, 'A'));
    EXPECT_EQ(UnescapePrintable(escaped), zeros);
}
