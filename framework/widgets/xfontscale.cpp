#include "xfontscale.h"

#include <QApplication>
#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

namespace {

// The design font (8 points at 96 dpi): 13 pixels high, and this alphabet about 325 wide.
const QString kSample = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
constexpr double kDesignSampleWidth = 325.0;
constexpr double kDesignHeight = 13.0;

} // namespace

double FontScale()
{
    const QFontMetricsF metrics(QApplication::font());
    return std::max({1.0, metrics.horizontalAdvance(kSample) / kDesignSampleWidth,
                     metrics.height() / kDesignHeight});
}

int Scaled(int designPixels)
{
    return int(std::lround(designPixels * FontScale()));
}

QSize Scaled(QSize design)
{
    return {Scaled(design.width()), Scaled(design.height())};
}

QRect DesignRect(int x, int y, int width, int height)
{
    return {Scaled(x), Scaled(y), Scaled(width), Scaled(height)};
}
