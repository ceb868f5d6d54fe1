#include "plugins/formats/mag.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace kelvad::formats {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A MAG file: signature, machine code, user name, comment, 0x1A, the 32-byte header, palette and streams.
Bytes Mag(unsigned mode, unsigned x0, unsigned y0, unsigned x1, unsigned y1, const Bytes& palette, const Bytes& flagA,
          const Bytes& flagB, const Bytes& pixels) {
    const std::string text = "MAKI02  PC98Kelvad user name a note\x1A";
    Bytes b(text.begin(), text.end()), h{0, 0, 0, std::uint8_t(mode)};
    const auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            h.push_back(std::uint8_t(v >> 8 * i));
    };
    const auto size = [](const Bytes& part) { return static_cast<std::uint32_t>(part.size()); };
    const std::uint32_t a = 32 + size(palette), fb = a + size(flagA), px = fb + size(flagB);
    for (unsigned v : {x0, y0, x1, y1})
        put(v, 2);
    for (std::uint32_t v : {a, fb, size(flagB), px, size(pixels)})
        put(v, 4);
    for (const Bytes* part : {static_cast<const Bytes*>(&h), &palette, &flagA, &flagB, &pixels})
        b.insert(b.end(), part->begin(), part->end());
    return b;
}

// The palette bytes (green, red, blue) of entry i: G = i, R = 255 - i, B = 0x5A.
Bytes Palette(unsigned count) {
    Bytes p;
    for (unsigned i = 0; i < count; ++i)
        p.insert(p.end(), {std::uint8_t(i), std::uint8_t(255 - i), 0x5A});
    return p;
}

// 16 colours, 6 pixel units (24 dots) a line, 20 lines. Lines 0-15 are literal units whose bytes are
// (line, unit); lines 16-18 use all fifteen copy flags, and line 19 keeps line 18's flags (flag A all 0).
Bytes CopyFlagsFile(unsigned x0, unsigned x1) {
    Bytes pixels;
    auto unit = [&](unsigned y, unsigned u) { pixels.insert(pixels.end(), {std::uint8_t(y), std::uint8_t(u)}); };
    for (unsigned y = 0; y < 16; ++y)
        for (unsigned u = 0; u < 6; ++u)
            unit(y, u);
    unit(16, 0), unit(16, 1), unit(16, 2);
    // Flags, line 16: 0 0 | 0 2 | 3 1; line 17: 6 5 | 7 8 | A B; line 18: 9 D | E C | 4 F; flag B holds the XORs.
    const Bytes flagA{0, 0, 0, 0, 0, 0, 0x7F, 0x80};
    const Bytes flagB{0x02, 0x31, 0x65, 0x7A, 0x9A, 0xF8, 0x94, 0xE4};
    return Mag(0, x0, 0, x1, 19, Palette(16), flagA, flagB, pixels);
}

TEST(MagDecoder, SixteenColoursEveryCopyFlagAndAnOddCroppedWidth) {
    // The (line, unit) of the literal each unit of lines 16-19 ends up as, worked out from the copy table.
    const std::pair<unsigned, unsigned> sources[4][6] = {
        {{16, 0}, {16, 1}, {16, 2}, {16, 1}, {16, 0}, {16, 0}},
        {{15, 0}, {16, 0}, {15, 1}, {15, 1}, {13, 3}, {13, 3}},
        {{14, 0}, {10, 0}, {10, 0}, {10, 3}, {13, 3}, {2, 5}},
        {{15, 0}, {11, 0}, {11, 0}, {11, 3}, {13, 3}, {3, 5}},
    };
    auto dotOf = [&](unsigned y, unsigned x) {
        const auto [line, unit] = y < 16 ? std::pair{y, x / 4} : sources[y - 16][x / 4];
        const unsigned nibbles[4] = {line >> 4, line & 15, unit >> 4, unit & 15};
        return nibbles[x % 4];
    };
    // Stored lines run from dot 0 to 23; the picture is dots 3 to 21.
    const Bytes file = CopyFlagsFile(3, 21);
    const ImageInfo info = kMagCodec.readInfo(file.data(), file.size());
    EXPECT_EQ(info.width, 19u);
    EXPECT_EQ(info.height, 20u);
    EXPECT_EQ(info.comment, "PC98Kelvad user name a note");
    const DecodedImage image = kMagCodec.decode(file.data(), file.size());
    ASSERT_EQ(image.palette.size(), 16u);
    EXPECT_EQ(image.palette[3], 0xFC035Au);
    for (unsigned y = 0; y < 20; ++y)
        for (unsigned x = 0; x < 19; ++x)
            ASSERT_EQ(image.Row(y)[x], dotOf(y, x + 3)) << x << "," << y;
}

TEST(MagDecoder, TwoHundredLinesOf256ColoursAreDoubled) {
    // Units of 2 dots, flag bytes of 4 dots: stored dots 0-7, the picture dots 1-5. Line 0 literal; line 1
    // changes flag byte 1 to 0x40: unit 2 copied from above, unit 3 literal.
    const Bytes pixels{0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x20, 0x21, 0x22, 0x23, 0x26, 0x27};
    const Bytes file = Mag(0x81, 1, 0, 5, 1, Palette(256), {0x10}, {0x40}, pixels);
    const DecodedImage image = kMagCodec.decode(file.data(), file.size());
    ASSERT_EQ(image.info.width, 5u);
    ASSERT_EQ(image.info.height, 4u);
    ASSERT_EQ(image.palette.size(), 256u);
    EXPECT_EQ(image.palette[0x14], 0xEB145Au);
    const Bytes lines[2] = {{0x11, 0x12, 0x13, 0x14, 0x15}, {0x21, 0x22, 0x23, 0x14, 0x15}};
    for (unsigned y = 0; y < 4; ++y)
        EXPECT_EQ(Bytes(image.Row(y), image.Row(y) + 5), lines[y / 2]) << y;
}

TEST(MagDecoder, TwoHundredFiftySixColourLinesPaddedToEightDotsWhereOnlyThatFits) {
    // Dots 0-3 of 2 lines: 8-dot lines have 2 flag bytes; line 0 literal, line 1 all copied from above (flag 4).
    // Read with 4-dot lines, the flags would use no flag B byte and line 1 would be literal.
    const Bytes pixels{0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17};
    const Bytes file = Mag(0x80, 0, 0, 3, 1, Palette(256), {0x30}, {0x44, 0x44}, pixels);
    const DecodedImage image = kMagCodec.decode(file.data(), file.size());
    for (unsigned y = 0; y < 2; ++y)
        EXPECT_EQ(Bytes(image.Row(y), image.Row(y) + 4), Bytes(pixels.begin(), pixels.begin() + 4)) << y;
}

TEST(MagDecoder, BadInputIsRefusedWithItsReason) {
    const Bytes good = CopyFlagsFile(0, 23);
    ASSERT_TRUE(kMagCodec.isSupported(good.data(), good.size()));
    auto statusOf = [](const Bytes& file) {
        // A block of exactly the file's size, so that the address sanitizer sees any read past it.
        const auto exact = std::make_unique<std::uint8_t[]>(file.size());
        std::copy(file.begin(), file.end(), exact.get());
        try {
            kMagCodec.decode(exact.get(), file.size());
        } catch (const DecodeError& e) {
            return static_cast<int>(e.status);
        }
        return -1;
    };
    const int unknown = int(Status::UnknownFormat), corrupt = int(Status::Corrupt), noMemory = int(Status::NoMemory);
    for (std::size_t size = 0; size < good.size(); ++size)
        ASSERT_EQ(statusOf(Bytes(good.begin(), good.begin() + size)), size < 8 ? unknown : corrupt) << size;
    Bytes noEnd = good;
    std::replace(noEnd.begin(), noEnd.end(), std::uint8_t(0x1A), std::uint8_t(' '));
    const struct {
        Bytes file;
        int status;
    } cases[] = {
        {Bytes{'M', 'A', 'K', 'I', '0', '1', 'A', ' ', 0x1A}, unknown},
        {noEnd, corrupt},
        {Mag(0, 8, 0, 7, 0, Palette(16), {0}, {}, {0, 0}), corrupt},        // right of the left edge
        {Mag(0, 0, 0, 7, 0, Palette(16), {}, {}, {}), corrupt},             // no flag A at the end of the file
        {Mag(0, 0, 0, 7, 0, Palette(16), {0x80}, {0x40}, {0, 0}), corrupt}, // a copy from above the top
        {Mag(0, 0, 0, 7, 0, Palette(16), {0x80}, {0x30}, {}), corrupt},     // a copy from left of the line
        {Mag(0, 0, 0, 0xFFFF, 3, Palette(16), {}, {}, {}), noMemory},
        {Mag(0x81, 0, 0, 3, 0x3FFF, Palette(256), {}, {}, {}), noMemory}, // 200 lines doubled past the limit
    };
    for (const auto& c : cases)
        EXPECT_EQ(statusOf(c.file), c.status);
}

} // namespace
} // namespace kelvad::formats
