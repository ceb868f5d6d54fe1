// Holds a file open and shared with nobody, as backup, sync and scanning tools do, for the end-to-end tests.
//
//   hold_file.exe FILE MARKER [TIMEOUT_MS]
//
// Opens FILE with no sharing, then creates MARKER, and keeps FILE open until MARKER is gone (or TIMEOUT_MS,
// 120000, have passed), so that a script knows when the file is held and says when to let it go.
// Exit status 0 after holding it, 1 when FILE could not be opened.
#include "tool_text.h"

#include <cstdlib>

int main() {
    const std::vector<std::wstring> arguments = tool::Arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: hold_file FILE MARKER [TIMEOUT_MS]\n");
        return 64;
    }
    const DWORD timeout = arguments.size() > 2 ? std::wcstoul(arguments[2].c_str(), nullptr, 10) : 120000;
    HANDLE file = CreateFileW(arguments[0].c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        tool::PrintError(L"cannot open " + arguments[0]);
        return 1;
    }
    HANDLE marker = CreateFileW(arguments[1].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(marker);
    const DWORD start = GetTickCount();
    while (GetFileAttributesW(arguments[1].c_str()) != INVALID_FILE_ATTRIBUTES && GetTickCount() - start < timeout)
        Sleep(50);
    CloseHandle(file);
    return 0;
}
