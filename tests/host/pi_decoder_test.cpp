#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "plugins/formats/pi.h"

namespace kelvad::formats {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Byte = std::uint8_t;

// "Pi", text up to the zero ending the comment area, mode, aspect n and m, planes, machine name, its data behind
// their length, width, height, the palette unless the mode omits it (16 colours in 4-bit levels i, 15 - i, 7; 256
// in bytes i, 255 - i, i / 2), then bits written as '0' and '1', zero bits to the byte's end and 32 zero bits.
Bytes Pi(unsigned planes, unsigned w, unsigned h, const std::string& bits, unsigned mode = 0, unsigned n = 0,
         unsigned m = 0, const std::string& text = "\x1A", const std::string& ext = "") {
    Bytes out{'P', 'i'};
    out.insert(out.end(), text.begin(), text.end());
    out.insert(out.end(), {0, Byte(mode), Byte(n), Byte(m), Byte(planes), 'P', 'C', '9', '8', 0, Byte(ext.size())});
    out.insert(out.end(), ext.begin(), ext.end());
    out.insert(out.end(), {Byte(w >> 8), Byte(w), Byte(h >> 8), Byte(h)});
    for (unsigned i = 0; i < (mode & 0x80 ? 0u : 1u << planes); ++i)
        out.insert(out.end(), {Byte(planes == 4 ? i << 4 : i), Byte(planes == 4 ? (15 - i) << 4 : 255 - i),
                               Byte(planes == 4 ? 0x70 : i / 2)});
    unsigned count = 0;
    for (char c : bits)
        if (c != ' ') {
            if (count % 8 == 0)
                out.push_back(0);
            out.back() |= (c == '1') << (7 - count++ % 8);
        }
    out.insert(out.end(), 4, 0);
    return out;
}

const Bytes kPositions = Pi(4, 6, 4, "10 000  00 0  00 011101 11 1 10 10 0  01 0  111 0  110 0  10 100  00 1110000");
const std::string kTwoByTwo = "10 11  00 0  00 10 10";

struct Good {
    const char* name;
    Bytes file;
    std::string pixels; // lines apart, in hex: one digit a pixel for 16 colours, two for 256
    std::vector<std::pair<int, std::uint32_t>> colours = {};
    std::string comment = "";
};

TEST(PiDecoder, DecodesHandAssembledFiles) {
    const Bytes odd = Pi(4, 3, 3, "10 11  00 0  00 10 10 0  00 0  10 0  10 10");
    const Bytes colours256 = Pi(8, 4, 1, "0 111111 0000001  0 110 011  01 0  01 001 0 1110 0000");
    const std::vector<Good> files{
        // c0 0, c1 E; copy 4 left; raw pairs; 1 up, 1 up 1 left, 1 up 1 right; 2 up x2; 4 left
        // (last two differ) x8, cut at the picture's end. Stored levels stand as they are.
        {"positions", kPositions, "0E10E1 0EE110 0E100E 100E10", {{14, 0xE01070}, {0, 0x00F070}}},
        // Odd width: pairs cross lines; 2 left when the last two match; 2 up; the last raw pair cut in half.
        {"odd width", odd, "0FF FFF 0FF"},
        // Colour places 129, 11, 3 and 16 of the 256-colour rows.
        {"256 colours", colours256, "7F747161", {{0x61, 0x619E30}}},
        {"default 16, comment, extension",
         Pi(4, 2, 1, "10 11 00 0", 0x80, 0, 0, "Hi\x1Axy", "abc"),
         "0F",
         {{1, 0x000077}, {2, 0x770000}, {4, 0x007700}, {7, 0x777777}, {8, 0}, {9, 0x0000FF}, {15, 0xFFFFFF}},
         "Hi"},
        {"default 256",
         Pi(8, 2, 1, "10 11 00 0", 0x80),
         "00FF",
         {{0xFF, 0xFFFFFF}, {0x03, 0x0000FF}, {0x1C, 0xFF0000}, {0xE0, 0x00FF00}, {0x25, 0x3F3F7F}}},
        {"tall pixels", Pi(4, 2, 2, kTwoByTwo, 0, 2, 1), "0F 0F FF FF"},
        {"wide pixels", Pi(4, 2, 2, kTwoByTwo, 0, 1, 2), "00FF FFFF"},
    };
    for (const Good& g : files) {
        SCOPED_TRACE(g.name);
        const ImageInfo info = kPiCodec.readInfo(g.file.data(), g.file.size());
        const DecodedImage image = kPiCodec.decode(g.file.data(), g.file.size());
        const int digits = image.palette.size() == 256 ? 2 : 1;
        EXPECT_EQ(info.width * digits, g.pixels.find(' ') == std::string::npos ? g.pixels.size() : g.pixels.find(' '));
        EXPECT_EQ(info.height, std::count(g.pixels.begin(), g.pixels.end(), ' ') + 1u);
        EXPECT_EQ(info.comment, g.comment);
        ASSERT_EQ(image.info.width, info.width);
        ASSERT_EQ(image.info.height, info.height);
        std::string pixels;
        for (std::uint32_t y = 0; y < info.height; ++y) {
            for (std::uint32_t x = 0; x < info.width; ++x) {
                char hex[3];
                std::snprintf(hex, sizeof hex, digits == 2 ? "%02X" : "%X", image.Row(y)[x]);
                pixels += hex;
            }
            pixels += y + 1 < info.height ? " " : "";
        }
        EXPECT_EQ(pixels, g.pixels);
        for (auto [index, rgb] : g.colours)
            EXPECT_EQ(image.palette.at(index), rgb) << index;
    }
}

TEST(PiDecoder, RefusesBadFiles) {
    const std::size_t head = 2 + 2 + 4 + 4 + 2 + 4;
    const auto cut = [](Bytes b, std::size_t size) { return b.resize(size), b; };
    const std::vector<std::pair<Bytes, Status>> files{
        {cut(kPositions, 1), Status::UnknownFormat},
        {Bytes{'P', 'i', 'a', 'b'}, Status::Corrupt},                       // no end of comment
        {cut(kPositions, 5), Status::Corrupt},                              // header cut after the mode
        {Pi(5, 6, 4, ""), Status::Corrupt},                                 // 5 planes
        {cut(kPositions, head + 40), Status::Corrupt},                      // palette cut
        {cut(kPositions, head + 48 + 3), Status::Corrupt},                  // bit stream cut
        {Pi(4, 0, 4, "10 10 00 0"), Status::Corrupt},                       // no width
        {Pi(4, 1, 4, "10 10 110 0"), Status::Corrupt},                      // 1 up 1 right in a picture 1 wide
        {Pi(4, 6, 4, "10 10 00 " + std::string(33, '1')), Status::Corrupt}, // length of 33 ones
        {Pi(4, 0xFFFF, 0xFFFF, ""), Status::NoMemory},
        {Pi(4, 100, 100, "", 0, 255, 1), Status::NoMemory}, // 25500 lines once square
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        const Bytes& f = files[i].first;
        try {
            kPiCodec.decode(f.data(), f.size());
            ADD_FAILURE() << "row " << i << " decoded";
        } catch (const DecodeError& e) {
            EXPECT_EQ(e.status, files[i].second) << "row " << i;
        }
    }
}

} // namespace
} // namespace kelvad::formats
