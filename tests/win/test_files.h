#pragma once
// Files for the Win32 tests: temporary input files, and the files where the test printers' jobs land. Paths are
// Shift-JIS, as the tests write them, and reach the system through the "W" functions whatever its code page.
#include <windows.h>

#include <algorithm>
#include <string>

#include "base/codepage.h"
#include "ui/handle.h"

namespace kelvad::testing {

// A folder of the tests' own under the temporary folder, with a trailing backslash.
inline std::string TempDir() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    std::string dir = ToShiftJis(base).bytes + "kelvad_tests\\";
    CreateDirectoryW(ToWide(dir).c_str(), nullptr);
    return dir;
}

inline std::string WriteTempFile(const std::string& name, const std::string& content) {
    std::string path = TempDir() + name;
    ui::FileHandle file(CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    return path;
}

inline std::string ReadWholeFile(const std::string& path) {
    ui::FileHandle file(CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    std::string content;
    char buffer[65536];
    DWORD read = 0;
    while (file && ::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        content.append(buffer, read);
    return content;
}

inline bool Exists(const std::string& path) {
    return GetFileAttributesW(ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The settings file of the running test program (its own path with the extension ".INI").
inline std::string SettingsFile() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::string settings = ToShiftJis(path).bytes;
    return settings.substr(0, settings.rfind('.')) + ".INI";
}

// Removes the settings file, read-only or not, and the profile calls' cached copy of it.
inline void RemoveSettingsFile() {
    const std::wstring path = ToWide(SettingsFile());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

// Where a test printer's jobs land (KELVAD_OUT, set by scripts/env.sh), as a Windows path.
inline std::string PrinterOutputFile(const std::string& name) {
    char out[MAX_PATH] = {};
    GetEnvironmentVariableA("KELVAD_OUT", out, MAX_PATH);
    std::string path = std::string("Z:") + out + "/" + name;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

} // namespace kelvad::testing
