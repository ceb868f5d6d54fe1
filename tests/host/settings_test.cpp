#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "settings/profile_values.h"
#include "settings/program_paths.h"
#include "settings/settings_file.h"

namespace kelvad {
namespace {

// Sections and keys in memory, with a log of the writes and erasures in the order they came.
class MemoryStore : public ProfileStore {
public:
    std::map<std::string, std::map<std::string, std::string>> sections;
    std::vector<std::string> log;
    std::string Read(const std::string& section, const std::string& key, const std::string& defaultValue) override {
        auto s = sections.find(section);
        if (s == sections.end() || !s->second.count(key))
            return defaultValue;
        return s->second.at(key);
    }
    void Write(const std::string& section, const std::string& key, const std::string& value) override {
        log.push_back(section + "/" + key + "=" + value);
        sections[section][key] = value;
    }
    void EraseSection(const std::string& section) override {
        log.push_back("erase " + section);
        sections.erase(section);
    }
};

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
        MemoryStore store;
        store.sections["Option"]["TopMargin"] = text;
        IniFile ini(store);
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
    MemoryStore store;
    auto fill = [&](int n, const std::string& description, const std::string& command) {
        if (!description.empty())
            store.sections["Command" + std::to_string(n)]["説明"] = description;
        if (!command.empty())
            store.sections["Command" + std::to_string(n)]["コマンド"] = command;
    };
    fill(1, "初期化", "\x1b@");
    fill(3, "改ページ", "\x0c");
    fill(4, "説明だけ", "");
    fill(5, "", "コマンドだけ");
    fill(21, "範囲外", "x");
    IniFile ini(store);
    const std::vector<CommandEntry> entries = ReadCommandSections(ini);
    EXPECT_EQ(entries, (std::vector<CommandEntry>{{"初期化", "\x1b@"}, {"改ページ", "\x0c"}}));

    WriteCommandSections(ini, entries);
    // A form feed alone is a blank to some readers: it goes inside quotes.
    std::vector<std::string> expected = {"Command1/説明=初期化", "Command1/コマンド=\x1b@", "Command2/説明=改ページ",
                                         "Command2/コマンド=\"\x0c\""};
    for (int n = 3; n <= 20; ++n)
        expected.push_back("erase Command" + std::to_string(n));
    EXPECT_EQ(store.log, expected);
    EXPECT_EQ(store.sections.count("Command21"), 1u) << "Command21 and above are never touched";

    // More than the catalogue holds: the first 20 are written and nothing is erased.
    store.log.clear();
    WriteCommandSections(ini, std::vector<CommandEntry>(21, {"d", "c"}));
    EXPECT_EQ(store.log.size(), 40u);
    EXPECT_EQ(store.log.back(), "Command20/コマンド=c");
}

TEST(SettingsSections, ConfigAndOptionsComeBackAsWrittenUnderTheDesignKeys) {
    MemoryStore store;
    IniFile ini(store);
    const StoredConfig config{
        .fileMode = false, .showCmd = 2, .minX = -1, .minY = 3, .maxX = 4, .maxY = 5, .left = 16, .top = 68};
    WriteConfig(ini, config);
    // Left, right, top, bottom, then the flags in the order of their declaration.
    WriteOptions(ini, OutputOptions{1, 2, 3, 4, false, false, true, true, true});
    const std::vector<std::string> written = store.log;
    EXPECT_EQ(written,
              (std::vector<std::string>{"Config/CommandFlag=0", "Config/PlaceShowCmd=2", "Config/PlaceMinPos.X=-1",
                                        "Config/PlaceMinPos.Y=3", "Config/PlaceMaxPos.X=4", "Config/PlaceMaxPos.Y=5",
                                        "Config/PlaceNormalPos.Left=16", "Config/PlaceNormalPos.Top=68",
                                        "Option/TopMargin=3", "Option/BottomMargin=4", "Option/LeftMargin=1",
                                        "Option/RightMargin=2", "Option/IsPrnFile=0", "Option/IsStretch=0",
                                        "Option/IsReverse=1", "Option/IsMarginZero=1", "Option/IsDeleteFile=1"}));
    EXPECT_EQ(ReadConfig(ini, {}), config);
    store.log.clear();
    WriteConfig(ini, ReadConfig(ini, {}));
    WriteOptions(ini, ReadOptions(ini));
    EXPECT_EQ(store.log, written) << "what is read is what was written";

    // Nothing stored: the placement given and the options' own defaults.
    MemoryStore empty;
    IniFile none(empty);
    EXPECT_EQ(ReadConfig(none, config), config);
    WriteOptions(none, ReadOptions(none));
    EXPECT_EQ(std::vector<std::string>(empty.log.begin(), empty.log.begin() + 5),
              (std::vector<std::string>{"Option/TopMargin=20", "Option/BottomMargin=20", "Option/LeftMargin=20",
                                        "Option/RightMargin=20", "Option/IsPrnFile=1"}));
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
