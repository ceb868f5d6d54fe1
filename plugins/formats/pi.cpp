#include "plugins/formats/pi.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "plugins/formats/byte_reader.h"

namespace kelvad::formats {
namespace {

constexpr std::size_t kSignatureSize = 2;
constexpr std::uint8_t kCommentEnd = 0x1A;
// Mode bit: the file holds no palette and is drawn with the default one.
constexpr unsigned kModeNoPalette = 0x80;

// The palette of a 16-colour file without one: the PC-9801's eight digital colours (index bit 0 blue, bit 1 red,
// bit 2 green) at level 7 of 15, then at level 15, as the format's own PC-98 loaders define it.
constexpr std::array<std::uint32_t, 16> kDefaultPalette16 = [] {
    std::array<std::uint32_t, 16> palette{};
    for (unsigned i = 0; i < 16; ++i) {
        const unsigned on = (i < 8 ? 7u : 15u) * 0x11;
        palette[i] = (i & 2 ? on << 16 : 0) | (i & 4 ? on << 8 : 0) | (i & 1 ? on : 0);
    }
    return palette;
}();

// The palette of a 256-colour file without one: the index read as 3 bits green, 3 bits red and 2 bits blue (the
// 256-colour screen it was made for), each level in a channel's top bits with the bits below it filled.
constexpr std::array<std::uint32_t, 256> kDefaultPalette256 = [] {
    std::array<std::uint32_t, 256> palette{};
    for (unsigned i = 0; i < 256; ++i) {
        const unsigned g = i >> 5, r = i >> 2 & 7, b = i & 3;
        const unsigned red = r ? r << 5 | 0x1F : 0, green = g ? g << 5 | 0x1F : 0, blue = b ? b << 6 | 0x3F : 0;
        palette[i] = red << 16 | green << 8 | blue;
    }
    return palette;
}();

// A length code has this many leading ones at most: more would not fit any picture.
constexpr unsigned kMaxLengthOnes = 32;
// Positions 0-4 copy from 2 or 4 pixels left, one line up, two lines up, one line up and one right or left; no
// position precedes the first copy or a copy after raw colours.
constexpr unsigned kNoPosition = 5;

struct Header {
    std::string comment;
    bool storedPalette = true;
    // n / m is a pixel's height over its width; 0 in either means square pixels.
    unsigned aspectN = 0, aspectM = 0;
    unsigned colourBits = 4;
    std::uint32_t width = 0, height = 0;
    std::size_t paletteAt = 0, streamAt = 0;

    unsigned Colours() const { return 1u << colourBits; }
    bool Square() const { return aspectN == 0 || aspectM == 0 || aspectN == aspectM; }
    // The size once pixels are square: tall pixels repeat lines, wide pixels repeat columns.
    std::uint32_t OutWidth() const { return !Square() && aspectM > aspectN ? Scale(width, aspectM, aspectN) : width; }
    std::uint32_t OutHeight() const {
        return !Square() && aspectN > aspectM ? Scale(height, aspectN, aspectM) : height;
    }
    static std::uint32_t Scale(std::uint32_t size, unsigned num, unsigned den) {
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(size) * num + den / 2) / den);
    }
};

bool IsPi(const std::uint8_t* head, std::size_t size) {
    return size >= kSignatureSize && head[0] == 'P' && head[1] == 'i';
}

Header ReadHeader(const std::uint8_t* data, std::size_t size) {
    if (!IsPi(data, size))
        throw DecodeError{Status::UnknownFormat};
    const auto* end =
        static_cast<const std::uint8_t*>(std::memchr(data + kSignatureSize, kCommentEnd, size - kSignatureSize));
    if (!end)
        throw DecodeError{Status::Corrupt};
    Header h;
    h.comment.assign(reinterpret_cast<const char*>(data + kSignatureSize), end - data - kSignatureSize);
    ByteReader r(data, size);
    r.Seek(static_cast<std::size_t>(end - data) + 1);
    // Bytes after the end mark, where text viewers stop, run to a zero byte.
    while (r.U8() != 0) {
    }
    h.storedPalette = (r.U8() & kModeNoPalette) == 0;
    h.aspectN = r.U8();
    h.aspectM = r.U8();
    h.colourBits = r.U8();
    if (h.colourBits != 4 && h.colourBits != 8)
        throw DecodeError{Status::Corrupt};
    r.Skip(4);         // the saving machine's name
    r.Skip(r.U16BE()); // data only that machine's programs read
    h.width = r.U16BE();
    h.height = r.U16BE();
    h.paletteAt = r.Position();
    if (h.storedPalette)
        r.Skip(3 * h.Colours());
    h.streamAt = r.Position();
    return h;
}

ImageInfo InfoOf(const Header& h) {
    ImageInfo info;
    info.width = h.OutWidth();
    info.height = h.OutHeight();
    info.bitsPerPixel = 8;
    info.comment = h.comment;
    CheckSize(info.width, info.height, info.bitsPerPixel);
    return info;
}

std::vector<std::uint32_t> ReadPalette(const Header& h, const std::uint8_t* data) {
    const unsigned colours = h.Colours();
    if (!h.storedPalette) {
        if (colours == 16)
            return {kDefaultPalette16.begin(), kDefaultPalette16.end()};
        return {kDefaultPalette256.begin(), kDefaultPalette256.end()};
    }
    // Stored levels are 8-bit bytes, taken as they stand (PC-98 files leave the low half of each at 0).
    const std::uint8_t* rgb = data + h.paletteAt;
    std::vector<std::uint32_t> palette(colours);
    for (unsigned i = 0; i < colours; ++i, rgb += 3)
        palette[i] = std::uint32_t{rgb[0]} << 16 | std::uint32_t{rgb[1]} << 8 | rgb[2];
    return palette;
}

// The bit stream: colours coded as their place in a move-to-front row kept for each colour to their left, copy
// positions and copy lengths.
class PiStream {
public:
    PiStream(const std::uint8_t* data, std::size_t size, unsigned colourBits)
        : bits_(data, size), colourBits_(colourBits), colours_(1u << colourBits), table_(colours_ * colours_) {
        // A colour's row starts with that colour, then the ones below it, wrapping round.
        for (unsigned c = 0; c < colours_; ++c)
            for (unsigned i = 0; i < colours_; ++i)
                table_[c * colours_ + i] = static_cast<std::uint8_t>((c - i) & (colours_ - 1));
    }

    // 1x: place 0-1; 0 then k ones (up to colourBits - 2) ended by a 0, then k + 1 bits: places from 2 << k.
    std::uint8_t Colour(std::uint8_t left) {
        const std::uint32_t code = bits_.Peek(16);
        unsigned place;
        if (code & 0x8000) {
            place = code >> 14 & 1;
            bits_.Skip(2);
        } else {
            const unsigned most = colourBits_ - 2;
            const unsigned ones = std::min<unsigned>(std::countl_one(static_cast<std::uint16_t>(code << 1)), most);
            const unsigned prefix = 1 + ones + (ones < most ? 1 : 0);
            place = (2u << ones) + (code >> (16 - prefix - (ones + 1)) & ((2u << ones) - 1));
            bits_.Skip(prefix + ones + 1);
        }
        std::uint8_t* row = &table_[left * colours_];
        const std::uint8_t colour = row[place];
        if (place < 8 && std::endian::native == std::endian::little) {
            // The first eight places as one word: places 0 to place move up a byte, the colour goes first.
            std::uint64_t word;
            std::memcpy(&word, row, 8);
            const std::uint64_t moved = ~std::uint64_t{0} >> (56 - 8 * place);
            word = ((word << 8 | colour) & moved) | (word & ~moved);
            std::memcpy(row, &word, 8);
            return colour;
        }
        if (place < 16) {
            for (unsigned i = place; i > 0; --i)
                row[i] = row[i - 1];
        } else {
            std::memmove(row + 1, row, place);
        }
        row[0] = colour;
        return colour;
    }
    // 00, 01, 10, 110, 111.
    unsigned Position() {
        const std::uint32_t code = bits_.Peek(3);
        if (code < 6) {
            bits_.Skip(2);
            return code >> 1;
        }
        bits_.Skip(3);
        return 3 + (code & 1);
    }
    // k ones, a 0, then k bits under a leading 1: a count of two-pixel units.
    std::uint64_t Length() {
        const std::uint32_t code = bits_.Peek(24);
        unsigned ones = std::countl_one(code << 8);
        if (2 * ones + 1 <= 24) {
            bits_.Skip(2 * ones + 1);
            return 1u << ones | (code >> (23 - 2 * ones) & ((1u << ones) - 1));
        }
        bits_.Skip(ones);
        while (bits_.Bit())
            if (++ones > kMaxLengthOnes)
                ByteReader::Fail();
        return std::uint64_t{1} << ones | bits_.Bits(ones);
    }
    bool More() { return bits_.Bit() != 0; }

private:
    WindowBitReader bits_;
    unsigned colourBits_;
    unsigned colours_;
    std::vector<std::uint8_t> table_;
};

// Copies count pixels from offset pixels back; a copy longer than its offset repeats what it has just written.
void CopyBack(std::uint8_t* to, std::size_t offset, std::size_t count) {
    if (count <= 16) {
        const std::uint8_t* from = to - offset;
        for (std::size_t i = 0; i < count; ++i)
            to[i] = from[i];
        return;
    }
    // What is written repeats with the period offset, so each block copied may be twice as long as the one before.
    for (std::size_t reach = offset; count > 0; reach *= 2) {
        const std::size_t chunk = std::min(count, reach);
        std::memcpy(to, to - reach, chunk);
        to += chunk;
        count -= chunk;
    }
}

// Decodes the picture's pixels, line after line, into a block that starts with the area above the picture.
std::vector<std::uint8_t> DecodePixels(const Header& h, const std::uint8_t* stream, std::size_t size,
                                       std::size_t& above) {
    const std::size_t width = h.width;
    const std::size_t total = width * h.height;
    // Copies reach two lines back (position 0 four pixels); above the picture, pixels alternate the first two
    // colours of the stream. The area is even, so pixel -k of the picture is the first colour when k is even.
    above = std::max<std::size_t>(2 * width, 4);
    // The block grows as pixels arrive, so that a damaged file whose header promises a huge picture fails before
    // that memory is taken.
    std::vector<std::uint8_t> dots(above + std::min<std::size_t>(total, 1 << 16));
    PiStream in(stream, size, h.colourBits);
    const std::uint8_t first = in.Colour(0);
    const std::uint8_t second = in.Colour(first);
    for (std::size_t i = 0; i < above; i += 2) {
        dots[i] = first;
        dots[i + 1] = second;
    }
    std::uint8_t* pic = dots.data() + above;
    std::size_t held = dots.size() - above; // pixels the block has room for
    const auto grow = [&](std::size_t end) {
        held = std::min(total, std::max(end, 2 * held));
        dots.resize(above + held);
        pic = dots.data() + above;
    };
    const std::array<std::size_t, 5> offsets{0, width, 2 * width, width - 1, width + 1};
    std::size_t at = 0;
    unsigned previous = kNoPosition;
    while (at < total) {
        const unsigned position = in.Position();
        std::uint8_t* const here = pic + at;
        if (position != previous) {
            std::size_t offset = offsets[position];
            // Position 0 repeats the last two pixels when they match, else the last four.
            if (position == 0)
                offset = here[-1] == here[-2] ? 2 : 4;
            else if (offset == 0)
                ByteReader::Fail();
            const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(2 * in.Length(), total - at));
            if (at + count > held)
                grow(at + count);
            CopyBack(pic + at, offset, count);
            at += count;
            previous = position;
            continue;
        }
        // The same position twice running: raw colour pairs follow, each pair followed by a 1 when another comes.
        do {
            if (at + 2 > held)
                grow(at + 2);
            pic[at] = in.Colour(pic[at - 1]);
            if (++at == total)
                break;
            pic[at] = in.Colour(pic[at - 1]);
            ++at;
        } while (at < total && in.More());
        previous = kNoPosition;
    }
    return dots;
}

ImageInfo ReadInfo(const std::uint8_t* data, std::size_t size) {
    return InfoOf(ReadHeader(data, size));
}

DecodedImage Decode(const std::uint8_t* data, std::size_t size) {
    const Header h = ReadHeader(data, size);
    const ImageInfo info = InfoOf(h);
    std::size_t above = 0;
    const std::vector<std::uint8_t> dots = DecodePixels(h, data + h.streamAt, size - h.streamAt, above);
    DecodedImage image = MakeImage(info);
    image.palette = ReadPalette(h, data);
    const std::uint8_t* pic = dots.data() + above;
    std::vector<std::uint32_t> columns;
    if (info.width != h.width) {
        columns.resize(info.width);
        for (std::uint32_t x = 0; x < info.width; ++x)
            columns[x] = static_cast<std::uint32_t>(static_cast<std::uint64_t>(x) * h.width / info.width);
    }
    for (std::uint32_t y = 0; y < info.height; ++y) {
        const std::uint8_t* line = pic + static_cast<std::uint64_t>(y) * h.height / info.height * h.width;
        std::uint8_t* row = image.Row(y);
        if (columns.empty())
            std::memcpy(row, line, h.width);
        else
            for (std::uint32_t x = 0; x < info.width; ++x)
                row[x] = line[columns[x]];
    }
    return image;
}

} // namespace

const Codec kPiCodec{"Kelvad Pi plug-in", "*.pi", "Pi", &IsPi, &ReadInfo, &Decode};

} // namespace kelvad::formats
