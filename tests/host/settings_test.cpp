#include <gtest/gtest.h>

#include <tuple>

#include "settings/profile_values.h"
#include "settings/program_paths.h"
#include "settings/settings_file.h"

namespace kelvad {
namespace {

TEST(SettingsFilePath, ProgramPathWithTheExtensionIni) {
    EXPECT_EQ(SettingsFilePath(L"C:\\TOOLS\\Kelvad32.EXE"), L"C:\\TOOLS\\Kelvad32.INI");
    EXPECT_EQ(SettingsFilePath(L"C:\\表示\\Kelvad32"), L"C:\\表示\\Kelvad32.INI");
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

TEST(SettingsValues, IntegersMarginsAndBooleansReadByTheirRules) {
    // A stored "TopMargin" and what it reads as (default 20, at most 50).
    const std::vector<std::pair<std::string, std::int32_t>> margins = {{"80", 50},
                                                                       {"-5", -5},
                                                                       {"0x1E", 30},
                                                                       {"0X1e", 30},
                                                                       {"$1E", 30},
                                                                       {"$1e", 30},
                                                                       {"abc", 20},
                                                                       {"", 20},
                                                                       {"  7", 7},
                                                                       {"+12", 12},
                                                                       {"12 ", 20},
                                                                       {"1e3", 20},
                                                                       {"0x", 20},
                                                                       {"$", 20},
                                                                       {"0x1G", 20},
                                                                       {"-$1", 20},
                                                                       {"2147483648", 20},
                                                                       {"-0", 0},
                                                                       {"-2147483648", INT32_MIN},
                                                                       {"0xFFFFFFFF", -1},
                                                                       {"0x100000000", 20},
                                                                       {"- 5", 20},
                                                                       {"007", 7}};
    for (const auto& [text, expected] : margins) {
        ProfileText file;
        file.Set("Option", "TopMargin", QuoteProfileValue(text));
        IniFile ini(file);
        EXPECT_EQ(ReadOptions(ini).TopMargin, expected) << '"' << text << '"';
    }
    EXPECT_EQ(ParseProfileInteger("2147483647", 0), 2147483647);

    // (text, default) -> value
    const std::vector<std::tuple<std::string, bool, bool>> booleans = {
        {"true", false, false}, {"true", true, true},  {"2", false, true},  {"0", true, false}, {"1", false, true},
        {"-1", false, true},    {"0x10", false, true}, {"yes", true, true}, {"", false, false}, {"", true, true}};
    for (const auto& [text, defaultValue, expected] : booleans)
        EXPECT_EQ(ParseProfileBoolean(text, defaultValue), expected) << '"' << text << "\" default " << defaultValue;
}

TEST(SettingsValues, CommandSectionsReadWithoutGapsAndWrittenBackFromOne) {
    ProfileText file;
    auto fill = [&](int n, const std::string& description, const std::string& command) {
        if (!description.empty())
            file.Set("Command" + std::to_string(n), "説明", QuoteProfileValue(description));
        if (!command.empty())
            file.Set("Command" + std::to_string(n), "コマンド", QuoteProfileValue(command));
    };
    fill(1, "初期化", "\x1b@");
    fill(3, "改ページ", "\x0c");
    fill(4, "説明だけ", "");
    fill(5, "", "コマンドだけ");
    fill(21, "範囲外", "x");
    IniFile ini(file);
    const std::vector<CommandEntry> entries = ReadCommandSections(ini);
    EXPECT_EQ(entries, (std::vector<CommandEntry>{{"初期化", "\x1b@"}, {"改ページ", "\x0c"}}));
    EXPECT_FALSE(ini.Changed());

    WriteCommandSections(ini, entries);
    // A form feed alone is a blank to some readers: it goes inside quotes. Command21 and above are never touched.
    EXPECT_EQ(file.Bytes(),
              "[Command1]\r\n説明=初期化\r\nコマンド=\x1b@\r\n[Command21]\r\n説明=範囲外\r\nコマンド=x\r\n"
              "[Command2]\r\n説明=改ページ\r\nコマンド=\"\x0c\"\r\n");

    // More than the catalogue holds: the first 20 are written and nothing is erased.
    WriteCommandSections(ini, std::vector<CommandEntry>(21, {"d", "c"}));
    EXPECT_EQ(ReadCommandSections(ini), std::vector<CommandEntry>(20, {"d", "c"}));
    EXPECT_EQ(ini.ReadString("Command21", "説明", ""), "範囲外");
}

TEST(SettingsSections, ConfigAndOptionsComeBackAsWrittenUnderTheDesignKeys) {
    ProfileText file;
    IniFile ini(file);
    const StoredConfig config{
        .fileMode = false, .showCmd = 2, .minX = -1, .minY = 3, .maxX = 4, .maxY = 5, .left = 16, .top = 68};
    WriteConfig(ini, config);
    // Left, right, top, bottom, then the flags in the order of their declaration.
    WriteOptions(ini, OutputOptions{1, 2, 3, 4, false, false, true, true, true});
    const std::string written = file.Bytes();
    EXPECT_EQ(written, "[Config]\r\nCommandFlag=0\r\nPlaceShowCmd=2\r\nPlaceMinPos.X=-1\r\nPlaceMinPos.Y=3\r\n"
                       "PlaceMaxPos.X=4\r\nPlaceMaxPos.Y=5\r\nPlaceNormalPos.Left=16\r\nPlaceNormalPos.Top=68\r\n"
                       "[Option]\r\nTopMargin=3\r\nBottomMargin=4\r\nLeftMargin=1\r\nRightMargin=2\r\nIsPrnFile=0\r\n"
                       "IsStretch=0\r\nIsReverse=1\r\nIsMarginZero=1\r\nIsDeleteFile=1\r\n");
    EXPECT_EQ(ReadConfig(ini, {}), config);
    WriteConfig(ini, ReadConfig(ini, {}));
    WriteOptions(ini, ReadOptions(ini));
    EXPECT_EQ(file.Bytes(), written) << "what is read is what was written";

    // Nothing stored: the placement given and the options' own defaults; erasing what is not there changes nothing.
    ProfileText empty;
    IniFile none(empty);
    EXPECT_EQ(ReadConfig(none, config), config);
    none.EraseSection("Command1");
    EXPECT_FALSE(none.Changed());
    WriteOptions(none, ReadOptions(none));
    EXPECT_TRUE(none.Changed());
    const std::string head =
        "[Option]\r\nTopMargin=20\r\nBottomMargin=20\r\nLeftMargin=20\r\nRightMargin=20\r\nIsPrnFile=1\r\n";
    EXPECT_EQ(empty.Bytes().substr(0, head.size()), head);
}

TEST(SettingsValues, ValuesTheReaderWouldChangeAreWrittenInsideOneMorePairOfQuotes) {
    // What the profile reader does with a stored value: surrounding blanks and one pair of enclosing quotes go.
    auto platformRead = [](std::string v) {
        const auto blank = " \t";
        v.erase(0, v.find_first_not_of(blank) == std::string::npos ? v.size() : v.find_first_not_of(blank));
        v.erase(v.find_last_not_of(blank) + 1);
        if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
            v = v.substr(1, v.size() - 2);
        return v;
    };
    const std::vector<std::pair<std::string, std::string>> cases = {{"plain", "plain"},
                                                                    {"in \"the\" middle", "in \"the\" middle"},
                                                                    {"", ""},
                                                                    {"\"", "\""},
                                                                    {"\"open", "\"open"},
                                                                    {"'a\"", "'a\""},
                                                                    {"  lead", "\"  lead\""},
                                                                    {"trail\t", "\"trail\t\""},
                                                                    {"\"q\"", "\"\"q\"\""},
                                                                    {"'q'", "\"'q'\""},
                                                                    {" \"both\" ", "\" \"both\" \""},
                                                                    {"コマンド", "コマンド"}};
    for (const auto& [value, written] : cases) {
        EXPECT_EQ(QuoteProfileValue(value), written) << value;
        EXPECT_EQ(platformRead(QuoteProfileValue(value)), value) << value;
    }
}

} // namespace
} // namespace kelvad
