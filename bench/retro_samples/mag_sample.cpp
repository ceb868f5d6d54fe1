// A MAG encoder for the decoding benchmark: the shared picture, each pixel unit copied where one of the copy flags
// finds it, else stored.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bench/retro_samples/registry.h"
#include "plugins/formats/mag.h"

namespace kelvad::bench {
namespace {

constexpr int kCopyLeft[16] = {0, 1, 2, 4, 0, 1, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0};
constexpr int kCopyUp[16] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> 8 * i));
}

std::vector<std::uint8_t> MakeMagSample(std::uint32_t width, std::uint32_t height, int colours) {
    const bool wide = colours > 16;
    const std::uint32_t dotsPerFlagByte = wide ? 4 : 8;
    const std::uint32_t flagBytes = (width + dotsPerFlagByte - 1) / dotsPerFlagByte;
    const std::uint32_t units = flagBytes * 2;
    const std::uint32_t unitDots = dotsPerFlagByte / 2;

    // Each line's pixel units as 2-byte words.
    std::vector<std::uint16_t> words(static_cast<std::size_t>(units) * height);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t u = 0; u < units; ++u) {
            std::uint16_t word = 0;
            for (std::uint32_t d = 0; d < unitDots; ++d) {
                const std::uint32_t x = u * unitDots + d;
                std::uint32_t v = PictureDot(x, y, colours);
                if (x >= width)
                    v = 0;
                word = static_cast<std::uint16_t>(wide ? word << 8 | v : word << 4 | v);
            }
            words[static_cast<std::size_t>(y) * units + u] = word;
        }

    std::vector<std::uint8_t> flagA, flagB, pixels;
    std::vector<std::uint8_t> previous(flagBytes, 0), flags(flagBytes);
    std::uint32_t bit = 0;
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint16_t* line = &words[static_cast<std::size_t>(y) * units];
        for (std::uint32_t u = 0; u < units; ++u) {
            int flag = 0;
            for (int f = 1; f < 16 && flag == 0; ++f)
                if (std::uint32_t(kCopyLeft[f]) <= u && std::uint32_t(kCopyUp[f]) <= y &&
                    words[static_cast<std::size_t>(y - kCopyUp[f]) * units + u - kCopyLeft[f]] == line[u])
                    flag = f;
            if (flag == 0)
                pixels.insert(pixels.end(), {std::uint8_t(line[u] >> 8), std::uint8_t(line[u])});
            flags[u / 2] = static_cast<std::uint8_t>(u % 2 ? (flags[u / 2] & 0xF0) | flag : flag << 4);
        }
        for (std::uint32_t i = 0; i < flagBytes; ++i, ++bit) {
            if (bit % 8 == 0)
                flagA.push_back(0);
            if (flags[i] != previous[i]) {
                flagA.back() |= static_cast<std::uint8_t>(0x80 >> bit % 8);
                flagB.push_back(flags[i] ^ previous[i]);
            }
        }
        previous = flags;
    }

    const std::string text = std::string("MAKI02  PC98") + std::string(18, ' ') + "benchmark";
    std::vector<std::uint8_t> file(text.begin(), text.end());
    file.push_back(0x1A);
    file.insert(file.end(), {0, 0, 0, std::uint8_t(wide ? 0x80 : 0), 0, 0, 0, 0});
    file.insert(file.end(), {std::uint8_t(width - 1), std::uint8_t((width - 1) >> 8), std::uint8_t(height - 1),
                             std::uint8_t((height - 1) >> 8)});
    const std::uint32_t palette = 3 * (wide ? 256 : 16);
    const std::uint32_t a = 32 + palette;
    const std::uint32_t b = a + static_cast<std::uint32_t>(flagA.size());
    const std::uint32_t p = b + static_cast<std::uint32_t>(flagB.size());
    Put32(file, a), Put32(file, b), Put32(file, static_cast<std::uint32_t>(flagB.size())), Put32(file, p);
    Put32(file, static_cast<std::uint32_t>(pixels.size()));
    for (std::uint32_t i = 0; i < palette; ++i)
        file.push_back(static_cast<std::uint8_t>(i * 37));
    for (const auto* part : {&flagA, &flagB, &pixels})
        file.insert(file.end(), part->begin(), part->end());
    return file;
}

const bool kRegistered = (RegisterSample({"MAG", &formats::kMagCodec, &MakeMagSample}), true);

} // namespace
} // namespace kelvad::bench
