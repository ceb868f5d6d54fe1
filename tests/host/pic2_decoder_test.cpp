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

std::string Bits(std::string_view bits) {
    const auto bytes = PackBits(bits);
    return {bytes.begin(), bytes.end()};
}

// The description's worked example of P2SS: 4 x 2 dots of 15 bits, red red blue blue / red blue blue blue. The
// probabilities are those its decisions give (the share of 0 bits in each context, at least 1, at most 65535).
const std::string kSsData = [] {
    std::string table;
    for (unsigned context = 0; context < 128; ++context) {
        static const std::pair<unsigned, unsigned> kUsed[] = {{1, 52429},  {52, 32768}, {53, 1},     {56, 32768},
                                                              {57, 32768}, {58, 32768}, {59, 32768}, {64, 32768},
                                                              {69, 1},     {81, 32768}, {82, 1}};
        unsigned p = context == 0 || context == 16 || context == 32 ? 1 : 65535;
        for (auto [c, v] : kUsed)
            p = c == context ? v : p;
        table += Be16(p);
    }
    return table + "\x07\x64\xFD\x03\x00"s;
}();

// On white: the description's P2SF example with red undrawn, and the P2SS example one dot right and down.
std::vector<std::uint8_t> Layered() {
    return File(15, 1, 1, 5, 3, "",
                Block("P2BM", 5, 3, 0, 0, std::string(30, '\xFF')) +
                    Block("P2SF", 4, 2, 0, 0, "\x01\xF0\x70\x00\x7E\xF0\x00"s, 0x7C00) +
                    Block("P2SS", 4, 2, 1, 1, kSsData));
}

TEST(Pic2Decoder, DecodesCompressedBlocks) {
    const std::uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF;
    ExpectDecodes(kPic2Codec, Layered(), {5, 3, 24, 0, 0, {W, W, B, B, W, W, R, R, B, B, W, R, B, B, B}});
    // 6-bit dots, whose cache sets are keyed by the colour before shifted up: red, blue, red new, then blue from
    // red's set.
    ExpectDecodes(
        kPic2Codec,
        File(6, 1, 1, 4, 1, "", Block("P2SF", 4, 1, 0, 0, Bits("0 0001100 00 0000011 00 0001100 00 1000000 00"))),
        {4, 1, 24, 0, 0, {R, B, R, B}});
    // One column: red carried down 1024 rows by a chain (the escape length 1023, then 1023 chain codes and a
    // length), blue for 1031 rows (a run of 1030, stored as 1031), then green.
    std::string chains;
    for (int i = 0; i < 1023; ++i)
        chains += "11";
    const auto bits = Bits("0 0000001111100000 11 11111111110 0000000000" + chains + "0 0 0000000000011111 0" +
                           "11111111110 0000001000 0111110000000000 0 0");
    std::vector<std::uint32_t> column(1025, R);
    column.resize(2056, B);
    column.push_back(G);
    ExpectDecodes(kPic2Codec, File(15, 1, 1, 1, 2057, "", Block("P2SF", 1, 2057, 0, 0, bits)),
                  {1, 2057, 24, 0, 0, column});
}

TEST(Pic2Decoder, RefusesBadInput) {
    for (auto file = Layered(); file.size() > 4; file.pop_back())
        ExpectStatus(kPic2Codec, {file.begin(), file.end() - 1}, Status::Corrupt);
    ExpectStatus(kPic2Codec, File(24, 1, 1, 0, 0, "", Block("P2BM", 2, 1, 0, 0, "\1\2\3")), Status::Corrupt);
    ExpectStatus(kPic2Codec, File(24, 1, 1, 0, 0, "", "P2BM\0\0\0\x19"s + std::string(30, '\0')), Status::Corrupt);
    ExpectStatus(kPic2Codec, File(24, 1, 1, 0, 0, "", Block("P2SS", 1, 1, 0, 0, "\1\2\3")), Status::Corrupt);
    ExpectStatus(kPic2Codec, File(6, 1, 1, 0, 0, "", Block("P2SS", 1, 1, 0, 0, kSsData)), Status::UnknownFormat);
    ExpectStatus(kPic2Codec, File(15, 1, 1, 0, 0, "", Block("P2SF", 1, 1, 0, 0, std::string(5, '\xFF'))),
                 Status::Corrupt);
    ExpectStatus(kPic2Codec, File(8, 1, 1, 0, 0, "", Block("P2BM", 1, 1, 0, 0, "\1")), Status::UnknownFormat);
    ExpectStatus(kPic2Codec, File(24, 1, 1, 20000, 1, "", ""), Status::NoMemory);
    ExpectStatus(kPic2Codec, File(24, 1, 1, 2, 2, "", Block("P2BM", 1, 1, 30000, 0, "\1\2\3")), Status::Corrupt);
    ExpectStatus(kPic2Codec, {'P', '2', 'D', 'X'}, Status::UnknownFormat);
}

} // namespace
} // namespace kelvad::formats
