#include "ui_test_support.h"

#include "ui/handle.h"
#include "ui/label.h"
#include "ui/panel.h"

namespace ui_test {
namespace {

using PanelTest = UiTest;

// Pixels of the label's rectangle on the form that are not the button face.
int InkOver(const ui::Form& form, const ui::Label& label) {
    RECT r = label.Bounds();
    ui::WindowDc dc(form.Handle());
    int ink = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            ink += GetPixel(dc.get(), x, y) != GetSysColor(COLOR_BTNFACE);
    return ink;
}

TEST_F(PanelTest, DrawsItsBevelsAroundTheControlsLaidOverIt) {
    ui::Form form;
    CreateForm(form);
    ui::Label label;
    ui::Panel panel;
    // The label is made first, so that the panel lies above it: it must still not paint over it.
    label.Create(
        {.parent = &form, .left = 30, .top = 30, .caption = "■■■■", .font = {"ＭＳ ゴシック", 16}, .autoSize = true});
    panel.Create({.parent = &form,
                  .left = 10,
                  .top = 10,
                  .width = 120,
                  .height = 60,
                  .bevelOuter = ui::Panel::Bevel::Lowered,
                  .bevelInner = ui::Panel::Bevel::Raised});
    form.Show();
    form.Repaint();

    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    ASSERT_NE(shadow, light);
    auto pixel = [&](int x, int y) {
        ui::WindowDc dc(panel.Handle());
        return GetPixel(dc.get(), x, y);
    };
    // Lowered outside: shadow at the top left, light at the bottom right; raised inside: the other way round.
    EXPECT_EQ(pixel(0, 30), shadow);
    EXPECT_EQ(pixel(60, 0), shadow);
    EXPECT_EQ(pixel(119, 30), light);
    EXPECT_EQ(pixel(60, 59), light);
    EXPECT_EQ(pixel(1, 30), light);
    EXPECT_EQ(pixel(118, 30), shadow);
    EXPECT_EQ(pixel(100, 50), GetSysColor(COLOR_BTNFACE));

    const int ink = InkOver(form, label);
    EXPECT_GT(ink, 20);
    InvalidateRect(panel.Handle(), nullptr, TRUE);
    UpdateWindow(panel.Handle());
    EXPECT_EQ(InkOver(form, label), ink) << "the panel painted over the label";

    // The mouse goes through to what lies below.
    EXPECT_EQ(SendMessageW(panel.Handle(), WM_NCHITTEST, 0, 0), HTTRANSPARENT);
}

} // namespace
} // namespace ui_test
