#pragma once
#include <windows.h>

namespace ui {

// Draws a rectangle travelling in 25 frames from the source window's outline to the target window's outline
// on the screen (inverted, so nothing is left behind) and returns when it is over (about a quarter second).
void AnimateZoom(HWND target, HWND source);

} // namespace ui
