// Reads and picks a row of another program's list box for the end-to-end tests, through the "W" functions only,
// so that a row no code page can hold is read and matched whole.
//
//   pick_printer.exe CAPTION ROW
//
// Waits up to 30 seconds for the visible window captioned CAPTION, prints each row of its list box that holds
// ROW as a line of UTF-8, and clicks ROW there as a user would. Exit status 0 when the row was found and clicked.
#include "tool_text.h"

namespace {

constexpr DWORD kTimeout = 30000;

// The list boxes of the visible top-level windows captioned `caption`.
struct Search {
    std::wstring caption;
    std::vector<HWND> lists;
};

BOOL CALLBACK FindTop(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    if (IsWindowVisible(hwnd) && tool::WindowText(hwnd) == search->caption)
        for (HWND child : tool::Children(hwnd))
            if (lstrcmpiW(tool::ClassOf(child).c_str(), L"ListBox") == 0)
                search->lists.push_back(child);
    return search->lists.empty();
}

bool Pick(const std::wstring& caption, const std::wstring& wanted) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kTimeout) {
        Search search{caption, {}};
        EnumWindows(FindTop, reinterpret_cast<LPARAM>(&search));
        for (HWND list : search.lists) {
            std::vector<std::wstring> rows;
            const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
            for (int i = 0; i < count; ++i)
                rows.push_back(tool::ListItem(list, i));
            for (std::size_t i = 0; i < rows.size(); ++i) {
                if (rows[i] != wanted)
                    continue;
                for (const std::wstring& row : rows)
                    tool::PrintLine(row);
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
    const std::vector<std::wstring> arguments = tool::Arguments();
    const bool picked = arguments.size() == 2 && Pick(arguments[0], arguments[1]);
    if (!picked)
        tool::PrintError(L"no row to pick");
    return picked ? 0 : 1;
}
