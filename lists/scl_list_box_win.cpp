#include "lists/scl_list_box_win.h"

#include "ui/handle.h"

namespace kelvad {

bool TSclListBox::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
        result = DefaultProc(msg, wParam, lParam);
        // Measured whatever the list answered.
        // The list box is a Unicode window: the item text arrives as UTF-16 whoever sent it.
        auto text = reinterpret_cast<const wchar_t*>(lParam);
        rule_.ItemAdded(text ? text : L"");
        return true;
    }
    case LB_RESETCONTENT:
        result = DefaultProc(msg, wParam, lParam);
        rule_.ListReset();
        return true;
    case WM_SETFONT:
        // Text widths are the font's: a list measured before (a form moved to another DPI) measures again.
        result = DefaultProc(msg, wParam, lParam);
        if (rule_.MaxItemWidth() > 0 || Count() > 0)
            rule_.RescanExtent();
        return true;
    case LB_DELETESTRING:
        rule_.DeleteItem(static_cast<int>(static_cast<INT_PTR>(wParam)), SizeAfterDel,
                         [&] { result = DefaultProc(msg, wParam, lParam); });
        return true;
    default:
        return ui::ListBox::HandleMessage(msg, wParam, lParam, result);
    }
}

unsigned TSclListBox::TextWidth(const std::wstring& text) {
    ui::WindowDc dc(Handle());
    if (!dc)
        return 0;
    auto font = reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0));
    ui::SelectGuard select(dc.get(), font);
    SIZE size{};
    if (!GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size))
        return 0;
    return static_cast<unsigned>(size.cx);
}

void TSclListBox::SetHorizontalExtent(std::uint16_t width) {
    SendMessageW(Handle(), LB_SETHORIZONTALEXTENT, width, 0);
}

} // namespace kelvad
