// Entry point of the Win32 test program, run under Wine on a virtual display.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "ui/application.h"

int main(int argc, char** argv) {
    // Every text of the program is Shift-JIS: without code page 932 the tests would compare garbage.
    if (GetACP() != 932) {
        std::fprintf(stderr, "FATAL: the ANSI code page is %u, not 932. Run under the ja_JP.UTF-8 locale "
                             "(scripts/wine does this).\n", GetACP());
        return 2;
    }
    testing::InitGoogleTest(&argc, argv);
    ui::App().Initialize(GetModuleHandleA(nullptr));
    return RUN_ALL_TESTS();
}
