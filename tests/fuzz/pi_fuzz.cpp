// fuzz-sources: plugins/formats/pi.cpp
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "plugins/formats/pi.h"

using namespace kelvad::formats;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const ImageInfo info = kPiCodec.readInfo(data, size);
        // Huge pictures are legal but only slow the search down.
        if (static_cast<std::uint64_t>(info.width) * info.height > (1u << 16))
            return 0;
        const DecodedImage image = kPiCodec.decode(data, size);
        if (image.pixels.size() != image.Stride() * image.info.height || image.palette.empty())
            std::abort();
        for (std::uint32_t y = 0; y < image.info.height; ++y)
            for (std::uint32_t x = 0; x < image.info.width; ++x)
                if (image.Row(y)[x] >= image.palette.size())
                    std::abort();
    } catch (const DecodeError&) {
    }
    return 0;
}
