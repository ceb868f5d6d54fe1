#pragma once
// Pi: 16- and 256-colour pictures coded as copies from five nearby positions and move-to-front coded colours.
#include "plugins/formats/decoded_image.h"

namespace kelvad::formats {

extern const Codec kPiCodec;

} // namespace kelvad::formats
