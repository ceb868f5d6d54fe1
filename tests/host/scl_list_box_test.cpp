#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "lists/scl_list_box.h"

namespace kelvad {
namespace {

// A list whose texts are one pixel wide per character, except "W" (10) and "x" (3); it records the extents sent.
class FakeList : public ExtentList {
public:
    std::vector<std::wstring> items;
    std::vector<unsigned> extents;
    int measurements = 0;
    bool measureFails = false;

    int ItemCount() const override { return static_cast<int>(items.size()); }
    std::wstring ItemText(int index) const override {
        if (index < 0 || index >= ItemCount())
            throw std::out_of_range("index");
        return items[static_cast<size_t>(index)];
    }
    unsigned TextWidth(const std::wstring& text) override {
        ++measurements;
        if (measureFails)
            return 0;
        unsigned width = 0;
        for (wchar_t c : text)
            width += c == L'W' ? 10 : c == L'x' ? 3 : 1;
        return width;
    }
    void SetHorizontalExtent(std::uint16_t width) override { extents.push_back(width); }
};

class SclExtentRuleTest : public ::testing::Test {
protected:
    void Add(const std::wstring& text) {
        list.items.push_back(text);
        rule.ItemAdded(text);
    }
    void Delete(int index, bool sizeAfterDel = true) {
        rule.DeleteItem(index, sizeAfterDel, [&] { list.items.erase(list.items.begin() + index); });
    }
    FakeList list;
    SclExtentRule rule{list};
};

TEST_F(SclExtentRuleTest, AddsWidenOnlyForAWiderText) {
    EXPECT_EQ(rule.MaxItemWidth(), 0);
    Add(L"abc");
    // "abc" followed by "x".
    EXPECT_EQ(list.extents, std::vector<unsigned>{6});
    Add(L"a");
    EXPECT_EQ(list.extents, std::vector<unsigned>{6});
    Add(L"WW");
    Add(L"abcdefghijklm");
    EXPECT_EQ(list.extents, (std::vector<unsigned>{6, 23}));
    EXPECT_EQ(rule.MaxItemWidth(), 23);
    EXPECT_EQ(list.measurements, 4);
}

TEST_F(SclExtentRuleTest, ResetFallsBackToTheWidthOfX) {
    Add(L"WWW");
    list.items.clear();
    rule.ListReset();
    EXPECT_EQ(list.extents, (std::vector<unsigned>{33, 3}));
    EXPECT_EQ(rule.MaxItemWidth(), 3);
    // After the reset a narrower text widens again.
    Add(L"a");
    EXPECT_EQ(list.extents.back(), 4u);
}

TEST_F(SclExtentRuleTest, DeletingTheWidestRescansTheRest) {
    Add(L"ab");
    Add(L"WWW");
    Add(L"abcd");
    list.extents.clear();
    Delete(0);
    EXPECT_TRUE(list.extents.empty()) << "a narrower item leaves the range alone";
    Delete(0);
    // The running maximum is sent once per new maximum: only "abcd" is left.
    EXPECT_EQ(list.extents, std::vector<unsigned>{7});
    Delete(0);
    EXPECT_EQ(list.extents, (std::vector<unsigned>{7, 3}));
    EXPECT_EQ(rule.MaxItemWidth(), 3);
}

TEST_F(SclExtentRuleTest, TwoEquallyWideItemsRescanAndKeepTheRange) {
    Add(L"WW");
    Add(L"a");
    Add(L"WW");
    list.extents.clear();
    int before = list.measurements;
    Delete(2);
    EXPECT_EQ(list.extents, std::vector<unsigned>{23});
    EXPECT_EQ(rule.MaxItemWidth(), 23);
    // One for the deleted text, one per remaining item.
    EXPECT_EQ(list.measurements - before, 3);
}

TEST_F(SclExtentRuleTest, WithoutSizeAfterDelOnlyAResetShrinks) {
    Add(L"WWW");
    Add(L"a");
    int before = list.measurements;
    Delete(0, false);
    EXPECT_EQ(rule.MaxItemWidth(), 33);
    EXPECT_EQ(list.extents, std::vector<unsigned>{33});
    EXPECT_EQ(list.measurements, before);
    // Nothing is read either: a bad index goes to the platform unchecked.
    bool passedOn = false;
    rule.DeleteItem(5, false, [&] { passedOn = true; });
    EXPECT_TRUE(passedOn);
}

TEST_F(SclExtentRuleTest, ABadIndexRaisesBeforeAnythingIsDeleted) {
    Add(L"abc");
    bool deleted = false;
    EXPECT_THROW(rule.DeleteItem(1, true, [&] { deleted = true; }), std::out_of_range);
    EXPECT_THROW(rule.DeleteItem(-1, true, [&] { deleted = true; }), std::out_of_range);
    EXPECT_FALSE(deleted);
    EXPECT_EQ(rule.MaxItemWidth(), 6);
}

TEST_F(SclExtentRuleTest, WidthsAreSixteenBitValuesAndUnmeasurableTextsCountZero) {
    // 6553 "W" and "x": 65533 pixels fit; one more "W" wraps round to 7.
    Add(std::wstring(6553, L'W'));
    EXPECT_EQ(rule.MaxItemWidth(), 65533);
    EXPECT_EQ(rule.ItemTextWidth(std::wstring(6554, L'W')), 7);
    list.measureFails = true;
    rule.ListReset();
    EXPECT_EQ(rule.MaxItemWidth(), 0);
    EXPECT_EQ(list.extents, std::vector<unsigned>{65533});
}

} // namespace
} // namespace kelvad
