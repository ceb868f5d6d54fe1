#include "output/now_printing_win.h"

#include "base/resource_ids.h"
#include "ui/application.h"

namespace kelvad {

namespace {

const ui::FontSpec kGothic13{"ＭＳ ゴシック", 13};
const char* const kPrinting = "印刷中";
// Milliseconds between two dispatches of pending messages while a file goes out.
constexpr DWORD kDispatchInterval = 10;

} // namespace

DWORD NowPrintingStyle(DWORD platformVersion) {
    return WS_POPUP | (LOBYTE(LOWORD(platformVersion)) == 4 ? WS_THICKFRAME : WS_BORDER);
}

TNowPrinting::TNowPrinting(HWND owner, DWORD platformVersion) {
    onCreate = [this] { FormCreate(); };
    HINSTANCE instance = GetModuleHandleW(nullptr);
    Create({
        .clientWidth = 296,
        .clientHeight = 113,
        .caption = kPrinting,
        .style = NowPrintingStyle(platformVersion),
        .exStyle = WS_EX_TOPMOST,
        .font = kGothic13,
        .owner = owner,
        .icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_MAINICON)),
        // The sizing frame of some platforms only gives the window its raised edge.
        .fixedSize = true,
    });
}

void TNowPrinting::CreateControls() {
    co_Abort.Create({
        .parent = this,
        .left = 104,
        .top = 80,
        .width = 81,
        .height = 25,
        .caption = "中止(&A&ﾁ)",
        .hint = "印刷を中止します",
        .tabOrder = 0,
        .font = {},
    });
    co_Abort.SetGlyphResource(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_ABORT), 2);
    co_Abort.onClick = [this] { co_AbortClick(); };
    Gauge1.Create({.parent = this, .left = 16, .top = 48, .width = 265, .height = 25, .hint = "", .font = {}});
    Label1.Create({
        .parent = this,
        .left = 16,
        .top = 16,
        .width = 52,
        .height = 16,
        .caption = kPrinting,
        .hint = "",
        .font = {"ＭＳ ゴシック", 16, true},
    });
    l_FileName.Create({
        .parent = this,
        .left = 72,
        .top = 15,
        .caption = "",
        .hint = "",
        .font = {"ＭＳ ゴシック", 17, false, RGB(0, 0, 0)},
        .autoSize = true,
    });
}

void TNowPrinting::FormCreate() {
    aborted_ = false;
}

void TNowPrinting::co_AbortClick() {
    aborted_ = true;
}

bool TNowPrinting::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // Closing the window (Alt+F4) is an abort; the window stays up until the run ends.
    if (msg == WM_CLOSE) {
        co_AbortClick();
        result = 0;
        return true;
    }
    return ui::Form::HandleMessage(msg, wParam, lParam, result);
}

void TNowPrinting::ShowFile(const std::wstring& path) {
    l_FileName.SetCaption(path);
    changed_ = true;
    // An abort pressed during the first block of every file is seen right after that block.
    RestartMessageClock();
}

void TNowPrinting::SetPercent(int percent) {
    int shown = Gauge1.Value();
    Gauge1.SetValue(percent);
    changed_ = changed_ || Gauge1.Value() != shown;
}

// Painting asks the window system even when nothing is invalid; the spool loop repaints after every
// block, so the window paints only when what it shows has changed (other damage is painted by the
// WM_PAINT that message processing dispatches).
void TNowPrinting::Repaint() {
    if (!changed_)
        return;
    changed_ = false;
    Form::Repaint();
}

// Each look at the message queue is a round trip to the window system, which the spool loop would
// otherwise make after every 8 KiB block. The first call for each file dispatches at once (an abort pressed
// during the first block is seen right after it); later calls dispatch when kDispatchInterval has passed.
void TNowPrinting::ProcessMessages() {
    DWORD now = GetTickCount();
    if (dispatched_ && now - lastDispatch_ < kDispatchInterval)
        return;
    dispatched_ = true;
    lastDispatch_ = now;
    ui::App().ProcessMessages();
}

void TNowPrinting::ShowAborting() {
    l_FileName.SetVisible(false);
    Label1.SetCaption("印刷中止処理中");
    // The label is laid out for "印刷中": widen it so that the longer state text is not cut off.
    Label1.AdjustSize();
    changed_ = true;
    Repaint();
}

} // namespace kelvad
