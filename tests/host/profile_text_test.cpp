#include <gtest/gtest.h>

#include "settings/profile_text.h"
#include "settings/profile_values.h"

namespace kelvad {
namespace {

TEST(ProfileText, ReadsByTheRulesOfTheProfileCalls) {
    const ProfileText text("lead=before any section\r\n"
                           "[Config]\r\n"
                           "  CommandFlag = 0 \r\n"
                           "commandflag=1\r\n"
                           "Quoted=\"  a b  \"\r\n"
                           "Single=' x '\r\n"
                           "Half=\"x\r\n"
                           "Inner=a\"b\"\r\n"
                           "NoValue\r\n"
                           "\r\n"
                           "[ command1 ]\n"
                           "説明=初期化\n"
                           "コマンド=\x1b@\x1a\x0c\n"
                           "[Command1]\r\n"
                           "説明=second section of the same name\r\n"
                           "[表]\r\n"
                           "ソ=trail bytes 0x5C\r\n");
    const std::vector<std::tuple<const char*, const char*, std::optional<std::string>>> table = {
        {"Config", "CommandFlag", "0"},
        {"CONFIG", " commandFLAG ", "0"},
        {"Config", "Quoted", "  a b  "},
        {"Config", "Single", " x "},
        {"Config", "Half", "\"x"},
        {"Config", "Inner", "a\"b\""},
        {"Config", "NoValue", std::nullopt},
        {"Config", "lead", std::nullopt},
        {"Command1", "説明", "初期化"},
        // A form feed is a blank (QuoteProfileValue guards it); 0x1A is not.
        {"Command1", "コマンド", "\x1b@\x1a"},
        // "コ" and "ビ" differ only in a trail byte that looks like 'R' and 'r'.
        {"Command1", "ビマンド", std::nullopt},
        {"表", "ソ", "trail bytes 0x5C"},
        {"Missing", "k", std::nullopt},
    };
    for (const auto& [section, key, expected] : table)
        EXPECT_EQ(text.Value(section, key), expected) << section << "/" << key;
}

TEST(ProfileText, WritesKeepEveryOtherLineAndReadBackExactly) {
    ProfileText text("; kept\n[Config]\nCommandFlag=1\n\n[Option]\r\nIsPrnFile=1\r\n[Command2]\r\nx=1\r\n");
    text.Set("config", "commandflag", "0");
    text.Set("Config", "PlaceShowCmd", "1");
    text.Set("Command1", "コマンド", QuoteProfileValue("  \"q\" \x1b"));
    text.Set("Command1", "説明", "初期化");
    text.EraseSection("COMMAND2");
    EXPECT_EQ(text.Bytes(), "; kept\r\n[Config]\r\nCommandFlag=0\r\nPlaceShowCmd=1\r\n\r\n[Option]\r\nIsPrnFile=1\r\n"
                            "[Command1]\r\nコマンド=\"  \"q\" \x1b\"\r\n説明=初期化\r\n");
    EXPECT_EQ(ProfileText(text.Bytes()).Value("Command1", "コマンド"), "  \"q\" \x1b");
    EXPECT_EQ(ProfileText(text.Bytes()).Bytes(), text.Bytes());
    EXPECT_FALSE(text.HasSection("Command2"));
}

} // namespace
} // namespace kelvad
