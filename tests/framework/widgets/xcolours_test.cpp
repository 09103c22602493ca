#include "xcolours.h"

#include <QApplication>
#include <QPalette>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// WCAG 2 relative luminance and contrast ratio.
double Luminance(const QColor& colour)
{
    const auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

double Contrast(const QColor& a, const QColor& b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

// Every text the screens colour, on what it is shown on, reads at WCAG AA; each state keeps its hue.
TEST(Colours, EveryTextOnItsBackgroundKeepsFourAndAHalfToOne)
{
    const QPalette palette = QApplication::palette();
    const QColor window = palette.color(QPalette::Window), button = palette.color(QPalette::Button);
    const struct
    {
        const char* Name;
        QColor Text, Background;
    } pairs[] = {
        {"go button", kTextGo, button},
        {"alert button", kTextAlert, button},
        {"close button", kTextClose, button},
        {"missing counter", kTextAlert, window},
        {"control well", Qt::black, kWellControl},
        {"collected well", Qt::black, kWellCollected},
        {"free well", Qt::black, kWellFree},
        {"accepted status line", Qt::white, kBannerGo},
        {"refused status line", Qt::white, kBannerAlert},
    };
    for (const auto& pair : pairs)
        EXPECT_GE(Contrast(pair.Text, pair.Background), 4.5) << pair.Name;
    EXPECT_EQ(kWellControl.hue(), 0);
    EXPECT_NEAR(kWellCollected.hue(), 120, 10);
    EXPECT_NEAR(kTextGo.hue(), 120, 10);
}
