#pragma once
// Pixel rows of the decoder's formats turned into rows of a device-independent bitmap: plain C++ over untrusted
// bytes, tested on the host.
#include <cstddef>
#include <cstdint>

namespace kelvad::plugin {

enum class RowLayout {
    Direct,     // rows copied as they are (24bppBGR, 1/4/8-bit indexed)
    Indexed2,   // 2-bit indexed, widened to 4 bits
    Grey,       // 2/4/8/16-bit grey to an 8-bit grey ramp
    BlackWhite, // 1-bit black and white
    Bgr32,      // BGR with an unused byte
    Bgra32,     // BGRA, laid on white
    Pbgra32,    // premultiplied BGRA, laid on white
    Rgb24,      // RGB order
    Rgba32,     // RGBA, laid on white
    Rgb48,      // 16 bits per channel, RGB
    Bgr48,      // 16 bits per channel, BGR
    Rgba64,     // 16 bits per channel with alpha, laid on white
    Converted,  // anything else: the codec's own converter to 24-bit BGR
};

struct RowFormat {
    RowLayout layout;
    int sourceBits; // bits per source pixel
    int greyBits;   // Grey: bits per grey sample
};

// A colour channel laid on white paper by its alpha (0 transparent, 255 opaque).
std::uint8_t OnWhite(unsigned colour, unsigned alpha);

// One source row of width pixels into one bitmap row: Direct and BlackWhite keep the source depth, Indexed2 gives
// 4 bits, Grey 8 bits, the others 24-bit blue, green, red. The source row holds width * sourceBits bits; Indexed2
// needs a zeroed output row.
void ConvertRow(const RowFormat& format, const std::uint8_t* in, std::uint8_t* out, std::uint32_t width);

// The quarter-size row of a preview: every fourth pixel of a bitmap row of 1, 4, 8 or 24 bits, outWidth of them
// (the source row holds pixel 4 * (outWidth - 1)). The output row must be zeroed.
void QuarterRow(const std::uint8_t* in, std::uint8_t* out, std::uint32_t outWidth, int bits);

} // namespace kelvad::plugin
