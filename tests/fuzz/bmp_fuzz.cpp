// Checks arbitrary bytes as a .BMP file; what it accepts must hold every byte GDI would read.
// fuzz-sources: base/dib_check.cpp
#include "base/dib_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto bmp = kelvad::CheckBmpFile(data, size);
    if (bmp && (14 + bmp->layout.infoSize > size || bmp->pixelsAt + bmp->layout.PixelBytes(bmp->layout.Lines()) > size))
        __builtin_trap();
    if (bmp)
        kelvad::PlainDibInfo(bmp->layout, data + 14);
    return 0;
}
