#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

// The command line's arguments as the system gives them, in UTF-16, so that names of files and printers reach
// the benchmark whole, whatever the ANSI code page holds.
inline std::vector<std::wstring> WideArguments() {
    int count = 0;
    LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 0; list && i < count; ++i)
        arguments.emplace_back(list[i]);
    LocalFree(list);
    return arguments;
}
