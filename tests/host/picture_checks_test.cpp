#include <gtest/gtest.h>

#include <tuple>

#include "base/dib_check.h"
#include "base/metafile_walk.h"
#include "base/picture_headers.h"
#include "tests/host/crafted_pictures.h"

namespace kelvad {
namespace {

using namespace crafted;

const std::uint8_t* At(const Bytes& b) {
    return reinterpret_cast<const std::uint8_t*>(b.data());
}

struct Crafted {
    const char* name;
    Bytes file;
    const char* fault; // nullptr: the player may have it
};

// Each file gives the fault named (a part of the walker's phrase), or none.
void ExpectFaults(const std::vector<Crafted>& cases, const char* (*check)(const std::uint8_t*, std::size_t)) {
    for (const Crafted& c : cases) {
        const char* fault = check(At(c.file), c.file.size());
        const std::string got = fault ? fault : "plays";
        EXPECT_NE(got.find(c.fault ? c.fault : "plays"), std::string::npos) << c.name << ": " << got;
    }
}

TEST(DibCheck, EveryCountGdiReadsLiesInTheFile) {
    const Bytes rows8(4 * 2, '\1'), rows24(8 * 2, '\1'), rle = Bytes("\0\0\0\1", 4);
    struct Case {
        const char* name;
        Bytes info; // header and table
        Bytes pixels;
        bool good;
    } cases[] = {
        {"core 8 bits", DibHeader(12, 2, 2, 8, 0, 0, 0, 256), rows8, true},
        {"core table cut", DibHeader(12, 2, 2, 8, 0, 0, 0, 255), "", false},
        {"40, 0 colours = 256", DibHeader(40, 2, 2, 8, 0, 0, 0, 256), rows8, true},
        {"40, 1 colour", DibHeader(40, 2, 2, 8, 0, 1, 0, 1), rows8, true},
        {"40, 256 colours", DibHeader(40, 2, 2, 8, 0, 256, 0, 256), rows8, true},
        {"40, 257 colours", DibHeader(40, 2, 2, 8, 0, 257, 0, 257), rows8, false},
        {"40, 2^31 colours", DibHeader(40, 2, 2, 8, 0, 0x80000000u, 0, 256), rows8, false},
        {"52 bit fields", DibHeader(52, 2, 2, 16, 3), rows8, true},
        {"56 bit fields", DibHeader(56, 2, 2, 32, 3), rows24, true},
        {"44 bit fields", DibHeader(44, 2, 2, 16, 3), rows8, false},
        {"108, 24 bits", DibHeader(108, 2, -2, 24), rows24, true},
        {"124, 8 bits", DibHeader(124, 2, 2, 8, 0, 0, 0, 256), rows8, true},
        // The header fills the file: no room for the colour table GDI would read.
        {"124, table missing", DibHeader(124, 2, 2, 8), "", false},
        {"pixels cut", DibHeader(40, 2, 2, 24), rows24.substr(1), false},
        {"RLE8 within", DibHeader(40, 2, 2, 8, 1, 0, 4, 256), rle, true},
        {"RLE8 length past the end", DibHeader(40, 2, 2, 8, 1, 0, 5, 256), rle, false},
        {"RLE8 length 0: the rest of the file", DibHeader(40, 2, 2, 8, 1, 0, 0, 256), rle, true},
        {"OS/2 2.x header of 16 bytes", DibHeader(16, 2, 2, 24), rows24, true},
        {"header of 20 bytes with bit fields", DibHeader(20, 2, 2, 32, 3), rows24, false},
        {"RLE8 top-down", DibHeader(40, 2, -2, 8, 1, 0, 4, 256), rle, false},
        {"height INT_MIN", DibHeader(40, 2, INT32_MIN, 24), rows24, false},
        {"over 1 GiB", DibHeader(40, 0x10000, 0x10000, 32), rows24, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = Bmp(c.info + c.pixels, 14 + c.info.size());
        EXPECT_EQ(CheckBmpFile(At(file), file.size()).has_value(), c.good);
    }
}

// The header's total size set to n (the file's own size by default).
Bytes Total(Bytes emf, std::size_t n = 0) {
    return emf.replace(48, 4, U32(std::uint32_t(n ? n : emf.size())));
}

TEST(MetafileWalk, EnhancedRecordsAreCheckedBeforePlaying) {
    const Bytes dib = DibHeader(40, 2, 2, 24), bits(16, '\x40');
    const auto stretch = [&](std::uint32_t offBmi, const Bytes& pixels) {
        return Emr(81,
                   {0, 0, 10, 10, 0, 0, 0, 0, 2, 2, offBmi, 40, offBmi + 40, std::uint32_t(pixels.size()), 0, 0xCC0020,
                    10, 10},
                   dib + pixels);
    };
    const Bytes good = Emf(Emr(38, {1, 0, 1, 0, 0}) + Emr(37, {1}) + Emr(43, {0, 0, 50, 50}) + stretch(80, bits));
    ExpectFaults(
        {
            {"good", good, nullptr},
            {"stock object", Emf(Emr(37, {0x80000005})), nullptr},
            {"size 0", Emf(U32s({27, 0, 0, 0})), "record size"},
            {"size 4", Emf(U32s({27, 4, 0, 0})), "record size"},
            {"size 9", Emf(U32s({27, 9, 0, 0})), "record size"},
            {"record past the file", Emf(U32s({27, 64, 0, 0})), "record size"},
            {"nBytes past the file", Total(good, good.size() + 4), "total size"},
            {"file cut", good.substr(0, good.size() - 20), "total size"},
            {"nHandles 0", Emf("", 0), "no handle"},
            {"reference size 2^31-1", Emf("").replace(72, 4, U32(0x7FFFFFFF)), "coordinate"},
            {"reference size 2^31", Emf("").replace(84, 4, U32(0x80000000u)), "coordinate"},
            {"nHandles 1", Emf(Emr(38, {1, 0, 1, 0, 0}), 1), "object index"},
            {"index 2^31-1", Emf(Emr(39, {0x7FFFFFFF, 0, 0, 0})), "object index"},
            {"stock object deleted", Emf(Emr(40, {0x80000005})), "object index"},
            {"brush by pointer", Emf(Emr(39, {1, 6, 0, 0x1234})), "brush style"},
            {"bitmap offset outside", Emf(stretch(4000, bits)), "bitmap"},
            {"bitmap bits cut", Emf(stretch(80, bits.substr(4))), "bitmap"},
            {"type 84 of 8 bytes", Emf(Emr(84, {})), "shorter"},
            {"type 86 of 8 bytes", Emf(Emr(86, {})), "shorter"},
            {"polygon16 of 65535 points", Emf(Emr(86, {0, 0, 9, 9, 65535, 0})), "point count"},
            {"polypolygon counts", Emf(Emr(8, {0, 0, 9, 9, 1, 1, 2, 0, 0})), "point count"},
            {"text outside", Emf(Emr(84, {0, 0, 9, 9, 1, 0, 0, 0, 0, 100, 76, 0, 0, 0, 0, 0, 0})), "outside"},
            {"region rectangles", Emf(Emr(75, {48, 5}, U32s({32, 1, 3, 48, 0, 0, 1, 1, 0, 0, 1, 1}))), "region"},
            {"frame near 2^31", Emf("", 4, 0x7FFFFFF0), "coordinate"},
            {"rectangle near 2^31", Emf(Emr(43, {0, 0, 0x7FFFFFF0, 50})), "coordinate"},
            {"a second header", Emf(Emr(1, {0, 0})), "second header"},
            {"no end-of-file", Total(good.substr(0, good.size() - 20) + Emr(27, {0, 0})), "no end-of-file"},
            {"records after end-of-file", Total(Emf("") + Emr(27, {0, 0})), "records after"},
        },
        CheckEmf);
}

TEST(MetafileWalk, WindowsRecordsAreCheckedBeforePlaying) {
    const Bytes dib = Dib(8);
    const Bytes good = Wmf(Wmr(0x02FA, {0, 1, 1, 0, 0}) + Wmr(0x012D, {0}) + Wmr(0x041B, {50, 50, 0, 0}) +
                           Wmr(0x0F43, {0x20, 0xCC, 0, 2, 2, 0, 0, 9, 9, 0, 0}, dib) + Wmr(0x01F0, {0}));
    ExpectFaults(
        {
            {"good", good, nullptr},
            {"truncated", good.substr(0, good.size() - 6), "total size"},
            {"select 0xFFFF", Wmf(Wmr(0x012D, {0xFFFF})), "object index"},
            {"more objects than the table", Wmf(Wmr(0x02FA, {0, 1, 1, 0, 0}), 0), "more objects"},
            {"polygon of 65535 points", Wmf(Wmr(0x0324, {65535, 1, 1})), "point count"},
            {"polypolygon counts", Wmf(Wmr(0x0538, {1, 3, 1, 1})), "point count"},
            {"size 0", Wmf(U32(0) + U16(0x0213) + U16(0) + U16(0)), "record size"},
            {"size past the end", Wmf(U32(200) + U16(0x0213) + U16(0) + U16(0)), "record size"},
            {"unknown record", Wmf(Wmr(0x0999, {})), "unknown"},
            {"short rectangle", Wmf(Wmr(0x041B, {50, 50})), "shorter"},
            {"bitmap cut", Wmf(Wmr(0x0F43, {0x20, 0xCC, 0, 2, 2, 0, 0, 9, 9, 0, 0}, Dib(8, 2))), "bitmap"},
            {"text past the record", Wmf(Wmr(0x0521, {40, 0x4141, 0, 0})), "outside"},
            {"region bands past the record", Wmf(Wmr(0x06FF, {0, 6, 0, 0, 40, 2, 2, 0, 0, 9, 9, 2, 0, 9})), "outside"},
        },
        CheckWmf);
}

TEST(IconDirectory, FirstImageLiesInTheFile) {
    // Directory, one entry (width, height, colours, reserved, planes, bits, bytes, offset), then the image.
    const auto ico = [](Bytes dir, std::uint32_t bytes, std::uint32_t offset, std::size_t held) {
        return dir + Bytes{0, 32, 0, 0} + U16(1) + U16(32) + U32s({bytes, offset}) + Bytes(held, '\1');
    };
    const Bytes dir = U16(0) + U16(1) + U16(1);
    struct Case {
        const char* name;
        Bytes file;
        int width; // 0: refused
    } cases[] = {
        {"width 0 is 256", ico(dir, 40, 22, 40), 256},
        {"reserved", ico(U16(1) + U16(1) + U16(1), 40, 22, 40), 0},
        {"cursor", ico(U16(0) + U16(2) + U16(1), 40, 22, 40), 0},
        {"no entries", ico(U16(0) + U16(1) + U16(0), 40, 22, 40), 0},
        {"entry cut", dir + Bytes(15, '\0'), 0},
        {"image past the end", ico(dir, 41, 22, 40), 0},
        {"offset past the end", ico(dir, 0, 0xFFFFFFFFu, 40), 0},
        {"image under 40 bytes", ico(dir, 39, 22, 40), 0},
    };
    for (const Case& c : cases) {
        const auto image = FirstIconImage(At(c.file), c.file.size());
        EXPECT_EQ(image ? std::make_pair(image->width, image->height) : std::make_pair(0, 0),
                  std::make_pair(c.width, c.width ? 32 : 0))
            << c.name;
    }
}

TEST(PlaceableHeader, BoundingBoxGivesExtentsRoundedAsMulDiv) {
    const auto placeable = [](int left, int right, unsigned inch) {
        return U32(kPlaceableKey) + U16(0) + U16(left) + U16(0) + U16(right) + U16(100) + U16(inch) + U32(0) + U16(0);
    };
    struct Case {
        const char* name;
        Bytes file;
        std::size_t at; // SIZE_MAX: refused
        std::int32_t xExt;
    } cases[] = {
        {"none", Wmf(""), 0, 0},
        {"key in 21 bytes", placeable(0, 100, 254).substr(0, 21), 0, 0},
        {"0 units per inch", placeable(0, 100, 0) + Wmf(""), SIZE_MAX, 0},
        {"100 units at 254", placeable(0, 100, 254) + Wmf(""), 22, 1000},
        {"negative left", placeable(-50, 100, 254) + Wmf(""), 22, 1500},
        {"right of left", placeable(100, 0, 254) + Wmf(""), 22, -1000},
        {"half up", placeable(0, 1, 5080) + Wmf(""), 22, 1},
        {"half down", placeable(1, 0, 5080) + Wmf(""), 22, -1},
        {"widest box", placeable(-32768, 32767, 1) + Wmf(""), 22, 65535 * 2540},
    };
    for (const Case& c : cases) {
        const auto start = ReadWmfStart(At(c.file), c.file.size());
        EXPECT_EQ(start ? std::make_tuple(start->headerAt, start->sized, start->xExt)
                        : std::make_tuple(SIZE_MAX, false, std::int32_t{0}),
                  std::make_tuple(c.at, c.at == 22, c.xExt))
            << c.name;
    }
}

} // namespace
} // namespace kelvad
