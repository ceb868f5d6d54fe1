// A PIC encoder for the decoding benchmark: X68000 pictures of 16 or 256 palette colours (the shared picture) or of
// 15-bit colour (its colours), with long runs, chains and colour cache hits where the picture has them.
#include <cstdint>
#include <vector>

#include "bench/retro_samples/registry.h"
#include "plugins/formats/pic.h"

namespace kelvad::bench {
namespace {

void PutLength(BitWriter& out, std::uint64_t length) {
    unsigned ones = 0;
    while ((std::uint64_t{4} << ones) - 2 < length)
        ++ones;
    out.Put(0xFFFFFFFF, ones);
    out.Put(0, 1);
    out.Put(static_cast<std::uint32_t>(length - ((std::uint64_t{2} << ones) - 1)), ones + 1);
}

// The colour code of each dot: a palette index, or 15-bit GGGGGRRRRRBBBBB.
std::vector<std::uint32_t> Picture(std::uint32_t width, std::uint32_t height, int colours) {
    std::vector<std::uint32_t> codes(static_cast<std::size_t>(width) * height);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            // The shared picture's index, or its colour as GGGGGRRRRRBBBBB.
            std::uint32_t code = PictureDot(x, y, colours == 16 ? 16 : 256);
            if (colours != 16 && colours != 256) {
                const std::uint32_t rgb = PictureRgb(code, 256);
                code = (rgb >> 11 & 31) << 10 | (rgb >> 19 & 31) << 5 | (rgb >> 3 & 31);
            }
            codes[static_cast<std::size_t>(y) * width + x] = code;
        }
    }
    return codes;
}

std::vector<std::uint8_t> MakePicSample(std::uint32_t width, std::uint32_t height, int colours) {
    const unsigned bits = colours == 16 ? 4 : colours == 256 ? 8 : 15;
    BitWriter out;
    for (char c : {'P', 'I', 'C', '\x1A', '\0', '\0', '\0'})
        out.Put(static_cast<std::uint8_t>(c), 8);
    for (std::uint32_t word : {bits, width, height})
        out.Put(word, 16);
    if (bits != 15) {
        for (unsigned i = 0; i < (1u << bits); ++i)
            out.Put((i * 0x9E37u) & 0xFFFE, 16);
    }

    const std::vector<std::uint32_t> codes = Picture(width, height, colours);
    const std::size_t total = codes.size();
    // A dot whose colour differs from the one before it is a change point, unless a chain has carried it.
    std::vector<std::uint8_t> change(total);
    for (std::size_t i = 0; i < total; ++i)
        change[i] = codes[i] != (i == 0 ? 0 : codes[i - 1]);

    // The colour cache by recency, least recently used first: slots 1..127, then 0.
    std::uint32_t cache[128] = {};
    std::vector<std::uint8_t> order;
    for (unsigned s = 1; s <= 128; ++s)
        order.push_back(static_cast<std::uint8_t>(s % 128));
    std::size_t last = static_cast<std::size_t>(-1);
    for (std::size_t i = 0; i < total; ++i) {
        if (!change[i])
            continue;
        PutLength(out, i - last);
        last = i;
        const std::uint32_t code = codes[i];
        if (bits == 15) {
            std::size_t at = 0;
            while (at < order.size() && cache[order[at]] != code)
                ++at;
            const bool hit = at < order.size();
            const std::uint8_t slot = order[hit ? at : 0];
            out.Put(hit, 1);
            out.Put(hit ? slot : code, hit ? 7 : 15);
            cache[slot] = code;
            order.erase(order.begin() + static_cast<std::ptrdiff_t>(hit ? at : 0));
            order.push_back(slot);
        } else {
            out.Put(code, bits);
        }
        // Follow the edge down while a change point of the same colour lies within two dots below.
        std::int64_t x = static_cast<std::int64_t>(i % width);
        std::size_t y = i / width;
        bool chained = false;
        for (; y + 1 < height; ++y) {
            static const int kSteps[] = {0, -1, 1, -2, 2};
            static const std::uint32_t kCodes[] = {2, 1, 3, 2, 3};
            static const unsigned kCodeBits[] = {2, 2, 2, 4, 4};
            int found = -1;
            for (int s = 0; s < 5 && found < 0; ++s) {
                const std::int64_t nx = x + kSteps[s];
                const std::size_t at = (y + 1) * width + static_cast<std::size_t>(nx);
                if (nx >= 0 && nx < width && change[at] && codes[at] == code)
                    found = s;
            }
            if (found < 0)
                break;
            if (!chained)
                out.Put(1, 1);
            chained = true;
            out.Put(kCodes[found], kCodeBits[found]);
            x += kSteps[found];
            change[(y + 1) * width + static_cast<std::size_t>(x)] = 0;
        }
        out.Put(0, chained ? 3 : 1);
    }
    PutLength(out, total - last);
    return std::move(out.Bytes());
}

const bool kRegistered = (RegisterSample({"PIC", &formats::kPicCodec, &MakePicSample}), true);

} // namespace
} // namespace kelvad::bench
