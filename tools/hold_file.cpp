// Holds files open as another program may, for the end-to-end tests: for reading, with no sharing at all, so that
// no other process can open them for reading or writing meanwhile.
//
//   hold_file.exe PATH...
//
// Opens every PATH, prints "held" (or the path that could not be opened, with exit status 1), then keeps them
// open until its standard input ends, and closes them.
#include "tool_text.h"

int main() {
    const std::vector<std::wstring> paths = tool::Arguments();
    if (paths.empty()) {
        std::fprintf(stderr, "usage: hold_file PATH...\n");
        return 64;
    }
    std::vector<HANDLE> held;
    for (const std::wstring& path : paths) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            tool::PrintError(L"cannot open " + path);
            return 1;
        }
        held.push_back(file);
    }
    tool::PrintLine(L"held");
    char buffer[256];
    DWORD read = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    }
    for (HANDLE file : held)
        CloseHandle(file);
    return 0;
}
