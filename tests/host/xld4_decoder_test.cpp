#include "plugins/formats/xld4.h"

#include <bitset>
#include <string>

#include "tests/host/format_test_util.h"

namespace kelvad::formats {
namespace {

using namespace std::string_literals;
using namespace test;
using Bytes = std::vector<std::uint8_t>;

// Values coded one step each at width 5 (after widening twice from 3), then the end code.
std::string Literal(const std::vector<unsigned>& values) {
    std::string bits = "001 0001";
    for (unsigned v : values)
        bits += std::bitset<5>(v + 2).to_string();
    const auto bytes = PackBits(bits + "00000");
    return {bytes.begin(), bytes.end()};
}

std::string Chunk(const std::string& data, unsigned halfDots) {
    return {char(data.size()), char(data.size() >> 8), 0, 0, char(halfDots), char(halfDots >> 8)};
}

// The header (bytes 1-3 as given, the length, MAJYO), a palette chunk of stored colours i = (i, 15 - i, i / 2)
// with a junk first value in each pair, then the chunks.
Bytes File(const std::string& chunks, const std::string& bytes13 = "\0\2\0"s, int lengthFix = 0) {
    std::vector<unsigned> palette;
    for (unsigned i = 0; i < 16; ++i)
        palette.insert(palette.end(), {9, i, 16, 15 - i, 0, i / 2});
    const std::string data = Literal(palette);
    std::string file = "\0"s + bytes13 + "????" + "LL" + "?" + "MAJYO" + Chunk(data, 0) + data + chunks;
    const std::size_t length = file.size() + lengthFix;
    file[8] = char(length), file[9] = char(length >> 8);
    return {file.begin(), file.end()};
}

// The description's worked examples: 3 3 3 3 through dictionary copies (4 dots), then the runs 16 0 5 16 16 16 1 15
// and dots 1 2 2 in a chunk of 328 dots (the last one left at 0); the other dots stay 0.
const std::string kCopies = "\xA4\x66\x50\x00"s;
const std::string kRuns = Literal({16, 0, 5, 16, 16, 16, 1, 15, 1, 2, 2});
const Bytes kGood = File(Chunk(kCopies, 2) + kCopies + Chunk(kRuns, 164) + kRuns);

TEST(Xld4Decoder, DecodesTheWorkedExamples) {
    ASSERT_TRUE(kXld4Codec.isSupported(kGood.data(), kGood.size()));
    const DecodedImage image = kXld4Codec.decode(kGood.data(), kGood.size());
    ASSERT_EQ(std::tuple(image.info.width, image.info.height, image.info.bitsPerPixel), std::tuple(640u, 400u, 8));
    std::vector<std::uint8_t> want(640 * 400, 0);
    std::fill_n(want.begin(), 4, 3);
    std::fill_n(want.begin() + 4, 320, 5);
    std::copy_n("\1\2\2", 3, want.begin() + 324);
    std::vector<std::uint8_t> got;
    for (std::uint32_t y = 0; y < 400; ++y)
        got.insert(got.end(), image.Row(y), image.Row(y) + 640);
    EXPECT_EQ(got, want);
    // Stored colour i is entry (i & 8) | (i & 1) << 2 | (i >> 1 & 3).
    ASSERT_EQ(image.palette.size(), 16u);
    EXPECT_EQ(std::vector({image.palette[4], image.palette[3], image.palette[13]}),
              std::vector<std::uint32_t>({0x11EE00, 0x669933, 0xBB4455}));
    EXPECT_TRUE(kXld4Codec.isSupported(File("", "\1\0\1"s).data(), 16));
}

TEST(Xld4Decoder, RefusesBadFiles) {
    for (std::size_t size = 0; size < kGood.size(); ++size)
        ExpectStatus(kXld4Codec, {kGood.begin(), kGood.begin() + size},
                     size < 16 ? Status::UnknownFormat : Status::Corrupt);
    std::vector<unsigned> steps(16368, 1);
    const std::pair<Bytes, Status> files[] = {
        {File("", "\2\0\0"s), Status::UnknownFormat},                                   // bytes 1-3 of another kind
        {File("", "\0\2\0"s, 1), Status::Corrupt},                                      // the length field one more
        {File(Chunk(kCopies, 2) + kCopies.substr(0, 3)), Status::Corrupt},              // a chunk past the file's end
        {File(Chunk(Literal({16, 0, 16}), 9) + Literal({16, 0, 16})), Status::Corrupt}, // run colour 16
        {File(Chunk(Literal({1, 16, 2}), 9) + Literal({1, 16, 2})), Status::Corrupt},   // a run cut short
        {File(Chunk(Literal(steps), 9) + Literal(steps)), Status::Corrupt},             // 16368 steps
    };
    for (const auto& [file, status] : files)
        ExpectStatus(kXld4Codec, file, status);
    Bytes noPalette = File("");
    noPalette.resize(16), noPalette[8] = 16;
    ExpectStatus(kXld4Codec, noPalette, Status::Corrupt);
}

} // namespace
} // namespace kelvad::formats
