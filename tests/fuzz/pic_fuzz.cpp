// fuzz-sources: plugins/formats/pic.cpp
#include <cstddef>
#include <cstdint>

#include "plugins/formats/pic.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvad::formats;
    if (!kPicCodec.isSupported(data, size))
        return 0;
    try {
        kPicCodec.readInfo(data, size);
        kPicCodec.decode(data, size);
    } catch (const DecodeError&) {
    }
    return 0;
}
