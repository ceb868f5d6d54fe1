// fuzz-sources: plugins/formats/mag.cpp
#include "plugins/formats/mag.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvad::formats;
    try {
        kMagCodec.readInfo(data, size);
        kMagCodec.decode(data, size);
    } catch (const DecodeError&) {
    }
    return 0;
}
