#include <gtest/gtest.h>

#include "app/command_line.h"
#include "settings/program_paths.h"
#include "base/sjis.h"

namespace kelvad {
namespace {

using Strings = std::vector<std::string>;

TEST(SplitCommandLine, BlanksAndControlCharactersSeparateOutsideQuotes) {
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\Kelvad32.exe\"  a.prn\t-P \"b c.prn\"\x01x"),
              (Strings{"C:\\Program Files\\Kelvad32.exe", "a.prn", "-P", "b c.prn", "x"}));
    // Quotes may open and close anywhere in a parameter and are dropped.
    EXPECT_EQ(SplitCommandLine("prog a\"b c\"d \"\" \"e"), (Strings{"prog", "ab cd", "", "e"}));
    EXPECT_EQ(SplitCommandLine("   "), Strings{});
    // Bytes above 0x7F (double-byte file names, half-width katakana) belong to the parameter.
    EXPECT_EQ(SplitCommandLine("prog C:\\表\\ﾌｧｲﾙ.prn"), (Strings{"prog", "C:\\表\\ﾌｧｲﾙ.prn"}));
}

TEST(IsPrintSwitch, AnyPieceOfTheSwitchTextCountsCaseSensitively) {
    for (const char* yes : {"-p", "-P", "/p", "/P", "p", "P", "/", "-", " ", "-p -P", "P /p", " -p -P /p /P "}) {
        EXPECT_TRUE(IsPrintSwitch(yes)) << yes;
    }
    for (const char* no : {"-print", "-pp", "-p-P", "/p/P", "x", "a.prn", "-q", "", " -p -P /p /P  "}) {
        EXPECT_FALSE(IsPrintSwitch(no)) << no;
    }
}

TEST(ParseCommandLine, FileNamesKeepTheirOrderWhereverTheSwitchStands) {
    const CommandLine both = ParseCommandLine("Kelvad32.exe a.prn -P b.prn");
    EXPECT_EQ(both.fileNames, (Strings{"a.prn", "b.prn"}));
    EXPECT_TRUE(both.autoPrint);

    const CommandLine files = ParseCommandLine("Kelvad32.exe -print \"C:\\my dir\\表.prn\" \"\"");
    EXPECT_EQ(files.fileNames, (Strings{"-print", "C:\\my dir\\表.prn"}));
    EXPECT_FALSE(files.autoPrint);

    // The program path is never taken, even when it looks like a switch.
    const CommandLine none = ParseCommandLine("p");
    EXPECT_TRUE(none.fileNames.empty());
    EXPECT_FALSE(none.autoPrint);

    const CommandLine switches = ParseCommandLine("Kelvad32.exe /p -P p");
    EXPECT_TRUE(switches.fileNames.empty());
    EXPECT_TRUE(switches.autoPrint);
}

TEST(ParseCommandLine, TheWideLineFollowsTheSameRules) {
    // U+3000 and U+4E20 are no separators, though the low byte of U+4E20 is a blank.
    const std::wstring korean = L"한글.prn\u3000\u4e20";
    const WideCommandLine wide = ParseCommandLine(L"\"C:\\K 1\\Kelvad32.exe\" " + korean + L" -P \"\" \"a b\" －p");
    EXPECT_EQ(wide.fileNames, (std::vector<std::wstring>{korean, L"a b", L"－p"}));
    EXPECT_TRUE(wide.autoPrint);
}

TEST(ParseCommandLine, PrinterAndUsageOptionsStandAnywhere) {
    // Quoted either way, in either case, the last one counts; "/D" without a colon, "D:" and "-?x" are file names.
    const WideCommandLine a = ParseCommandLine(std::wstring_view(L"k -D:x a.prn \"/d:Label P\" -P /D /Dx:a D:a -?x"));
    EXPECT_EQ(a.fileNames, (std::vector<std::wstring>{L"a.prn", L"/D", L"/Dx:a", L"D:a", L"-?x"}));
    EXPECT_EQ(a.printerName, std::optional<std::wstring>(L"Label P"));
    EXPECT_TRUE(a.autoPrint && !a.showUsage);
    const WideCommandLine b = ParseCommandLine(std::wstring_view(L"k /?  /D:\"\\\\server\\Label P\""));
    EXPECT_EQ(b.printerName, std::optional<std::wstring>(L"\\\\server\\Label P"));
    EXPECT_TRUE(b.showUsage && b.fileNames.empty() && !b.autoPrint);
}

TEST(ChangeFileExt, ReplacesTheExtensionOfTheFileNameOnly) {
    EXPECT_EQ(ChangeFileExt(L"C:\\TOOLS\\Kelvad32.EXE", L".HLP"), L"C:\\TOOLS\\Kelvad32.HLP");
    EXPECT_EQ(ChangeFileExt(L"C:\\TOOLS\\Kelvad32", L".HLP"), L"C:\\TOOLS\\Kelvad32.HLP");
    EXPECT_EQ(ChangeFileExt(L"C:\\A.B\\Kelvad32", L".INI"), L"C:\\A.B\\Kelvad32.INI");
    EXPECT_EQ(ChangeFileExt(L"C:Kelvad32.tar.gz", L".HLP"), L"C:Kelvad32.tar.HLP");
    EXPECT_EQ(ChangeFileExt(L"A.B:Kelvad32", L".HLP"), L"A.B:Kelvad32.HLP");
    EXPECT_EQ(ChangeFileExt(L"", L".HLP"), L".HLP");
    // 表 and ソ, whose Shift-JIS forms end in 0x5C, the byte of "\".
    EXPECT_EQ(ChangeFileExt(L"C:\\ソフト\\Kelvad32.表", L".HLP"), L"C:\\ソフト\\Kelvad32.HLP");
    EXPECT_EQ(ChangeFileExt(L"C:\\TOOLS\\表示.EXE", L".HLP"), L"C:\\TOOLS\\表示.HLP");
    EXPECT_EQ(ChangeFileExt(L"C:\\A.B\\ソ", L".HLP"), L"C:\\A.B\\ソ.HLP");
}

TEST(CutAtCharBoundary, NeverSplitsADoubleByteCharacter) {
    EXPECT_EQ(CutAtCharBoundary("abcdef", 4), "abcd");
    EXPECT_EQ(CutAtCharBoundary("abc", 255), "abc");
    EXPECT_EQ(CutAtCharBoundary("aア表", 4), "aア"); // 5 bytes: the cut falls inside 表
    EXPECT_EQ(CutAtCharBoundary("aア表", 5), "aア表");
    EXPECT_EQ(CutAtCharBoundary("ア", 1), "");
    // Half-width katakana are single bytes.
    EXPECT_EQ(CutAtCharBoundary("ﾌｧｲﾙ", 3), "ﾌｧｲ");
    // Both ends of both lead-byte ranges, and the bytes just outside them.
    for (const unsigned char lead : {0x81, 0x9F, 0xE0, 0xFC}) {
        EXPECT_EQ(CutAtCharBoundary(std::string{static_cast<char>(lead), 'a'}, 1), "") << int(lead);
    }
    for (const unsigned char single : {0x7F, 0x80, 0xA0, 0xDF, 0xFD}) {
        const std::string text{static_cast<char>(single), 'a'};
        EXPECT_EQ(CutAtCharBoundary(text, 1), text.substr(0, 1)) << int(single);
    }
}

} // namespace
} // namespace kelvad
