// PIC2 pictures for the decoding benchmark: one raw block of 12-bit dots (for 16 colours) or 24-bit dots (for 256),
// with gradients and bands.
#include <cstdint>
#include <string>
#include <vector>

#include "bench/retro_samples/registry.h"
#include "plugins/formats/pic2.h"

namespace kelvad::bench {
namespace {

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    while (bytes-- > 0)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * bytes)));
}

std::vector<std::uint8_t> MakePic2Sample(std::uint32_t width, std::uint32_t height, int colours) {
    const unsigned depth = colours == 16 ? 12 : 24;
    const std::string text = "P2DT" + std::string(18, ' ') + std::string(8, ' ') + "\r\n" + std::string(30, ' ') +
                             "\r\n" + std::string(30, ' ') + "\r\n\x1A";
    std::vector<std::uint8_t> out(text.begin(), text.end());
    out.push_back(0);
    Put(out, 0, 2); // no palette
    Put(out, 0, 2);
    Put(out, 0, 4);
    Put(out, 124, 4); // the first block follows the header
    for (std::uint32_t value : {depth, 1u, 1u, width, height})
        Put(out, value, 2);
    Put(out, 0, 4);

    const int dotBytes = depth == 12 ? 2 : 3;
    out.insert(out.end(), {'P', '2', 'B', 'M'});
    Put(out, 26 + static_cast<std::uint32_t>(dotBytes) * width * height, 4);
    for (std::uint32_t value : {0u, width, height, 0u, 0u})
        Put(out, value, 2);
    Put(out, 0, 8);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t r = (x * 255 / width) ^ ((y / 16) & 1 ? 0x40 : 0), g = y * 255 / height,
                                b = ((x + y) / 8) * 37 & 255;
            Put(out, depth == 12 ? (r >> 4) << 8 | (g >> 4) << 4 | b >> 4 : r << 16 | g << 8 | b, dotBytes);
        }
    }
    Put(out, 0, 8);
    return out;
}

const bool kRegistered = (RegisterSample({"PIC2", &formats::kPic2Codec, &MakePic2Sample}), true);

} // namespace
} // namespace kelvad::bench
