#include <gtest/gtest.h>

#include "base/codepage.h"
#include "settings/profile_file.h"
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

// Text of the Basic Multilingual Plane in an encoding, with its mark.
std::string Encoded(std::u16string_view text, ProfileEncoding encoding) {
    if (encoding == ProfileEncoding::Utf8)
        return "\xEF\xBB\xBF" + ToUtf8(std::wstring(text.begin(), text.end()));
    const bool little = encoding == ProfileEncoding::Utf16Le;
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (const char16_t c : text) {
        bytes += static_cast<char>(little ? c & 0xFF : c >> 8);
        bytes += static_cast<char>(little ? c >> 8 : c & 0xFF);
    }
    return bytes;
}

TEST(ProfileFile, AMarkedFileIsReadAsShiftJisAndWrittenBackInItsEncodingWithUnchangedLinesAsTheyWere) {
    // 한 cannot be Shift-JIS: its line comes back as it was unless the program changes that key.
    const std::u16string_view file = u"[Config]\r\nCommandFlag=0\r\n[Command1]\r\n説明=한 表\r\nコマンド=\x1b@\r\n"
                                     u"; 한\n[Option]\nTopMargin=11";
    const std::u16string_view saved = u"[Config]\r\nCommandFlag=1\r\n[Command1]\r\n説明=한 表\r\nコマンド=\x1b@\r\n"
                                      u"; 한\r\n[Option]\r\nTopMargin=11\r\nIsReverse=1\r\n[Command2]\r\n説明=?\r\n";
    for (const ProfileEncoding encoding : {ProfileEncoding::Utf16Le, ProfileEncoding::Utf16Be, ProfileEncoding::Utf8}) {
        std::optional<ProfileFile> profile = ProfileFile::FromBytes(Encoded(file, encoding));
        ASSERT_TRUE(profile);
        ProfileText& text = profile->Text();
        EXPECT_EQ(text.Value("config", "CommandFlag"), "0");
        EXPECT_EQ(text.Value("Command1", "コマンド"), "\x1b@");
        text.Set("Config", "CommandFlag", "1");
        text.Set("Command1", "説明", *text.Value("Command1", "説明"));
        text.Set("Command2", "説明", "?");
        text.Set("Option", "TopMargin", "11");
        text.Set("Option", "IsReverse", "1");
        EXPECT_EQ(profile->Bytes(), Encoded(saved, encoding)) << static_cast<int>(encoding);
    }
    // Without a mark: Shift-JIS byte for byte. A UTF-32 mark is an encoding the store does not read.
    const std::string plain = "[Command1]\r\n説明=\x81\x9d\r\n";
    EXPECT_EQ(ProfileFile::FromBytes(plain)->Bytes(), plain);
    EXPECT_FALSE(ProfileFile::FromBytes(std::string("\xFF\xFE\0\0[\0\0\0", 8)));
    EXPECT_FALSE(ProfileFile::FromBytes(std::string("\0\0\xFE\xFF\0\0\0[", 8)));
}

} // namespace
} // namespace kelvad
