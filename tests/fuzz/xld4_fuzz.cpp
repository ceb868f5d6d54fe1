// fuzz-sources: plugins/formats/xld4.cpp
#include "plugins/formats/xld4.h"
#include "tests/fuzz/codec_fuzz.h"
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return FuzzCodec(kelvad::formats::kXld4Codec, data, size);
}
