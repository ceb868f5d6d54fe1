// fuzz-sources: plugins/formats/pic2.cpp
#include "plugins/formats/pic2.h"
#include "tests/fuzz/codec_fuzz.h"
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return FuzzCodec(kelvad::formats::kPic2Codec, data, size);
}
