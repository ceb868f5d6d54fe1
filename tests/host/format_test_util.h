#pragma once
// Helpers for the decoders' tests: files written out as bit strings, and pixels read back as 0xRRGGBB.
#include <cstdint>
#include <string_view>
#include <vector>

#include "plugins/formats/decoded_image.h"

namespace kelvad::formats::test {

// "1010 0001 1": characters 0 and 1 are bits, most significant first, the last byte padded with zeros.
inline std::vector<std::uint8_t> PackBits(std::string_view bits) {
    std::vector<std::uint8_t> bytes;
    int count = 0;
    for (char c : bits) {
        if (c != '0' && c != '1')
            continue;
        if (count % 8 == 0)
            bytes.push_back(0);
        bytes.back() |= static_cast<std::uint8_t>((c - '0') << (7 - count % 8));
        ++count;
    }
    return bytes;
}

inline std::uint32_t PixelAt(const DecodedImage& image, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* p = image.Row(y);
    if (image.info.bitsPerPixel == 8)
        return image.palette.at(p[x]);
    p += x * 3;
    return static_cast<std::uint32_t>(p[2] << 16 | p[1] << 8 | p[0]);
}

// Every pixel, rows from the top.
inline std::vector<std::uint32_t> Pixels(const DecodedImage& image) {
    std::vector<std::uint32_t> pixels;
    for (std::uint32_t y = 0; y < image.info.height; ++y)
        for (std::uint32_t x = 0; x < image.info.width; ++x)
            pixels.push_back(PixelAt(image, x, y));
    return pixels;
}

} // namespace kelvad::formats::test
