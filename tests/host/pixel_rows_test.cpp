#include "plugins/pixel_rows.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelvad::plugin {
namespace {

using Row = std::vector<std::uint8_t>;

TEST(PixelRows, EveryLayoutGivesBitmapRowsAndPreviewsKeepEveryFourthPixel) {
    struct Case {
        RowLayout layout;
        int sourceBits, greyBits;
        std::uint32_t width;
        Row in, expected;
    };
    using enum RowLayout;
    const Case cases[] = {
        {Indexed2, 2, 0, 5, {0x1B, 0x80}, {0x01, 0x23, 0x20}},
        {Grey, 4, 4, 3, {0x0F, 0xA5}, {0, 255, 170}},
        {Bgra32, 32, 0, 3, {1, 2, 3, 255, 1, 2, 3, 0, 0, 100, 255, 128}, {1, 2, 3, 255, 255, 255, 127, 177, 255}},
        {Pbgra32, 32, 0, 2, {10, 20, 30, 128, 200, 0, 0, 255}, {137, 147, 157, 200, 0, 0}},
        {Rgba32, 32, 0, 2, {1, 2, 3, 255, 9, 9, 9, 0}, {3, 2, 1, 255, 255, 255}},
        {Rgb48, 48, 0, 1, {0, 1, 0, 2, 0, 3}, {3, 2, 1}},
        {Bgr48, 48, 0, 1, {0, 1, 0, 2, 0, 3}, {1, 2, 3}},
        {Rgba64, 64, 0, 2, {0, 1, 0, 2, 0, 3, 0, 255, 0, 1, 0, 2, 0, 3, 0, 0}, {3, 2, 1, 255, 255, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.layout));
        Row out(c.expected.size(), 0); // a write past the row stops the sanitizer
        ConvertRow({c.layout, c.sourceBits, c.greyBits}, c.in.data(), out.data(), c.width);
        EXPECT_EQ(out, c.expected);
    }
    // Previews: pixels 0, 4 and 8 of a row (a row of its own for 1 bit), at each depth.
    const Row row{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
    const std::pair<int, Row> previews[] = {
        {1, {0xE0}}, {4, {0x15, 0x90}}, {8, {0x12, 0x9A, 0x11}}, {24, {0x12, 0x34, 0x56, 0x55, 0x66, 0x77}}};
    for (const auto& [bits, expected] : previews) {
        Row out(expected.size(), 0);
        QuarterRow(bits == 1 ? Row{0x88, 0x80}.data() : row.data(), out.data(), bits == 24 ? 2 : 3, bits);
        EXPECT_EQ(out, expected) << bits;
    }
}

} // namespace
} // namespace kelvad::plugin
