#include "ui/error.h"

#include "base/codepage.h"

#include <cstdio>

namespace ui {

std::string SystemErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text;
    if (buffer) {
        text = kelvad::ToShiftJis(std::wstring_view(buffer, length)).bytes;
        LocalFree(buffer);
    }
    // Line breaks, blanks and a final period are single-byte and never Shift-JIS trail bytes.
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    if (text.empty()) {
        char number[32];
        std::snprintf(number, sizeof number, "エラー %lu", static_cast<unsigned long>(code));
        text = number;
    }
    return text;
}

Error::Error(const std::wstring& message) : std::runtime_error(kelvad::ToShiftJis(message).bytes), wide_(message) {}

std::wstring ErrorText(const std::exception& error) {
    const auto* own = dynamic_cast<const Error*>(&error);
    return own && !own->WideMessage().empty() ? own->WideMessage() : kelvad::ToWide(error.what());
}

void ThrowLastError(const std::wstring& what) {
    DWORD code = GetLastError();
    throw Error(what + kelvad::ToWide(": " + SystemErrorText(code)));
}

void ThrowLastError(const char* what) {
    DWORD code = GetLastError();
    throw Error(std::string(what) + ": " + SystemErrorText(code));
}

} // namespace ui
