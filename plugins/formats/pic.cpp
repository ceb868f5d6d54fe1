#include "plugins/formats/pic.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "plugins/formats/byte_reader.h"

namespace kelvad::formats {
namespace {

constexpr int kX68000 = 0x0;
constexpr int kGeneral = 0xF;

// The general header's two aspect bytes are the true ratio of a dot: its height first, then its width (the order
// of Pi's aspect bytes).
constexpr bool kAspectWidthFirst = false;
// An X68000 picture of 256 colours or more was made on the 512 x 512 screen, whose dots are 4:3 (wide) on the
// monitor; a 16-colour one on the 768 x 512 screen, whose dots count as square.
constexpr std::uint8_t kX68000DotWidth = 4;
constexpr std::uint8_t kX68000DotHeight = 3;

enum class Colour { Indexed, X68000Word15, X68000Word16, Rgb12, Rgb24 };

struct Header {
    ImageInfo info;
    Colour colour = Colour::Indexed;
    unsigned colourBits = 0;
    // Indexed: the palette's bits per component, 0 for X68000 colour words.
    unsigned paletteBits = 0;
    std::size_t paletteStart = 0;
};

std::uint32_t Expand(std::uint32_t value, unsigned bits) {
    std::uint32_t result = 0;
    for (int shift = 8 - static_cast<int>(bits); shift > -static_cast<int>(bits); shift -= static_cast<int>(bits))
        result |= shift >= 0 ? value << shift : value >> -shift;
    return result & 0xFF;
}

std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return r << 16 | g << 8 | b;
}

// GGGGGRRRRRBBBBBI: the intensity bit is the lowest of six per component.
std::uint32_t FromX68000Word(std::uint32_t word) {
    const std::uint32_t i = word & 1;
    return Rgb(Expand((word >> 6 & 31) << 1 | i, 6), Expand((word >> 11 & 31) << 1 | i, 6),
               Expand((word >> 1 & 31) << 1 | i, 6));
}

std::uint32_t FromCode(Colour colour, std::uint32_t code) {
    switch (colour) {
    case Colour::X68000Word15: // GGGGGRRRRRBBBBB
        return Rgb(Expand(code >> 5 & 31, 5), Expand(code >> 10 & 31, 5), Expand(code & 31, 5));
    case Colour::X68000Word16:
        return FromX68000Word(code);
    case Colour::Rgb12: // GGGGRRRRBBBB
        return Rgb((code >> 4 & 15) * 17, (code >> 8 & 15) * 17, (code & 15) * 17);
    case Colour::Rgb24: // G, R, B bytes
        return Rgb(code >> 8 & 255, code >> 16 & 255, code & 255);
    case Colour::Indexed:
        break;
    }
    return code;
}

// The colour kind of a header's bit count; 12 and 24 bits come only with the general machine's header.
Colour ColourOf(unsigned bits, bool general) {
    switch (bits) {
    case 4:
    case 8:
        return Colour::Indexed;
    case 12:
        if (general)
            return Colour::Rgb12;
        break;
    case 15:
        return Colour::X68000Word15;
    case 16:
        return Colour::X68000Word16;
    case 24:
        if (general)
            return Colour::Rgb24;
        break;
    }
    throw DecodeError{Status::UnknownFormat};
}

Header ReadHeader(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    if (size < 3 || std::memcmp(data, "PIC", 3) != 0)
        throw DecodeError{Status::UnknownFormat};
    in.Skip(3);
    Header header;
    // The comment runs to 0x1A; a dummy area follows up to a 0 byte, then a reserved byte.
    for (std::uint8_t c; (c = in.U8()) != 0x1A;)
        header.info.comment.push_back(static_cast<char>(c));
    while (in.U8() != 0) {
    }
    in.Skip(1);
    const std::uint8_t kind = in.U8();
    const int machine = kind & 15;
    const int mode = kind >> 4;
    header.colourBits = in.U16BE();
    header.info.width = in.U16BE();
    header.info.height = in.U16BE();

    if (machine == kX68000 && mode == 0) {
        header.colour = ColourOf(header.colourBits, false);
        if (header.colourBits != 4) {
            header.info.xDensity = kX68000DotHeight;
            header.info.yDensity = kX68000DotWidth;
        }
    } else if (machine == kGeneral) {
        in.Skip(4); // where the picture was saved on its screen
        const std::uint8_t first = in.U8();
        const std::uint8_t second = in.U8();
        const std::uint8_t dotWidth = kAspectWidthFirst ? first : second;
        const std::uint8_t dotHeight = kAspectWidthFirst ? second : first;
        if (dotWidth != 0 && dotHeight != 0 && dotWidth != dotHeight) {
            header.info.xDensity = dotHeight;
            header.info.yDensity = dotWidth;
        }
        header.colour = ColourOf(header.colourBits, true);
        if (header.colour == Colour::Indexed) {
            header.paletteBits = in.U8();
            if (header.paletteBits > 8)
                throw DecodeError{Status::UnknownFormat};
        }
    } else {
        throw DecodeError{Status::UnknownFormat};
    }
    header.info.bitsPerPixel = header.colour == Colour::Indexed ? 8 : 24;
    header.paletteStart = in.Position();
    CheckSize(header.info.width, header.info.height, header.info.bitsPerPixel);
    return header;
}

// The 128 colours last used; a new colour replaces the one least recently used. Slot 0 starts as the newest and
// slots 1, 2, ... 127 as the oldest onwards, so the first new colour lands in slot 1.
class ColourCache {
public:
    ColourCache() {
        for (unsigned i = 0; i < kSlots; ++i) {
            newer_[i] = static_cast<std::uint8_t>((i + 1) % kSlots);
            older_[i] = static_cast<std::uint8_t>((i + kSlots - 1) % kSlots);
        }
    }
    std::uint32_t Use(unsigned slot) {
        if (slot != newest_) {
            newer_[older_[slot]] = newer_[slot];
            older_[newer_[slot]] = older_[slot];
            const unsigned oldest = newer_[newest_];
            older_[oldest] = static_cast<std::uint8_t>(slot);
            newer_[slot] = static_cast<std::uint8_t>(oldest);
            newer_[newest_] = static_cast<std::uint8_t>(slot);
            older_[slot] = static_cast<std::uint8_t>(newest_);
            newest_ = slot;
        }
        return colours_[slot];
    }
    void Add(std::uint32_t colour) {
        newest_ = newer_[newest_];
        colours_[newest_] = colour;
    }

private:
    static constexpr unsigned kSlots = 128;
    std::uint32_t colours_[kSlots] = {};
    // The ring from the newest: newer_ of the newest is the oldest.
    std::uint8_t newer_[kSlots];
    std::uint8_t older_[kSlots];
    unsigned newest_ = 0;
};

class Expander {
public:
    Expander(const Header& header, WindowBitReader& bits)
        : header_(header), bits_(bits), width_(header.info.width), height_(header.info.height),
          bytes_(header.info.bitsPerPixel / 8), canvas_(header.info) {}

    // The picture's rows, bottom-up as DecodedImage holds them.
    std::vector<std::uint8_t> Run() {
        // At most 2^28 dots: positions within the picture fit 32 bits, whose division is the quicker.
        const std::uint64_t total = static_cast<std::uint64_t>(width_) * height_;
        std::uint32_t next = 0;
        std::uint32_t colour = 0;
        for (;;) {
            // Each length reaches from the last change point to the next; the first starts before the picture.
            const std::uint64_t length = ReadLength();
            colour = Fill(next, static_cast<std::uint32_t>(std::min(next + length - 1, total)), colour);
            if (next + length - 1 >= total)
                return Finish();
            const std::uint32_t point = next + static_cast<std::uint32_t>(length) - 1;
            colour = ReadColour();
            Put(point % width_, point / width_, colour);
            marks_[point / 64] &= ~(std::uint64_t{1} << point % 64);
            if (bits_.Bit())
                Chain(point, colour);
            next = point + 1;
        }
    }

private:
    // k one bits, a zero, then k + 1 bits v: the length 2^(k+1) - 1 + v.
    std::uint64_t ReadLength() {
        unsigned ones = 0;
        while (bits_.Bit()) {
            if (++ones > 30)
                throw DecodeError{Status::Corrupt};
        }
        return bits_.Bits(ones + 1) + (std::uint64_t{2} << ones) - 1;
    }

    std::uint32_t ReadColour() {
        if (header_.colour == Colour::Indexed)
            return bits_.Bits(header_.colourBits);
        if (bits_.Bit())
            return cache_.Use(bits_.Bits(7));
        const std::uint32_t colour = FromCode(header_.colour, bits_.Bits(header_.colourBits));
        cache_.Add(colour);
        return colour;
    }

    // Carries the colour down from a change point: each step moves to the next line and 2, 1 or 0 dots sideways.
    void Chain(std::uint32_t point, std::uint32_t colour) {
        std::int64_t x = static_cast<std::int64_t>(point % width_);
        std::uint64_t y = point / width_;
        for (;;) {
            const unsigned step = bits_.Bits(2);
            if (step != 0) {
                x += static_cast<std::int64_t>(step) - 2;
            } else {
                if (!bits_.Bit())
                    return;
                x += bits_.Bit() ? 2 : -2;
            }
            ++y;
            // A step beyond the picture's edges carries nothing onto it.
            if (x >= 0 && x < width_ && y < height_) {
                const std::uint32_t column = static_cast<std::uint32_t>(x);
                const std::uint64_t at = y * width_ + column;
                Put(column, static_cast<std::uint32_t>(y), colour);
                marks_[at / 64] |= std::uint64_t{1} << at % 64;
            }
        }
    }

    // The rows grow as the expansion or a chain reaches them, the chain marks with them.
    std::uint8_t* Row(std::uint32_t y) {
        const bool grows = y >= canvas_.Rows();
        std::uint8_t* row = canvas_.Row(y);
        if (grows)
            marks_.resize((static_cast<std::size_t>(width_) * canvas_.Rows() + 63) / 64);
        return row;
    }

    std::vector<std::uint8_t> Finish() { return canvas_.Finish(); }

    void Put(std::uint64_t x, std::uint32_t y, std::uint32_t colour) {
        std::uint8_t* p = Row(y) + x * bytes_;
        p[0] = static_cast<std::uint8_t>(colour);
        if (bytes_ == 3) {
            p[1] = static_cast<std::uint8_t>(colour >> 8);
            p[2] = static_cast<std::uint8_t>(colour >> 16);
        }
    }

    // Paints the dots from..to (not including to) in the current colour, which becomes the colour a chain left on
    // any of them; returns the colour in force at the end.
    std::uint32_t Fill(std::uint32_t from, std::uint32_t to, std::uint32_t colour) {
        while (from < to) {
            const std::uint32_t y = from / width_;
            const std::uint32_t x0 = from % width_;
            const std::uint32_t x1 = std::min(to - from + x0, width_);
            const std::uint32_t rowStart = from - x0;
            std::uint8_t* row = Row(y);
            for (std::uint32_t x = x0; x < x1;) {
                const auto end = static_cast<std::uint32_t>(NextMark(rowStart + x, rowStart + x1) - rowStart);
                Paint(row, x, end, colour);
                if (end == x1)
                    break;
                const std::uint8_t* p = row + static_cast<std::size_t>(end) * bytes_;
                colour = bytes_ == 3 ? static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16) : p[0];
                x = end + 1;
            }
            from += x1 - x0;
        }
        return colour;
    }

    // The first dot in from..to (not including to) that a chain has set, or to.
    std::uint64_t NextMark(std::uint64_t from, std::uint64_t to) const {
        while (from < to) {
            const std::uint64_t word = marks_[from / 64] >> from % 64;
            if (word != 0)
                return std::min<std::uint64_t>(to, from + static_cast<unsigned>(std::countr_zero(word)));
            from = (from | 63) + 1;
        }
        return to;
    }

    void Paint(std::uint8_t* row, std::uint32_t from, std::uint32_t to, std::uint32_t colour) {
        if (bytes_ == 1) {
            std::memset(row + from, static_cast<int>(colour), to - from);
            return;
        }
        const std::uint8_t b = static_cast<std::uint8_t>(colour);
        const std::uint8_t g = static_cast<std::uint8_t>(colour >> 8);
        const std::uint8_t r = static_cast<std::uint8_t>(colour >> 16);
        for (std::uint8_t *p = row + static_cast<std::size_t>(from) * 3, *end = row + static_cast<std::size_t>(to) * 3;
             p != end; p += 3) {
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    }

    const Header& header_;
    WindowBitReader& bits_;
    const std::uint32_t width_;
    const std::uint32_t height_;
    const unsigned bytes_;
    Canvas canvas_;
    // A bit a dot, set where a chain has set the dot's colour ahead of the expansion.
    std::vector<std::uint64_t> marks_;
    ColourCache cache_;
};

bool IsSupported(const std::uint8_t* head, std::size_t size) {
    return size >= 3 && std::memcmp(head, "PIC", 3) == 0;
}

ImageInfo ReadInfo(const std::uint8_t* data, std::size_t size) {
    return ReadHeader(data, size).info;
}

DecodedImage Decode(const std::uint8_t* data, std::size_t size) {
    const Header header = ReadHeader(data, size);
    DecodedImage image;
    image.info = header.info;
    WindowBitReader bits(data + header.paletteStart, size - header.paletteStart);
    if (header.colour == Colour::Indexed) {
        image.palette.resize(std::size_t{1} << header.colourBits);
        for (std::uint32_t& entry : image.palette) {
            if (header.paletteBits == 0) {
                entry = FromX68000Word(bits.Bits(16));
            } else {
                const std::uint32_t g = Expand(bits.Bits(header.paletteBits), header.paletteBits);
                const std::uint32_t r = Expand(bits.Bits(header.paletteBits), header.paletteBits);
                entry = Rgb(r, g, Expand(bits.Bits(header.paletteBits), header.paletteBits));
            }
        }
    }
    image.pixels = Expander(header, bits).Run();
    return image;
}

} // namespace

const Codec kPicCodec = {"Kelvad X68000 PIC plug-in", "*.pic", "PIC", &IsSupported, &ReadInfo, &Decode};

} // namespace kelvad::formats
