#include "xnumberentry.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const QChar kComma(QLatin1Char(','));

TEST(ParseNumberTextTest, ReadsDisplayedAndTypedTexts)
{
    struct Case
    {
        const char* text;
        std::optional<double> value;
    };
    const std::vector<Case> cases = {
        {"", 0.0},
        {"abc", 0.0},
        {"123", 123.0},
        {"1.234,50", 1234.5},
        {"(1.234,50)", -1234.5},
        {"-5", -5.0},
        {"5-", -5.0}, // the sign counts anywhere
        {",5", 0.5},
        {" 1 2 ", 12.0},
        {"1e5", 15.0}, // letters are dropped, never read as an exponent
        {"1,2,3", std::nullopt},
        {",", std::nullopt},
        {"-,", std::nullopt},
        {"-", 0.0},
        {"12.345.678", 12345678.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseNumberText(QString::fromUtf8(c.text), kComma), c.value);
    }
}

// No negative zero and two separators are no number on any text: fuzzed.
TEST(ParseNumberTextTest, NoOverflowAndTheGivenSeparator)
{
    EXPECT_EQ(ParseNumberText(QString(400, QLatin1Char('9')), kComma), std::nullopt);
    EXPECT_EQ(ParseNumberText(QStringLiteral("1,234.5"), QLatin1Char('.')), 1234.5);
}

TEST(NumberKeyAcceptedTest, FiltersKeysByKindSignSeparatorAndRange)
{
    using K = TNumberEditType;
    struct Case
    {
        K kind;
        char key;
        const char* text;
        int selStart;
        int selLength;
        bool accepted;
    };
    // Range refusals at the limits are fuzzed; these are the rules around them.
    const std::vector<Case> cases = {
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
    for (const Case& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        SCOPED_TRACE(testing::Message() << int(c.kind) << " '" << c.key << "' into \"" << c.text
                                        << "\" at " << c.selStart << "+" << c.selLength);
        EXPECT_EQ(NumberKeyAccepted(c.kind, QChar(c.key), {text, c.selStart, c.selLength}, kComma),
                  c.accepted);
    }
}

} // namespace
