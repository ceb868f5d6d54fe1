// fuzz-sources: plugins/formats/pic.cpp
#include "plugins/formats/pic.h"
#include "tests/fuzz/codec_fuzz.h"
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return FuzzCodec(kelvad::formats::kPicCodec, data, size);
}
