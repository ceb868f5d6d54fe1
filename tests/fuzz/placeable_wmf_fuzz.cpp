// Reads arbitrary bytes as the start of a Windows metafile; the records begin inside them, and the extents stay
// within a 16-bit box at one unit per inch.
// fuzz-sources: base/picture_headers.cpp
#include "base/picture_headers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::int32_t kMost = 65535 * 2540;
    const auto start = kelvad::ReadWmfStart(data, size);
    if (start && (start->headerAt > size || start->sized != (start->headerAt != 0) || start->xExt < -kMost ||
                  start->xExt > kMost || start->yExt < -kMost || start->yExt > kMost))
        __builtin_trap();
    return 0;
}
