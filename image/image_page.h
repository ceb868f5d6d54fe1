#pragma once
#include <cstddef>
#include <cstdint>

#include "output/output_options.h"
#include "output/printer.h"

namespace kelvad {

// Where a picture goes on the page, in device units of the printable area (negative values lie in the
// unprintable border).
struct PageRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const PageRect&) const = default;
};

// Whole millimetres to device units: millimetres × (1/25.4) × dpi, formed left to right in extended precision
// and rounded halves to even.
int MillimetresToUnits(long double millimetres, int dpi);

// The destination rectangle of a picture of the given size: inside the four margins (stretched) or from their
// corner (natural size); under zero margins from the sheet's corner, stretched over the whole sheet. The
// printer minimums are the unprintable border, in whole millimetres.
PageRect DestinationRect(const OutputOptions& options, const PrinterMargins& minimum, const PageMetrics& metrics,
                         int pictureWidth, int pictureHeight);

// The bytes of the pixel rows of a device-independent bitmap (rows padded to 4 bytes), or 0 when they would not
// fit in half the address space (or the size is empty): such a picture cannot be copied for the printer.
std::size_t DibPixelBytes(long long width, long long height, int bitCount, std::size_t addressSpace = SIZE_MAX);

} // namespace kelvad
