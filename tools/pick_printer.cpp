// Reads and picks a row of another program's list box for the end-to-end tests, through the "W" functions only,
// so that a row no code page can hold is read and matched whole.
//
//   pick_printer.exe CAPTION ROW
//
// Waits up to 30 seconds for the visible window captioned CAPTION, prints each row of its list box that holds
// ROW as a line of UTF-8, and clicks ROW there as a user would. Exit status 0 when the row was found and clicked.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD kTimeout = 30000;

std::string Utf8(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                        nullptr);
    return bytes;
}

std::wstring Caption(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::vector<std::wstring> Rows(HWND list) {
    std::vector<std::wstring> rows;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring row(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        row.resize(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row.data()))));
        rows.push_back(row);
    }
    return rows;
}

struct Search {
    std::wstring caption;
    std::vector<HWND> lists;
};

BOOL CALLBACK CollectLists(HWND hwnd, LPARAM data) {
    wchar_t className[32] = {};
    GetClassNameW(hwnd, className, 32);
    if (lstrcmpiW(className, L"ListBox") == 0)
        reinterpret_cast<Search*>(data)->lists.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK FindTop(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    if (IsWindowVisible(hwnd) && Caption(hwnd) == search->caption)
        EnumChildWindows(hwnd, CollectLists, data);
    return search->lists.empty();
}

bool Pick(const std::wstring& caption, const std::wstring& wanted) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kTimeout) {
        Search search{caption, {}};
        EnumWindows(FindTop, reinterpret_cast<LPARAM>(&search));
        for (HWND list : search.lists) {
            const std::vector<std::wstring> rows = Rows(list);
            for (std::size_t i = 0; i < rows.size(); ++i) {
                if (rows[i] != wanted)
                    continue;
                for (const std::wstring& row : rows)
                    std::printf("%s\n", Utf8(row).c_str());
                RECT item{};
                SendMessageW(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
                const LPARAM at = MAKELPARAM(item.left + 5, (item.top + item.bottom) / 2);
                SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
                SendMessageW(list, WM_LBUTTONUP, 0, at);
                return true;
            }
        }
        Sleep(100);
    }
    return false;
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const bool picked = argv && argc == 3 && Pick(argv[1], argv[2]);
    if (!picked)
        std::fprintf(stderr, "no row to pick\n");
    LocalFree(argv);
    return picked ? 0 : 1;
}
