#include "plugins/pixel_rows.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelvad::plugins {
namespace {

using Row = std::vector<std::uint8_t>;

TEST(PixelRows, EveryLayoutGivesBitmapRows) {
    struct Case {
        const char* what;
        RowFormat format;
        std::uint32_t width;
        Row in;
        Row expected;
    };
    const Case cases[] = {
        {"24-bit BGR as it is", {RowLayout::Direct, 24, 0}, 2, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}},
        {"4-bit indexed, odd width", {RowLayout::Direct, 4, 0}, 3, {0x12, 0x30}, {0x12, 0x30}},
        {"2-bit indexed widened", {RowLayout::Indexed2, 2, 0}, 5, {0x1B, 0x80}, {0x01, 0x23, 0x20}},
        {"black and white", {RowLayout::BlackWhite, 1, 0}, 9, {0xA5, 0x80}, {0xA5, 0x80}},
        {"2-bit grey", {RowLayout::Grey, 2, 2}, 4, {0x1B}, {0, 85, 170, 255}},
        {"4-bit grey", {RowLayout::Grey, 4, 4}, 3, {0x0F, 0xA5}, {0, 255, 170}},
        {"8-bit grey", {RowLayout::Grey, 8, 8}, 2, {7, 9}, {7, 9}},
        {"16-bit grey keeps the high byte", {RowLayout::Grey, 16, 16}, 2, {0x34, 0x12, 0xFF, 0xAB}, {0x12, 0xAB}},
        {"BGR with a spare byte", {RowLayout::Bgr32, 32, 0}, 1, {1, 2, 3, 9}, {1, 2, 3}},
        {"BGRA opaque and clear", {RowLayout::Bgra32, 32, 0}, 2, {1, 2, 3, 255, 1, 2, 3, 0}, {1, 2, 3, 255, 255, 255}},
        {"BGRA half", {RowLayout::Bgra32, 32, 0}, 1, {0, 100, 255, 128}, {127, 177, 255}},
        {"premultiplied BGRA",
         {RowLayout::Pbgra32, 32, 0},
         2,
         {10, 20, 30, 128, 200, 0, 0, 255},
         {137, 147, 157, 200, 0, 0}},
        {"RGB", {RowLayout::Rgb24, 24, 0}, 1, {1, 2, 3}, {3, 2, 1}},
        {"RGBA", {RowLayout::Rgba32, 32, 0}, 2, {1, 2, 3, 255, 9, 9, 9, 0}, {3, 2, 1, 255, 255, 255}},
        {"48-bit RGB", {RowLayout::Rgb48, 48, 0}, 1, {0, 1, 0, 2, 0, 3}, {3, 2, 1}},
        {"48-bit BGR", {RowLayout::Bgr48, 48, 0}, 1, {0, 1, 0, 2, 0, 3}, {1, 2, 3}},
        {"64-bit RGBA opaque and clear",
         {RowLayout::Rgba64, 64, 0},
         2,
         {0, 1, 0, 2, 0, 3, 0, 255, 0, 1, 0, 2, 0, 3, 0, 0},
         {3, 2, 1, 255, 255, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Row out(c.expected.size() + 1, 0);
        ConvertRow(c.format, c.in.data(), out.data(), c.width);
        EXPECT_EQ(Row(out.begin(), out.end() - 1), c.expected);
        EXPECT_EQ(out.back(), 0) << "wrote past the row";
    }
}

TEST(PixelRows, QuarterRowKeepsEveryFourthPixel) {
    struct Case {
        int bits;
        std::uint32_t outWidth;
        Row in;
        Row expected;
    };
    const Case cases[] = {
        {1, 3, {0x88, 0x80}, {0xE0}},
        {1, 2, {0x77, 0x7F}, {0x00}},
        {4, 3, {0x12, 0x34, 0x56, 0x78, 0x9A}, {0x15, 0x90}},
        {8, 2, {1, 2, 3, 4, 5}, {1, 5}},
        {24, 2, {1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 5, 6}, {1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        Row out(c.expected.size(), 0);
        QuarterRow(c.in.data(), out.data(), c.outWidth, c.bits);
        EXPECT_EQ(out, c.expected);
    }
}

} // namespace
} // namespace kelvad::plugins
