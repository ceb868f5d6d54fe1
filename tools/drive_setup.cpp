// Drives the windows of another program for the end-to-end tests, as a user would, and writes test pictures.
//
//   drive_setup.exe STEP...
//
//   click:TEXT            clicks the visible control captioned TEXT (a button, check box or radio button)
//   clickat:CAPTION:X:Y   clicks the control at client point X,Y of the program's window captioned CAPTION
//   ok:TEXT               presses OK in a message box whose caption contains TEXT; prints the box's text
//   texts:CAPTION         prints the texts of the program's window CAPTION and of its visible controls
//   idle:CAPTION          waits until the program's window CAPTION takes input again (a run has ended)
//   close:CAPTION         closes the program's window captioned CAPTION
//   emf:PATH              writes a 400 × 300 enhanced metafile: a red quarter at the left, a green band at the
//                         top, blue elsewhere
//
// Texts are given and printed in UTF-8 and compared in UTF-16, whatever the system's code page. Each step waits
// up to 60 seconds for its window. Exit status 0 when every step was done, 1 otherwise.
#include "tool_text.h"

#include <cstdlib>

namespace {

constexpr DWORD kTimeout = 60000;

struct Search {
    std::wstring text;
    HWND found;
};

BOOL CALLBACK FindChildByText(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) && tool::WindowText(hwnd) == search->text) {
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
    if (IsWindowVisible(hwnd) && tool::ClassOf(hwnd) == L"#32770" &&
        tool::WindowText(hwnd).find(search->text) != std::wstring::npos) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct Edits {
    std::vector<HWND> found;
};

BOOL CALLBACK CollectEdits(HWND hwnd, LPARAM data) {
    if (lstrcmpiW(tool::ClassOf(hwnd).c_str(), L"Edit") == 0)
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
HWND TopWindow(const std::wstring& caption) {
    return WaitFor([&]() -> HWND {
        for (HWND hwnd = nullptr; (hwnd = FindWindowExW(nullptr, hwnd, L"UiForm", caption.c_str())) != nullptr;)
            if (IsWindowVisible(hwnd))
                return hwnd;
        return nullptr;
    });
}

// A click as a user makes it: only on a control whose window takes input, and handled (its handler started, or
// returned) before the next step looks at the windows.
bool Click(HWND control) {
    if (!control || !WaitFor([&] { return IsWindowEnabled(GetAncestor(control, GA_ROOT)) ? control : nullptr; }))
        return false;
    PostMessageW(control, BM_CLICK, 0, 0);
    return tool::Settle(control, kTimeout);
}

bool WriteMetafile(const std::wstring& path) {
    HDC screen = GetDC(nullptr);
    const int mmX = GetDeviceCaps(screen, HORZSIZE) * 100, pxX = GetDeviceCaps(screen, HORZRES);
    const int mmY = GetDeviceCaps(screen, VERTSIZE) * 100, pxY = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
    RECT frame{0, 0, 400 * mmX / pxX, 300 * mmY / pxY};
    HDC dc = CreateEnhMetaFileW(nullptr, path.c_str(), &frame, nullptr);
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

bool Step(const std::wstring& step) {
    const std::size_t colon = step.find(L':');
    const std::wstring verb = step.substr(0, colon), rest = colon == std::wstring::npos ? L"" : step.substr(colon + 1);
    if (verb == L"click") {
        Search search{rest, nullptr};
        return Click(WaitFor([&] {
            EnumWindows(FindTopWithChild, reinterpret_cast<LPARAM>(&search));
            return search.found;
        }));
    }
    if (verb == L"clickat") {
        const std::size_t a = rest.rfind(L':', rest.rfind(L':') - 1), b = rest.rfind(L':');
        HWND top = TopWindow(rest.substr(0, a));
        POINT at{std::wcstol(rest.substr(a + 1, b - a - 1).c_str(), nullptr, 10),
                 std::wcstol(rest.substr(b + 1).c_str(), nullptr, 10)};
        return top && Click(ChildWindowFromPoint(top, at));
    }
    if (verb == L"ok") {
        Search search{rest, nullptr};
        HWND box = WaitFor([&] {
            EnumWindows(FindBoxByCaption, reinterpret_cast<LPARAM>(&search));
            return search.found;
        });
        if (!box)
            return false;
        tool::PrintLine(tool::MessageBoxText(box));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box) ? box : nullptr; }) != nullptr;
    }
    if (verb == L"texts") {
        HWND top = TopWindow(rest);
        if (top)
            tool::PrintTexts(top);
        return top != nullptr;
    }
    if (verb == L"idle") {
        HWND top = TopWindow(rest);
        return top && tool::Settle(top, kTimeout) && WaitFor([&] { return IsWindowEnabled(top) ? top : nullptr; });
    }
    if (verb == L"close") {
        HWND top = TopWindow(rest);
        return top && PostMessageW(top, WM_CLOSE, 0, 0);
    }
    if (verb == L"text") {
        const std::size_t a = rest.find(L':'), b = rest.find(L':', a + 1);
        HWND top = TopWindow(rest.substr(0, a));
        const auto index = static_cast<std::size_t>(std::wcstol(rest.substr(a + 1, b - a - 1).c_str(), nullptr, 10));
        Edits edits;
        if (top)
            EnumChildWindows(top, CollectEdits, reinterpret_cast<LPARAM>(&edits));
        if (index >= edits.found.size())
            return false;
        const std::wstring text = rest.substr(b + 1);
        // Sent: the field has its text, and its owner has heard of the change, before the next step.
        SendMessageW(edits.found[index], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return true;
    }
    if (verb == L"emf")
        return WriteMetafile(rest);
    return false;
}

} // namespace

int main() {
    for (const std::wstring& step : tool::Arguments()) {
        if (!Step(step)) {
            tool::PrintError(L"step failed: " + step);
            return 1;
        }
    }
    return 0;
}
