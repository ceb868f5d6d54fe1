#pragma once
// PIC2: a header with the picture's titles and dot aspect, then picture blocks placed on one canvas.
#include "plugins/formats/decoded_image.h"

namespace kelvad::formats {

extern const Codec kPic2Codec;

} // namespace kelvad::formats
