#include "base/codepage.h"
#include "output/now_printing_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/win/layout_check.h"
#include "ui/animate_zoom.h"

namespace kelvad {
namespace {

// GetVersion values: major version in the low byte, minor in the next, build in the high word.
constexpr DWORD kWindowsNt4 = MAKELONG(MAKEWORD(4, 0), 1381);
constexpr DWORD kWindowsXp = MAKELONG(MAKEWORD(5, 1), 2600);

SIZE ClientSize(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return {rect.right, rect.bottom};
}

std::wstring WindowText(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

LONG_PTR Style(HWND window) {
    return GetWindowLongPtrW(window, GWL_STYLE);
}

// Removes a posted Escape key from the queue; true when it was still there.
bool TakePostedEscape(HWND window) {
    MSG msg;
    bool found = false;
    while (PeekMessageW(&msg, window, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE))
        found = found || msg.wParam == VK_ESCAPE;
    return found;
}

// Sends a system command with an Escape key waiting in the queue, which ends a sizing or moving loop at
// once should the command start one. True when the command left the Escape key alone (it was swallowed).
bool SysCommandLeavesQueueAlone(HWND window, WPARAM command) {
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    SendMessageW(window, WM_SYSCOMMAND, command, 0);
    return TakePostedEscape(window);
}

TEST(NowPrinting, WindowAndControlsAsDesigned) {
    TNowPrinting window(nullptr);
    const HWND hwnd = window.Handle();
    ASSERT_NE(hwnd, nullptr);
    const SIZE client = ClientSize(hwnd);
    EXPECT_EQ(client.cx, layout_test::Design(hwnd, 296));
    EXPECT_EQ(client.cy, layout_test::Design(hwnd, 113));
    EXPECT_EQ(WindowText(hwnd), L"印刷中");
    EXPECT_NE(Style(hwnd) & WS_CAPTION, WS_CAPTION) << "no caption bar";
    EXPECT_TRUE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_FALSE(window.IsVisible()) << "shown by the print run, not on creation";

    layout_test::ExpectLayout(hwnd, {window.co_Abort.Handle()});
    EXPECT_EQ(window.Label1.WideCaption(), L"印刷中");
    EXPECT_EQ(window.l_FileName.WideCaption(), L"");
    EXPECT_EQ(window.Gauge1.Value(), 0);
    EXPECT_EQ(window.co_Abort.WideCaption(), L"中止(&A&ﾁ)");
    EXPECT_EQ(window.co_Abort.Hint(), "印刷を中止します");
    EXPECT_EQ(window.co_Abort.TabOrder(), 0);
    EXPECT_NE(window.co_Abort.Glyph(), nullptr);
    EXPECT_EQ(window.co_Abort.NumGlyphs(), 2);
    EXPECT_FALSE(window.Aborted());
}

TEST(NowPrinting, SizingFrameOnlyOnMajorVersionFour) {
    EXPECT_EQ(NowPrintingStyle(kWindowsNt4), DWORD(WS_POPUP | WS_THICKFRAME));
    EXPECT_EQ(NowPrintingStyle(kWindowsXp), DWORD(WS_POPUP | WS_BORDER));
    EXPECT_EQ(NowPrintingStyle(MAKELONG(MAKEWORD(10, 0), 19045)), DWORD(WS_POPUP | WS_BORDER));

    // The real windows get the style and keep the designed client size either way.
    for (DWORD version : {kWindowsNt4, kWindowsXp, GetVersion()}) {
        SCOPED_TRACE(version);
        TNowPrinting window(nullptr, version);
        const LONG_PTR style = Style(window.Handle());
        EXPECT_TRUE(style & WS_POPUP);
        const bool majorFour = LOBYTE(LOWORD(version)) == 4;
        EXPECT_EQ((style & WS_THICKFRAME) != 0, majorFour);
        EXPECT_EQ((style & WS_BORDER) != 0, !majorFour);
        EXPECT_FALSE(style & WS_DLGFRAME);
        const SIZE client = ClientSize(window.Handle());
        EXPECT_EQ(client.cx, 296);
        EXPECT_EQ(client.cy, 113);
    }
}

TEST(NowPrinting, AbortClickOnlyRaisesTheFlag) {
    TNowPrinting window(nullptr);
    window.Show();
    window.ShowFile(L"C:\\data\\a.prn");
    SendMessageW(window.co_Abort.Handle(), BM_CLICK, 0, 0);
    window.ProcessMessages();
    EXPECT_TRUE(window.Aborted());
    // A second click changes nothing; the click itself shows nothing of the abort.
    SendMessageW(window.co_Abort.Handle(), BM_CLICK, 0, 0);
    window.ProcessMessages();
    EXPECT_TRUE(window.Aborted());
    EXPECT_EQ(window.Label1.WideCaption(), L"印刷中");
    EXPECT_TRUE(window.l_FileName.IsVisible());
    EXPECT_TRUE(window.IsVisible());
}

TEST(NowPrinting, AbortIsSeenAfterTheFirstBlockOfEveryFileAndClosingAborts) {
    TNowPrinting window(nullptr);
    window.Show();
    window.ShowFile(L"C:\\a.prn");
    window.ProcessMessages(); // the first block of the first file
    window.ShowFile(L"C:\\b.prn");
    PostMessageW(window.co_Abort.Handle(), BM_CLICK, 0, 0);
    window.ProcessMessages(); // the first block of the next file, at once
    EXPECT_TRUE(window.Aborted());

    // Alt+F4 on the window is an abort; the window stays up for the rest of the run.
    TNowPrinting closed(nullptr);
    closed.Show();
    SendMessageW(closed.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(closed.Aborted());
    EXPECT_TRUE(closed.IsVisible());
}

TEST(NowPrinting, ShowFileThenAbortingState) {
    TNowPrinting window(nullptr);
    window.Show();
    const std::string path = "C:\\ﾃﾞｰﾀ\\印刷用\\sample & more.prn";
    window.ShowFile(kelvad::ToWide(path));
    EXPECT_EQ(window.l_FileName.WideCaption(), kelvad::ToWide(path));
    const RECT shown = layout_test::PlaceInParent(window.l_FileName.Handle());
    EXPECT_EQ(shown.left, 72);
    EXPECT_GT(shown.right - shown.left, 150) << "the label grows to fit the path";
    EXPECT_TRUE(window.l_FileName.IsVisible());

    window.ShowAborting();
    EXPECT_FALSE(window.l_FileName.IsVisible());
    EXPECT_EQ(window.Label1.WideCaption(), L"印刷中止処理中");
    const RECT state = layout_test::PlaceInParent(window.Label1.Handle());
    EXPECT_EQ(state.left, 16);
    EXPECT_EQ(state.top, 16);
    EXPECT_GT(state.right - state.left, 52 * 2) << "the whole state text is shown";
    EXPECT_FALSE(GetUpdateRect(window.Handle(), nullptr, FALSE)) << "repainted at once";
}

TEST(NowPrinting, SetPercentClampsAndRepaintsOnlyOnChange) {
    TNowPrinting window(nullptr);
    window.Show();
    window.SetPercent(150);
    EXPECT_EQ(window.Gauge1.Value(), 100);
    window.SetPercent(-3);
    EXPECT_EQ(window.Gauge1.Value(), 0);
    window.SetPercent(42);
    EXPECT_EQ(window.Gauge1.Value(), 42);

    const HWND gauge = window.Gauge1.Handle();
    window.Repaint();
    ASSERT_FALSE(GetUpdateRect(gauge, nullptr, FALSE));
    window.SetPercent(42);
    EXPECT_FALSE(GetUpdateRect(gauge, nullptr, FALSE)) << "same percentage: nothing to paint";
    window.SetPercent(43);
    EXPECT_TRUE(GetUpdateRect(gauge, nullptr, FALSE));
    window.Repaint();
    EXPECT_FALSE(GetUpdateRect(gauge, nullptr, FALSE));
}

TEST(NowPrinting, FrameOffersNoSizing) {
    // With the sizing frame of the NT 4 style the default hit test finds the edges; the window hides them.
    TNowPrinting window(nullptr, kWindowsNt4);
    window.Show();
    const HWND hwnd = window.Handle();
    RECT outer{};
    GetWindowRect(hwnd, &outer);
    const int midX = (outer.left + outer.right) / 2;
    const int midY = (outer.top + outer.bottom) / 2;
    const std::vector<POINT> edges = {{outer.left, midY},
                                      {outer.right - 1, midY},
                                      {midX, outer.top},
                                      {midX, outer.bottom - 1},
                                      {outer.left, outer.top},
                                      {outer.right - 1, outer.bottom - 1},
                                      {outer.left, outer.bottom - 1},
                                      {outer.right - 1, outer.top}};
    for (const POINT& point : edges) {
        SCOPED_TRACE(testing::Message() << point.x << "," << point.y);
        const LPARAM where = MAKELPARAM(point.x, point.y);
        const LRESULT plain = DefWindowProcW(hwnd, WM_NCHITTEST, 0, where);
        EXPECT_GE(plain, HTLEFT);
        EXPECT_LE(plain, HTBOTTOMRIGHT);
        EXPECT_EQ(SendMessageW(hwnd, WM_NCHITTEST, 0, where), HTNOWHERE);
    }
    EXPECT_EQ(SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(midX, outer.top + 20)), HTCLIENT);

    // Size commands, from the system menu or from a frame drag (low bits = edge), are dropped.
    EXPECT_TRUE(SysCommandLeavesQueueAlone(hwnd, SC_SIZE));
    EXPECT_TRUE(SysCommandLeavesQueueAlone(hwnd, SC_SIZE | WMSZ_BOTTOMRIGHT));
    RECT after{};
    GetWindowRect(hwnd, &after);
    EXPECT_TRUE(EqualRect(&outer, &after));
    // Other commands take their usual course: the move loop ends on the waiting Escape key.
    EXPECT_FALSE(SysCommandLeavesQueueAlone(hwnd, SC_MOVE));
}

// The screen pixels of a rectangle, as 32-bit values.
std::vector<DWORD> Grab(const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    std::memcpy(pixels.data(), bits, pixels.size() * sizeof(DWORD));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Grabs the screen from another thread while the animation runs on this one, until a grab differs from `before`.
struct MidAnimationGrabs {
    RECT area{};
    std::vector<DWORD> before;
    volatile LONG changed = 0, stop = 0;

    static DWORD WINAPI Run(void* self) {
        auto& state = *static_cast<MidAnimationGrabs*>(self);
        while (!state.stop && !state.changed)
            if (Grab(state.area) != state.before)
                InterlockedExchange(&state.changed, 1);
        return 0;
    }
};

TEST(AnimateZoom, DrawsWhileRunningAndLeavesTheScreenAsItWas) {
    TNowPrinting window(nullptr);
    window.SetPosition(300, 200);
    window.Show();
    window.Repaint();
    const HWND button = window.co_Abort.Handle();
    MidAnimationGrabs during;
    during.area = {0, 0, 800, 600};
    during.before = Grab(during.area);

    HANDLE grabber = CreateThread(nullptr, 0, &MidAnimationGrabs::Run, &during, 0, nullptr);
    ASSERT_NE(grabber, nullptr);
    // On a loaded machine the grabbing thread may first run only after an animation: animate until it has seen one.
    for (int round = 0; round < 100 && !during.changed; ++round) {
        ui::AnimateZoom(window.Handle(), button);
        ui::AnimateZoom(button, window.Handle());
    }
    InterlockedExchange(&during.stop, 1);
    WaitForSingleObject(grabber, INFINITE);
    CloseHandle(grabber);
    ui::AnimateZoom(window.Handle(), window.Handle());

    EXPECT_TRUE(Grab(during.area) == during.before);
    EXPECT_TRUE(during.changed) << "an outline is on the screen while the animation runs";
}

} // namespace
} // namespace kelvad
