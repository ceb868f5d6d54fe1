#include "plugins/picture_extent.h"

#include <gtest/gtest.h>

#include <string>

namespace kelvad::plugins {
namespace {

TEST(PictureExtent, HeadersAndTheOneBitmapLimit) {
    const std::string png("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\x4E\x20\0\1\0\0\x08\x02", 26);
    const std::string gif("GIF89a\x20\x4E\x10\x27\0\0", 12);
    auto bytes = [](const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); };
    const auto p = PngExtent(bytes(png), png.size());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->width, 20000u);
    EXPECT_EQ(p->height, 65536u);
    EXPECT_FALSE(PngExtent(bytes(png), 23));
    const std::string notFirst = png.substr(0, 12) + "gAMA" + png.substr(16);
    EXPECT_FALSE(PngExtent(bytes(notFirst), notFirst.size()));
    const auto g = GifExtent(bytes(gif), gif.size());
    ASSERT_TRUE(g);
    EXPECT_EQ(g->width, 20000u);
    EXPECT_EQ(g->height, 10000u);
    EXPECT_FALSE(GifExtent(bytes(gif), 9));

    // 1 GiB exactly is allowed: 16384 x 21845 rows of 49152 bytes is just below, 21846 rows above.
    EXPECT_FALSE(TooLargeForOneBitmap(16384, 21845));
    EXPECT_TRUE(TooLargeForOneBitmap(16384, 21846));
    EXPECT_FALSE(TooLargeForOneBitmap(1, 1u << 28)); // rows of 4 bytes: exactly 1 GiB
    EXPECT_TRUE(TooLargeForOneBitmap(1, (1u << 28) + 1));
    EXPECT_TRUE(TooLargeForOneBitmap(20000, 20000));
    EXPECT_TRUE(TooLargeForOneBitmap(0xFFFFFFFFull, 1));
    EXPECT_FALSE(TooLargeForOneBitmap(0, 0xFFFFFFFFull));
}

} // namespace
} // namespace kelvad::plugins
