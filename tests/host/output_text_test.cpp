#include <gtest/gtest.h>

#include "output/io_error.h"

namespace kelvad {
namespace {

TEST(IoErrorText, NamesTheCauseOrTheNumber) {
    EXPECT_EQ(IoErrorText(5), "ﾌｧｲﾙへのｱｸｾｽが拒否されました");
    EXPECT_EQ(IoErrorText(2), "ﾌｧｲﾙが見つかりません");
    EXPECT_EQ(IoErrorText(32), "I/O ｴﾗｰ (32)");
    // Half-width katakana are single Shift-JIS bytes.
    EXPECT_EQ(IoErrorText(103), "I/O \xB4\xD7\xB0 (103)");
}

} // namespace
} // namespace kelvad
