#include "base/dib_check.h"

#include <algorithm>
#include <cstdint>

#include "base/little_endian.h"

namespace kelvad {

std::optional<DibFormat> ReadDibHeader(const std::uint8_t* block, std::size_t size, DibColours colours,
                                       bool inFile) {
    if (size < 12)
        return std::nullopt;
    DibFormat d;
    d.headerSize = Le32(block);
    unsigned planes = 0;
    std::uint32_t used = 0;
    // A field of the header, or zero where a shorter header leaves it out.
    const auto field = [&](std::uint32_t at) { return at + 4 <= d.headerSize ? Le32(block + at) : 0; };
    if (d.headerSize == 12) {
        d.width = Le16(block + 4);
        d.height = Le16(block + 6);
        planes = Le16(block + 8);
        d.bitCount = Le16(block + 10);
        if (d.bitCount != 1 && d.bitCount != 4 && d.bitCount != 8 && d.bitCount != 24)
            return std::nullopt;
    } else {
        // The OS/2 2.x header may end after its first 16 bytes in a file; the fields it leaves out are zero.
        if (d.headerSize < (inFile ? 16u : 40u) || d.headerSize > size)
            return std::nullopt;
        d.width = static_cast<std::int32_t>(Le32(block + 4));
        d.height = static_cast<std::int32_t>(Le32(block + 8));
        planes = Le16(block + 12);
        d.bitCount = Le16(block + 14);
        d.compression = field(16);
        d.imageSize = field(20);
        used = field(32);
        switch (d.compression) {
        case kDibRgb:
            if (d.bitCount != 1 && d.bitCount != 4 && d.bitCount != 8 && d.bitCount != 16 && d.bitCount != 24 &&
                d.bitCount != 32)
                return std::nullopt;
            break;
        case kDibRle8:
        case kDibRle4:
            // Compressed rows run bottom-up only, and their length must be known (in a file, the rest of it).
            if (d.bitCount != (d.compression == kDibRle8 ? 8u : 4u) || d.height < 0 || (d.imageSize == 0 && !inFile))
                return std::nullopt;
            break;
        case kDibBitFields:
            // The masks follow a 40-byte header, or are its fields 40 to 51; a header between has half of them.
            if ((d.bitCount != 16 && d.bitCount != 32) || d.headerSize < 40 || (d.headerSize > 40 && d.headerSize < 52))
                return std::nullopt;
            d.masksAt = 40;
            break;
        default:
            return std::nullopt;
        }
    }
    if (d.width <= 0 || d.height == 0 || d.height == INT32_MIN || planes != 1)
        return std::nullopt;
    if (d.Stride() * d.Lines() > kMaxDibBytes)
        return std::nullopt;

    if (d.bitCount <= 8) {
        const std::uint32_t most = 1u << d.bitCount;
        if (used > most)
            return std::nullopt;
        d.colours = used ? used : most;
    } else {
        // GDI reads an optional table of biClrUsed entries (at most 256) behind deeper headers too.
        d.colours = used > 256 ? 256 : used;
    }
    if (colours == DibColours::None)
        d.colours = 0;
    d.entrySize = colours == DibColours::PaletteIndices ? 2 : d.headerSize == 12 ? 3 : 4;
    d.tableAt = d.headerSize;
    if (d.masksAt == 40 && d.headerSize == 40)
        d.tableAt += 12;
    d.infoSize = d.tableAt + static_cast<std::size_t>(d.colours) * d.entrySize;
    if (d.infoSize > size)
        return std::nullopt;
    if (d.masksAt)
        for (int i = 0; i < 3; ++i)
            d.masks[i] = Le32(block + d.masksAt + 4 * i);
    return d;
}

std::vector<std::uint8_t> PlainDibInfo(const DibFormat& d, const std::uint8_t* block) {
    const std::uint32_t table = d.bitCount <= 8 ? d.colours : 0;
    std::vector<std::uint8_t> info(40 + (d.masksAt ? 12 : 0) + 4 * static_cast<std::size_t>(table));
    std::uint8_t* p = info.data();
    PutLe32(p, 40);
    PutLe32(p + 4, static_cast<std::uint32_t>(d.width));
    PutLe32(p + 8, static_cast<std::uint32_t>(d.height));
    PutLe16(p + 12, 1);
    PutLe16(p + 14, static_cast<std::uint16_t>(d.bitCount));
    PutLe32(p + 16, d.compression);
    PutLe32(p + 20, d.Compressed() ? d.imageSize : 0);
    PutLe32(p + 32, table);
    p += 40;
    if (d.masksAt) {
        for (int i = 0; i < 3; ++i)
            PutLe32(p + 4 * i, d.masks[i]);
        p += 12;
    }
    for (std::uint32_t i = 0; i < table; ++i) {
        const std::uint8_t* entry = block + d.tableAt + i * d.entrySize;
        // Blue, green, red, and a zero fourth byte whatever the file held there.
        p[4 * i] = entry[0], p[4 * i + 1] = entry[1], p[4 * i + 2] = entry[2], p[4 * i + 3] = 0;
    }
    return info;
}

std::optional<BmpLayout> CheckBmpFile(const std::uint8_t* data, std::size_t size) {
    if (size < kBmpFileHeaderSize || data[0] != 'B' || data[1] != 'M')
        return std::nullopt;
    const std::uint32_t pixelsAt = Le32(data + 10);
    auto layout = ReadDibHeader(data + kBmpFileHeaderSize, size - kBmpFileHeaderSize, DibColours::Rgb, true);
    if (!layout || pixelsAt < kBmpFileHeaderSize + layout->headerSize || pixelsAt > size)
        return std::nullopt;
    if (layout->Compressed() && layout->imageSize == 0)
        layout->imageSize = static_cast<std::uint32_t>(std::min<std::size_t>(size - pixelsAt, UINT32_MAX));
    if (layout->PixelBytes(layout->Lines()) > size - pixelsAt)
        return std::nullopt;
    return BmpLayout{*layout, pixelsAt};
}

bool LayOnWhite(std::uint8_t* pixels, std::size_t count) {
    bool alpha = false;
    for (std::size_t i = 0; i < count && !alpha; ++i)
        alpha = pixels[4 * i + 3] != 0;
    if (!alpha)
        return false;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t* p = pixels + 4 * i;
        for (int c = 0; c < 3; ++c)
            p[c] = static_cast<std::uint8_t>((p[c] * p[3] + 255 * (255 - p[3]) + 127) / 255);
        p[3] = 255;
    }
    return true;
}

} // namespace kelvad
