#include "lists/scl_list_box.h"

namespace kelvad {

std::uint16_t SclExtentRule::ItemTextWidth(const std::wstring& text) {
    // The one "x" is the only margin after the text.
    return static_cast<std::uint16_t>(list_.TextWidth(text + L"x"));
}

void SclExtentRule::WidenExtent(const std::wstring& text) {
    std::uint16_t width = ItemTextWidth(text);
    if (width > maxItemWidth_) {
        maxItemWidth_ = width;
        list_.SetHorizontalExtent(width);
    }
}

void SclExtentRule::RescanExtent() {
    maxItemWidth_ = 0;
    int count = list_.ItemCount();
    if (count == 0) {
        WidenExtent(L"");
        return;
    }
    for (int i = 0; i < count; ++i)
        WidenExtent(list_.ItemText(i));
}

void SclExtentRule::ItemAdded(const std::wstring& text) {
    WidenExtent(text);
}

void SclExtentRule::ListReset() {
    maxItemWidth_ = 0;
    WidenExtent(L"");
}

void SclExtentRule::DeleteItem(int index, bool sizeAfterDel, const std::function<void()>& platformDelete) {
    if (!sizeAfterDel) {
        platformDelete();
        return;
    }
    std::wstring text = list_.ItemText(index);
    platformDelete();
    if (ItemTextWidth(text) == maxItemWidth_)
        RescanExtent();
}

} // namespace kelvad
