#include "plugins/formats/xld4.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "plugins/formats/byte_reader.h"

namespace kelvad::formats {
namespace {

constexpr std::uint32_t kWidth = 640;
constexpr std::uint32_t kHeight = 400;
constexpr std::size_t kDots = std::size_t{kWidth} * kHeight;
constexpr std::size_t kSignatureAt = 11;
constexpr std::size_t kChunksAt = 16;
constexpr std::size_t kChunkHeaderSize = 6;

// The dictionary code: widths from 3 to 15 bits, steps numbered from 17, values 0 to 16.
constexpr unsigned kFirstWidth = 3;
constexpr unsigned kMaxWidth = 15;
constexpr unsigned kFirstStep = 17;
constexpr unsigned kMaxSteps = 16367;
constexpr std::size_t kMaxOutput = 65536;
constexpr std::uint8_t kRunMark = 16;

// The palette chunk: 16 colours of red, green and blue, each level stored as a pair of values, the second one used.
constexpr std::size_t kPaletteValues = 16 * 3 * 2;

bool IsXld4(const std::uint8_t* head, std::size_t size) {
    if (size < kChunksAt || std::memcmp(head + kSignatureAt, "MAJYO", 5) != 0)
        return false;
    return head[2] == 2 || (head[1] <= 1 && head[3] <= 1);
}

ImageInfo Info() {
    ImageInfo info;
    info.width = kWidth;
    info.height = kHeight;
    info.bitsPerPixel = 8;
    return info;
}

// The file is its signature and its length (a 16-bit field, so at most 65535 bytes), which must be the file's own.
void CheckHeader(const std::uint8_t* data, std::size_t size) {
    if (!IsXld4(data, size))
        throw DecodeError{Status::UnknownFormat};
    if ((std::size_t{data[8]} | std::size_t{data[9]} << 8) != size)
        throw DecodeError{Status::Corrupt};
}

// Layer 1 of a chunk: the values its dictionary code gives. Each step outputs a value 0-16, or repeats an earlier
// step's output followed by the first value of the step after it; a code beyond the steps so far ends the data.
std::vector<std::uint8_t> Expand(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> out;
    std::vector<std::uint32_t> starts; // starts[s - kFirstStep]: where step s began
    BitReader bits(data, size);
    unsigned width = kFirstWidth;
    for (;;) {
        std::uint32_t value;
        try {
            value = bits.Bits(width);
        } catch (const DecodeError&) {
            break; // the chunk's bits have run out
        }
        if (value == 0)
            break;
        if (value == 1) {
            width = std::min(width + 1, kMaxWidth);
            continue;
        }
        const std::uint32_t code = value - 2;
        const std::uint32_t step = kFirstStep + static_cast<std::uint32_t>(starts.size());
        if (code >= step)
            break;
        if (starts.size() == kMaxSteps)
            throw DecodeError{Status::Corrupt};
        starts.push_back(static_cast<std::uint32_t>(out.size()));
        if (code < kFirstStep) {
            out.push_back(static_cast<std::uint8_t>(code));
        } else {
            // Byte by byte: for the step just before, the last value is the one this step writes first.
            const std::size_t from = starts[code - kFirstStep];
            const std::size_t to = starts[code - kFirstStep + 1];
            if (out.size() + (to - from) + 1 > kMaxOutput)
                throw DecodeError{Status::Corrupt};
            for (std::size_t i = from; i <= to; ++i)
                out.push_back(out[i]);
        }
        if (out.size() > kMaxOutput)
            throw DecodeError{Status::Corrupt};
    }
    return out;
}

// Layer 2: values below 16 are dots; 16, h, lo is a run of 17h + lo dots of the run colour, and h = 0 sets the run
// colour from the next value first. Writes at most count dots; those the runs leave are 0.
void Runs(const std::vector<std::uint8_t>& values, std::uint8_t* dots, std::size_t count) {
    std::size_t at = 0, i = 0;
    std::uint8_t colour = 0;
    const auto next = [&] {
        if (i == values.size())
            throw DecodeError{Status::Corrupt};
        return values[i++];
    };
    while (i < values.size() && at < count) {
        const std::uint8_t v = next();
        if (v != kRunMark) {
            dots[at++] = v;
            continue;
        }
        std::uint8_t h = next();
        while (h == 0) {
            colour = next();
            if (colour >= kRunMark)
                throw DecodeError{Status::Corrupt};
            h = next();
        }
        const std::size_t run = std::min<std::size_t>(17u * h + next(), count - at);
        std::memset(dots + at, colour, run);
        at += run;
    }
}

ImageInfo ReadInfo(const std::uint8_t* data, std::size_t size) {
    CheckHeader(data, size);
    return Info();
}

DecodedImage Decode(const std::uint8_t* data, std::size_t size) {
    CheckHeader(data, size);
    DecodedImage image = MakeImage(Info());
    std::vector<std::uint8_t> dots(kDots, 0);
    ByteReader in(data, size);
    in.Seek(kChunksAt);
    std::size_t at = 0;
    bool palette = true;
    while (!in.AtEnd()) {
        const std::uint16_t length = in.U16LE();
        in.Skip(2);
        const std::size_t count = std::size_t{2} * in.U16LE();
        const std::vector<std::uint8_t> values = Expand(in.Take(length), length);
        if (palette) {
            if (values.size() < kPaletteValues)
                throw DecodeError{Status::Corrupt};
            image.palette.resize(16);
            for (unsigned i = 0; i < 16; ++i) {
                std::uint32_t rgb = 0;
                for (unsigned c = 0; c < 3; ++c) {
                    const std::uint8_t level = values[i * 6 + c * 2 + 1];
                    if (level > 15)
                        throw DecodeError{Status::Corrupt};
                    rgb = rgb << 8 | level * 17u;
                }
                // The stored order's bit 0 is the entry's bit 2, and its bits 2-1 the entry's bits 1-0.
                image.palette[(i & 8) | (i & 1) << 2 | (i >> 1 & 3)] = rgb;
            }
            palette = false;
            continue;
        }
        // Dots beyond the picture's 256000 are dropped.
        const std::size_t take = std::min(count, kDots - at);
        Runs(values, dots.data() + at, take);
        at += take;
    }
    if (palette)
        throw DecodeError{Status::Corrupt};
    for (std::uint32_t y = 0; y < kHeight; ++y)
        std::memcpy(image.Row(y), dots.data() + std::size_t{y} * kWidth, kWidth);
    return image;
}

} // namespace

const Codec kXld4Codec{"Kelvad XLD4 plug-in", "*.q4", "XLD4", &IsXld4, &ReadInfo, &Decode};

} // namespace kelvad::formats
