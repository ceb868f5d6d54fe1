#include "base/codepage.h"

#include <optional>

#include "base/sjis.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <utility>
#include <stdexcept>
#endif

namespace kelvad {

#ifdef _WIN32

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

std::wstring ToWideFrom(UINT codePage, std::string_view bytes) {
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), length);
    return wide;
}

} // namespace

ShiftJisText ToShiftJis(std::wstring_view text) {
    BOOL usedDefault = FALSE;
    std::string bytes = FromWide(kShiftJis, WC_NO_BEST_FIT_CHARS, text, &usedDefault);
    return {std::move(bytes), !usedDefault};
}

std::wstring ToWide(std::string_view sjis) {
    return ToWideFrom(kShiftJis, sjis);
}

std::string ToUtf8(std::wstring_view text) {
    return FromWide(CP_UTF8, 0, text, nullptr);
}

std::wstring FromUtf8(std::string_view text) {
    return ToWideFrom(CP_UTF8, text);
}

std::wstring UpperCaseName(std::wstring_view text) {
    std::wstring upper(text);
    if (!upper.empty())
        CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
}

std::optional<std::string> ToAnsiCodePage(std::wstring_view text) {
    const UINT codePage = GetACP();
    // UTF-8 takes neither the flag nor a default character.
    std::string ansi = FromWide(codePage, codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS, text, nullptr);
    if (ToWideFrom(codePage, ansi) != text || ansi.find('\0') != std::string::npos)
        return std::nullopt;
    return ansi;
}

#else

// The same conversions through iconv, for the logic's tests on Linux (where wchar_t holds UTF-32).
namespace {

// The single bytes that Windows' code page 932 maps to characters of their own and iconv's does not.
constexpr std::pair<unsigned char, wchar_t> kWindowsOnly[] = {
    {0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3}};

std::optional<wchar_t> WindowsOnly(char byte) {
    for (const auto& [single, wide] : kWindowsOnly)
        if (static_cast<unsigned char>(byte) == single)
            return wide;
    return std::nullopt;
}

std::optional<char> WindowsOnly(wchar_t wide) {
    for (const auto& [single, character] : kWindowsOnly)
        if (wide == character)
            return static_cast<char>(single);
    return std::nullopt;
}

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts unit by unit where the whole cannot go; a unit that cannot be converted becomes `replacement`.
    template <class Out, class In>
    Out Convert(const In* data, std::size_t count, const Out& replacement, bool& exact) {
        Out out;
        char* in = const_cast<char*>(reinterpret_cast<const char*>(data));
        std::size_t inLeft = count * sizeof(In);
        std::string buffer(inLeft * 4 + 16, '\0');
        while (inLeft > 0) {
            char* outPtr = buffer.data();
            std::size_t outLeft = buffer.size();
            const std::size_t result = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
            out.append(reinterpret_cast<const typename Out::value_type*>(buffer.data()),
                       (buffer.size() - outLeft) / sizeof(typename Out::value_type));
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
                // Skips one unit of the input: a lead and trail byte pair of Shift-JIS together.
                const bool pair = sizeof(In) == 1 && inLeft >= 2 && IsLeadByte(static_cast<unsigned char>(*in));
                const std::size_t skip = pair ? 2 : sizeof(In);
                In unit{};
                std::memcpy(&unit, in, sizeof unit);
                in += skip;
                inLeft -= skip;
                if (const auto mapped = WindowsOnly(unit))
                    out += *mapped;
                else {
                    out += replacement;
                    exact = false;
                }
            }
        }
        return out;
    }

private:
    iconv_t cd_;
};

} // namespace

ShiftJisText ToShiftJis(std::wstring_view text) {
    Converter converter("CP932", "WCHAR_T");
    bool exact = true;
    std::string bytes = converter.Convert<std::string>(text.data(), text.size(), std::string("?"), exact);
    return {std::move(bytes), exact};
}

std::wstring ToWide(std::string_view sjis) {
    Converter converter("WCHAR_T", "CP932");
    bool exact = true;
    return converter.Convert<std::wstring>(sjis.data(), sjis.size(), std::wstring(L"\u30FB"), exact);
}

std::string ToUtf8(std::wstring_view text) {
    Converter converter("UTF-8", "WCHAR_T");
    bool exact = true;
    return converter.Convert<std::string>(text.data(), text.size(), std::string("?"), exact);
}

std::wstring FromUtf8(std::string_view text) {
    Converter converter("WCHAR_T", "UTF-8");
    bool exact = true;
    return converter.Convert<std::wstring>(text.data(), text.size(), std::wstring(L"\uFFFD"), exact);
}

std::wstring UpperCaseName(std::wstring_view text) {
    std::wstring upper(text);
    for (wchar_t& c : upper)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    return upper;
}

#endif

std::wstring NamedText(std::string_view before, std::wstring_view name, std::string_view after) {
    std::wstring text = ToWide(before);
    text += name;
    text += ToWide(after);
    return text;
}

std::wstring CutAtShiftJisBytes(std::wstring_view text, std::size_t maxBytes) {
    if (ToShiftJis(text).bytes.size() <= maxBytes)
        return std::wstring(text);
    std::size_t bytes = 0;
    std::size_t end = 0;
    while (end < text.size()) {
        const bool pair = end + 1 < text.size() && text[end] >= 0xD800 && text[end] <= 0xDBFF;
        const std::size_t units = pair ? 2 : 1;
        bytes += ToShiftJis(text.substr(end, units)).bytes.size();
        if (bytes > maxBytes)
            break;
        end += units;
    }
    return std::wstring(text.substr(0, end));
}

} // namespace kelvad
