// Checks arbitrary bytes as a .BMP file; what it accepts must hold every byte GDI would read.
// fuzz-sources: base/dib_check.cpp
#include <cstddef>
#include <cstdint>

#include "base/dib_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto bmp = kelvad::CheckBmpFile(data, size);
    if (!bmp)
        return 0;
    const kelvad::DibFormat& f = bmp->layout;
    if (14 + f.infoSize > size || bmp->pixelsAt + f.PixelBytes(f.Lines()) > size)
        __builtin_trap();
    // The plain header is built from the table inside the file (the sanitizer watches the reads).
    const auto info = kelvad::PlainDibInfo(f, data + 14);
    if (info.size() < 40)
        __builtin_trap();
    return 0;
}
