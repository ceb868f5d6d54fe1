#pragma once
// Message-box icons and the caption that the program's messages share; the values are Win32's, spelled here
// so that the logic can name them without <windows.h>.

namespace kelvad {

constexpr unsigned kStopIcon = 16;        // MB_ICONHAND
constexpr unsigned kExclamationIcon = 48; // MB_ICONEXCLAMATION
constexpr const char* kCaption = "Kelvad";
// The caption as the W functions take it, for the messages put together in UTF-16.
constexpr const wchar_t* kWideCaption = L"Kelvad";

} // namespace kelvad
