// Drives the windows of another program for the end-to-end tests, as a user would, and writes test pictures.
//
//   drive_setup.exe STEP...
//
//   click:TEXT            clicks the visible control captioned TEXT (a button, check box or radio button)
//   clickat:CAPTION:X:Y   clicks the control at client point X,Y of the program's window captioned CAPTION
//   ok:TEXT               presses OK in a message box whose caption contains TEXT; prints the box's text
//   idle:CAPTION          waits until the program's window CAPTION takes input again (a run has ended)
//   close:CAPTION         closes the program's window captioned CAPTION
//   emf:PATH              writes a 400 × 300 enhanced metafile: a red quarter at the left, a green band at the
//                         top, blue elsewhere
//
// Each step waits up to 30 seconds for its window. Exit status 0 when every step was done, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kTimeout = 30000;

struct Search {
    const char* text;
    HWND found;
};

BOOL CALLBACK FindChildByText(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) && std::string(text) == search->text) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindTopWithChild(HWND hwnd, LPARAM data) {
    if (!IsWindowVisible(hwnd))
        return TRUE;
    EnumChildWindows(hwnd, FindChildByText, data);
    return reinterpret_cast<Search*>(data)->found ? FALSE : TRUE;
}

BOOL CALLBACK FindBoxByCaption(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    char className[32] = {}, caption[1024] = {};
    GetClassNameA(hwnd, className, sizeof className);
    GetWindowTextA(hwnd, caption, sizeof caption);
    if (IsWindowVisible(hwnd) && std::string(className) == "#32770" &&
        std::string(caption).find(search->text) != std::string::npos) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct Edits {
    std::vector<HWND> found;
};

BOOL CALLBACK CollectEdits(HWND hwnd, LPARAM data) {
    char className[32] = {};
    GetClassNameA(hwnd, className, sizeof className);
    if (lstrcmpiA(className, "Edit") == 0)
        reinterpret_cast<Edits*>(data)->found.push_back(hwnd);
    return TRUE;
}

template <class Find> HWND WaitFor(Find find) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kTimeout) {
        if (HWND hwnd = find())
            return hwnd;
        Sleep(50);
    }
    return nullptr;
}

// The visible program window of that caption (the hidden application window and message boxes may share it).
HWND TopWindow(const std::string& caption) {
    return WaitFor([&]() -> HWND {
        for (HWND hwnd = nullptr; (hwnd = FindWindowExA(nullptr, hwnd, "UiForm", caption.c_str())) != nullptr;)
            if (IsWindowVisible(hwnd))
                return hwnd;
        return nullptr;
    });
}

bool Click(HWND control) {
    if (!control)
        return false;
    PostMessageA(control, BM_CLICK, 0, 0);
    // The click is handled before the next step looks at the windows.
    Sleep(300);
    return true;
}

bool WriteMetafile(const std::string& path) {
    HDC screen = GetDC(nullptr);
    const int mmX = GetDeviceCaps(screen, HORZSIZE) * 100, pxX = GetDeviceCaps(screen, HORZRES);
    const int mmY = GetDeviceCaps(screen, VERTSIZE) * 100, pxY = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
    RECT frame{0, 0, 400 * mmX / pxX, 300 * mmY / pxY};
    HDC dc = CreateEnhMetaFileA(nullptr, path.c_str(), &frame, nullptr);
    if (!dc)
        return false;
    auto fill = [&](int l, int t, int r, int b, COLORREF colour) {
        HBRUSH brush = CreateSolidBrush(colour);
        RECT rect{l, t, r, b};
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
    };
    fill(0, 0, 400, 300, RGB(0, 0, 255));
    fill(0, 0, 100, 300, RGB(255, 0, 0));
    fill(100, 0, 400, 75, RGB(0, 255, 0));
    HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    DeleteEnhMetaFile(metafile);
    return metafile != nullptr;
}

bool Step(const std::string& step) {
    const std::size_t colon = step.find(':');
    const std::string verb = step.substr(0, colon), rest = colon == std::string::npos ? "" : step.substr(colon + 1);
    if (verb == "click") {
        Search search{rest.c_str(), nullptr};
        return Click(WaitFor([&] {
            EnumWindows(FindTopWithChild, reinterpret_cast<LPARAM>(&search));
            return search.found;
        }));
    }
    if (verb == "clickat") {
        const std::size_t a = rest.rfind(':', rest.rfind(':') - 1), b = rest.rfind(':');
        HWND top = TopWindow(rest.substr(0, a));
        POINT at{std::atoi(rest.substr(a + 1, b - a - 1).c_str()), std::atoi(rest.substr(b + 1).c_str())};
        return top && Click(ChildWindowFromPoint(top, at));
    }
    if (verb == "ok") {
        Search search{rest.c_str(), nullptr};
        HWND box = WaitFor([&] {
            EnumWindows(FindBoxByCaption, reinterpret_cast<LPARAM>(&search));
            return search.found;
        });
        if (!box)
            return false;
        char text[4096] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        std::printf("%s\n", text);
        std::fflush(stdout);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
    }
    if (verb == "idle") {
        HWND top = TopWindow(rest);
        Sleep(500);
        return top && WaitFor([&] { return IsWindowEnabled(top) ? top : nullptr; });
    }
    if (verb == "close") {
        HWND top = TopWindow(rest);
        return top && PostMessageA(top, WM_CLOSE, 0, 0);
    }
    if (verb == "text") {
        const std::size_t a = rest.find(':'), b = rest.find(':', a + 1);
        HWND top = TopWindow(rest.substr(0, a));
        const std::size_t index = static_cast<std::size_t>(std::atoi(rest.substr(a + 1, b - a - 1).c_str()));
        Edits edits;
        if (top)
            EnumChildWindows(top, CollectEdits, reinterpret_cast<LPARAM>(&edits));
        if (index >= edits.found.size())
            return false;
        const std::string text = rest.substr(b + 1);
        // Sent: the field has its text, and its owner has heard of the change, before the next step.
        SendMessageA(edits.found[index], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return true;
    }
    if (verb == "emf")
        return WriteMetafile(rest);
    return false;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (!Step(argv[i])) {
            std::fprintf(stderr, "step failed: %s\n", argv[i]);
            return 1;
        }
    }
    return 0;
}
