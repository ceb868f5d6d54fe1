#pragma once
// MAG (MAKI02): 16- and 256-colour pictures of flag A / flag B / pixel streams with copies from 16 positions.
#include "plugins/formats/decoded_image.h"

namespace kelvad::formats {

extern const Codec kMagCodec;

} // namespace kelvad::formats
