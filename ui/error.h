#pragma once
#include <windows.h>

#include <stdexcept>
#include <string>

namespace ui {

// An error raised by the program or by a failing Win32 call; the message is Shift-JIS text. A message that names
// a file is made from UTF-16, so that the name shows whole; what() then holds its Shift-JIS form.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
    explicit Error(const std::wstring& message);
    const std::wstring& WideMessage() const noexcept { return wide_; }

private:
    std::wstring wide_;
};

// The text an error box shows for an exception: the UTF-16 message of an Error that has one, else what().
std::wstring ErrorText(const std::exception& error);

// The system's text for an error code (Shift-JIS, trailing line breaks and period removed).
std::string SystemErrorText(DWORD code);
// The same text as the system gives it, in UTF-16, so that none of it is lost to code page 932.
std::wstring SystemErrorWideText(DWORD code);

// Throws Error with "<what>: <system text for GetLastError()>".
[[noreturn]] void ThrowLastError(const char* what);
[[noreturn]] void ThrowLastError(const std::wstring& what);

} // namespace ui
