#include "plugins/pixel_rows.h"

#include <algorithm>
#include <cstring>

namespace kelvad::plugin {

std::uint8_t OnWhite(unsigned colour, unsigned alpha) {
    return static_cast<std::uint8_t>((colour * alpha + 255 * (255 - alpha) + 127) / 255);
}

namespace {
std::uint8_t High(const std::uint8_t* p) {
    return p[1]; // 16-bit samples are little-endian
}

unsigned PixelAt(const std::uint8_t* row, std::uint32_t x, int bits) {
    switch (bits) {
    case 1:
        return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4:
        return (row[x / 2] >> (x % 2 ? 0 : 4)) & 15;
    case 8:
        return row[x];
    default:
        return row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16;
    }
}

void PutPixel(std::uint8_t* row, std::uint32_t x, int bits, unsigned v) {
    switch (bits) {
    case 1:
        row[x / 8] |= static_cast<std::uint8_t>(v << (7 - x % 8));
        break;
    case 4:
        row[x / 2] |= static_cast<std::uint8_t>(x % 2 ? v : v << 4);
        break;
    case 8:
        row[x] = static_cast<std::uint8_t>(v);
        break;
    default:
        row[3 * x] = static_cast<std::uint8_t>(v), row[3 * x + 1] = static_cast<std::uint8_t>(v >> 8),
                row[3 * x + 2] = static_cast<std::uint8_t>(v >> 16);
    }
}

// Rows whose output keeps one byte or less per pixel.
bool ConvertNarrowRow(const RowFormat& format, const std::uint8_t* in, std::uint8_t* out, std::uint32_t width) {
    switch (format.layout) {
    case RowLayout::Direct:
        std::memcpy(out, in, (static_cast<std::size_t>(width) * format.sourceBits + 7) / 8);
        return true;
    case RowLayout::Indexed2:
        for (std::uint32_t x = 0; x < width; ++x) {
            const unsigned v = (in[x / 4] >> (6 - 2 * (x % 4))) & 3;
            out[x / 2] |= static_cast<std::uint8_t>(x % 2 ? v : v << 4);
        }
        return true;
    case RowLayout::BlackWhite:
        std::memcpy(out, in, (width + 7) / 8);
        return true;
    case RowLayout::Grey:
        for (std::uint32_t x = 0; x < width; ++x) {
            switch (format.greyBits) {
            case 2:
                out[x] = static_cast<std::uint8_t>(((in[x / 4] >> (6 - 2 * (x % 4))) & 3) * 85);
                break;
            case 4:
                out[x] = static_cast<std::uint8_t>(((in[x / 2] >> (x % 2 ? 0 : 4)) & 15) * 17);
                break;
            case 8:
                out[x] = in[x];
                break;
            default:
                out[x] = High(in + 2 * x);
            }
        }
        return true;
    default:
        return false;
    }
}

} // namespace

void ConvertRow(const RowFormat& format, const std::uint8_t* in, std::uint8_t* out, std::uint32_t width) {
    if (ConvertNarrowRow(format, in, out, width))
        return;
    for (std::uint32_t x = 0; x < width; ++x) {
        std::uint8_t* o = out + 3 * x;
        switch (format.layout) {
        case RowLayout::Bgr32: {
            const std::uint8_t* p = in + 4 * x;
            o[0] = p[0], o[1] = p[1], o[2] = p[2];
            break;
        }
        case RowLayout::Bgra32: {
            const std::uint8_t* p = in + 4 * x;
            o[0] = OnWhite(p[0], p[3]), o[1] = OnWhite(p[1], p[3]), o[2] = OnWhite(p[2], p[3]);
            break;
        }
        case RowLayout::Pbgra32: {
            const std::uint8_t* p = in + 4 * x;
            for (int c = 0; c < 3; ++c)
                o[c] = static_cast<std::uint8_t>(std::min(255, p[c] + 255 - p[3]));
            break;
        }
        case RowLayout::Rgb24: {
            const std::uint8_t* p = in + 3 * x;
            o[0] = p[2], o[1] = p[1], o[2] = p[0];
            break;
        }
        case RowLayout::Rgba32: {
            const std::uint8_t* p = in + 4 * x;
            o[0] = OnWhite(p[2], p[3]), o[1] = OnWhite(p[1], p[3]), o[2] = OnWhite(p[0], p[3]);
            break;
        }
        case RowLayout::Rgb48: {
            const std::uint8_t* p = in + 6 * x;
            o[0] = High(p + 4), o[1] = High(p + 2), o[2] = High(p);
            break;
        }
        case RowLayout::Bgr48: {
            const std::uint8_t* p = in + 6 * x;
            o[0] = High(p), o[1] = High(p + 2), o[2] = High(p + 4);
            break;
        }
        case RowLayout::Rgba64: {
            const std::uint8_t* p = in + 8 * x;
            const unsigned a = High(p + 6);
            o[0] = OnWhite(High(p + 4), a), o[1] = OnWhite(High(p + 2), a), o[2] = OnWhite(High(p), a);
            break;
        }
        default:
            break;
        }
    }
}

void QuarterRow(const std::uint8_t* in, std::uint8_t* out, std::uint32_t outWidth, int bits) {
    for (std::uint32_t x = 0; x < outWidth; ++x)
        PutPixel(out, x, bits, PixelAt(in, 4 * x, bits));
}

} // namespace kelvad::plugin
