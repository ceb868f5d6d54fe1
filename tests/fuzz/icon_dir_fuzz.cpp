// Reads arbitrary bytes as an icon file's directory; the image it gives lies inside them.
// fuzz-sources: base/picture_headers.cpp
#include "base/picture_headers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto image = kelvad::FirstIconImage(data, size);
    if (image && (image->offset > size || image->bytes > size - image->offset || image->bytes < 40 ||
                  image->width < 1 || image->width > 256 || image->height < 1 || image->height > 256))
        __builtin_trap();
    return 0;
}
