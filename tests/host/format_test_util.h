#pragma once
// Helpers for the decoders' tests: files written out as bit strings, and decodes checked against pixels as 0xRRGGBB.
#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <tuple>
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

// Every pixel, rows from the top.
inline std::vector<std::uint32_t> Pixels(const DecodedImage& image) {
    std::vector<std::uint32_t> pixels;
    for (std::uint32_t y = 0; y < image.info.height; ++y) {
        const std::uint8_t* p = image.Row(y);
        for (std::uint32_t x = 0; x < image.info.width; ++x, p += image.info.bitsPerPixel / 8)
            pixels.push_back(image.info.bitsPerPixel == 8 ? image.palette.at(*p) : p[2] << 16 | p[1] << 8 | p[0]);
    }
    return pixels;
}

struct Expected {
    unsigned width, height, bits, xDensity, yDensity;
    std::vector<std::uint32_t> pixels;
};

// The header read and the decode agree with each other and with the expected picture.
inline void ExpectDecodes(const Codec& codec, const std::vector<std::uint8_t>& file, const Expected& e) {
    ASSERT_TRUE(codec.isSupported(file.data(), file.size()));
    const DecodedImage image = codec.decode(file.data(), file.size());
    const auto want = std::tuple(e.width, e.height, e.bits, e.xDensity, e.yDensity);
    for (const ImageInfo& i : {codec.readInfo(file.data(), file.size()), image.info})
        EXPECT_EQ(std::tuple(i.width, i.height, unsigned(i.bitsPerPixel), unsigned(i.xDensity), unsigned(i.yDensity)),
                  want);
    EXPECT_EQ(Pixels(image), e.pixels);
}

inline void ExpectStatus(const Codec& codec, const std::vector<std::uint8_t>& file, Status status) {
    try {
        codec.decode(file.data(), file.size());
        ADD_FAILURE() << "decoded " << file.size() << " bytes";
    } catch (const DecodeError& e) {
        EXPECT_EQ(e.status, status) << file.size() << " bytes";
    }
}

} // namespace kelvad::formats::test
