#include "plugins/formats/pic.h"

#include <gtest/gtest.h>

#include <bitset>
#include <string>

#include "tests/host/format_test_util.h"

namespace kelvad::formats {
namespace {

using namespace std::string_literals;
using test::PackBits;
using test::Pixels;

std::vector<std::uint8_t> File(const std::string& head, std::string_view bits) {
    std::vector<std::uint8_t> file(head.begin(), head.end());
    const auto stream = PackBits(bits);
    file.insert(file.end(), stream.begin(), stream.end());
    return file;
}

// 5 x 4 of 15-bit colour: lengths of 1, 2 and 3 prefix bits, cache misses and hits, chain steps of every kind,
// two of them off the picture's edges.
const std::string kHead15 = "PICHi\x1A\0\0\x00\x00\x0F\x00\x05\x00\x04"s;
const char* const kStream15 = "1000 0000001111100000 1 11 0011 0010 000" // black x2, red; chain to (3,1), (3,3)
                              "01 0000000000011111 0"                    // red, blue
                              "01 1 0000001 1 01 01 000"                 // blue, red (slot 1); chain to (0,2)
                              "1011 0111111111111111 0"                  // red x5, white
                              "01 1 0000010 1 10 000"                    // white, blue (slot 2); chain to (4,3)
                              "110010";                                  // to the end

TEST(PicDecoder, DecodesEachColourKindAndCode) {
    struct Shape {
        std::uint32_t width, height;
        int bits;
        std::uint16_t xDensity, yDensity;
    };
    struct Case {
        const char* name;
        std::vector<std::uint8_t> file;
        Shape shape;
        std::vector<std::uint32_t> pixels;
    };
    const std::uint32_t K = 0, R = 0xFF0000, B = 0x0000FF, W = 0xFFFFFF;
    const std::string palette4 = "\x00\x00\x07\xC0\xFF\xFF"s + std::string(26, '\0');
    const std::string general = "PIC\x1A\0\0\x0F"s;
    const Case cases[] = {
        {"x68000 15-bit", File(kHead15, kStream15), {5, 4, 24, 3, 4}, {K, K, R, R, B, B, R, R, R, R,
                                                                       R, R, W, W, B, B, B, B, R, B}},
        {"x68000 16-bit, intensity bit, dummy area",
         File("PIC\x1Axyz\0\0\x00\x00\x10\x00\x03\x00\x01"s, "00 0 0000010000000001 0 1000"),
         {3, 1, 24, 3, 4},
         {0x860404, 0x860404, 0x860404}},
        {"x68000 16 colours",
         File("PIC\x1A\0\0\x00\x00\x04\x00\x03\x00\x02"s + palette4, "00 0001 0 01 0010 1 01 000 1000 0000 0 00"),
         {3, 2, 8, 0, 0},
         {0xFB0000, 0xFB0000, W, W, W, K}},
        {"general 24-bit, tall dots",
         File(general + "\x00\x18\x00\x02\x00\x01\xFF\xFF\xFF\xFF\x01\x02"s,
              "00 0 00010010 00110100 01010110 0 00 1 0000000 0 00"),
         {2, 1, 24, 2, 1},
         {0x341256, K}},
        {"general 16 colours, 2-bit palette",
         File(general + "\x00\x04\x00\x01\x00\x01\xFF\xFF\xFF\xFF\0\0\x02"s, "110001" + std::string(90, '0') + "01"),
         {1, 1, 8, 0, 0},
         {0x00FF55}},
        {"general 12-bit, square dots",
         File(general + "\x00\x0C\x00\x01\x00\x01\xFF\xFF\xFF\xFF\x03\x03"s, "00 0 0001 0010 0011 0 00"),
         {1, 1, 24, 0, 0},
         {0x221133}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(kPicCodec.isSupported(c.file.data(), c.file.size()));
        const ImageInfo info = kPicCodec.readInfo(c.file.data(), c.file.size());
        const DecodedImage image = kPicCodec.decode(c.file.data(), c.file.size());
        for (const ImageInfo& i : {info, image.info}) {
            EXPECT_EQ(i.width, c.shape.width);
            EXPECT_EQ(i.height, c.shape.height);
            EXPECT_EQ(i.bitsPerPixel, c.shape.bits);
            EXPECT_EQ(i.xDensity, c.shape.xDensity);
            EXPECT_EQ(i.yDensity, c.shape.yDensity);
        }
        EXPECT_EQ(Pixels(image), c.pixels);
    }
    EXPECT_EQ(kPicCodec.readInfo(File(kHead15, "").data(), kHead15.size()).comment, "Hi");
}

TEST(PicDecoder, ColourCacheReplacesTheLeastRecentlyUsed) {
    // 127 new colours fill slots 1..127; slot 1 is used again, so the next two new colours land in 0 and 2.
    std::string bits;
    for (int code = 1; code <= 127; ++code)
        bits += "00 0" + std::bitset<15>(code * 129).to_string() + " 0";
    bits += "00 1 0000001 0  00 0" + std::bitset<15>(0x7000).to_string() + " 0  00 0" +
            std::bitset<15>(0x0E00).to_string() + " 0";
    bits += "00 1 0000010 0  00 1 0000000 0  00 1 0000011 0  00";
    const auto file = File("PIC\x1A\0\0\x00\x00\x0F\x00\x85\x00\x01"s, bits);
    const auto pixels = Pixels(kPicCodec.decode(file.data(), file.size()));
    ASSERT_EQ(pixels.size(), 133u);
    EXPECT_EQ(pixels[127], pixels[0]);
    EXPECT_EQ(pixels[130], pixels[129]);
    EXPECT_EQ(pixels[131], pixels[128]);
    EXPECT_EQ(pixels[132], pixels[2]);
    EXPECT_NE(pixels[128], pixels[129]);
}

TEST(PicDecoder, RefusesBadInput) {
    const auto good = File(kHead15, kStream15);
    auto expectStatus = [](std::vector<std::uint8_t> file, Status status) {
        try {
            kPicCodec.decode(file.data(), file.size());
            ADD_FAILURE() << "decoded";
        } catch (const DecodeError& e) {
            EXPECT_EQ(e.status, status);
        }
    };
    for (std::size_t size = 3; size < good.size(); ++size)
        expectStatus({good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)}, Status::Corrupt);
    expectStatus(File("GIF89a"s, ""), Status::UnknownFormat);
    expectStatus(File("PIC\x1A\0\0\x01\x00\x10\x00\x05\x00\x04"s, kStream15), Status::UnknownFormat);
    expectStatus(File("PIC\x1A\0\0\x0F\x00\x20\x00\x05\x00\x04\xFF\xFF\xFF\xFF\0\0"s, kStream15),
                 Status::UnknownFormat);
    expectStatus(File("PIC\x1A\0\0\x00\x00\x0F\x00\x00\x00\x04"s, kStream15), Status::Corrupt);
    expectStatus(File("PIC\x1A\0\0\x00\x00\x0F\x00\x05\x00\x04"s, std::string(31, '1') + "0"), Status::Corrupt);
    expectStatus(File("PIC\x1A\0\0\x00\x00\x0F\xFF\xFF\x00\x01"s, kStream15), Status::NoMemory);
    EXPECT_FALSE(kPicCodec.isSupported(reinterpret_cast<const std::uint8_t*>("PI"), 2));
}

} // namespace
} // namespace kelvad::formats
