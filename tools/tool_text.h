// Texts of the test tools, whatever the system's code page: arguments and window texts are taken in UTF-16,
// compared in UTF-16, and printed as UTF-8 (the scripts' own encoding).
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tool {

inline std::string Utf8(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    std::string bytes(
        static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr);
    return bytes;
}

// The arguments after the program's name, as the system holds them (never through the ANSI code page).
inline std::vector<std::wstring> Arguments() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> result;
    for (int i = 1; i < count; ++i)
        result.emplace_back(arguments[i]);
    LocalFree(arguments);
    return result;
}

// One line on standard output in UTF-8.
inline void PrintLine(std::wstring_view text) {
    const std::string line = Utf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

// One line on standard error in UTF-8.
inline void PrintError(std::wstring_view text) {
    const std::string line = Utf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

// A window's text; asked by message, since GetWindowText does not ask a window of another process.
inline std::wstring WindowText(HWND hwnd) {
    const auto length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length < 0 ? 0 : length) + 1, L'\0');
    const auto copied = SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied < 0 ? 0 : copied));
    return text;
}

inline std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
    return name;
}

// Item `index` of a list box of another process, asked in UTF-16.
inline std::wstring ListItem(HWND list, int index) {
    const auto length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length < 0)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const auto copied = SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied < 0 ? 0 : copied));
    return text;
}

// The text of a message box: its static control, id 0xFFFF.
inline std::wstring MessageBoxText(HWND box) {
    wchar_t text[4096] = {};
    GetDlgItemTextW(box, 0xFFFF, text, static_cast<int>(std::size(text)));
    return text;
}

inline BOOL CALLBACK CollectChild(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

// Every child window, depth first in z-order (a form's controls in tab order).
inline std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

// The window that has the keyboard focus in hwnd's thread.
inline HWND FocusOf(HWND hwnd) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info) ? info.hwndFocus : nullptr;
}

// Prints a window's caption, then the text of each visible child that has one, and a list box's items indented
// by two blanks, so that a script compares what a user reads.
inline void PrintTexts(HWND top) {
    PrintLine(WindowText(top));
    for (HWND child : Children(top)) {
        if (!IsWindowVisible(child))
            continue;
        if (const std::wstring text = WindowText(child); !text.empty())
            PrintLine(text);
        if (lstrcmpiW(ClassOf(child).c_str(), L"ListBox") == 0) {
            const auto count = static_cast<int>(SendMessageW(child, LB_GETCOUNT, 0, 0));
            for (int i = 0; i < count; ++i)
                PrintLine(L"  " + ListItem(child, i));
        }
    }
}

// Waits until the program that owns `window` has handled every message posted to it before this call: a
// marker posted to a list box of its main window (the item data of row 0, which the program does not use) comes
// back only once the messages ahead of it have been taken from its queue. Sent messages would jump the queue.
// Returns false when the marker did not come back within `timeout` (the program is gone or hung).
inline bool Settle(HWND window, DWORD timeout = 60000) {
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    HWND list = nullptr;
    for (HWND top = nullptr; !list && (top = FindWindowExW(nullptr, top, L"UiForm", L"Kelvad32")) != nullptr;) {
        if (GetWindowThreadProcessId(top, nullptr) != thread)
            continue;
        for (HWND child : Children(top))
            if (lstrcmpiW(ClassOf(child).c_str(), L"ListBox") == 0 && SendMessageW(child, LB_GETCOUNT, 0, 0) > 0) {
                list = child;
                break;
            }
    }
    if (!list)
        return !IsWindow(window);
    static LPARAM marker = static_cast<LPARAM>(GetCurrentProcessId()) << 8;
    ++marker;
    PostMessageW(list, LB_SETITEMDATA, 0, marker);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout) {
        DWORD_PTR data = 0;
        if (!IsWindow(list))
            return true;
        if (SendMessageTimeoutW(list, LB_GETITEMDATA, 0, 0, SMTO_NORMAL, 1000, &data) && static_cast<LPARAM>(data) == marker)
            return true;
        Sleep(20);
    }
    return false;
}

} // namespace tool
