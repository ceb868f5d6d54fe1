// Works another program's windows the way a user would, for the end-to-end tests.
//
//   drive_window.exe click CAPTION TEXT [N]   presses the enabled button (or check box, radio button) TEXT;
//                                             the N-th one (from 0) of those with that text
//   drive_window.exe settext CAPTION N TEXT   puts TEXT into the N-th edit field (from 0) of the window
//   drive_window.exe minimize CAPTION         minimizes the window as its minimize button does
//   drive_window.exe close CAPTION            closes the window as its close box does
//
// CAPTION is the caption of a visible, enabled top-level window, waited for up to 30 s; so is the control.
// Exit status 0 when done, 1 when the window or control did not come in time.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kTimeout = 30000;

struct Search {
    std::string text;
    bool edits = false;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (search->edits) {
        if (lstrcmpiA(name, "Edit") == 0)
            search->found.push_back(hwnd);
    } else if (lstrcmpiA(name, "Button") == 0 && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        char text[512] = {};
        GetWindowTextA(hwnd, text, sizeof text);
        if (search->text == text)
            search->found.push_back(hwnd);
    }
    return TRUE;
}

// Polls until find() gives a window or the time is up.
template <class Find> HWND WaitFor(Find find) {
    DWORD start = GetTickCount();
    do {
        if (HWND hwnd = find())
            return hwnd;
        Sleep(50);
    } while (GetTickCount() - start < kTimeout);
    return nullptr;
}

HWND TopWindow(const char* caption) {
    return WaitFor([&]() -> HWND {
        HWND hwnd = FindWindowA(nullptr, caption);
        return hwnd && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) ? hwnd : nullptr;
    });
}

HWND Control(HWND top, const std::string& text, bool edits, int index) {
    return WaitFor([&]() -> HWND {
        Search search{text, edits, {}};
        EnumChildWindows(top, Collect, reinterpret_cast<LPARAM>(&search));
        return index < static_cast<int>(search.found.size()) ? search.found[static_cast<size_t>(index)] : nullptr;
    });
}

int Fail(const char* what, const char* name) {
    std::fprintf(stderr, "drive_window: no %s %s\n", what, name);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: drive_window click|settext|minimize|close CAPTION [ARGS]\n");
        return 64;
    }
    const std::string command = argv[1];
    HWND top = TopWindow(argv[2]);
    if (!top)
        return Fail("window", argv[2]);
    if (command == "click" && (argc == 4 || argc == 5)) {
        HWND button = Control(top, argv[3], false, argc == 5 ? std::atoi(argv[4]) : 0);
        if (!button)
            return Fail("button", argv[3]);
        // Posted: the press may open a modal dialog, which a sent message would wait for.
        PostMessageA(button, BM_CLICK, 0, 0);
    } else if (command == "settext" && argc == 5) {
        HWND edit = Control(top, "", true, std::atoi(argv[3]));
        if (!edit)
            return Fail("edit field", argv[3]);
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
    } else if (command == "minimize") {
        PostMessageA(top, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (command == "close") {
        PostMessageA(top, WM_CLOSE, 0, 0);
    } else {
        return Fail("command", command.c_str());
    }
    return 0;
}
