// fuzz-sources: plugins/jpeg_headers.cpp
// The JPEG header walk over any bytes: no read outside them, and a size it gives is never zero.
#include <cstdlib>

#include "plugins/jpeg_headers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto header = kelvad::plugins::ReadJpegHeaders(data, size);
    if (header && (header->width == 0 || header->height == 0 || header->width > 65535 || header->height > 65535))
        std::abort();
    return 0;
}
