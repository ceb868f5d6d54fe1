// Entry point of the Win32 test program, run under Wine on a virtual display.
#include <windows.h>

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
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshSettings);
    ui::App().Initialize(GetModuleHandleW(nullptr));
    return RUN_ALL_TESTS();
}
