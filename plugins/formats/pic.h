#pragma once
// PIC: the X68000's run-and-chain compressed picture (16, 256, 32768 and 65536 colours), with the header's general
// variant for other machines' colour depths and pixel aspects.
#include "plugins/formats/decoded_image.h"

namespace kelvad::formats {

extern const Codec kPicCodec;

} // namespace kelvad::formats
