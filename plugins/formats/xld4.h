#pragma once
// XLD4 (.Q4): a 640 x 400 picture of 16 colours in chunks, each coded by a growing dictionary and then as runs.
#include "plugins/formats/decoded_image.h"

namespace kelvad::formats {

extern const Codec kXld4Codec;

} // namespace kelvad::formats
