#pragma once
// The formats the retro decoding benchmark knows: each bench/retro_samples/<format>_sample.cpp registers its
// codec and a maker of valid files at load time, with
//     const bool kRegistered = (RegisterSample({"MAG", &formats::kMagCodec, &MakeMagSample}), true);
#include <cstdint>
#include <vector>

#include "plugins/formats/decoded_image.h"

namespace kelvad::bench {

struct Sample {
    const char* name;
    const formats::Codec* codec;
    // A valid file of PictureDot's picture of the given size and colours (16 or 256), or none where the format
    // cannot hold that picture.
    std::vector<std::uint8_t> (*make)(std::uint32_t width, std::uint32_t height, int colours);
};

// The benchmark's picture, the same for every format: the palette index of each dot, as in drawn and dithered
// pictures. Areas whose edges run at changing slopes are each one of: a flat colour, a two-colour dither, short runs
// of 2 to 5 dots, or noise; single stray dots lie everywhere.
inline std::uint8_t PictureDot(std::uint32_t x, std::uint32_t y, unsigned colours) {
    std::uint32_t hash = x * 2654435761u ^ (y + 0x9E37u) * 40503u;
    hash ^= hash >> 15;
    hash *= 0x2C1B3C6Du;
    hash ^= hash >> 12;
    const std::uint32_t area = (x + 3 * y / 4 + y / 20 % 7 * 3) / 29 + (y + x / 3) / 37 * 5;
    const std::uint32_t base = area * 7 % colours;
    std::uint32_t dot;
    switch (area % 4) {
    case 0:
        dot = base;
        break;
    case 1:
        dot = base + ((x + y) & 1);
        break;
    case 2: { // runs of 2 to 5 dots of three colours, each line its own
        std::uint32_t run = ((x + y * 7) / (2 + (x / 16 + y) % 4) + 1) * 0x9E3779B1u ^ y * 0x85EBCA77u;
        run ^= run >> 13;
        dot = base + (run * 0xC2B2AE35u >> 24) % 3;
        break;
    }
    default:
        dot = base + hash % (colours / 4);
        break;
    }
    if (hash % 61 == 0)
        dot = hash >> 8;
    return static_cast<std::uint8_t>(dot % colours);
}

// The red, green and blue (0xRRGGBB) of the picture's index i for formats that store colours, not indexes: 4-bit
// levels for 16 colours, all different.
inline std::uint32_t PictureRgb(std::uint32_t i, unsigned colours) {
    if (colours == 16)
        return (i * 5 % 16 * 17) << 16 | (i * 11 % 16 * 17) << 8 | i * 3 % 16 * 17;
    return (i * 37 & 255) << 16 | (i * 91 & 255) << 8 | (255 - i);
}

// Every registered sample, in registration order.
inline std::vector<Sample>& Samples() {
    static std::vector<Sample> samples;
    return samples;
}

inline void RegisterSample(const Sample& sample) {
    Samples().push_back(sample);
}

// Bits for the sample encoders, most significant bit of each byte first.
class BitWriter {
public:
    void Put(std::uint32_t value, unsigned count) {
        while (count-- > 0) {
            if (used_ % 8 == 0)
                bytes_.push_back(0);
            bytes_.back() |= static_cast<std::uint8_t>((value >> count & 1) << (7 - used_ % 8));
            ++used_;
        }
    }
    std::vector<std::uint8_t>& Bytes() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::uint64_t used_ = 0;
};

} // namespace kelvad::bench
