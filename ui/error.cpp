#include "ui/error.h"

#include "base/codepage.h"

#include <cstdio>

namespace ui {

namespace {

// The system's text for an error code as it gives it, trailing line breaks, blanks and period removed; empty when
// it has none.
std::wstring SystemText(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (buffer) {
        text.assign(buffer, length);
        LocalFree(buffer);
    }
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    return text;
}

std::string ErrorNumberText(DWORD code) {
    char number[32];
    std::snprintf(number, sizeof number, "エラー %lu", static_cast<unsigned long>(code));
    return number;
}

} // namespace

std::string SystemErrorText(DWORD code) {
    const std::wstring text = SystemText(code);
    return text.empty() ? ErrorNumberText(code) : kelvad::ToShiftJis(text).bytes;
}

std::wstring SystemErrorWideText(DWORD code) {
    const std::wstring text = SystemText(code);
    return text.empty() ? kelvad::ToWide(ErrorNumberText(code)) : text;
}

Error::Error(const std::wstring& message) : std::runtime_error(kelvad::ToShiftJis(message).bytes), wide_(message) {}

std::wstring ErrorText(const std::exception& error) {
    const auto* own = dynamic_cast<const Error*>(&error);
    return own && !own->WideMessage().empty() ? own->WideMessage() : kelvad::ToWide(error.what());
}

void ThrowLastError(const std::wstring& what) {
    DWORD code = GetLastError();
    // The system's text as it gives it: on a system of another language it may hold what Shift-JIS cannot.
    throw Error(what + L": " + SystemErrorWideText(code));
}

void ThrowLastError(const char* what) {
    DWORD code = GetLastError();
    throw Error(std::string(what) + ": " + SystemErrorText(code));
}

} // namespace ui
