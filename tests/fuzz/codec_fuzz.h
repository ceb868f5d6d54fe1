#pragma once
// One codec over a fuzzer's input: the header read, then the decode of pictures of up to 4 Mpixel (larger ones take
// the same paths at far fewer runs a second).
#include <cstddef>
#include <cstdint>

#include "plugins/formats/decoded_image.h"

inline int FuzzCodec(const kelvad::formats::Codec& codec, const std::uint8_t* data, std::size_t size) {
    try {
        const kelvad::formats::ImageInfo info = codec.readInfo(data, size);
        if (static_cast<std::uint64_t>(info.width) * info.height <= (1u << 22))
            codec.decode(data, size);
    } catch (const kelvad::formats::DecodeError&) {
    }
    return 0;
}
