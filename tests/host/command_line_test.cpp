#include <gtest/gtest.h>

#include "app/command_line.h"

namespace kelvad {
namespace {

using Strings = std::vector<std::wstring>;

TEST(SplitCommandLine, BlanksAndControlCharactersSeparateOutsideQuotes) {
    EXPECT_EQ(SplitCommandLine(L"\"C:\\Program Files\\Kelvad32.exe\"  a.prn\t-P \"b c.prn\"\x01x"),
              (Strings{L"C:\\Program Files\\Kelvad32.exe", L"a.prn", L"-P", L"b c.prn", L"x"}));
    // Quotes may open and close anywhere in a parameter and are dropped.
    EXPECT_EQ(SplitCommandLine(L"prog a\"b c\"d \"\" \"e"), (Strings{L"prog", L"ab cd", L"", L"e"}));
    EXPECT_EQ(SplitCommandLine(L"   "), Strings{});
    // U+3000 and U+4E20 are no separators, though the low byte of U+4E20 is a blank.
    EXPECT_EQ(SplitCommandLine(L"prog C:\\表\\ﾌｧｲﾙ.prn\u3000\u4e20"),
              (Strings{L"prog", L"C:\\表\\ﾌｧｲﾙ.prn\u3000\u4e20"}));
}

TEST(IsPrintSwitch, AnyPieceOfTheSwitchTextCountsCaseSensitively) {
    for (const wchar_t* yes :
         {L"-p", L"-P", L"/p", L"/P", L"p", L"P", L"/", L"-", L" ", L"-p -P", L"P /p", L" -p -P /p /P "}) {
        EXPECT_TRUE(IsPrintSwitch(yes)) << yes;
    }
    for (const wchar_t* no :
         {L"-print", L"-pp", L"-p-P", L"/p/P", L"x", L"a.prn", L"-q", L"", L" -p -P /p /P  ", L"－p"}) {
        EXPECT_FALSE(IsPrintSwitch(no)) << no;
    }
}

TEST(ParseCommandLine, FileNamesKeepTheirOrderWhereverTheSwitchStands) {
    const WideCommandLine both = ParseCommandLine(L"Kelvad32.exe a.prn -P b.prn");
    EXPECT_EQ(both.fileNames, (Strings{L"a.prn", L"b.prn"}));
    EXPECT_TRUE(both.autoPrint);

    // A name Shift-JIS cannot hold, and a full-width "－p", are file names like any other.
    const std::wstring korean = L"한글.prn";
    const WideCommandLine files =
        ParseCommandLine(L"\"C:\\K 1\\Kelvad32.exe\" -print \"C:\\my dir\\表.prn\" \"\" " + korean + L" －p");
    EXPECT_EQ(files.fileNames, (Strings{L"-print", L"C:\\my dir\\表.prn", korean, L"－p"}));
    EXPECT_FALSE(files.autoPrint);

    // The program path is never taken, even when it looks like a switch.
    const WideCommandLine none = ParseCommandLine(L"p");
    EXPECT_TRUE(none.fileNames.empty());
    EXPECT_FALSE(none.autoPrint);

    const WideCommandLine switches = ParseCommandLine(L"Kelvad32.exe /p -P p");
    EXPECT_TRUE(switches.fileNames.empty());
    EXPECT_TRUE(switches.autoPrint);
}

TEST(ParseCommandLine, PrinterAndUsageOptionsStandAnywhere) {
    // Quoted either way, in either case, the last one counts; "/D" without a colon, "D:" and "-?x" are file names.
    const WideCommandLine a = ParseCommandLine(L"k -D:x a.prn \"/d:Label P\" -P /D /Dx:a D:a -?x");
    EXPECT_EQ(a.fileNames, (std::vector<std::wstring>{L"a.prn", L"/D", L"/Dx:a", L"D:a", L"-?x"}));
    EXPECT_EQ(a.printerName, std::optional<std::wstring>(L"Label P"));
    EXPECT_TRUE(a.autoPrint && !a.showUsage);
    const WideCommandLine b = ParseCommandLine(L"k /?  /D:\"\\\\server\\Label P\"");
    EXPECT_EQ(b.printerName, std::optional<std::wstring>(L"\\\\server\\Label P"));
    EXPECT_TRUE(b.showUsage && b.fileNames.empty() && !b.autoPrint);
}

} // namespace
} // namespace kelvad
