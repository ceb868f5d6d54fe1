#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "plugins/formats/pi.h"

namespace kelvad::formats {
namespace {

using Bytes = std::vector<std::uint8_t>;

// "Pi", the text up to the zero that ends the comment area, mode, aspect n and m, planes, machine name, the
// machine's data behind its length, width and height.
Bytes Head(std::string text, unsigned mode, unsigned n, unsigned m, unsigned planes, std::string ext, unsigned w,
           unsigned h) {
    Bytes out{'P', 'i'};
    out.insert(out.end(), text.begin(), text.end());
    out.insert(out.end(), {0, std::uint8_t(mode), std::uint8_t(n), std::uint8_t(m), std::uint8_t(planes)});
    out.insert(out.end(), {'P', 'C', '9', '8', 0, std::uint8_t(ext.size())});
    out.insert(out.end(), ext.begin(), ext.end());
    out.insert(out.end(), {std::uint8_t(w >> 8), std::uint8_t(w), std::uint8_t(h >> 8), std::uint8_t(h)});
    return out;
}

// 16 colours in 4-bit levels (i, 15 - i, 7) or 256 in bytes (i, 255 - i, i / 2).
Bytes Palette(unsigned colours) {
    Bytes out;
    for (unsigned i = 0; i < colours; ++i) {
        const Bytes rgb = colours == 16 ? Bytes{std::uint8_t(i << 4), std::uint8_t((15 - i) << 4), 0x70}
                                        : Bytes{std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i / 2)};
        out.insert(out.end(), rgb.begin(), rgb.end());
    }
    return out;
}

// Appends bits written as '0' and '1' (spaces apart), zero bits to the byte's end and the format's 32 zero bits.
Bytes File(Bytes head, const Bytes& palette, const std::string& bits) {
    head.insert(head.end(), palette.begin(), palette.end());
    unsigned count = 0;
    for (char c : bits)
        if (c != ' ') {
            if (count++ % 8 == 0)
                head.push_back(0);
            head.back() |= (c == '1') << (7 - (count - 1) % 8);
        }
    head.insert(head.end(), 4, 0);
    return head;
}

const Bytes kPositions = File(Head("\x1A", 0, 0, 0, 4, "", 6, 4), Palette(16),
                              "10 000  00 0  00 011101 11 1 10 10 0  01 0  111 0  110 0  10 100  00 11000");
const std::string kTwoByTwo = "10 11  00 0  00 10 10";

struct Good {
    const char* name;
    Bytes file;
    std::uint32_t width, height;
    std::string pixels; // hex, one digit a pixel for 16 colours, two for 256
    std::vector<std::pair<int, std::uint32_t>> colours;
    std::string comment;
};

TEST(PiDecoder, DecodesHandAssembledFiles) {
    const std::vector<Good> files{
        // c0 0, c1 E; copy 4 left; raw pairs; 1 up, 1 up 1 left, 1 up 1 right; 2 up x2; 4 left (last two differ) x4.
        {"positions", kPositions, 6, 4, "0E10E1 0EE110 0E100E 100E10", {{14, 0xEE1177}, {0, 0x00FF77}}, ""},
        // Odd width: pairs cross lines; 2 left when the last two match; a length of 8 cut at the picture's end.
        {"odd width",
         File(Head("\x1A", 0, 0, 0, 4, "", 3, 3), Palette(16), "10 11  00 0  00 10 10 0  00 0  10 1110000"),
         3,
         3,
         "0FF FFF 0FF",
         {},
         ""},
        // Colour places 129, 11, 3 and 16 of the 256-colour rows.
        {"256 colours",
         File(Head("\x1A", 0, 0, 0, 8, "", 4, 1), Palette(256),
              "0 111111 0000001  0 110 011  01 0  01 001 0 1110 0000"),
         4,
         1,
         "7F747161",
         {{0x61, 0x619E30}},
         ""},
        {"default 16, comment, extension",
         File(Head("Hi\x1Axy", 0x80, 0, 0, 4, "abc", 2, 1), {}, "10 11 00 0"),
         2,
         1,
         "0F",
         {{1, 0x000077}, {2, 0x770000}, {4, 0x007700}, {7, 0x777777}, {8, 0}, {9, 0x0000FF}, {15, 0xFFFFFF}},
         "Hi"},
        {"default 256",
         File(Head("\x1A", 0x80, 0, 0, 8, "", 2, 1), {}, "10 11 00 0"),
         2,
         1,
         "00FF",
         {{0xFF, 0xFFFFFF}, {0x03, 0x0000FF}, {0x1C, 0xFF0000}, {0xE0, 0x00FF00}, {0x25, 0x3F3F7F}},
         ""},
        {"tall pixels", File(Head("\x1A", 0, 2, 1, 4, "", 2, 2), Palette(16), kTwoByTwo), 2, 4, "0F 0F FF FF", {}, ""},
        {"wide pixels", File(Head("\x1A", 0, 1, 2, 4, "", 2, 2), Palette(16), kTwoByTwo), 4, 2, "00FF FFFF", {}, ""},
    };
    for (const Good& g : files) {
        SCOPED_TRACE(g.name);
        const ImageInfo info = kPiCodec.readInfo(g.file.data(), g.file.size());
        const DecodedImage image = kPiCodec.decode(g.file.data(), g.file.size());
        EXPECT_EQ(info.width, g.width);
        EXPECT_EQ(info.height, g.height);
        EXPECT_EQ(info.comment, g.comment);
        ASSERT_EQ(image.info.width, g.width);
        ASSERT_EQ(image.info.height, g.height);
        std::string pixels;
        const int digits = image.palette.size() == 256 ? 2 : 1;
        for (std::uint32_t y = 0; y < g.height; ++y)
            for (std::uint32_t x = 0; x < g.width; ++x) {
                char hex[3];
                std::snprintf(hex, sizeof hex, digits == 2 ? "%02X" : "%X", image.Row(y)[x]);
                pixels += hex;
            }
        std::string expected = g.pixels;
        std::erase(expected, ' ');
        EXPECT_EQ(pixels, expected);
        for (auto [index, rgb] : g.colours)
            EXPECT_EQ(image.palette.at(index), rgb) << index;
    }
}

TEST(PiDecoder, RefusesBadFiles) {
    const Bytes head = Head("\x1A", 0, 0, 0, 4, "", 6, 4);
    const auto cut = [](Bytes b, std::size_t size) { return b.resize(size), b; };
    const std::vector<std::pair<Bytes, Status>> files{
        {cut(kPositions, 1), Status::UnknownFormat},
        {Bytes{'P', 'i', 'a', 'b'}, Status::Corrupt},                                 // no end of comment
        {cut(head, 5), Status::Corrupt},                                              // header cut after the mode
        {File(Head("\x1A", 0, 0, 0, 5, "", 6, 4), Palette(16), ""), Status::Corrupt}, // 5 planes
        {cut(kPositions, head.size() + 40), Status::Corrupt},                         // palette cut
        {cut(kPositions, head.size() + 48 + 3), Status::Corrupt},                     // bit stream cut
        {File(Head("\x1A", 0, 0, 0, 4, "", 0, 4), Palette(16), "10 10 00 0"), Status::Corrupt},
        {File(Head("\x1A", 0, 0, 0, 4, "", 1, 4), Palette(16), "10 10 110 0"), Status::Corrupt}, // 1 up 1 right of 1
        {File(Head("\x1A", 0, 0, 0, 4, "", 6, 4), Palette(16), "10 10 00 " + std::string(33, '1')), Status::Corrupt},
        {File(Head("\x1A", 0, 0, 0, 4, "", 0xFFFF, 0xFFFF), Palette(16), ""), Status::NoMemory},
        {File(Head("\x1A", 0, 255, 1, 4, "", 100, 100), Palette(16), ""), Status::NoMemory}, // 25500 lines
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
