#include "ui/label.h"

#include "ui/handle.h"

namespace ui {

void Label::Create(const CreateArgs& args) {
    autoSize = args.autoSize;
    // One line, cut at the label's edge rather than wrapped.
    CreateControl(L"STATIC", false, PlacementOf(args), SS_LEFTNOWORDWRAP | (args.showAccelChar ? 0 : SS_NOPREFIX), 0);
    if (autoSize)
        AdjustSize();
}

void Label::AdjustSize() {
    if (!Handle())
        return;
    std::wstring text = WideCaption();
    WindowDc dc(Handle());
    if (!dc)
        return;
    SelectGuard selectFont(dc.get(), Font());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    RECT size{0, 0, 0, 0};
    if (!text.empty()) {
        bool noPrefix = (GetWindowLongW(Handle(), GWL_STYLE) & SS_NOPREFIX) != 0;
        DrawTextW(dc.get(), text.c_str(), -1, &size, DT_CALCRECT | DT_SINGLELINE | (noPrefix ? DT_NOPREFIX : 0));
    }
    int height = size.bottom > metrics.tmHeight ? size.bottom : metrics.tmHeight;
    SetWindowPos(Handle(), nullptr, 0, 0, size.right, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Label::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_SETTEXT) {
        result = DefaultProc(msg, wParam, lParam);
        if (autoSize)
            AdjustSize();
        return true;
    }
    return false;
}

bool Label::HandleReflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg != WM_CTLCOLORSTATIC)
        return false;
    auto dc = reinterpret_cast<HDC>(wParam);
    COLORREF color = FontSpecification().color;
    SetTextColor(dc, color != CLR_INVALID ? color : GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    return true;
}

void Label::DpiChanged() {
    Control::DpiChanged();
    if (autoSize)
        AdjustSize();
}

} // namespace ui
