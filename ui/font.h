#pragma once
#include <windows.h>

#include "ui/handle.h"

#include <map>
#include <string>
#include <tuple>

namespace ui {

// A font as the forms describe it: face name (Shift-JIS), character height in pixels, weight, an optional text
// colour (CLR_INVALID = the control's usual colour) and the character set asked for. The program's texts are
// Japanese, so a font is asked for Shift-JIS: on a Japanese system that is the set DEFAULT_CHARSET stands for,
// and on any other it finds a font that holds the texts. A Latin face that shows only ASCII keeps
// DEFAULT_CHARSET, so that the face itself is used.
struct FontSpec {
    std::string face{};
    int height = 0;
    bool bold = false;
    COLORREF color = CLR_INVALID;
    BYTE charset = SHIFTJIS_CHARSET;
};

// Fonts made once per description and kept while the cache lives, each at the pixel height that scale gives for
// the description's own.
class FontCache {
public:
    // nullptr for an empty face; the default GUI font when none can be made.
    HFONT Get(const FontSpec& font, int (*scale)(int height, int dpi), int dpi);

private:
    std::map<std::tuple<std::string, int, bool, BYTE>, GdiObject> fonts_;
};

// The font a form or control asks for, created once and kept by the toolkit until the program ends; nullptr for an
// empty face.
HFONT FontHandle(const FontSpec& font);
// A new font of exactly that description (the height in pixels as given), owned by the caller; empty when none is made.
GdiObject MakeFont(const FontSpec& font);

} // namespace ui
