#include "xformat.h"

#include <gtest/gtest.h>
#include <tuple>

TEST(FormatFloat, PatternsOfTheScreens)
{
    const std::tuple<const char*, double, const char*> cases[] = {
        {"###,###,###,##0", 1234567, "1.234.567"},
        {"###,###,###,##0", 123456789012345, "123.456.789.012.345"},
        {",0.00;(,0.00)", -1234.5, "(1.234,50)"},
        {",0.00;(,0.00)", -0.004, "0,00"},
        {",0;(,0)", -1500, "(1.500)"},
        {"0;-0", -7, "-7"},
        {"00", 5, "05"},
        {"###########0", 123456789012, "123456789012"},
        {"##0", 2.5, "3"},
        {"##0", -2.5, "-3"},
        {"##0", -0.4, "0"},
        {"0.00", 1.005, "1,01"},
        {"0.00", 9.995, "10,00"},
        {"0.##", 1.5, "1,5"},
        {"#", 0, ""},
        {"0;(0);zero", 0.2, "zero"},
        {"0\" kg\"", 12, "12 kg"},
        {"00-00", 1234, "12-34"},
    };
    for (const auto& [pattern, value, expected] : cases)
        EXPECT_EQ(FormatFloat(QString::fromUtf8(pattern), value), QString::fromUtf8(expected))
            << pattern << " of " << value;
}

TEST(FormatFloat, SeparatorsComeFromTheSettings)
{
    TXFormatSettings us = XFormatSettings();
    us.DecimalSeparator = QLatin1Char('.');
    us.ThousandSeparator = QLatin1Char(',');
    EXPECT_EQ(FormatFloat(QStringLiteral(",0.00;(,0.00)"), -1234.5, us),
              QStringLiteral("(1,234.50)"));
}
