// Walks arbitrary bytes as an enhanced and as a Windows metafile: no read outside them, no undefined behaviour.
// fuzz-sources: base/metafile_walk.cpp base/wmf_walk.cpp base/dib_check.cpp
#include "base/metafile_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kelvad::CheckEmf(data, size);
    kelvad::CheckWmf(data, size);
    return 0;
}
