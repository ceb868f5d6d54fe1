#include <gtest/gtest.h>

#include "base/codepage.h"

namespace kelvad {
namespace {

// The host's conversions (iconv) give what Windows' code page 932 gives, so that the logic tested here meets the
// same bytes as on Windows.
TEST(Codepage, HostConversionsAsOnWindows) {
    // Single bytes Windows maps to characters of their own where iconv has none: both ways, exactly.
    const std::pair<char, wchar_t> singles[] = {
        {'\x80', 0x0080}, {'\xA0', 0xF8F0}, {'\xFD', 0xF8F1}, {'\xFE', 0xF8F2}, {'\xFF', 0xF8F3}};
    for (const auto& [byte, wide] : singles) {
        const std::string bytes{'a', byte, 'b'};
        const std::wstring text{L'a', wide, L'b'};
        const ShiftJisText back = ToShiftJis(text);
        EXPECT_EQ(ToWide(bytes), text) << static_cast<unsigned>(wide);
        EXPECT_TRUE(back.bytes == bytes && back.exact) << static_cast<unsigned>(wide);
    }
    // A character code page 932 cannot hold stands as '?', and the text is then not exact.
    const struct {
        std::wstring text;
        std::string bytes;
        bool exact;
    } texts[] = {{L"表ｱ\\?", "表ｱ\\?", true}, {L"a한b", "a?b", false}, {L"\U0001F600", "?", false}};
    for (const auto& t : texts) {
        const ShiftJisText got = ToShiftJis(t.text);
        EXPECT_TRUE(got.bytes == t.bytes && got.exact == t.exact) << got.bytes;
    }
    // The 255-byte cut keeps a surrogate pair whole and counts a Windows-only byte as one.
    const std::wstring pair{0xD83D, 0xDE00}, a253(253, L'a');
    EXPECT_EQ(CutAtShiftJisBytes(a253 + pair, 255), a253 + pair);
    EXPECT_EQ(CutAtShiftJisBytes(a253 + L"a" + pair, 255), a253 + L"a");
    EXPECT_EQ(CutAtShiftJisBytes(a253 + L"a\xF8F0表", 255), a253 + L"a\xF8F0");
}

} // namespace
} // namespace kelvad
