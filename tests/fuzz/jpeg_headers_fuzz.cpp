// fuzz-sources: plugins/jpeg_headers.cpp
// The JPEG header walk over any bytes: no read outside them, and a size it gives is never 0.
#include <cstdlib>

#include "plugins/jpeg_headers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const auto header = kelvad::plugin::ReadJpegHeaders(data, size); header && !(header->width && header->height))
        std::abort();
    return 0;
}
