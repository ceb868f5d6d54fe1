#include "ui/label.h"

#include "ui/dpi.h"
#include "ui/form.h"
#include "ui/handle.h"

namespace ui {

void Label::Create(const CreateArgs& args) {
    autoSize = args.autoSize;
    // One line, cut at the label's edge rather than wrapped.
    CreateControl(L"STATIC", false, PlacementOf(args), SS_LEFTNOWORDWRAP | (args.showAccelChar ? 0 : SS_NOPREFIX), 0);
    if (autoSize)
        AdjustSize();
    else
        WidenToText();
}

SIZE Label::TextSize() const {
    std::wstring text = WideCaption();
    WindowDc dc(Handle());
    if (!dc)
        return {};
    SelectGuard selectFont(dc.get(), Font());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    RECT size{0, 0, 0, 0};
    if (!text.empty()) {
        bool noPrefix = (GetWindowLongW(Handle(), GWL_STYLE) & SS_NOPREFIX) != 0;
        DrawTextW(dc.get(), text.c_str(), -1, &size, DT_CALCRECT | DT_SINGLELINE | (noPrefix ? DT_NOPREFIX : 0));
    }
    return {size.right, size.bottom > metrics.tmHeight ? size.bottom : metrics.tmHeight};
}

void Label::AdjustSize() {
    if (!Handle())
        return;
    const SIZE size = TextSize();
    SetWindowPos(Handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Text grows a little faster than the DPI: a label of fixed width whose design text fits at 96 DPI is widened to
// it at another DPI, rather than cut.
void Label::WidenToText() {
    if (!Handle() || !Parent() || Parent()->Dpi() == kDesignDpi)
        return;
    const RECT bounds = Bounds();
    const SIZE size = TextSize();
    if (size.cx > bounds.right - bounds.left)
        SetWindowPos(Handle(), nullptr, 0, 0, size.cx, bounds.bottom - bounds.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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
    else
        WidenToText();
}

} // namespace ui
