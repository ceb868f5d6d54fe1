// Answers a message box of another program, for the end-to-end tests.
//
//   press_ok.exe CAPTION [TIMEOUT_MS]
//
// Waits for a dialog box whose caption is CAPTION, prints its text (UTF-8), then presses its OK button and waits until
// the box has gone.
// Exit status 0 when a box was answered, 1 when none came in time.
#include "tool_text.h"

#include <cstdlib>

int main() {
    const std::vector<std::wstring> arguments = tool::Arguments();
    if (arguments.empty()) {
        std::fprintf(stderr, "usage: press_ok CAPTION [TIMEOUT_MS]\n");
        return 64;
    }
    const std::wstring& caption = arguments[0];
    DWORD timeout = arguments.size() > 1 ? std::wcstoul(arguments[1].c_str(), nullptr, 10) : 30000;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout) {
        HWND box = FindWindowW(L"#32770", caption.c_str());
        if (box && IsWindowVisible(box)) {
            tool::PrintLine(tool::MessageBoxText(box));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            // Gone before this ends: a second press_ok for the next box must not find this one again.
            while (IsWindow(box) && IsWindowVisible(box) && GetTickCount() - start < timeout + 30000)
                Sleep(20);
            return 0;
        }
        Sleep(50);
    }
    tool::PrintError(L"no box captioned " + caption);
    return 1;
}
