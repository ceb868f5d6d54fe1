#include "plugins/formats/pic.h"

#include <bitset>
#include <string>

#include "tests/host/format_test_util.h"

namespace kelvad::formats {
namespace {

using namespace std::string_literals;
using namespace test;

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
    const std::uint32_t K = 0, R = 0xFF0000, B = 0x0000FF, W = 0xFFFFFF;
    const std::string general = "PIC\x1A\0\0\x0F"s;
    ExpectDecodes(kPicCodec, File(kHead15, kStream15),
                  {5, 4, 24, 3, 4, {K, K, R, R, B, B, R, R, R, R, R, R, W, W, B, B, B, B, R, B}});
    // 16-bit colour with the intensity bit, after a dummy area.
    ExpectDecodes(kPicCodec, File("PIC\x1Axyz\0\0\x00\x00\x10\x00\x03\x00\x01"s, "00 0 0000010000000001 0 1000"),
                  {3, 1, 24, 3, 4, {0x860404, 0x860404, 0x860404}});
    ExpectDecodes(kPicCodec,
                  File("PIC\x1A\0\0\x00\x00\x04\x00\x03\x00\x02\x00\x00\x07\xC0\xFF\xFF"s + std::string(26, '\0'),
                       "00 0001 0 01 0010 1 01 000 1000 0000 0 00"),
                  {3, 2, 8, 0, 0, {0xFB0000, 0xFB0000, W, W, W, K}});
    // The general header, whose aspect bytes are a dot's height, then its width: 24-bit colour of wide dots, 16 colours
    // of a 2-bit palette, 12-bit colour of tall dots.
    ExpectDecodes(kPicCodec,
                  File(general + "\x00\x18\x00\x02\x00\x01\xFF\xFF\xFF\xFF\x01\x02"s,
                       "00 0 00010010 00110100 01010110 0 00 1 0000000 0 00"),
                  {2, 1, 24, 1, 2, {0x341256, K}});
    ExpectDecodes(
        kPicCodec,
        File(general + "\x00\x04\x00\x01\x00\x01\xFF\xFF\xFF\xFF\0\0\x02"s, "110001" + std::string(90, '0') + "01"),
        {1, 1, 8, 0, 0, {0x00FF55}});
    ExpectDecodes(kPicCodec,
                  File(general + "\x00\x0C\x00\x01\x00\x01\xFF\xFF\xFF\xFF\x02\x01"s, "00 0 0001 0010 0011 0 00"),
                  {1, 1, 24, 2, 1, {0x221133}});
    EXPECT_EQ(kPicCodec.readInfo(File(kHead15, "").data(), kHead15.size()).comment, "Hi");
}

TEST(PicDecoder, ColourCacheReplacesTheLeastRecentlyUsed) {
    // 127 new colours fill slots 1..127; slot 1 is used again, so the next two new colours land in 0 and 2.
    std::string bits;
    for (int code = 1; code <= 127; ++code)
        bits += "00 0" + std::bitset<15>(code * 129).to_string() + " 0";
    bits += "00 1 0000001 0  00 0 111000000000000 0  00 0 000111000000000 0"; // slot 1 again; new in 0, 2
    bits += "00 1 0000010 0  00 1 0000000 0  00 1 0000011 0  00";             // slots 2, 0 and 3
    const auto file = File("PIC\x1A\0\0\x00\x00\x0F\x00\x85\x00\x01"s, bits);
    const auto pixels = Pixels(kPicCodec.decode(file.data(), file.size()));
    ASSERT_EQ(pixels.size(), 133u);
    EXPECT_EQ(std::vector({pixels[127], pixels[130], pixels[131], pixels[132]}),
              std::vector({pixels[0], pixels[129], pixels[128], pixels[2]}));
    EXPECT_NE(pixels[128], pixels[129]);
}

TEST(PicDecoder, RefusesBadInput) {
    for (auto file = File(kHead15, kStream15); file.size() > 3; file.pop_back())
        ExpectStatus(kPicCodec, {file.begin(), file.end() - 1}, Status::Corrupt);
    ExpectStatus(kPicCodec, File("GIF89a"s, ""), Status::UnknownFormat);
    ExpectStatus(kPicCodec, File("PIC\x1A\0\0\x01\x00\x10\x00\x05\x00\x04"s, kStream15), Status::UnknownFormat);
    ExpectStatus(kPicCodec, File("PIC\x1A\0\0\x0F\x00\x20\x00\x05\x00\x04\xFF\xFF\xFF\xFF\0\0"s, kStream15),
                 Status::UnknownFormat);
    ExpectStatus(kPicCodec, File("PIC\x1A\0\0\x00\x00\x0F\x00\x00\x00\x04"s, kStream15), Status::Corrupt);
    ExpectStatus(kPicCodec, File(kHead15, std::string(31, '1') + "0"), Status::Corrupt);
    ExpectStatus(kPicCodec, File("PIC\x1A\0\0\x00\x00\x0F\xFF\xFF\x00\x01"s, kStream15), Status::NoMemory);
}

} // namespace
} // namespace kelvad::formats
