#include "plugins/formats/mag.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "plugins/formats/byte_reader.h"

namespace kelvad::formats {
namespace {

constexpr char kSignature[] = "MAKI02  ";
constexpr std::size_t kSignatureSize = 8;
// The file's text (machine code, user name and comment) follows the signature.
constexpr std::size_t kTextStart = 8;
constexpr std::size_t kHeaderSize = 32;

// Screen mode bits of the header.
constexpr unsigned kMode200Lines = 0x01;
constexpr unsigned kMode256Colours = 0x80;

// Dots covered by one flag byte (two flags, each for one 2-byte pixel unit). A 16-colour unit is 4 dots. A
// 256-colour unit is 2 dots, so a flag byte covers 4 dots and rows are padded to 4 dots, as most readers do;
// some writers pad 256-colour rows to 8 dots like 16-colour ones, and a file whose flags and pixels fit only
// that padding exactly is read with it.
constexpr unsigned kDotsPerFlagByte16 = 8;
constexpr unsigned kDotsPerFlagByte256 = 4;
constexpr unsigned kWidePadding = 8;

// Where a flag's pixel unit is copied from: units to the left and lines up. Flag 0 reads a new unit.
constexpr std::array<std::uint8_t, 16> kCopyLeft{0, 1, 2, 4, 0, 1, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0};
constexpr std::array<std::uint8_t, 16> kCopyUp{0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};
// The lines a copy reaches back, and a ring of decoded lines one longer.
constexpr unsigned kRingLines = 17;

struct Header {
    std::size_t at = 0; // the header's offset in the file; the stream offsets count from it
    bool colours256 = false;
    bool lines200 = false;
    unsigned left = 0, top = 0, right = 0, bottom = 0;
    std::uint32_t flagA = 0, flagB = 0, flagBSize = 0, pixelData = 0, pixelSize = 0;
    std::string comment;

    unsigned DotsPerFlagByte() const { return colours256 ? kDotsPerFlagByte256 : kDotsPerFlagByte16; }
    // The stored line's flag bytes when lines start and end on multiples of padding dots.
    std::size_t FlagBytes(unsigned padding) const {
        return std::size_t{right / padding - left / padding + 1} * padding / DotsPerFlagByte();
    }
    std::uint32_t Width() const { return right - left + 1; }
    std::uint32_t Height() const { return (bottom - top + 1) * (lines200 ? 2 : 1); }
};

bool IsMag(const std::uint8_t* head, std::size_t size) {
    return size >= kSignatureSize && std::memcmp(head, kSignature, kSignatureSize) == 0;
}

Header ReadHeader(const std::uint8_t* data, std::size_t size) {
    if (!IsMag(data, size))
        throw DecodeError{Status::UnknownFormat};
    // The header follows the comment, which ends at the first 0x1A.
    const auto* end = static_cast<const std::uint8_t*>(std::memchr(data + kTextStart, 0x1A, size - kTextStart));
    if (!end)
        throw DecodeError{Status::Corrupt};
    Header h;
    h.at = static_cast<std::size_t>(end - data) + 1;
    h.comment.assign(reinterpret_cast<const char*>(data + kTextStart), end - data - kTextStart);
    ByteReader r(data, size);
    r.Seek(h.at);
    r.Skip(3); // start byte, machine code, machine flags
    const unsigned mode = r.U8();
    h.colours256 = (mode & kMode256Colours) != 0;
    h.lines200 = (mode & kMode200Lines) != 0;
    h.left = r.U16LE();
    h.top = r.U16LE();
    h.right = r.U16LE();
    h.bottom = r.U16LE();
    h.flagA = r.U32LE();
    h.flagB = r.U32LE();
    h.flagBSize = r.U32LE();
    h.pixelData = r.U32LE();
    h.pixelSize = r.U32LE();
    if (h.right < h.left || h.bottom < h.top)
        throw DecodeError{Status::Corrupt};
    return h;
}

ImageInfo InfoOf(const Header& h) {
    ImageInfo info;
    info.width = h.Width();
    info.height = h.Height();
    info.bitsPerPixel = 8;
    info.comment = h.comment;
    CheckSize(info.width, info.height, info.bitsPerPixel);
    return info;
}

// The part of the file a stream lies in: from its offset to its stated end or the end of the file.
ByteReader Stream(const std::uint8_t* data, std::size_t size, const Header& h, std::uint32_t offset,
                  std::uint64_t length) {
    const std::uint64_t from = h.at + static_cast<std::uint64_t>(offset);
    if (from > size)
        throw DecodeError{Status::Corrupt};
    return ByteReader(data + from, static_cast<std::size_t>(std::min<std::uint64_t>(length, size - from)));
}

// One stored line's pixel units from its flags, kUnitDots dots a unit (4 for 16 colours, 2 for 256); above[n] is
// the line n lines up (null above the picture), above[0] the line itself.
template <unsigned kUnitDots>
void DecodeUnits(const std::uint8_t* flags, std::size_t flagBytes, const std::uint8_t* const* above, std::uint8_t* line,
                 ByteReader& pixels) {
    std::size_t x = 0;
    auto unit = [&](unsigned flag) {
        if (flag == 0) {
            const std::uint8_t* word = pixels.Take(2);
            if constexpr (kUnitDots == 2) {
                line[x] = word[0];
                line[x + 1] = word[1];
            } else {
                line[x] = word[0] >> 4;
                line[x + 1] = word[0] & 15;
                line[x + 2] = word[1] >> 4;
                line[x + 3] = word[1] & 15;
            }
        } else {
            const std::uint8_t* from = above[kCopyUp[flag]];
            const std::size_t back = std::size_t(kCopyLeft[flag]) * kUnitDots;
            // A copy from above the picture or left of its stored lines.
            if (!from || back > x)
                ByteReader::Fail();
            std::memcpy(line + x, from + x - back, kUnitDots);
        }
        x += kUnitDots;
    };
    for (std::size_t i = 0; i < flagBytes; ++i) {
        unit(flags[i] >> 4);
        unit(flags[i] & 15);
    }
}

// Whether lines of flagBytes flag bytes use exactly the header's flag B and pixel sizes, both within the file.
bool FitsExactly(const std::uint8_t* data, std::size_t size, const Header& h, std::size_t flagBytes) {
    try {
        ByteReader flagA = Stream(data, size, h, h.flagA, UINT64_MAX);
        ByteReader flagB = Stream(data, size, h, h.flagB, h.flagBSize);
        std::vector<std::uint8_t> flags(flagBytes, 0);
        std::uint64_t units = 0;
        unsigned bits = 0;
        for (std::size_t i = 0, n = flagBytes * (h.bottom - h.top + 1); i < n; ++i) {
            if (i % 8 == 0)
                bits = flagA.U8();
            std::uint8_t& flag = flags[i % flagBytes];
            if (bits >> (7 - i % 8) & 1)
                flag ^= flagB.U8();
            units += (flag >> 4 == 0) + ((flag & 15) == 0);
        }
        return flagB.AtEnd() && flagB.Size() == h.flagBSize && 2 * units == h.pixelSize &&
               static_cast<std::uint64_t>(h.at) + h.pixelData + h.pixelSize <= size;
    } catch (const DecodeError&) {
        return false;
    }
}

ImageInfo ReadInfo(const std::uint8_t* data, std::size_t size) {
    return InfoOf(ReadHeader(data, size));
}

DecodedImage Decode(const std::uint8_t* data, std::size_t size) {
    const Header h = ReadHeader(data, size);
    const ImageInfo info = InfoOf(h);

    // Stored lines begin and end on multiples of the padding; the picture starts (left % padding) dots into them.
    const unsigned dots = h.DotsPerFlagByte();
    unsigned padding = dots;
    if (h.colours256 && h.FlagBytes(kWidePadding) != h.FlagBytes(dots) &&
        !FitsExactly(data, size, h, h.FlagBytes(dots)) && FitsExactly(data, size, h, h.FlagBytes(kWidePadding)))
        padding = kWidePadding;
    const unsigned crop = h.left % padding;
    const std::size_t flagBytes = h.FlagBytes(padding);
    const std::size_t lineDots = flagBytes * dots;
    const unsigned lines = h.bottom - h.top + 1;

    ByteReader flagA = Stream(data, size, h, h.flagA, UINT64_MAX);
    ByteReader flagB = Stream(data, size, h, h.flagB, h.flagBSize);
    ByteReader pixels = Stream(data, size, h, h.pixelData, h.pixelSize);
    // Flag A has a bit for each flag byte of every line: a file too short for that is refused before its
    // bitmap, which may be far larger than the file, is made.
    if (static_cast<std::uint64_t>(flagA.Size()) * 8 < static_cast<std::uint64_t>(flagBytes) * lines)
        throw DecodeError{Status::Corrupt};

    DecodedImage image = MakeImage(info);
    const unsigned colours = h.colours256 ? 256 : 16;
    ByteReader paletteData(data, size);
    paletteData.Seek(h.at + kHeaderSize);
    const std::uint8_t* grb = paletteData.Take(colours * 3);
    image.palette.resize(colours);
    for (unsigned i = 0; i < colours; ++i)
        image.palette[i] = std::uint32_t(grb[3 * i + 1]) << 16 | std::uint32_t(grb[3 * i]) << 8 | grb[3 * i + 2];

    unsigned flagABits = 0, flagAByte = 0;

    std::vector<std::uint8_t> flags(flagBytes, 0);
    // Decoded lines, one byte a dot, with the last kRingLines - 1 lines kept for copies.
    std::vector<std::uint8_t> ring(kRingLines * lineDots);
    std::array<const std::uint8_t*, 17> above{};
    for (unsigned y = 0; y < lines; ++y) {
        std::uint8_t* line = ring.data() + (y % kRingLines) * lineDots;
        for (unsigned up = 1; up <= 16; ++up)
            above[up] = y >= up ? ring.data() + ((y - up) % kRingLines) * lineDots : nullptr;
        above[0] = line;

        // Flag A says which flag bytes change; each change is flag B's next byte, XORed in.
        for (std::size_t i = 0; i < flagBytes; ++i) {
            if (flagABits == 0) {
                flagAByte = flagA.U8();
                flagABits = 8;
            }
            --flagABits;
            if (flagAByte >> flagABits & 1)
                flags[i] ^= flagB.U8();
        }

        if (h.colours256)
            DecodeUnits<2>(flags.data(), flagBytes, above.data(), line, pixels);
        else
            DecodeUnits<4>(flags.data(), flagBytes, above.data(), line, pixels);

        // 200-line pictures are shown with each line twice, for square pixels.
        const unsigned repeat = h.lines200 ? 2 : 1;
        for (unsigned k = 0; k < repeat; ++k)
            std::memcpy(image.Row(y * repeat + k), line + crop, image.info.width);
    }
    return image;
}

} // namespace

const Codec kMagCodec{"Kelvad MAG plug-in", "*.mag", "MAG", &IsMag, &ReadInfo, &Decode};

} // namespace kelvad::formats
