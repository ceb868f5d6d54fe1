#pragma once
// The header of a device-independent bitmap read field by field, and the checks that every count GDI reads from
// it (colour table, bit-field masks, pixels) lies inside the bytes that hold it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace kelvad {

// How the colour table's entries are read: colours (three bytes each under the 12-byte header, else four),
// 16-bit indices into the selected palette, or none (a monochrome brush's black and white).
enum class DibColours { Rgb, PaletteIndices, None };

constexpr std::uint32_t kDibRgb = 0, kDibRle8 = 1, kDibRle4 = 2, kDibBitFields = 3;

struct DibFormat {
    std::uint32_t headerSize = 0; // 12 (the OS/2 core header) or 40 and more
    std::int32_t width = 0;
    std::int32_t height = 0; // negative: top-down rows
    unsigned bitCount = 0;
    std::uint32_t compression = kDibRgb;
    std::uint32_t imageSize = 0; // biSizeImage: the compressed data's length for RLE
    std::uint32_t colours = 0;   // colour table entries that GDI reads
    std::size_t entrySize = 0;   // bytes per entry: 4, 3 (core header) or 2 (palette indices)
    std::size_t masksAt = 0;     // the three bit-field masks, from the header's start (0: none)
    std::size_t tableAt = 0;     // the colour table, from the header's start
    std::size_t infoSize = 0;    // header, masks and table: where packed pixels begin
    std::uint32_t masks[3] = {};

    std::uint64_t Stride() const { return (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4; }
    std::uint64_t Lines() const { return height < 0 ? -static_cast<std::int64_t>(height) : height; }
    bool Compressed() const { return compression == kDibRle8 || compression == kDibRle4; }
    // The bytes of pixels GDI reads for `lines` rows: the rows themselves, or all of the compressed data.
    std::uint64_t PixelBytes(std::uint64_t lines) const { return Compressed() ? imageSize : Stride() * lines; }
};

// The largest bitmap (rows of the header's depth) taken: 1 GiB.
constexpr std::uint64_t kMaxDibBytes = 1ull << 30;

// Reads the header at the start of block and checks it: a size GDI knows (12, or 40 and more), a positive width,
// a height other than 0, one plane, a depth and compression that go together, the uncompressed rows within
// kMaxDibBytes, at most 2^bits colours for 8 bits and fewer, and masks and colour table inside the block.
// Nothing when any check fails. In a file (inFile) an OS/2 2.x header of 16 to 39 bytes is read too, as the long
// one whose missing fields are zero, and compressed rows may leave their length 0 for the caller to fill in.
std::optional<DibFormat> ReadDibHeader(const std::uint8_t* block, std::size_t size,
                                       DibColours colours = DibColours::Rgb, bool inFile = false);

// A BITMAPINFO that GDI reads without surprises: the 40-byte header (biClrUsed the table's length, no table for
// more than 8 bits), then the masks for bit fields, then the colour table as four-byte entries. block is the one
// the layout was read with DibColours::Rgb from.
std::vector<std::uint8_t> PlainDibInfo(const DibFormat& layout, const std::uint8_t* block);

// A .BMP file: its 14-byte file header, the bitmap header, and pixels at bfOffBits holding every byte GDI reads.
// Gives the layout (offsets from the bitmap header) and where the pixels begin in the file; compressed rows whose
// length the header leaves 0 take the rest of the file.
constexpr std::size_t kBmpFileHeaderSize = 14; // the bitmap header follows it
struct BmpLayout {
    DibFormat layout;
    std::size_t pixelsAt = 0;
};
std::optional<BmpLayout> CheckBmpFile(const std::uint8_t* data, std::size_t size);

// 32-bit pixels (blue, green, red, alpha) laid on white paper by their alpha, made opaque. Pixels whose fourth bytes
// are all 0 carry no alpha (the byte is unused) and are left as they are: answers whether any was changed.
bool LayOnWhite(std::uint8_t* pixels, std::size_t count);

} // namespace kelvad
