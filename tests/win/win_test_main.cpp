// Entry point of the Win32 test program, run under Wine on a virtual display.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "test_files.h"
#include "ui/application.h"

namespace {

// Every main window reads the settings file beside the test program: each test starts without one.
class FreshSettings : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { kelvad::testing::RemoveSettingsFile(); }
};

} // namespace

int main(int argc, char** argv) {
    // Every text of the program is Shift-JIS: without code page 932 the tests would compare garbage.
    if (GetACP() != 932) {
        std::fprintf(stderr, "FATAL: the ANSI code page is %u, not 932. Run under the ja_JP.UTF-8 locale "
                             "(scripts/wine does this).\n", GetACP());
        return 2;
    }
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshSettings);
    ui::App().Initialize(GetModuleHandleA(nullptr));
    return RUN_ALL_TESTS();
}
