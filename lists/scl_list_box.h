#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace kelvad {

// What the extent rule needs of a list: its items, text measurement in the list's font and the setter of
// its horizontal scroll range.
class ExtentList {
public:
    virtual ~ExtentList() = default;
    virtual int ItemCount() const = 0;
    // Raises the list's index error for an index that names no item.
    virtual std::wstring ItemText(int index) const = 0;
    // Width of text in pixels in the list's font; 0 when it cannot be measured.
    virtual unsigned TextWidth(const std::wstring& text) = 0;
    virtual void SetHorizontalExtent(std::uint16_t width) = 0;
};

// Keeps a list's horizontal scroll range as wide as its widest item text followed by "x". Only the
// maximum is kept: an add costs one measurement, a delete one more plus a rescan when the widest went.
class SclExtentRule {
public:
    explicit SclExtentRule(ExtentList& list) : list_(list) {}

    std::uint16_t MaxItemWidth() const noexcept { return maxItemWidth_; }

    std::uint16_t ItemTextWidth(const std::wstring& text);
    // Raises the range to the text's width if it is wider than every item measured so far.
    void WidenExtent(const std::wstring& text);
    // Measures every item again (the empty text for an empty list).
    void RescanExtent();

    // After the list has stored an added or inserted item.
    void ItemAdded(const std::wstring& text);
    // After the list has been emptied: the range becomes the width of "x".
    void ListReset();
    // Deletes item `index` through platformDelete. With sizeAfterDel its text is read first, so a bad index
    // raises the list's index error before anything is deleted, and deleting the widest item rescans;
    // without it the range is left as it is.
    void DeleteItem(int index, bool sizeAfterDel, const std::function<void()>& platformDelete);

private:
    ExtentList& list_;
    std::uint16_t maxItemWidth_ = 0;
};

} // namespace kelvad
