// The auto-extent list box under Wine: the real list box's horizontal extent, measured in its real font.
#include "ui_test_support.h"

#include "lists/scl_list_box_win.h"
#include "ui/handle.h"
#include "ui/list_box.h"

namespace ui_test {
namespace {

using kelvad::TSclListBox;

class SclListBoxTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        CreateForm(form, 450, 280);
        list.Create({.parent = &form, .left = 8, .top = 8, .width = 217, .height = 185, .font = {"System", 16},
                     .itemHeight = 22});
    }
    unsigned Extent() const { return static_cast<unsigned>(SendMessageW(list.Handle(), LB_GETHORIZONTALEXTENT, 0, 0)); }
    // The width of text + "x", measured here on a screen DC in the given font.
    static unsigned Width(const std::wstring& text, HFONT font) {
        ui::WindowDc dc(nullptr);
        ui::SelectGuard select(dc.get(), font);
        std::wstring measured = text + L"x";
        SIZE size{};
        GetTextExtentPoint32W(dc.get(), measured.c_str(), static_cast<int>(measured.size()), &size);
        return static_cast<unsigned>(size.cx);
    }
    unsigned Width(const std::wstring& text) const { return Width(text, list.Font()); }

    ui::Form form;
    TSclListBox list;
};

TEST_F(SclListBoxTest, ExtentFollowsTheWidestItemWhicheverWayItComes) {
    EXPECT_EQ(list.MaxItemWidth(), 0);
    list.AddItem("abc");
    EXPECT_EQ(Extent(), Width(L"abc"));
    list.AddItem("a");
    EXPECT_EQ(Extent(), Width(L"abc"));
    // Messages sent by anyone obey the rule too.
    std::wstring path = L"C:\\印刷するファイル\\とても長い名前のプリンタファイル.prn";
    SendMessageW(list.Handle(), LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
    EXPECT_EQ(Extent(), Width(path));
    EXPECT_EQ(list.MaxItemWidth(), Width(path));
    // Wider than the list: the horizontal scroll bar shows, with the extent as its range.
    EXPECT_GT(Extent(), 217u);
    EXPECT_TRUE(GetWindowLongW(list.Handle(), GWL_STYLE) & WS_HSCROLL);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE;
    ASSERT_TRUE(GetScrollInfo(list.Handle(), SB_HORZ, &info));
    EXPECT_EQ(static_cast<unsigned>(info.nMax + 1), Extent());
    EXPECT_EQ(list.WideItem(0), path);
    EXPECT_EQ(list.Count(), 3);
}

TEST_F(SclListBoxTest, DeletesAndClearsShrinkTheExtent) {
    for (const char* text : {"ab", "abcdefghijklmnopqrstuvwxyz", "abcdef"})
        list.AddItem(text);
    list.DeleteItem(0);
    EXPECT_EQ(Extent(), Width(L"abcdefghijklmnopqrstuvwxyz")) << "a narrower item leaves the extent";
    list.DeleteItem(0);
    EXPECT_EQ(Extent(), Width(L"abcdef"));
    SendMessageW(list.Handle(), LB_DELETESTRING, 0, 0);
    EXPECT_EQ(Extent(), Width(L""));
    EXPECT_EQ(list.Count(), 0);

    list.AddItem("abcdefghijklmnopqrstuvwxyz");
    list.AddItem("abc");
    list.Clear();
    EXPECT_EQ(Extent(), Width(L""));
    EXPECT_GT(Width(L""), 0u);
}

TEST_F(SclListBoxTest, DeletingPastTheEndRaisesTheIndexErrorAndKeepsTheItems) {
    list.AddItem("abc");
    list.AddItem("abcdef");
    expectedErrors = 2;
    list.DeleteItem(2);
    SendMessageW(list.Handle(), LB_DELETESTRING, static_cast<WPARAM>(-1), 0);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(Extent(), Width(L"abcdef"));
    // Without SizeAfterDel nothing is read first: the list box itself refuses the index, and deleting the
    // widest item leaves the extent.
    list.SizeAfterDel = false;
    EXPECT_EQ(SendMessageW(list.Handle(), LB_DELETESTRING, 7, 0), LB_ERR);
    list.DeleteItem(1);
    EXPECT_EQ(Extent(), Width(L"abcdef"));
}

TEST_F(SclListBoxTest, WidthsAreTakenInTheListsOwnFont) {
    TSclListBox large;
    large.Create({.parent = &form,
                  .left = 232,
                  .top = 8,
                  .width = 209,
                  .height = 185,
                  .font = {"ＭＳ ゴシック", 30},
                  .itemHeight = 34});
    large.AddItem("Kelvad Printer");
    EXPECT_EQ(SendMessageW(large.Handle(), LB_GETHORIZONTALEXTENT, 0, 0), Width(L"Kelvad Printer", large.Font()));
    EXPECT_NE(Width(L"Kelvad Printer", large.Font()), Width(L"Kelvad Printer"));
    EXPECT_EQ(large.ItemTextWidth(L"Kelvad Printer"), Width(L"Kelvad Printer", large.Font()));
}

} // namespace
} // namespace ui_test
