// XLD4 pictures for the decoding benchmark: the shared 640 x 400 16-colour picture (the only size the format has)
// in chunks of 40 lines, each coded as runs and single dots and then by a dictionary coder of the LZW kind.
#include <cstdint>
#include <map>
#include <vector>

#include "bench/retro_samples/registry.h"
#include "plugins/formats/xld4.h"

namespace kelvad::bench {
namespace {

// The dictionary code: each step emits the longest known string; the string it was, followed by the next step's
// first value, becomes the code of that step (from 17 on).
std::vector<std::uint8_t> Dictionary(const std::vector<std::uint8_t>& values) {
    BitWriter out;
    unsigned width = 3;
    const auto put = [&](std::uint32_t value) {
        while (value >= (1u << width)) {
            out.Put(1, width);
            ++width;
        }
        out.Put(value, width);
    };
    std::map<std::vector<std::uint8_t>, std::uint32_t> codes;
    std::uint32_t step = 17;
    std::vector<std::uint8_t> current;
    for (std::uint8_t v : values) {
        std::vector<std::uint8_t> longer = current;
        longer.push_back(v);
        if (current.empty() || codes.count(longer)) {
            current = std::move(longer);
            continue;
        }
        put((current.size() == 1 ? current[0] : codes[current]) + 2);
        codes[longer] = step++;
        current = {v};
    }
    if (!current.empty())
        put((current.size() == 1 ? current[0] : codes[current]) + 2);
    put(0);
    return std::move(out.Bytes());
}

// Layer 2: runs of 17 dots or more as 16, h, lo (with h = 0 and the colour first where the run colour changes).
std::vector<std::uint8_t> Runs(const std::uint8_t* dots, std::size_t count) {
    std::vector<std::uint8_t> values;
    std::uint8_t colour = 0;
    for (std::size_t i = 0; i < count;) {
        std::size_t n = 1;
        while (i + n < count && dots[i + n] == dots[i] && n < 17 * 16 + 16)
            ++n;
        if (n < 17) {
            values.push_back(dots[i++]);
            continue;
        }
        values.push_back(16);
        if (dots[i] != colour) {
            colour = dots[i];
            values.insert(values.end(), {0, colour});
        }
        values.insert(values.end(), {static_cast<std::uint8_t>(n / 17), static_cast<std::uint8_t>(n % 17)});
        i += n;
    }
    return values;
}

void Chunk(std::vector<std::uint8_t>& file, const std::vector<std::uint8_t>& data, std::size_t dots) {
    file.insert(file.end(), {static_cast<std::uint8_t>(data.size()), static_cast<std::uint8_t>(data.size() >> 8), 0, 0,
                             static_cast<std::uint8_t>(dots / 2), static_cast<std::uint8_t>(dots / 2 >> 8)});
    file.insert(file.end(), data.begin(), data.end());
}

std::vector<std::uint8_t> MakeXld4Sample(std::uint32_t width, std::uint32_t height, int colours) {
    if (width != 640 || height != 400 || colours != 16)
        return {};
    std::vector<std::uint8_t> file{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 'M', 'A', 'J', 'Y', 'O'};
    // The palette in stored order: stored colour i is entry (i & 8) | (i & 1) << 2 | (i >> 1 & 3).
    std::vector<std::uint8_t> palette;
    for (unsigned i = 0; i < 16; ++i) {
        const std::uint32_t rgb = PictureRgb((i & 8) | (i & 1) << 2 | (i >> 1 & 3), 16);
        for (unsigned shift : {16u, 8u, 0u})
            palette.insert(palette.end(), {0, static_cast<std::uint8_t>((rgb >> shift & 255) / 17)});
    }
    Chunk(file, Dictionary(palette), 0);
    std::vector<std::uint8_t> dots;
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            dots.push_back(PictureDot(x, y, 16));
    for (std::size_t at = 0; at < dots.size(); at += 40 * 640)
        Chunk(file, Dictionary(Runs(dots.data() + at, 40 * 640)), 40 * 640);
    file[8] = static_cast<std::uint8_t>(file.size());
    file[9] = static_cast<std::uint8_t>(file.size() >> 8);
    return file.size() <= 0xFFFF ? file : std::vector<std::uint8_t>{};
}

const bool kRegistered = (RegisterSample({"XLD4", &formats::kXld4Codec, &MakeXld4Sample}), true);

} // namespace
} // namespace kelvad::bench
