#pragma once
#include <windows.h>

#include "ui/form.h"

namespace kelvad {

// Draws a rectangle travelling in 25 frames from the source window's outline to the target window's outline
// on the screen (inverted, so nothing is left behind) and returns when it is over (about a quarter second).
void AnimateZoom(HWND target, HWND source);

// A dialog opened from a button: zoomed in from the button, shown modally, zoomed back into it. Returns the
// modal result.
int ShowModalZoomed(ui::Form& form, HWND button);

} // namespace kelvad
