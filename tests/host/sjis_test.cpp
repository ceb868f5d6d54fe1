#include <gtest/gtest.h>

#include "base/sjis.h"

namespace kelvad {
namespace {

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
