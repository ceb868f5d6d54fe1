// Answers a message box of another program, for the end-to-end tests.
//
//   press_ok.exe CAPTION [TIMEOUT_MS]
//
// Waits for a dialog box whose caption is CAPTION, prints its text, then presses its OK button.
// Exit status 0 when a box was answered, 1 when none came in time.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: press_ok CAPTION [TIMEOUT_MS]\n");
        return 64;
    }
    DWORD timeout = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 30000;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout) {
        HWND box = FindWindowA("#32770", argv[1]);
        if (box && IsWindowVisible(box)) {
            char text[4096] = {};
            // The text of a message box is its static control, id 0xFFFF.
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            std::printf("%s\n", text);
            std::fflush(stdout);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return 0;
        }
        Sleep(50);
    }
    std::fprintf(stderr, "no box captioned %s\n", argv[1]);
    return 1;
}
