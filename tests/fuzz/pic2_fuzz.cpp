// fuzz-sources: plugins/formats/pic2.cpp
#include <cstddef>
#include <cstdint>

#include "plugins/formats/pic2.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvad::formats;
    if (!kPic2Codec.isSupported(data, size))
        return 0;
    try {
        kPic2Codec.readInfo(data, size);
        kPic2Codec.decode(data, size);
    } catch (const DecodeError&) {
    }
    return 0;
}
