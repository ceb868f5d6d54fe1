// Holds files open as another program may, for the end-to-end tests: for reading, with no sharing at all, so that
// no other process can open them for reading or writing meanwhile.
//
//   hold_file.exe RELEASE PATH...
//
// Opens every PATH, prints "held" (or the path that could not be opened, with exit status 1), then keeps them
// open until the file RELEASE exists (two minutes at most), and closes them.
#include "tool_text.h"

int main() {
    const std::vector<std::wstring> arguments = tool::Arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: hold_file RELEASE PATH...\n");
        return 64;
    }
    std::vector<HANDLE> held;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        HANDLE file =
            CreateFileW(arguments[i].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            tool::PrintError(L"cannot open " + arguments[i]);
            return 1;
        }
        held.push_back(file);
    }
    tool::PrintLine(L"held");
    const DWORD start = GetTickCount();
    while (GetFileAttributesW(arguments[0].c_str()) == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < 120000)
        Sleep(50);
    for (HANDLE file : held)
        CloseHandle(file);
    return 0;
}
