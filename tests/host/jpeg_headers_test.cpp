#include "plugins/jpeg_headers.h"

#include <gtest/gtest.h>

#include <string>

namespace kelvad::plugins {
namespace {

using Bytes = std::string;

Bytes Segment(unsigned char marker, const Bytes& payload) {
    const std::size_t n = payload.size() + 2;
    return Bytes{'\xFF', static_cast<char>(marker), static_cast<char>(n >> 8), static_cast<char>(n)} + payload;
}
Bytes Frame(unsigned char marker, unsigned width, unsigned height, int components) {
    return Segment(marker, Bytes{8, char(height >> 8), char(height), char(width >> 8), char(width),
                                 static_cast<char>(components)} +
                               Bytes(3 * components, '\x11'));
}
Bytes Jfif(int unit, unsigned x, unsigned y) {
    return Segment(0xE0,
                   Bytes("JFIF\0\1\2", 7) + Bytes{char(unit), char(x >> 8), char(x), char(y >> 8), char(y), 0, 0});
}

TEST(JpegHeaders, FrameAndDensityOrNothing) {
    const Bytes soi = "\xFF\xD8";
    const Bytes sos = Segment(0xDA, Bytes(10, '\0'));
    struct Case {
        const char* what;
        Bytes data;
        std::optional<JpegHeader> expected;
    };
    const Case cases[] = {
        {"baseline with JFIF inches", soi + Jfif(1, 72, 96) + Segment(0xC4, Bytes(20, '\0')) + Frame(0xC0, 640, 480, 3),
         JpegHeader{640, 480, 24, 72, 96}},
        {"progressive grey, JFIF per cm", soi + Jfif(2, 100, 100) + Frame(0xC2, 7, 65535, 1),
         JpegHeader{7, 65535, 8, 254, 254}},
        {"fill bytes and restarts skipped, no density", soi + "\xFF\xFF\xFF\xD0\xFF\x01" + Frame(0xC1, 3, 2, 3),
         JpegHeader{3, 2, 24, 0, 0}},
        {"JFIF aspect only (unit 0)", soi + Jfif(0, 1, 2) + Frame(0xC0, 3, 2, 4), JpegHeader{3, 2, 24, 0, 0}},
        {"scan before any frame", soi + sos + Frame(0xC0, 3, 2, 3), std::nullopt},
        {"end of image before a frame", soi + "\xFF\xD9" + Bytes(20, '\0'), std::nullopt},
        {"not a marker", soi + "\x12\x34" + Frame(0xC0, 3, 2, 3), std::nullopt},
        {"segment longer than the file", soi + "\xFF\xE1\xFF\xF0" + Bytes(30, '\0'), std::nullopt},
        {"length below 2", soi + "\xFF\xE1\x00\x01" + Frame(0xC0, 3, 2, 3), std::nullopt},
        {"frame header cut to 5 bytes", soi + Segment(0xC0, Bytes(5, '\1')), std::nullopt},
        {"width 0", soi + Frame(0xC0, 0, 2, 3), std::nullopt},
        {"arithmetic tables are not a frame (DAC)", soi + Segment(0xCC, Bytes(8, '\1')), std::nullopt},
        {"nothing after the start", soi, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto got = ReadJpegHeaders(reinterpret_cast<const std::uint8_t*>(c.data.data()), c.data.size());
        ASSERT_EQ(got.has_value(), c.expected.has_value());
        if (got) {
            EXPECT_EQ(got->width, c.expected->width);
            EXPECT_EQ(got->height, c.expected->height);
            EXPECT_EQ(got->bits, c.expected->bits);
            EXPECT_DOUBLE_EQ(got->dpiX, c.expected->dpiX);
            EXPECT_DOUBLE_EQ(got->dpiY, c.expected->dpiY);
        }
        // Any piece cut short of the whole frame header gives nothing.
        for (std::size_t n = 0; got && n < c.data.size(); ++n)
            EXPECT_FALSE(ReadJpegHeaders(reinterpret_cast<const std::uint8_t*>(c.data.data()), n)) << n;
    }
}

} // namespace
} // namespace kelvad::plugins
