#pragma once
#include <windows.h>

#include <stdexcept>
#include <string>

namespace ui {

// An error raised by the program or by a failing Win32 call; the message is Shift-JIS text.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// The system's text for an error code (Shift-JIS, trailing line breaks and period removed).
std::string SystemErrorText(DWORD code);

// Throws Error with "<what>: <system text for GetLastError()>".
[[noreturn]] void ThrowLastError(const char* what);

} // namespace ui
