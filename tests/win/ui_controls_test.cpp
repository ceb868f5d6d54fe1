#include "ui_test_support.h"

#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/error.h"
#include "ui/gauge.h"
#include "ui/handle.h"
#include "ui/label.h"
#include "ui/list_box.h"

#include <commctrl.h>

namespace ui_test {
namespace {

using Controls = UiTest;

TEST_F(Controls, ButtonClickCallsTheCurrentHandler) {
    ui::Form form;
    CreateForm(form);
    ui::Button button;
    button.Create({.parent = &form, .caption = "出力(&P)", .tabOrder = 0});
    std::vector<std::string> calls;
    button.onClick = [&] {
        calls.push_back("file");
        button.onClick = [&] { calls.push_back("command"); };
    };
    SendMessageW(button.Handle(), BM_CLICK, 0, 0);
    SendMessageW(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"file", "command"}));
    button.SetEnabled(false);
    EXPECT_FALSE(button.IsEnabled());
    SendMessageW(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(calls.size(), 2u) << "a disabled button does not click";
}

TEST_F(Controls, TabOrderFollowsTabOrderNotCreationOrder) {
    ui::Form form;
    CreateForm(form);
    ui::Button second, first;
    ui::ListBox third;
    ui::CheckBox zeroth;
    ui::Label label;
    label.Create({.parent = &form, .left = 5, .top = 150, .width = 50, .height = 15, .caption = "FileName"});
    second.Create({.parent = &form, .left = 10, .top = 10, .caption = "B", .tabOrder = 2});
    third.Create({.parent = &form, .left = 10, .top = 40, .tabOrder = 3});
    first.Create({.parent = &form, .left = 100, .top = 10, .caption = "A", .tabOrder = 1});
    zeroth.Create({.parent = &form, .left = 200, .top = 10, .caption = "追加", .tabOrder = 0});
    HWND expected[] = {zeroth.Handle(), first.Handle(), second.Handle(), third.Handle(), zeroth.Handle()};
    HWND current = GetNextDlgTabItem(form.Handle(), nullptr, FALSE);
    for (HWND hwnd : expected) {
        EXPECT_EQ(current, hwnd);
        current = GetNextDlgTabItem(form.Handle(), current, FALSE);
    }
    EXPECT_EQ(GetNextDlgTabItem(form.Handle(), zeroth.Handle(), TRUE), third.Handle());
}

TEST_F(Controls, TabKeyMovesTheFocusThroughTheLoop) {
    ui::Form form;
    CreateForm(form);
    ui::Button a, b;
    a.Create({.parent = &form, .left = 10, .top = 10, .caption = "A", .tabOrder = 0});
    b.Create({.parent = &form, .left = 100, .top = 10, .caption = "B", .tabOrder = 1});
    form.Show();
    ASSERT_EQ(GetFocus(), a.Handle());
    PostMessageW(a.Handle(), WM_KEYDOWN, VK_TAB, 0);
    ui::App().ProcessMessages();
    EXPECT_EQ(GetFocus(), b.Handle());
}

TEST_F(Controls, HintsAreToolsOfTheFormsTooltip) {
    ui::Form form;
    CreateForm(form);
    ui::Button button;
    button.Create({.parent = &form, .caption = "A", .hint = "出力先へデータを出力"});
    ui::Button silent;
    silent.Create({.parent = &form, .left = 100, .caption = "B"});
    ASSERT_NE(form.Tooltip(), nullptr);
    EXPECT_EQ(SendMessageW(form.Tooltip(), TTM_GETTOOLCOUNT, 0, 0), 1);
    wchar_t text[128] = {};
    TOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = form.Handle();
    info.uId = reinterpret_cast<UINT_PTR>(button.Handle());
    info.lpszText = text;
    SendMessageW(form.Tooltip(), TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(text, L"出力先へデータを出力");
    silent.SetHint("設定");
    EXPECT_EQ(SendMessageW(form.Tooltip(), TTM_GETTOOLCOUNT, 0, 0), 2);

    // The mouse resting on a button brings its tip up, on a disabled one too (driven from the form).
    auto tipShownOver = [&](const ui::Button& control) {
        RECT rect{};
        GetWindowRect(control.Handle(), &rect);
        SetCursorPos(rect.left + 5, rect.top + 5);
        SetCursorPos(rect.left + 6, rect.top + 6);
        wchar_t shown[128] = {};
        TOOLINFOW current{};
        current.cbSize = TTTOOLINFOW_V2_SIZE;
        current.lpszText = shown;
        for (DWORD start = GetTickCount(); GetTickCount() - start < 30000; Sleep(20)) {
            ui::App().ProcessMessages();
            if (IsWindowVisible(form.Tooltip()) &&
                SendMessageW(form.Tooltip(), TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&current)))
                return std::wstring(shown);
        }
        return std::wstring(L"(no tip)");
    };
    form.Show();
    SetActiveWindow(form.Handle());
    EXPECT_EQ(tipShownOver(button), L"出力先へデータを出力");
    silent.SetEnabled(false);
    EXPECT_EQ(tipShownOver(silent), L"設定");
}

TEST_F(Controls, ListBoxSelectionQueries) {
    ui::Form form;
    CreateForm(form);
    ui::ListBox files;
    files.Create({.parent = &form, .width = 200, .height = 150, .multiSelect = true, .itemHeight = 22});
    for (const char* name : {"a.prn", "ｂ.prn", "c.prn", "ﾃﾞｰﾀ.prn", "e.prn"})
        files.AddItem(name);
    EXPECT_EQ(SendMessageW(files.Handle(), LB_GETITEMHEIGHT, 0, 0), 22);
    EXPECT_EQ(files.SelectedCount(), 0);
    files.SetSelected(3, true);
    files.SetSelected(1, true);
    EXPECT_EQ(files.SelectedCount(), 2);
    EXPECT_TRUE(files.IsSelected(1));
    EXPECT_FALSE(files.IsSelected(2));
    EXPECT_EQ(files.WideItem(3), L"ﾃﾞｰﾀ.prn");
    files.DeleteItem(1);
    EXPECT_EQ(files.Count(), 4);
    EXPECT_EQ(files.SelectedCount(), 1);
    EXPECT_TRUE(files.IsSelected(2));
    files.InsertItem(0, "first");
    EXPECT_EQ(files.WideItem(0), L"first");
    EXPECT_THROW(files.WideItem(5), ui::Error);
    try {
        files.IsSelected(-1);
        ADD_FAILURE() << "no error for index -1";
    } catch (const ui::Error& e) {
        EXPECT_STREQ(e.what(), ui::kListIndexError);
    }
    files.Clear();
    EXPECT_EQ(files.Count(), 0);
    EXPECT_EQ(files.ItemIndex(), -1);

    ui::ListBox printers;
    printers.Create({.parent = &form, .left = 210, .width = 80, .height = 150});
    printers.AddItem("Kelvad Printer");
    printers.AddItem("テストプリンタ");
    EXPECT_EQ(printers.ItemIndex(), -1);
    EXPECT_EQ(printers.SelectedCount(), 0);
    printers.SetItemIndex(1);
    EXPECT_EQ(printers.ItemIndex(), 1);
    EXPECT_EQ(printers.SelectedCount(), 1);
    printers.SetSelected(1, false);
    EXPECT_EQ(printers.ItemIndex(), -1);
}

TEST_F(Controls, ListBoxClickFollowsTheUsersSelection) {
    ui::Form form;
    CreateForm(form);
    ui::ListBox list;
    list.Create({.parent = &form, .width = 200, .height = 150, .itemHeight = 20});
    list.AddItem("one");
    list.AddItem("two");
    int clicks = 0;
    int indexAtClick = -2;
    list.onClick = [&] {
        ++clicks;
        indexAtClick = list.ItemIndex();
    };
    list.SetItemIndex(0);
    EXPECT_EQ(clicks, 0) << "setting the index in code is not a click";
    SendMessageW(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 30));
    SendMessageW(list.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 30));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(indexAtClick, 1);
}

// A derived list as the auto-extent list builds on: its own style bits and a view of the item messages.
class WatchingListBox : public ui::ListBox {
public:
    std::vector<UINT> seen;

protected:
    DWORD CreationStyle(DWORD style) const override { return style | WS_HSCROLL; }
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (msg == LB_ADDSTRING || msg == LB_INSERTSTRING || msg == LB_DELETESTRING || msg == LB_RESETCONTENT) {
            result = DefaultProc(msg, wParam, lParam);
            seen.push_back(msg);
            return true;
        }
        return ui::ListBox::HandleMessage(msg, wParam, lParam, result);
    }
};

TEST_F(Controls, DerivedListBoxSeesEveryItemChange) {
    ui::Form form;
    CreateForm(form);
    WatchingListBox list;
    list.Create({.parent = &form, .width = 100, .height = 100});
    ui::ListBox plain;
    plain.Create({.parent = &form, .left = 110, .width = 100, .height = 100});
    // The scroll bar (and its style bit) appears for an extent wider than the list only with WS_HSCROLL.
    SendMessageW(list.Handle(), LB_SETHORIZONTALEXTENT, 500, 0);
    SendMessageW(plain.Handle(), LB_SETHORIZONTALEXTENT, 500, 0);
    EXPECT_TRUE(GetWindowLongW(list.Handle(), GWL_STYLE) & WS_HSCROLL);
    EXPECT_FALSE(GetWindowLongW(plain.Handle(), GWL_STYLE) & WS_HSCROLL);
    EXPECT_EQ(list.AddItem("x"), 0);
    list.InsertItem(0, "y");
    list.DeleteItem(1);
    list.Clear();
    EXPECT_EQ(list.seen, (std::vector<UINT>{LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT}));
}

TEST_F(Controls, CheckBoxStateAndClick) {
    ui::Form form;
    CreateForm(form);
    ui::CheckBox add;
    add.Create({.parent = &form, .caption = "追加", .checked = true});
    EXPECT_TRUE(add.Checked());
    int clicks = 0;
    add.onClick = [&] { ++clicks; };
    add.SetChecked(false);
    EXPECT_EQ(clicks, 0);
    SendMessageW(add.Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(add.Checked());
    EXPECT_EQ(clicks, 1);
}

TEST_F(Controls, AutoSizeLabelFollowsItsText) {
    ui::Form form;
    CreateForm(form);
    ui::FontSpec font{"ＭＳ ゴシック", 17};
    ui::Label name;
    name.Create({.parent = &form, .left = 72, .top = 15, .font = font, .autoSize = true});
    ui::Label fixed;
    fixed.Create({.parent = &form, .left = 8, .top = 60, .width = 46, .height = 13, .caption = "出力先:"});
    const std::wstring path = L"C:\\データ\\a&b.prn";
    name.SetCaption(path);
    fixed.SetCaption(path);
    SIZE extent{};
    {
        ui::WindowDc dc(name.Handle());
        ui::SelectGuard select(dc.get(), ui::FontHandle(font));
        GetTextExtentPoint32W(dc.get(), path.c_str(), static_cast<int>(path.size()), &extent);
    }
    RECT bounds = name.Bounds();
    EXPECT_EQ(bounds.left, 72);
    EXPECT_EQ(bounds.top, 15);
    EXPECT_EQ(bounds.right - bounds.left, extent.cx);
    EXPECT_GE(bounds.bottom - bounds.top, extent.cy);
    EXPECT_EQ(fixed.Bounds().right - fixed.Bounds().left, 46);
    EXPECT_EQ(name.WideCaption(), path);
}

TEST_F(Controls, GaugeClampsAndInvalidatesOnlyOnChange) {
    ui::Form form;
    CreateForm(form);
    ui::Gauge gauge;
    gauge.Create({.parent = &form, .left = 16, .top = 48, .width = 265, .height = 25});
    form.Show();
    UpdateWindow(form.Handle());
    auto pending = [&] { return GetUpdateRect(gauge.Handle(), nullptr, FALSE) != FALSE; };
    ASSERT_FALSE(pending());
    gauge.SetValue(0);
    EXPECT_FALSE(pending());
    gauge.SetValue(-20);
    EXPECT_EQ(gauge.Value(), 0);
    EXPECT_FALSE(pending());
    gauge.SetValue(150);
    EXPECT_EQ(gauge.Value(), 100);
    EXPECT_TRUE(pending());
    UpdateWindow(gauge.Handle());
    gauge.SetValue(100);
    gauge.SetValue(1000);
    EXPECT_FALSE(pending());
    gauge.SetValue(99);
    EXPECT_EQ(gauge.Value(), 99);
    EXPECT_TRUE(pending());
}

TEST_F(Controls, GaugePaintsBlueUpToItsValueAndWhiteBeyond) {
    ui::Form form;
    CreateForm(form);
    ui::Gauge gauge;
    gauge.Create({.parent = &form, .left = 16, .top = 48, .width = 265, .height = 25});
    gauge.SetValue(50);
    // Painted into a memory bitmap through WM_PRINTCLIENT-free direct painting: the window's own paint.
    form.Show();
    form.Repaint();
    ui::WindowDc dc(gauge.Handle());
    EXPECT_EQ(GetPixel(dc.get(), 0, 12), RGB(0, 0, 0)) << "border";
    EXPECT_EQ(GetPixel(dc.get(), 10, 3), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc.get(), 125, 3), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc.get(), 140, 3), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc.get(), 250, 20), RGB(255, 255, 255));
    // The next step is drawn afresh, at the bar's new size too.
    gauge.SetValue(20);
    gauge.SetBounds(0, 48, 290, 25);
    form.Repaint();
    ui::WindowDc wider(gauge.Handle());
    EXPECT_EQ(GetPixel(wider.get(), 50, 3), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(wider.get(), 125, 3), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(wider.get(), 280, 20), RGB(255, 255, 255));
}

// A 2-cell 4x4 glyph: cell 0 red, cell 1 green, bottom-left pixel magenta (transparent).
ui::GdiObject MakeGlyph() {
    ui::WindowDc screen(nullptr);
    ui::GdiObject bitmap(CreateCompatibleBitmap(screen.get(), 8, 4));
    ui::OwnedDc dc(CreateCompatibleDC(screen.get()));
    ui::SelectGuard select(dc.get(), bitmap.get());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            SetPixel(dc.get(), x, y, x < 4 ? RGB(255, 0, 0) : RGB(0, 255, 0));
    SetPixel(dc.get(), 0, 3, RGB(255, 0, 255));
    return bitmap;
}

TEST_F(Controls, GlyphButtonDrawsTheCellForItsStateWithTheTransparentColourLeftOut) {
    ui::Form form;
    CreateForm(form);
    ui::Button button;
    button.Create({.parent = &form, .left = 10, .top = 10, .width = 40, .height = 24});
    button.SetGlyph(MakeGlyph(), 2);
    form.Show();
    form.Repaint();
    // Without a caption the 4x4 cell is centred: its corner at (18, 10).
    auto pixel = [&](int x, int y) {
        ui::WindowDc dc(button.Handle());
        return GetPixel(dc.get(), x, y);
    };
    EXPECT_EQ(pixel(19, 10), RGB(255, 0, 0));
    EXPECT_EQ(pixel(18, 13), GetSysColor(COLOR_BTNFACE)) << "transparent pixel";
    button.SetEnabled(false);
    form.Repaint();
    EXPECT_EQ(pixel(19, 10), RGB(0, 255, 0));
}

} // namespace
} // namespace ui_test
