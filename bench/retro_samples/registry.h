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
    // A valid file of the given size; colours 16 or 256 (or 32768 for 15-bit colour), with varied content.
    std::vector<std::uint8_t> (*make)(std::uint32_t width, std::uint32_t height, int colours);
};

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
