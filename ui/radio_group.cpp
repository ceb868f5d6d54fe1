#include "ui/radio_group.h"

#include "ui/application.h"
#include "ui/handle.h"
#include "base/codepage.h"

namespace ui {

void RadioGroup::Create(const CreateArgs& args) {
    // The buttons are children of the frame; the dialog keys reach into it.
    CreateControl(L"BUTTON", false, PlacementOf(args), BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
    designWidth_ = args.width;
    designHeight_ = args.height;
    HINSTANCE instance = App().Instance() ? App().Instance() : GetModuleHandleW(nullptr);
    for (size_t i = 0; i < args.items.size(); ++i) {
        DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0);
        HWND button = CreateWindowExW(0, L"BUTTON", kelvad::ToWide(args.items[i]).c_str(), style, 0, 0, 0, 0, Handle(),
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 1)), instance, nullptr);
        if (button)
            buttons_.push_back(button);
    }
    PlaceButtons();
    SetItemIndex(args.itemIndex);
}

void RadioGroup::PlaceButtons() {
    TEXTMETRICW metrics{};
    if (WindowDc dc(Handle()); dc) {
        SelectGuard selectFont(dc.get(), Font());
        GetTextMetricsW(dc.get(), &metrics);
    }
    // One column below the caption line, each button an equal share of the height that is left.
    const int count = Count();
    const int space = Scaled(designHeight_) - metrics.tmHeight - Scaled(5);
    const int buttonHeight = count > 0 ? space / count : 0;
    const int topMargin = metrics.tmHeight + Scaled(1) + (count > 0 ? space % count : 0) / 2;
    for (int i = 0; i < count; ++i) {
        HWND button = buttons_[static_cast<size_t>(i)];
        SetWindowPos(button, nullptr, Scaled(8), topMargin + i * buttonHeight, Scaled(designWidth_ - 10), buttonHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), TRUE);
    }
}

void RadioGroup::DpiChanged() {
    Control::DpiChanged();
    PlaceButtons();
}

int RadioGroup::ItemIndex() const {
    for (int i = 0; i < Count(); ++i) {
        if (SendMessageW(buttons_[static_cast<size_t>(i)], BM_GETCHECK, 0, 0) == BST_CHECKED)
            return i;
    }
    return -1;
}

void RadioGroup::SetItemIndex(int index) {
    for (int i = 0; i < Count(); ++i)
        SendMessageW(buttons_[static_cast<size_t>(i)], BM_SETCHECK, i == index ? BST_CHECKED : BST_UNCHECKED, 0);
}

HWND RadioGroup::Button(int index) const {
    return index >= 0 && index < Count() ? buttons_[static_cast<size_t>(index)] : nullptr;
}

bool RadioGroup::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam) {
            if (auto handler = onClick)
                handler();
            result = 0;
            return true;
        }
        return false;
    case WM_ERASEBKGND: {
        // The frame draws only its lines and caption; the form does not paint under its children.
        RECT client{};
        GetClientRect(Handle(), &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        result = 1;
        return true;
    }
    case WM_ENABLE:
        for (HWND button : buttons_)
            EnableWindow(button, static_cast<BOOL>(wParam));
        return false;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: {
        // The buttons stand on the form's button face.
        auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        return true;
    }
    default:
        return false;
    }
}

} // namespace ui
