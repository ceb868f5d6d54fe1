#include "plugins/formats/pic2.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "plugins/formats/byte_reader.h"

namespace kelvad::formats {
namespace {

constexpr std::size_t kBlockHeaderSize = 26;

enum class Kind { Raw, RunLengths, Arithmetic }; // P2BM and P2BI, P2SF, P2SS

// One picture block: where it lies on the canvas and where its data is.
struct Block {
    Kind kind = Kind::Raw;
    bool bigEndian = true; // P2BM; P2BI holds its 2-byte dots low byte first
    bool hasOpaque = false;
    std::uint32_t opaque = 0; // the dot value left undrawn, when hasOpaque
    std::uint32_t width = 0, height = 0, left = 0, top = 0;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

struct Header {
    ImageInfo info;
    unsigned depth = 0; // bits per dot: red, green and blue of depth / 3 bits each
    std::vector<Block> blocks;
};

Header ReadHeader(const std::uint8_t* data, std::size_t size) {
    if (size < 4 || std::memcmp(data, "P2DT", 4) != 0)
        throw DecodeError{Status::UnknownFormat};
    ByteReader in(data, size);
    in.Seek(98); // past the name, subtitle, title, saver and their line ends, 0x1A and a reserved byte
    const std::uint16_t flags = in.U16BE();
    in.Skip(6); // picture number and time
    const std::uint32_t headerSize = in.U32BE();
    Header header;
    header.depth = in.U16BE();
    const std::uint16_t xAspect = in.U16BE();
    const std::uint16_t yAspect = in.U16BE();
    header.info.width = in.U16BE();
    header.info.height = in.U16BE();
    in.Skip(4);
    // The aspect is a dot's width to its height; the densities are their inverse.
    if (xAspect != 0 && yAspect != 0 && xAspect != yAspect) {
        header.info.xDensity = yAspect;
        header.info.yDensity = xAspect;
    }
    if (flags & 1) {
        in.Skip(1);
        in.Skip(std::size_t{3} * in.U16BE());
    }
    if (headerSize < in.Position())
        throw DecodeError{Status::Corrupt};
    const std::uint8_t* comment = in.Take(headerSize - in.Position());
    header.info.comment.assign(reinterpret_cast<const char*>(comment),
                               std::find(comment, data + headerSize, 0) - comment);

    // Depths of 3 to 24 bits in steps of 3 are dots of their own colour; the 8-bit (palette) kind is not described.
    if (header.depth == 0 || header.depth % 3 != 0 || header.depth > 24)
        throw DecodeError{Status::UnknownFormat};
    const std::size_t dotBytes = (header.depth + 7) / 8;

    const std::uint32_t pictureWidth = header.info.width, pictureHeight = header.info.height;
    // Blocks follow one another up to one whose name starts with a 0 byte; each must hold all its dots.
    for (;;) {
        const std::size_t start = in.Position();
        const std::uint8_t* id = in.Take(4);
        const std::uint32_t blockSize = in.U32BE();
        if (id[0] == 0)
            break;
        if (blockSize < kBlockHeaderSize || blockSize > size - start)
            throw DecodeError{Status::Corrupt};
        Block block;
        if (std::memcmp(id, "P2BM", 4) == 0 || std::memcmp(id, "P2BI", 4) == 0)
            block.bigEndian = id[3] == 'M';
        else if (std::memcmp(id, "P2SF", 4) == 0)
            block.kind = Kind::RunLengths;
        else if (std::memcmp(id, "P2SS", 4) == 0 && header.depth >= 9)
            block.kind = Kind::Arithmetic; // its colour cache keys need 3 bits a channel
        else
            throw DecodeError{Status::UnknownFormat};
        block.hasOpaque = in.U16BE() & 1;
        block.width = in.U16BE();
        block.height = in.U16BE();
        block.left = in.U16BE();
        block.top = in.U16BE();
        block.opaque = in.U32BE();
        in.Skip(4);
        block.size = blockSize - kBlockHeaderSize;
        block.data = in.Take(block.size);
        if (block.kind == Kind::Raw && std::uint64_t{dotBytes} * block.width * block.height > std::uint64_t{block.size})
            throw DecodeError{Status::Corrupt};
        // A block lies on the picture the header sizes; one reaching outside it is damage. A header without a size
        // takes the size of its blocks.
        if ((pictureWidth != 0 && block.left + block.width > pictureWidth) ||
            (pictureHeight != 0 && block.top + block.height > pictureHeight))
            throw DecodeError{Status::Corrupt};
        header.info.width = std::max(header.info.width, block.left + block.width);
        header.info.height = std::max(header.info.height, block.top + block.height);
        header.blocks.push_back(block);
    }
    header.info.bitsPerPixel = 24;
    CheckSize(header.info.width, header.info.height, 24);
    return header;
}

// The dot at p of a block of the given depth as red, green and blue fields of depth / 3 bits, red the highest.
std::uint32_t ReadDot(const std::uint8_t* p, unsigned depth, bool bigEndian) {
    if (depth > 16)
        return static_cast<std::uint32_t>(p[0] << 16 | p[1] << 8 | p[2]);
    if (depth <= 8)
        return p[0];
    const std::uint32_t word = bigEndian ? p[0] << 8 | p[1] : p[1] << 8 | p[0];
    if (depth != 15)
        return word;
    // 15-bit dots are stored as GGGGGRRRRRBBBBB and a spare low bit.
    return (word >> 6 & 31) << 10 | (word >> 11 & 31) << 5 | (word >> 1 & 31);
}

std::uint8_t Widen(std::uint32_t value, unsigned bits) {
    std::uint32_t result = 0;
    for (int shift = 8 - static_cast<int>(bits); shift > -static_cast<int>(bits); shift -= static_cast<int>(bits))
        result |= shift >= 0 ? value << shift : value >> -shift;
    return static_cast<std::uint8_t>(result);
}

// Exchanges the red and green fields of an R G B dot value of c bits a channel.
std::uint32_t SwapRedGreen(std::uint32_t v, unsigned c) {
    const std::uint32_t mask = (1u << c) - 1;
    return (v >> c & mask) << 2 * c | (v >> 2 * c & mask) << c | (v & mask);
}

// Where chains carry colours: one entry a dot of the next row, 0 where no chain lands, else the colour with the
// way the chain came (1 to 5) above bit 24.
class Chains {
public:
    explicit Chains(std::uint32_t width) : width_(width), here_(width), next_(width) {}
    std::uint32_t At(std::uint32_t x) const { return here_[x]; }
    void Send(std::uint32_t x, int step, unsigned way, std::uint32_t colour) {
        const std::int64_t to = std::int64_t{x} + step;
        if (to >= 0 && to < width_)
            next_[static_cast<std::size_t>(to)] = way << 24 | colour; // a later chain to the same dot wins
    }
    void NextRow() {
        here_.swap(next_);
        std::fill(next_.begin(), next_.end(), 0);
    }

private:
    std::int64_t width_;
    std::vector<std::uint32_t> here_, next_;
};

// P2SF: runs of plain dots, each taking the colour before it, between change points whose colours are new or
// come from a cache chosen by the colour before them; chains carry colours down from row to row.
class RunLengthBlock {
public:
    RunLengthBlock(const Block& block, unsigned depth)
        : bits_(block.data, block.size), depth_(depth), width_(block.width), last_(block.height - 1),
          chains_(block.width), cache_(256 * 64), start_(256) {
        ReadLength();
    }

    void Row(std::uint32_t y, std::uint32_t* dots) {
        for (std::uint32_t x = 0; x < width_; ++x) {
            const std::uint32_t chain = chains_.At(x);
            if (chain != 0) {
                colour_ = chain & 0xFFFFFF;
                ReadChain(x, y);
                if (skip_ > 0 && --skip_ == 0)
                    ReadLength();
            } else if (skip_ == 0 && run_ == 0) {
                colour_ = ReadColour();
                ReadChain(x, y);
                ReadLength();
            } else if (skip_ == 0) {
                --run_;
            }
            dots[x] = colour_;
        }
        chains_.NextRow();
    }

private:
    // a one bits, a 0, then a bits b: b + 2^a - 1. 1023 starts 1023 chain dots without change points; lengths
    // from 1023 on are stored one higher.
    void ReadLength() {
        unsigned ones = 0;
        while (bits_.Bit())
            if (++ones > 32)
                ByteReader::Fail();
        const std::uint64_t length = ones == 0 ? 0 : bits_.Bits(ones) + (std::uint64_t{1} << ones) - 1;
        if (length == 1023)
            skip_ = 1023;
        else
            run_ = length > 1023 ? length - 1 : length;
    }

    // 0: none; 11: below; 1011, 1010: one or two left; 1001, 1000: one or two right.
    void ReadChain(std::uint32_t x, std::uint32_t y) {
        if (!bits_.Bit())
            return;
        static constexpr int kSteps[4] = {2, 1, -2, -1};
        const int step = bits_.Bit() ? 0 : kSteps[bits_.Bits(2)];
        if (y < last_)
            chains_.Send(x, step, 1, colour_);
    }

    std::uint32_t ReadColour() {
        const std::uint32_t key = SwapRedGreen(colour_, depth_ / 3);
        const std::size_t set = depth_ >= 8 ? key >> (depth_ - 8) : key << (8 - depth_);
        std::uint32_t* entries = &cache_[set * 64];
        if (bits_.Bit())
            return entries[(start_[set] + bits_.Bits(6)) % 64];
        start_[set] = (start_[set] + 63) % 64;
        return entries[start_[set]] = SwapRedGreen(bits_.Bits(depth_), depth_ / 3);
    }

    WindowBitReader bits_;
    const unsigned depth_;
    const std::uint32_t width_, last_;
    Chains chains_;
    std::vector<std::uint32_t> cache_; // 256 sets of 64 colours
    std::vector<unsigned> start_;      // each set's newest entry
    std::uint64_t run_ = 0;            // plain dots before the next change point
    unsigned skip_ = 0;                // chain dots left of an escape
    std::uint32_t colour_ = 0;         // the colour of the dot before
};

// P2SS: binary decisions of an arithmetic code under a fixed probability a context, deciding where colours change
// (by a count of changes nearby), each new colour as a cache hit or channels around a prediction, and chains.
class ArithmeticBlock {
public:
    ArithmeticBlock(const Block& block, unsigned depth)
        : c_(depth / 3), top_((1u << c_) - 1), depth15_(depth == 15), width_(block.width), last_(block.height - 1),
          chains_(block.width), above_(block.width), counts_{std::vector<std::uint8_t>(block.width + 3),
                                                             std::vector<std::uint8_t>(block.width + 3),
                                                             std::vector<std::uint8_t>(block.width + 3)},
          cache_(512 * 32), start_(512) {
        ByteReader in(block.data, block.size);
        for (std::uint32_t& p : p_)
            p = in.U16BE();
        data_ = block.data + in.Position();
        size_ = in.Remaining();
        d_ = NextBits(16);
    }

    void Row(std::uint32_t y, std::uint32_t* dots) {
        // Counts of change points near each dot, this row's and the next two rows' (index x + 1).
        std::vector<std::uint8_t>&k0 = counts_[y % 3], &k1 = counts_[(y + 1) % 3], &k2 = counts_[(y + 2) % 3];
        std::fill(k2.begin(), k2.end(), 0);
        const std::uint32_t left0 = colour_;
        for (std::uint32_t x = 0; x < width_; ++x) {
            const std::uint32_t chain = chains_.At(x);
            if (chain != 0) {
                colour_ = chain & 0xFFFFFF;
                if (y < last_)
                    Chain(x, chain >> 24);
            } else if (Decision(k0[x + 1])) {
                ++k0[x + 2], ++k0[x + 3];
                for (std::uint32_t i = x; i < x + 3; ++i)
                    ++k1[i], ++k2[i];
                colour_ = Colour(above_[x], x > 0 ? dots[x - 1] : left0);
                if (y < last_)
                    Chain(x, 0);
            }
            dots[x] = colour_;
        }
        std::copy(dots, dots + width_, above_.begin());
        chains_.NextRow();
    }

private:
    // The next count (1 to 16) coded bits. The coder may look up to a register's width past them, where bits read
    // as 0; no further.
    std::uint32_t NextBits(unsigned count) {
        if (count > avail_) {
            for (; avail_ <= 56; avail_ += 8, ++pos_)
                window_ = window_ << 8 | (pos_ < size_ ? data_[pos_] : 0u);
        }
        used_ += count;
        if (used_ > std::uint64_t{size_} * 8 + 16)
            ByteReader::Fail();
        avail_ -= count;
        return static_cast<std::uint32_t>(window_ >> avail_) & ((1u << count) - 1);
    }

    unsigned Decision(unsigned context) {
        std::uint32_t part = (a_ >> 8) * p_[context] >> 8;
        if (part == 0)
            part = 1;
        unsigned bit = 0;
        if (d_ >= part) {
            d_ -= part;
            a_ -= part;
            bit = 1;
        } else {
            a_ = part;
        }
        if (a_ < 0x8000) {
            const unsigned shift = static_cast<unsigned>(std::countl_zero(static_cast<std::uint16_t>(a_)));
            a_ <<= shift;
            d_ = d_ << shift | NextBits(shift);
        }
        return bit;
    }

    // The first of 8 decisions that is 1 gives k (none: 255), then k more decisions are the low bits of 2^k - 1 + v.
    unsigned Number(unsigned context) {
        unsigned k = 0;
        while (k < 8 && !Decision(context + k))
            ++k;
        if (k == 8)
            return 255;
        unsigned value = 0;
        for (unsigned i = 0; i < k; ++i)
            value |= Decision(context + 8 + i) << i;
        return (1u << k) - 1 + value;
    }

    // The n-th value of the walk around q within 0..top.
    unsigned Unfold(unsigned n, unsigned q) const {
        const std::int64_t value = Pic2Unfold(n, q, top_);
        if (value < 0 || value > top_)
            ByteReader::Fail();
        return static_cast<unsigned>(value);
    }

    void Chain(std::uint32_t x, unsigned way) {
        static constexpr int kSteps[6] = {0, 0, -1, 1, -2, 2};
        const unsigned context = 80 + 6 * way;
        if (Decision(context))
            return;
        unsigned next = 1;
        while (next < 5 && !Decision(context + next))
            ++next;
        chains_.Send(x, kSteps[next], next, colour_);
    }

    std::uint32_t Colour(std::uint32_t up, std::uint32_t left) {
        const auto channel = [this](std::uint32_t v, unsigned shift) { return v >> shift & top_; };
        const unsigned r3 = channel(up, 2 * c_) >> (c_ - 3), g3 = channel(up, c_) >> (c_ - 3),
                       b3 = channel(up, 0) >> (c_ - 3);
        const unsigned set = (depth15_ ? g3 << 6 | r3 << 3 : r3 << 6 | g3 << 3) | b3;
        std::uint32_t* entries = &cache_[set * 32];
        unsigned& m = start_[set];
        if (Decision(hit_)) {
            hit_ = 16;
            const unsigned r = (channel(up, 2 * c_) + channel(left, 2 * c_)) >> 1,
                           g = (channel(up, c_) + channel(left, c_)) >> 1, b = (channel(up, 0) + channel(left, 0)) >> 1;
            const unsigned green = Unfold(Number(32), g);
            const auto shifted = [&](unsigned q) {
                return static_cast<unsigned>(std::clamp<int>(int(q) + int(green) - int(g), 0, int(top_)));
            };
            const unsigned red = Unfold(Number(48), shifted(r));
            const unsigned blue = Unfold(Number(64), shifted(b));
            m = (m + 31) % 32;
            return entries[m] = red << 2 * c_ | green << c_ | blue;
        }
        hit_ = 15;
        const unsigned j = Number(17);
        const unsigned i = (m + j / 2) % 32, t = (m + j) % 32;
        const std::uint32_t colour = entries[t];
        entries[t] = entries[i];
        entries[i] = entries[m];
        return entries[m] = colour;
    }

    const unsigned c_, top_;
    const bool depth15_;
    const std::uint32_t width_, last_;
    std::uint32_t p_[128] = {}; // each context's chance of a 0, in 1/65536
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0, pos_ = 0;
    std::uint64_t window_ = 0, used_ = 0;
    unsigned avail_ = 0;
    std::uint32_t a_ = 0xFFFF, d_ = 0;
    Chains chains_;
    std::vector<std::uint32_t> above_;
    std::vector<std::uint8_t> counts_[3];
    std::vector<std::uint32_t> cache_; // 512 sets of 32 colours, keyed by the dot above
    std::vector<unsigned> start_;
    unsigned hit_ = 16;
    std::uint32_t colour_ = 0;
};

template <class Coded> void DrawCoded(const Block& block, unsigned depth, const std::uint8_t* widen, Canvas& image) {
    Coded coded(block, depth);
    const unsigned bits = depth / 3;
    const std::uint32_t mask = (1u << bits) - 1;
    std::vector<std::uint32_t> dots(block.width);
    for (std::uint32_t y = 0; y < block.height; ++y) {
        coded.Row(y, dots.data());
        std::uint8_t* out = image.Row(block.top + y) + std::size_t{3} * block.left;
        for (std::uint32_t x = 0; x < block.width; ++x, out += 3) {
            const std::uint32_t dot = dots[x];
            if (block.hasOpaque && dot == block.opaque)
                continue;
            out[0] = widen[dot & mask];
            out[1] = widen[dot >> bits & mask];
            out[2] = widen[dot >> 2 * bits & mask];
        }
    }
}

void DrawBlock(const Block& block, unsigned depth, Canvas& image) {
    const std::size_t dotBytes = (depth + 7) / 8;
    const std::size_t rowBytes = dotBytes * block.width;
    const unsigned bits = depth / 3;
    const std::uint32_t mask = (1u << bits) - 1;
    std::uint8_t widen[256];
    for (std::uint32_t v = 0; v <= mask; ++v)
        widen[v] = Widen(v, bits);
    if (block.width == 0 || block.height == 0)
        return;
    if (block.kind == Kind::RunLengths)
        return DrawCoded<RunLengthBlock>(block, depth, widen, image);
    if (block.kind == Kind::Arithmetic)
        return DrawCoded<ArithmeticBlock>(block, depth, widen, image);
    for (std::uint32_t y = 0; y < block.height; ++y) {
        const std::uint8_t* in = block.data + rowBytes * y;
        std::uint8_t* out = image.Row(block.top + y) + std::size_t{3} * block.left;
        if (depth == 24 && !block.hasOpaque) {
            for (std::uint32_t x = 0; x < block.width; ++x, in += 3, out += 3) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
            continue;
        }
        for (std::uint32_t x = 0; x < block.width; ++x, in += dotBytes, out += 3) {
            const std::uint32_t dot = ReadDot(in, depth, block.bigEndian);
            if (block.hasOpaque && dot == block.opaque)
                continue;
            out[0] = widen[dot & mask];
            out[1] = widen[dot >> bits & mask];
            out[2] = widen[dot >> 2 * bits & mask];
        }
    }
}

bool IsSupported(const std::uint8_t* head, std::size_t size) {
    return size >= 4 && std::memcmp(head, "P2DT", 4) == 0;
}

ImageInfo ReadInfo(const std::uint8_t* data, std::size_t size) {
    return ReadHeader(data, size).info;
}

DecodedImage Decode(const std::uint8_t* data, std::size_t size) {
    const Header header = ReadHeader(data, size);
    // Raw blocks have been checked to hold all their dots.
    std::uint32_t rawRows = 0;
    for (const Block& block : header.blocks)
        rawRows = block.kind == Kind::Raw ? std::max(rawRows, block.top + block.height) : rawRows;
    Canvas canvas(header.info, rawRows);
    for (const Block& block : header.blocks)
        DrawBlock(block, header.depth, canvas);
    DecodedImage image;
    image.info = header.info;
    image.pixels = canvas.Finish();
    return image;
}

} // namespace

const Codec kPic2Codec = {"Kelvad PIC2 plug-in", "*.p2", "PIC2", &IsSupported, &ReadInfo, &Decode};

} // namespace kelvad::formats
