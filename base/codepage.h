#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace kelvad {

// The program's texts are Shift-JIS bytes (code page 932) whatever the system's code page; these convert
// them to and from the UTF-16 of the "W" functions, always through code page 932, never the ANSI code page.

// Text turned into Shift-JIS. A character that code page 932 cannot hold stands as '?' (never a look-alike),
// and exact is then false: such bytes do not name what the text named.
struct ShiftJisText {
    std::string bytes;
    bool exact = true;
};

ShiftJisText ToShiftJis(std::wstring_view text);

// Shift-JIS bytes as UTF-16.
std::wstring ToWide(std::string_view sjis);

// A message that names a file, a folder or a printer amid the program's fixed texts (Shift-JIS): before + name +
// after in UTF-16, the name whole whatever code page 932 can hold.
std::wstring NamedText(std::string_view before, std::wstring_view name, std::string_view after);
// The usual form, the name first: "C:\a.prn が見つかりません".
inline std::wstring NamedText(std::wstring_view name, std::string_view after) {
    return NamedText({}, name, after);
}

// The longest prefix of text whose Shift-JIS form fits in maxBytes, with no character split (a surrogate pair
// stays whole; a character code page 932 cannot hold counts as its stand-in's one byte).
std::wstring CutAtShiftJisBytes(std::wstring_view text, std::size_t maxBytes);

// UTF-16 as UTF-8 and back (for addresses and commands handed to a browser, which may name any folder).
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

// Text with its letters upper-cased as the file system compares names (on Linux: ASCII letters only).
std::wstring UpperCaseName(std::wstring_view text);

#ifdef _WIN32
// The text in the system's ANSI code page, for an interface that takes no other (the image plug-ins); nullopt when
// that code page cannot carry it exactly (the text turned back would be another one).
std::optional<std::string> ToAnsiCodePage(std::wstring_view text);
#endif

} // namespace kelvad
