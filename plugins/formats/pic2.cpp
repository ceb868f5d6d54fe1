#include "plugins/formats/pic2.h"

#include <algorithm>
#include <cstring>

#include "plugins/formats/byte_reader.h"

namespace kelvad::formats {
namespace {

constexpr std::size_t kBlockHeaderSize = 26;

// One picture block: where it lies on the canvas and where its data is.
struct Block {
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
        if (dotBytes * block.width * block.height > block.size)
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

void DrawBlock(const Block& block, unsigned depth, DecodedImage& image) {
    const std::size_t dotBytes = (depth + 7) / 8;
    const std::size_t rowBytes = dotBytes * block.width;
    const unsigned bits = depth / 3;
    const std::uint32_t mask = (1u << bits) - 1;
    std::uint8_t widen[256];
    for (std::uint32_t v = 0; v <= mask; ++v)
        widen[v] = Widen(v, bits);
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
    DecodedImage image = MakeImage(header.info);
    for (const Block& block : header.blocks)
        DrawBlock(block, header.depth, image);
    return image;
}

} // namespace

const Codec kPic2Codec = {"Kelvad PIC2 plug-in", "*.p2", "PIC2", &IsSupported, &ReadInfo, &Decode};

} // namespace kelvad::formats
