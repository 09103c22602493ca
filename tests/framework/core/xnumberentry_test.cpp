#include "xnumberentry.h"

#include <gtest/gtest.h>

#include <tuple>

const QChar kComma(QLatin1Char(','));

TEST(ParseNumberTextTest, ReadsDisplayedAndTypedTexts)
{
    // The sign counts anywhere; letters are dropped, never read as an exponent.
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"", 0.0},
        {"123", 123.0},
        {"1.234,50", 1234.5},
        {"(1.234,50)", -1234.5},
        {"-5", -5.0},
        {"5-", -5.0},
        {",5", 0.5},
        {" 1 2 ", 12.0},
        {"1e5", 15.0},
        {",", std::nullopt},
        {"-,", std::nullopt},
        {"-", 0.0},
        {"12.345.678", 12345678.0},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseNumberText(QString::fromUtf8(text), kComma), value) << text;
    // No negative zero and two separators are no number on any text: fuzzed.
    EXPECT_EQ(ParseNumberText(QString(400, QLatin1Char('9')), kComma), std::nullopt);
    EXPECT_EQ(ParseNumberText(QStringLiteral("1,234.5"), QLatin1Char('.')), 1234.5);
}

TEST(NumberKeyAcceptedTest, FiltersKeysByKindSignSeparatorAndRange)
{
    using K = TNumberEditType;
    // Range refusals at the limits are fuzzed; these are the rules around them.
    const std::tuple<K, char, const char*, int, int, bool> cases[] = {
        {K::wordvalue, '5', "6553", 4, 0, true},
        {K::wordvalue, ',', "1", 1, 0, false},
        {K::wordvalue, 127, "12", 0, 0, true},
        {K::wordvalue, '5', "-3276", 5, 0, false},   // a pasted sign leaves the range
        {K::wordvalue, '0', "-", 1, 0, true},        // "-0" still reads as 0
        {K::integervalue, '8', "-3276", 5, 0, true}, // the smallest
        {K::integervalue, '9', "32768", 0, 5, true}, // the selection is replaced
        {K::integervalue, '-', "12", 0, 0, true},
        {K::integervalue, 'a', "", 0, 0, false},
        {K::longintvalue, '1', "0000000000", 10, 0, false}, // eleven digits
        {K::floatingpointvalue, ',', "1,5", 1, 1, true},
        {K::floatingpointvalue, '.', "15", 1, 0, false},
        {K::floatingpointvalue, '9', "99999999999999999999", 20, 0, true},
        {K::floatingpointvalue, '1', "-5", 0, 0, false},
    };
    for (const auto& [kind, key, text, start, length, accepted] : cases)
        EXPECT_EQ(
            NumberKeyAccepted(kind, QChar(key), {QString::fromLatin1(text), start, length}, kComma),
            accepted)
            << int(kind) << " '" << key << "' into \"" << text << "\" at " << start << "+"
            << length;
}
