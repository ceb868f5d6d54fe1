#pragma once
#include <windows.h>

namespace ui {

// The design gives every place, size and font height in pixels at 96 DPI; windows show them scaled to the DPI of
// the monitor they stand on.
inline constexpr int kDesignDpi = 96;

// A design length at dpi: length x dpi / 96, to the nearest pixel with halves away from zero. Every place and size
// of the toolkit is scaled through here, so that all round alike.
int Scale(int designPixels, int dpi) noexcept;

// Asks for per-monitor DPI awareness (v2, else v1, else system-wide), whichever the system has; the manifest asks
// first, and a system that took that answers the calls with a refusal, which is fine.
void EnableDpiAwareness() noexcept;
// The DPI of the window's monitor (the system's where the system knows no per-window DPI).
int WindowDpi(HWND window) noexcept;
int SystemDpi() noexcept;
// AdjustWindowRectEx with the frame metrics of dpi, where the system has them.
void AdjustFrameForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) noexcept;

// The system's status font (what tooltips show) at dpi.
LOGFONTW StatusFont(int dpi) noexcept;

// A glyph resource as drawn for dpi: the 150 % or 200 % rendering of the same source (resource id + 1000 or + 2000,
// or the name with "150"/"200" appended) when the DPI reaches it, else the design's.
HBITMAP LoadGlyphBitmap(HINSTANCE instance, const wchar_t* name, int dpi) noexcept;

} // namespace ui
