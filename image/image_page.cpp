#include "image/image_page.h"

#include <climits>

namespace kelvad {

namespace {

constexpr long double kInchesPerMillimetre = 1.0L / 25.4L;

int ToInt(long double value) {
    if (value >= static_cast<long double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<long double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

// Sums in 64 bits: a device may answer anything.
int Add(int a, long long b) {
    return ToInt(static_cast<long double>(static_cast<long long>(a) + b));
}

} // namespace

int MillimetresToUnits(long double millimetres, int dpi) {
    return ToInt(RoundHalfEven(millimetres * kInchesPerMillimetre * dpi));
}

PageRect DestinationRect(const OutputOptions& o, const PrinterMargins& minimum, const PageMetrics& m, int pictureWidth,
                         int pictureHeight) {
    PageRect rect;
    if (o.IsMarginZero) {
        // Negated in 64 bits: the border of a device that answers anything may come back as INT_MIN units.
        rect.left = Add(0, -static_cast<long long>(MillimetresToUnits(minimum.Left, m.dpiX)));
        rect.top = Add(0, -static_cast<long long>(MillimetresToUnits(minimum.Top, m.dpiY)));
        rect.right = Add(rect.left, o.IsStretch ? m.physicalWidth : pictureWidth);
        rect.bottom = Add(rect.top, o.IsStretch ? m.physicalHeight : pictureHeight);
        return rect;
    }
    // Differences in 64 bits, so that no margin overflows before it is converted.
    const auto below = [](std::int32_t margin, int min) { return static_cast<long double>(margin) - min; };
    rect.left = MillimetresToUnits(below(o.LeftMargin, minimum.Left), m.dpiX);
    rect.top = MillimetresToUnits(below(o.TopMargin, minimum.Top), m.dpiY);
    if (o.IsStretch) {
        rect.right = Add(m.printableWidth,
                         -static_cast<long long>(MillimetresToUnits(below(o.RightMargin, minimum.Right), m.dpiX)));
        rect.bottom = Add(m.printableHeight,
                          -static_cast<long long>(MillimetresToUnits(below(o.BottomMargin, minimum.Bottom), m.dpiY)));
    } else {
        rect.right = Add(rect.left, pictureWidth);
        rect.bottom = Add(rect.top, pictureHeight);
    }
    return rect;
}

std::size_t DibPixelBytes(long long width, long long height, int bitCount, std::size_t addressSpace) {
    if (width <= 0 || height == 0 || bitCount <= 0 || bitCount > 32)
        return 0;
    const unsigned long long rows = height < 0 ? 0ULL - static_cast<unsigned long long>(height) : height;
    const unsigned long long stride = (static_cast<unsigned long long>(width) * bitCount + 31) / 32 * 4;
    const unsigned long long limit = addressSpace / 2;
    if (rows > limit / stride)
        return 0;
    return static_cast<std::size_t>(stride * rows);
}

} // namespace kelvad
