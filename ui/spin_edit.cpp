#include "ui/spin_edit.h"

#include "base/codepage.h"
#include "ui/application.h"
#include "ui/spin_value.h"

#include <commctrl.h>

namespace ui {
namespace {

constexpr int kArrowsWidth = 15;
// The arrows' own position stays in the middle of their range: each press is only a step.
constexpr int kArrowsMiddle = 50;

} // namespace

void SpinEdit::Create(const CreateArgs& args) {
    minValue_ = args.minValue;
    maxValue_ = args.maxValue;
    CreateControl(L"EDIT", false, PlacementOf(args), ES_AUTOHSCROLL | WS_TABSTOP | WS_CLIPCHILDREN, WS_EX_CLIENTEDGE);
    if (args.maxLength > 0)
        SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(args.maxLength), 0);
    HINSTANCE instance = App().Instance() ? App().Instance() : GetModuleHandleW(nullptr);
    arrows_ = CreateWindowExW(0, UPDOWN_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | (args.enabled ? 0 : WS_DISABLED), 0, 0,
                              0, 0, Handle(), nullptr, instance, nullptr);
    SendMessageW(arrows_, UDM_SETRANGE32, 0, 2 * kArrowsMiddle);
    SendMessageW(arrows_, UDM_SETPOS32, 0, kArrowsMiddle);
    PlaceArrows();
    SetValue(args.value);
}

void SpinEdit::PlaceArrows() {
    RECT client{};
    GetClientRect(Handle(), &client);
    const int width = Scaled(kArrowsWidth);
    SetWindowPos(arrows_, nullptr, client.right - width, 0, width, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    // The text keeps clear of the arrows.
    SendMessageW(Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, width));
}

void SpinEdit::DpiChanged() {
    Control::DpiChanged();
    if (arrows_)
        PlaceArrows();
}

int SpinEdit::Value() const {
    return ClampSpinValue(SpinTextValue(kelvad::ToShiftJis(WideCaption()).bytes, minValue_), minValue_, maxValue_);
}

void SpinEdit::SetValue(int value) {
    SetCaption(std::to_string(ClampSpinValue(value, minValue_, maxValue_)));
}

void SpinEdit::Step(int delta) {
    if (IsEnabled())
        SetValue(Value() + delta);
}

bool SpinEdit::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_KILLFOCUS:
        SetValue(Value());
        return false;
    case WM_ENABLE:
        if (arrows_)
            EnableWindow(arrows_, static_cast<BOOL>(wParam));
        return false;
    case WM_KEYDOWN:
        if (wParam == VK_UP || wParam == VK_DOWN) {
            Step(wParam == VK_UP ? 1 : -1);
            result = 0;
            return true;
        }
        return false;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->hwndFrom == arrows_ && header->code == UDN_DELTAPOS) {
            Step(reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta > 0 ? 1 : -1);
            // The arrows' own position does not move.
            result = 1;
            return true;
        }
        return false;
    }
    case WM_VSCROLL:
        // The arrows also report as a scroll bar; the step has been taken on UDN_DELTAPOS.
        if (reinterpret_cast<HWND>(lParam) == arrows_) {
            result = 0;
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace ui
