#pragma once
// PIC2: a header with the picture's titles and dot aspect, then picture blocks placed on one canvas.
#include <cstdint>

#include "plugins/formats/decoded_image.h"

namespace kelvad::formats {

extern const Codec kPic2Codec;

// The n-th value of the walk q, q + 1, q - 1, q + 2, ... that goes on along one side once the other passes 0 or
// top: how a compressed block codes a colour channel near the one predicted. Out of range for n beyond the walk.
inline std::int64_t Pic2Unfold(unsigned n, unsigned q, unsigned top) {
    if (q > top / 2 && n > 2 * (top - q))
        return std::int64_t{top} - n;
    if (q <= top / 2 && n > 2 * q)
        return n;
    return n % 2 ? std::int64_t{q} + n / 2 + 1 : std::int64_t{q} - n / 2;
}

} // namespace kelvad::formats
