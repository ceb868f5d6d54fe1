#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "lists/scl_list_box.h"
#include "ui/list_box.h"

namespace kelvad {

// A list box with a horizontal scroll bar whose range covers its widest item (the item text followed by
// "x" in the list's own font, measured as the UTF-16 it shows). The rule runs on the list's own messages, so
// items added, inserted, deleted or cleared by any sender keep it.
class TSclListBox : public ui::ListBox, private ExtentList {
public:
    TSclListBox() = default;

    // When false, deleting items never shrinks the range; only clearing does.
    bool SizeAfterDel = true;
    std::uint16_t MaxItemWidth() const noexcept { return rule_.MaxItemWidth(); }

    std::uint16_t ItemTextWidth(const std::wstring& text) { return rule_.ItemTextWidth(text); }
    void WidenExtent(const std::wstring& text) { rule_.WidenExtent(text); }
    void RescanExtent() { rule_.RescanExtent(); }

protected:
    DWORD CreationStyle(DWORD style) const override { return style | WS_HSCROLL; }
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    int ItemCount() const override { return Count(); }
    std::wstring ItemText(int index) const override { return WideItem(index); }
    unsigned TextWidth(const std::wstring& text) override;
    void SetHorizontalExtent(std::uint16_t width) override;

    SclExtentRule rule_{*this};
};

} // namespace kelvad
