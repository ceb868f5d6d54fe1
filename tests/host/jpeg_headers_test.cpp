#include "plugins/jpeg_headers.h"

#include <gtest/gtest.h>

#include <string>

namespace kelvad::plugin {
namespace {

std::string Segment(char marker, const std::string& payload) {
    const std::size_t n = payload.size() + 2;
    return std::string{'\xFF', marker, char(n >> 8), char(n)} + payload;
}
std::string Frame(char marker, int width, int height, char components) {
    return Segment(marker, std::string{8, char(height >> 8), char(height), char(width >> 8), char(width), components} +
                               std::string(3 * components, '\x11'));
}
std::string Jfif(char unit, int dpi) {
    return Segment('\xE0', std::string("JFIF\0\1\2", 7) + std::string{unit, 0, char(dpi), 0, char(dpi), 0, 0});
}

TEST(JpegHeaders, FrameAndDensityOrNothing) {
    const std::string soi = "\xFF\xD8";
    const std::pair<std::string, std::string> cases[] = {
        // The answer as "width height bits dpiX dpiY", or "" for none.
        {soi + Jfif(1, 72) + Segment('\xC4', std::string(20, '\0')) + Frame('\xC0', 640, 480, 3), "640 480 24 72 72"},
        {soi + Jfif(2, 100) + Frame('\xC2', 7, 65535, 1), "7 65535 8 254 254"},
        {soi + "\xFF\xFF\xFF\xD0\xFF\x01" + Jfif(0, 5) + Frame('\xC1', 3, 2, 4), "3 2 24 0 0"},
        {soi + Segment('\xDA', std::string(10, '\0')) + Frame('\xC0', 3, 2, 3), ""},
        {soi + "\x12\x34" + Frame('\xC0', 3, 2, 3), ""},
        {soi + "\xFF\xE1\xFF\xF0" + std::string(30, '\0'), ""},
        {soi + Segment('\xC0', std::string(5, '\1')), ""},
        {soi + Frame('\xC0', 0, 2, 3), ""},
    };
    for (const auto& [data, expected] : cases) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
        const auto got = ReadJpegHeaders(bytes, data.size());
        EXPECT_EQ(got ? std::to_string(got->width) + " " + std::to_string(got->height) + " " +
                            std::to_string(got->bits) + " " + std::to_string(int(got->dpiX)) + " " +
                            std::to_string(int(got->dpiY))
                      : "",
                  expected);
        // Any piece cut short of the whole frame header gives nothing.
        for (std::size_t n = 0; got && n < data.size(); ++n)
            EXPECT_FALSE(ReadJpegHeaders(bytes, n)) << n;
    }
}

} // namespace
} // namespace kelvad::plugin
