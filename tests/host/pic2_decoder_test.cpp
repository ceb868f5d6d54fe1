#include "plugins/formats/pic2.h"

#include <string>

#include "tests/host/format_test_util.h"

namespace kelvad::formats {
namespace {

using namespace std::string_literals;
using namespace test;

std::string Be16(unsigned v) {
    return {static_cast<char>(v >> 8), static_cast<char>(v)};
}
std::string Be32(unsigned v) {
    return Be16(v >> 16) + Be16(v & 0xFFFF);
}

// The 124-byte header, an optional palette and the comment, then the blocks and the end block.
std::vector<std::uint8_t> File(unsigned depth, unsigned xAspect, unsigned yAspect, unsigned xMax, unsigned yMax,
                               const std::string& extra, const std::string& blocks, unsigned flags = 0) {
    std::string file = "P2DT" + std::string(18, 'n') + std::string(8, 's') + "\r\n" + std::string(30, 't') + "\r\n" +
                       std::string(30, 'v') + "\r\n\x1A\0"s + Be16(flags) + Be16(0) + Be32(0) +
                       Be32(124 + static_cast<unsigned>(extra.size())) + Be16(depth) + Be16(xAspect) + Be16(yAspect) +
                       Be16(xMax) + Be16(yMax) + Be32(0) + extra + blocks + std::string(8, '\0');
    return {file.begin(), file.end()};
}

std::string Block(const char* id, unsigned width, unsigned height, unsigned left, unsigned top, const std::string& dots,
                  int opaque = -1) {
    return id + Be32(26 + static_cast<unsigned>(dots.size())) + Be16(opaque >= 0) + Be16(width) + Be16(height) +
           Be16(left) + Be16(top) + Be32(opaque >= 0 ? static_cast<unsigned>(opaque) : 0) + Be32(0) + dots;
}

TEST(Pic2Decoder, DecodesRawBlocksOfEachDotSize) {
    const std::uint32_t K = 0, W = 0xFFFFFF;
    // A 24-bit block on a larger canvas, of wide dots.
    const auto file = File(24, 2, 1, 3, 2, "hello\0"s, Block("P2BM", 2, 1, 1, 1, "\x12\x34\x56\xAB\xCD\xEF"));
    ExpectDecodes(kPic2Codec, file, {3, 2, 24, 1, 2, {K, K, K, K, 0x123456, 0xABCDEF}});
    EXPECT_EQ(kPic2Codec.readInfo(file.data(), file.size()).comment, "hello");
    // 15-bit blocks, the second low byte first with an undrawn dot value.
    ExpectDecodes(
        kPic2Codec,
        File(15, 1, 1, 2, 1, "",
             Block("P2BM", 2, 1, 0, 0, "\xFF\xFF\xFF\xFF") + Block("P2BI", 2, 1, 0, 0, "\x00\xF8\xC0\x07"s, 0x7C00)),
        {2, 1, 24, 0, 0, {0x00FF00, W}});
    ExpectDecodes(kPic2Codec, File(12, 0, 0, 1, 1, "", Block("P2BM", 1, 1, 0, 0, "\x0F\x21")),
                  {1, 1, 24, 0, 0, {0xFF2211}});
    // 6-bit dots behind a palette, which is skipped.
    ExpectDecodes(
        kPic2Codec,
        File(6, 3, 3, 0, 0, "\x08\x00\x02\x01\x02\x03\x04\x05\x06"s, Block("P2BI", 3, 1, 0, 0, "\x31\x0C\x02"), 1),
        {3, 1, 24, 0, 0, {0xFF0055, 0x00FF00, 0x0000AA}});
}

TEST(Pic2Decoder, RefusesBadInput) {
    for (auto file = File(24, 1, 1, 0, 0, "", Block("P2BM", 1, 1, 0, 0, "\1\2\3")); file.size() > 4; file.pop_back())
        ExpectStatus(kPic2Codec, {file.begin(), file.end() - 1}, Status::Corrupt);
    ExpectStatus(kPic2Codec, File(24, 1, 1, 0, 0, "", Block("P2BM", 2, 1, 0, 0, "\1\2\3")), Status::Corrupt);
    ExpectStatus(kPic2Codec, File(24, 1, 1, 0, 0, "", "P2BM\0\0\0\x19"s + std::string(30, '\0')), Status::Corrupt);
    ExpectStatus(kPic2Codec, File(24, 1, 1, 0, 0, "", Block("P2SS", 1, 1, 0, 0, "\1\2\3")), Status::UnknownFormat);
    ExpectStatus(kPic2Codec, File(24, 1, 1, 0, 0, "", Block("P2SF", 1, 1, 0, 0, "\1\2\3")), Status::UnknownFormat);
    ExpectStatus(kPic2Codec, File(8, 1, 1, 0, 0, "", Block("P2BM", 1, 1, 0, 0, "\1")), Status::UnknownFormat);
    ExpectStatus(kPic2Codec, File(24, 1, 1, 20000, 1, "", ""), Status::NoMemory);
    ExpectStatus(kPic2Codec, {'P', '2', 'D', 'X'}, Status::UnknownFormat);
}

} // namespace
} // namespace kelvad::formats
