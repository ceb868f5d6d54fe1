#pragma once
#include <windows.h>

#include <string>

namespace ui {

// A font as the forms describe it: face name (Shift-JIS), character height in pixels, weight, and an
// optional text colour (CLR_INVALID = the control's usual colour).
struct FontSpec {
    std::string face{};
    int height = 0;
    bool bold = false;
    COLORREF color = CLR_INVALID;
};

// The font a form or control asks for, created once and kept by the toolkit until the program ends; nullptr for an empty face.
HFONT FontHandle(const FontSpec& font);

} // namespace ui
