#include "base/codepage.h"

#include <windows.h>

namespace kelvad {

namespace {

constexpr UINT kShiftJis = 932;

std::string FromWide(UINT codePage, DWORD flags, std::wstring_view text, BOOL* usedDefault) {
    if (text.empty())
        return {};
    // The default character only for code page 932: UTF-8 takes neither it nor the flag.
    const char* defaultChar = usedDefault ? "?" : nullptr;
    const int wideLength = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(codePage, flags, text.data(), wideLength, nullptr, 0, defaultChar, usedDefault);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), wideLength, bytes.data(), length, defaultChar, usedDefault);
    return bytes;
}

} // namespace

ShiftJisText ToShiftJis(std::wstring_view text) {
    BOOL usedDefault = FALSE;
    std::string bytes = FromWide(kShiftJis, WC_NO_BEST_FIT_CHARS, text, &usedDefault);
    return {std::move(bytes), !usedDefault};
}

std::wstring ToWide(std::string_view sjis) {
    if (sjis.empty())
        return {};
    const int size = static_cast<int>(sjis.size());
    const int length = MultiByteToWideChar(kShiftJis, 0, sjis.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(kShiftJis, 0, sjis.data(), size, wide.data(), length);
    return wide;
}

std::string ToUtf8(std::wstring_view text) {
    return FromWide(CP_UTF8, 0, text, nullptr);
}

} // namespace kelvad
