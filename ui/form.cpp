#include "ui/form.h"

#include "ui/animate_zoom.h"
#include "ui/application.h"
#include "ui/button.h"
#include "ui/control.h"
#include "ui/dpi.h"
#include "ui/error.h"
#include "base/codepage.h"
#include "base/scope_exit.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <utility>

namespace ui {
namespace {

constexpr wchar_t kFormClass[] = L"UiForm";
// Posted by Release: the form destroys itself once the handler that asked for it has returned.
constexpr UINT kReleaseMessage = WM_USER + 0x100;
// The id of the form's own tooltip tool for the hint of a disabled control (other tools are window handles).
constexpr UINT_PTR kDisabledHintTool = 1;
// WM_DPICHANGED, spelt out for headers that keep it from older targets.
constexpr UINT kDpiChangedMessage = 0x02E0;

} // namespace

Form::~Form() {
    for (Control* control : controls_)
        control->parent_ = nullptr;
    if (App().MainForm() == this)
        App().SetMainForm(nullptr);
}

void Form::Create(const CreateArgs& args) {
    RegisterWindowClass(kFormClass, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                        ArrowCursor());
    helpContext = args.helpContext;
    fixedSize_ = args.fixedSize;
    fontSpec_ = args.font;
    clientWidth_ = args.clientWidth;
    clientHeight_ = args.clientHeight;
    // Laid out first at the DPI of the owner's monitor (the system's without an owner), then again at its own.
    dpi_ = args.owner ? WindowDpi(args.owner) : SystemDpi();

    DWORD style = (args.style | WS_CLIPCHILDREN) & ~WS_VISIBLE;
    RECT frame{0, 0, Scale(args.clientWidth, dpi_), Scale(args.clientHeight, dpi_)};
    AdjustFrameForDpi(frame, style, args.exStyle, dpi_);
    const bool centred = args.left == kDefaultPosition || args.top == kDefaultPosition;
    CreateOwnClass(kFormClass, args.caption, style, args.exStyle, centred ? 0 : Scale(args.left, dpi_),
                   centred ? 0 : Scale(args.top, dpi_), frame.right - frame.left, frame.bottom - frame.top, args.owner,
                   nullptr);
    if (const int own = WindowDpi(Handle()); own != dpi_ || own != kDesignDpi) {
        dpi_ = own;
        const RECT outer = OuterRect();
        FitFrame(outer.left, outer.top);
    }
    if (centred)
        CenterOn(args.owner);
    font_ = FontFor(args.font);
    if (!font_)
        font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (args.icon) {
        SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(args.icon));
        SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(args.icon));
    }
    CreateControls();
    if (onCreate) {
        try {
            onCreate();
        } catch (const std::exception& error) {
            App().HandleException(error);
        }
    }
}

void Form::Show() {
    if (!Handle() || IsVisible())
        return;
    if (onShow) {
        try {
            onShow();
        } catch (const std::exception& error) {
            App().HandleException(error);
        }
    }
    if (!Handle())
        return;
    bool minimized = minimizedWhenShown_ || IsIconic(Handle());
    minimizedWhenShown_ = false;
    ShowWindow(Handle(), minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
    if (!minimized)
        FocusFirst();
}

void Form::Hide() {
    if (Handle())
        ShowWindow(Handle(), SW_HIDE);
}

int Form::ShowModal() {
    if (!Handle() || modal_)
        throw Error("このウィンドウはモーダル表示できません");
    HWND owner = GetWindow(Handle(), GW_OWNER);
    bool reenableOwner = owner && IsWindowEnabled(owner);
    if (owner)
        EnableWindow(owner, FALSE);
    modalResult = 0;
    closedByClose_ = false;
    modal_ = true;
    const kelvad::ScopeExit restore([this, owner, reenableOwner] {
        modal_ = false;
        // The owner is enabled before the form is hidden, so that the system activates it.
        if (reenableOwner && IsWindow(owner))
            EnableWindow(owner, TRUE);
        Hide();
    });

    Show();
    auto running = [this] {
        if (!Handle() || !IsWindowVisible(Handle()))
            return false;
        if (modalResult == 0)
            return true;
        // A result set by a button still asks the close query; a refusal keeps the form up.
        if (!closedByClose_ && !QueryClose()) {
            modalResult = 0;
            return true;
        }
        return false;
    };
    MSG msg;
    while (running()) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            App().ProcessMessage(msg);
        } else if (App().CallIdle() && Handle() && IsWindowVisible(Handle()) && modalResult == 0) {
            WaitMessage();
        }
    }
    return modalResult != 0 ? modalResult : IDCANCEL;
}

bool Form::QueryClose() {
    bool canClose = true;
    if (onCloseQuery)
        onCloseQuery(canClose);
    return canClose;
}

bool Form::Close() {
    if (!Handle() || !QueryClose())
        return false;
    if (modal_) {
        if (modalResult == 0)
            modalResult = IDCANCEL;
        closedByClose_ = true;
    } else if (App().MainForm() == this) {
        DestroyHandle();
    } else {
        Hide();
    }
    return true;
}

void Form::Release() {
    if (Handle())
        PostMessageW(Handle(), kReleaseMessage, 0, 0);
}

void Form::SetPosition(int left, int top) {
    if (Handle())
        SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Form::OuterRect() const {
    RECT rect{};
    if (Handle())
        GetWindowRect(Handle(), &rect);
    return rect;
}

void Form::CenterOn(HWND owner) {
    RECT around{};
    if (!owner || !GetWindowRect(owner, &around))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
    const RECT own = OuterRect();
    const int width = own.right - own.left, height = own.bottom - own.top;
    SetPosition(around.left + (around.right - around.left - width) / 2,
                around.top + (around.bottom - around.top - height) / 2);
}

HFONT Form::FontFor(const FontSpec& font) {
    return fonts_.Get(font, Scale, dpi_);
}

void Form::FitFrame(int left, int top) {
    RECT frame{0, 0, Scale(clientWidth_, dpi_), Scale(clientHeight_, dpi_)};
    AdjustFrameForDpi(frame, static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE)),
                      static_cast<DWORD>(GetWindowLongW(Handle(), GWL_EXSTYLE)), dpi_);
    SetWindowPos(Handle(), nullptr, left, top, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // A system that draws the frame at another DPI than it was asked to measure it at: the client area decides.
    RECT client{};
    GetClientRect(Handle(), &client);
    const int wrongWidth = client.right - Scale(clientWidth_, dpi_);
    const int wrongHeight = client.bottom - Scale(clientHeight_, dpi_);
    if (wrongWidth != 0 || wrongHeight != 0)
        SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left - wrongWidth,
                     frame.bottom - frame.top - wrongHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::ChangeDpi(int dpi, const RECT* outer) {
    if (!Handle() || dpi <= 0)
        return;
    // The fonts of the old DPI go once every control has taken its new one.
    const FontCache oldFonts = std::exchange(fonts_, {});
    dpi_ = dpi;
    font_ = FontFor(fontSpec_);
    if (!font_)
        font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    const RECT now = OuterRect();
    FitFrame(outer ? outer->left : now.left, outer ? outer->top : now.top);
    for (Control* control : controls_)
        control->DpiChanged();
    ScaleTooltipFont();
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Form::ScaleTooltipFont() {
    if (!tooltip_)
        return;
    const LOGFONTW status = StatusFont(dpi_);
    GdiObject font(CreateFontIndirectW(&status));
    if (!font)
        return;
    // The old font goes once the tooltip has the new one.
    SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    tooltipFont_ = std::move(font);
}

void Form::KeepOnAMonitor() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!Handle() || !GetWindowPlacement(Handle(), &placement))
        return;
    RECT& normal = placement.rcNormalPosition;
    if (MonitorFromRect(&normal, MONITOR_DEFAULTTONULL))
        return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromRect(&normal, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    const int width = normal.right - normal.left, height = normal.bottom - normal.top;
    const int left = std::max(work.left, std::min(normal.left, work.right - width));
    const int top = std::max(work.top, std::min(normal.top, work.bottom - height));
    normal = {left, top, left + width, top + height};
    // A window not yet shown stays hidden.
    if (!IsWindowVisible(Handle()))
        placement.showCmd = SW_HIDE;
    SetWindowPlacement(Handle(), &placement);
}

void Form::SetMinimized() {
    if (!Handle())
        return;
    if (IsWindowVisible(Handle()))
        ShowWindow(Handle(), SW_MINIMIZE);
    else
        minimizedWhenShown_ = true;
}

void Form::SetNormal() {
    if (!Handle())
        return;
    minimizedWhenShown_ = false;
    if (IsIconic(Handle()) && IsWindowVisible(Handle()))
        ShowWindow(Handle(), SW_RESTORE);
}

bool Form::IsMinimized() const {
    if (!Handle())
        return false;
    return IsIconic(Handle()) || (!IsWindowVisible(Handle()) && minimizedWhenShown_);
}

void Form::Repaint() {
    if (Handle())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

unsigned Form::ShowHelpFor(HWND from) {
    if (!Handle())
        return 0;
    if (!from || (from != Handle() && !IsChild(Handle(), from)))
        from = Handle();
    for (HWND hwnd = from; hwnd; hwnd = GetParent(hwnd)) {
        Window* window = FromHandle(hwnd);
        if (window && window->helpContext != 0) {
            App().ShowHelp(window->helpContext);
            return window->helpContext;
        }
        if (hwnd == Handle())
            break;
    }
    return 0;
}

void Form::AddControl(Control& control) {
    control.sequence_ = nextSequence_++;
    controls_.push_back(&control);
    ArrangeTabOrder();
    if (!control.Hint().empty())
        SetHint(control, control.Hint());
}

void Form::RemoveControl(Control& control) noexcept {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), &control), controls_.end());
    if (activeControl == &control)
        activeControl = nullptr;
    if (defaultButton == &control)
        defaultButton = nullptr;
    if (cancelButton == &control)
        cancelButton = nullptr;
    if (tooltip_ && IsWindow(tooltip_) && control.Handle()) {
        TOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.hwnd = Handle();
        info.uId = reinterpret_cast<UINT_PTR>(control.Handle());
        SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        if (disabledHintOf_ == control.Handle()) {
            info.uId = kDisabledHintTool;
            SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
            disabledHintOf_ = nullptr;
        }
    }
}

void Form::SetHint(Control& control, const std::string& hint) {
    if (!Handle() || !control.Handle())
        return;
    if (!tooltip_) {
        if (hint.empty())
            return;
        // Owned by the form, so it goes with it; WM_DESTROY also destroys it explicitly.
        tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                   App().Instance() ? App().Instance() : GetModuleHandleW(nullptr), nullptr);
        if (!tooltip_)
            ThrowLastError("CreateWindowEx(tooltips)");
        // Made at the system's DPI; a form on a monitor of another DPI shows hints in the font of its own.
        if (dpi_ != SystemDpi())
            ScaleTooltipFont();
    }
    TOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = Handle();
    info.uId = reinterpret_cast<UINT_PTR>(control.Handle());
    SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    if (hint.empty())
        return;
    // The tooltip keeps its own copy of the text.
    std::wstring text = kelvad::ToWide(hint);
    info.lpszText = text.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

// A disabled control gets no mouse messages: they come to the form, which shows the control's hint
// through a tool of its own that covers the control, and relays the mouse to the tooltip itself.
void Form::RelayDisabledHint(const MSG& mouse) {
    if (!tooltip_)
        return;
    POINT at{static_cast<short>(LOWORD(mouse.lParam)), static_cast<short>(HIWORD(mouse.lParam))};
    HWND child = ChildWindowFromPointEx(Handle(), at, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    auto* control =
        child && child != Handle() && !IsWindowEnabled(child) ? dynamic_cast<Control*>(FromHandle(child)) : nullptr;
    HWND hinted = control && !control->Hint().empty() ? child : nullptr;
    TOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = Handle();
    info.uId = kDisabledHintTool;
    if (hinted != disabledHintOf_) {
        if (disabledHintOf_)
            SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        disabledHintOf_ = hinted;
        if (hinted) {
            info.rect = control->Bounds();
            std::wstring text = kelvad::ToWide(control->Hint());
            info.lpszText = text.data();
            SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        }
    }
    MSG relayed = mouse;
    SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void Form::ArrangeTabOrder() {
    std::vector<Control*> ordered;
    for (Control* control : controls_) {
        if (control->Handle())
            ordered.push_back(control);
    }
    // Tab-ordered controls first by their order, then the rest in creation order.
    auto key = [](const Control* c) { return std::make_pair(c->tabOrder_ < 0 ? INT_MAX : c->tabOrder_, c->sequence_); };
    std::sort(ordered.begin(), ordered.end(), [&](const Control* a, const Control* b) { return key(a) < key(b); });
    HWND after = HWND_TOP;
    for (Control* control : ordered) {
        SetWindowPos(control->Handle(), after, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        after = control->Handle();
    }
}

void Form::FocusFirst() {
    HWND focus = GetFocus();
    if (focus && focus != Handle() && IsChild(Handle(), focus))
        return;
    HWND target = nullptr;
    if (activeControl && activeControl->Handle() && IsWindowVisible(activeControl->Handle()) &&
        IsWindowEnabled(activeControl->Handle()))
        target = activeControl->Handle();
    else
        target = GetNextDlgTabItem(Handle(), nullptr, FALSE);
    if (target)
        SetFocus(target);
}

bool Form::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_SYSCOMMAND:
        // A form of fixed size is neither resized nor maximized, whoever asks.
        if (fixedSize_ && ((wParam & 0xFFF0) == SC_SIZE || (wParam & 0xFFF0) == SC_MAXIMIZE)) {
            result = 0;
            return true;
        }
        return false;
    case WM_NCHITTEST:
        if (!fixedSize_)
            return false;
        result = DefaultProc(msg, wParam, lParam);
        if (result >= HTLEFT && result <= HTBOTTOMRIGHT)
            result = HTNOWHERE;
        return true;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        RelayDisabledHint(MSG{Handle(), msg, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}});
        return false;
    case kDpiChangedMessage:
        // Moved to a monitor of another DPI: the suggested place, and the design laid out again at the new DPI.
        ChangeDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        result = 0;
        return true;
    case WM_CLOSE:
        Close();
        result = 0;
        return true;
    case WM_QUERYENDSESSION:
        result = QueryClose() ? TRUE : FALSE;
        return true;
    case DM_GETDEFID:
        if (!defaultButton || !defaultButton->Handle())
            return false;
        result = MAKELRESULT(GetDlgCtrlID(defaultButton->Handle()), DC_HASDEFID);
        return true;
    case WM_COMMAND:
        // IDOK/IDCANCEL from the dialog keys (Enter, Escape) with no control behind them: Escape presses the
        // cancel button, if there is one; nothing else to do.
        if (lParam == 0 && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
            if (LOWORD(wParam) == IDCANCEL && cancelButton)
                cancelButton->Click();
            result = 0;
            return true;
        }
        return false;
    case WM_HELP: {
        auto* info = reinterpret_cast<const HELPINFO*>(lParam);
        ShowHelpFor(info && info->iContextType == HELPINFO_WINDOW ? static_cast<HWND>(info->hItemHandle) : nullptr);
        result = TRUE;
        return true;
    }
    case WM_ACTIVATE:
        result = OnActivate(wParam, lParam);
        return true;
    case WM_DESTROY:
        OnDestroyWindow();
        result = 0;
        return true;
    case kReleaseMessage:
        OnRelease();
        result = 0;
        return true;
    default:
        return false;
    }
}

LRESULT Form::OnActivate(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus))
            savedFocus_ = focus;
        return 0;
    }
    const LRESULT result = DefaultProc(WM_ACTIVATE, wParam, lParam);
    if (!HIWORD(wParam)) {
        if (savedFocus_ && IsWindow(savedFocus_) && IsChild(Handle(), savedFocus_))
            SetFocus(savedFocus_);
        else if (IsWindowVisible(Handle()))
            FocusFirst();
    }
    return result;
}

void Form::OnDestroyWindow() {
    if (tooltip_) {
        DestroyWindow(tooltip_);
        tooltip_ = nullptr;
        disabledHintOf_ = nullptr;
    }
    if (onDestroy)
        onDestroy();
}

void Form::OnRelease() {
    DestroyHandle();
    // Moved out first: the callback may delete this object.
    auto released = std::move(onReleased);
    if (released)
        released();
}

int Form::ShowModalZoomed(HWND button) {
    AnimateZoom(Handle(), button);
    const int result = ShowModal();
    AnimateZoom(button, Handle());
    return result;
}

void FormReleaser::operator()(Form* form) const noexcept {
    // A form whose window is already gone has nothing to wait for.
    if (form->Handle())
        form->Release();
    else
        delete form;
}

} // namespace ui
