// The output mode switch under Wine: the two layouts, the "ON"/"OFF" glyphs of co_Change, the enabling of
// co_Print per mode, and which handler co_Print runs.
#include "main_form_fixture.h"

namespace form_test {
namespace {

// The pixels of a bitmap as 32-bit colours, with its size in front.
std::vector<DWORD> Pixels(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    std::vector<DWORD> pixels(static_cast<size_t>(info.bmWidth * info.bmHeight) + 2);
    pixels[0] = static_cast<DWORD>(info.bmWidth);
    pixels[1] = static_cast<DWORD>(info.bmHeight);
    ui::WindowDc dc(nullptr);
    GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data() + 2, &header, DIB_RGB_COLORS);
    return pixels;
}

std::vector<DWORD> Resource(const char* name) {
    ui::GdiObject bitmap(LoadBitmapA(GetModuleHandleA(nullptr), name));
    return Pixels(static_cast<HBITMAP>(bitmap.get()));
}

// What the switch may change: visibility and place of every control, the enabled output button.
std::vector<std::string> Layout(TestForm& form) {
    std::vector<std::string> rows;
    ui::Control* controls[] = {
        &form.Label1,        &form.c_Add,     &form.co_FileOpen, &form.FilesListBox, &form.CommandExplanation,
        &form.CommandString, &form.co_Insert, &form.co_Edit,     &form.co_Delete,    &form.PrinterListBox,
        &form.co_Print,      &form.co_Change};
    for (ui::Control* control : controls) {
        RECT r = control->Bounds();
        rows.push_back(kelvad::ToShiftJis(control->WideCaption()).bytes + control->Hint() + (control->IsVisible() ? " shown " : " hidden ") +
                       std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
                       std::to_string(r.bottom) + (control->IsEnabled() ? " enabled" : " disabled"));
    }
    return rows;
}

using ModeSwitchTest = MainFormFixture;

TEST_F(ModeSwitchTest, StartsInFileModeWithTheOnGlyph) {
    auto form = MakeForm();
    EXPECT_TRUE(form->FileMode);
    ASSERT_NE(form->co_Change.Glyph(), nullptr);
    EXPECT_EQ(form->co_Change.NumGlyphs(), 2);
    EXPECT_EQ(Pixels(form->co_Change.Glyph()), Resource("ON"));
    EXPECT_NE(Resource("ON"), Resource("OFF"));
    EXPECT_EQ(Resource("ON")[0], 32u);
    EXPECT_FALSE(form->co_Print.IsEnabled());
}

TEST_F(ModeSwitchTest, SwitchShowsTheOtherLayoutAndSwitchingBackRestoresIt) {
    auto form = MakeForm("Kelvad32.exe C:\\a.prn C:\\b.prn C:\\c.prn");
    form->FilesListBox.SetSelected(1, true);
    form->FilesListBox.SetSelected(2, true);
    form->CommandExplanation.AddItem("改ページ");
    form->CommandString.AddItem("\x0c");
    auto fileLayout = Layout(*form);

    SendMessageW(form->co_Change.Handle(), BM_CLICK, 0, 0);
    EXPECT_FALSE(form->FileMode);
    for (ui::Control* hidden :
         std::initializer_list<ui::Control*>{&form->Label1, &form->c_Add, &form->co_FileOpen, &form->FilesListBox})
        EXPECT_FALSE(hidden->IsVisible()) << hidden->WideCaption() << hidden->Hint();
    for (ui::Control* shown :
         std::initializer_list<ui::Control*>{&form->CommandExplanation, &form->CommandString, &form->co_Insert,
                                             &form->co_Edit, &form->co_Delete, &form->PrinterListBox})
        EXPECT_TRUE(shown->IsVisible()) << shown->WideCaption() << shown->Hint();
    EXPECT_EQ(Pixels(form->co_Change.Glyph()), Resource("OFF"));
    // Nothing is selected in the catalogue: no output; an entry still selected from before enables it at once.
    EXPECT_FALSE(form->co_Print.IsEnabled());
    form->CommandExplanation.SetItemIndex(0);
    form->ChangeCommandStatus();
    form->ChangeCommandStatus();
    EXPECT_TRUE(form->co_Print.IsEnabled());
    EXPECT_EQ(form->CommandExplanation.ItemIndex(), 0);
    // The switch leaves the command buttons' own state alone.
    EXPECT_FALSE(form->co_Edit.IsEnabled());

    SendMessageW(form->co_Change.Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(form->FileMode);
    EXPECT_EQ(Layout(*form), fileLayout);
    EXPECT_EQ(Pixels(form->co_Change.Glyph()), Resource("ON"));
    EXPECT_EQ(Items(form->FilesListBox), (std::vector<std::string>{"C:\\a.prn", "C:\\b.prn", "C:\\c.prn"}));
    EXPECT_EQ(form->FilesListBox.SelectedCount(), 2);
    EXPECT_TRUE(form->FilesListBox.IsSelected(1));
    EXPECT_TRUE(form->FilesListBox.IsSelected(2));
}

TEST_F(ModeSwitchTest, OutputButtonRunsTheHandlerOfTheModeInForce) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + "kelvad_mode.prn";
    {
        ui::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        WriteFile(file.get(), "\x1b@", 2, &written, nullptr);
    }
    auto form = MakeForm("Kelvad32.exe \"" + path + "\"");
    form->LoadCommandEntries({{"初期化", "^[@"}});
    form->CommandExplanation.SetItemIndex(0);
    form->CommandString.SetItemIndex(0);

    SendMessageW(form->co_Change.Handle(), BM_CLICK, 0, 0);
    ASSERT_TRUE(form->co_Print.IsEnabled());
    SendMessageW(form->co_Print.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(spooler.docs, std::vector<std::string>{"Kelvad ^[@"}) << "the file list went out in command-string mode";
    EXPECT_TRUE(form->boxes.empty());

    SendMessageW(form->co_Change.Handle(), BM_CLICK, 0, 0);
    SendMessageW(form->co_Print.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(spooler.docs, (std::vector<std::string>{"Kelvad ^[@", "Kelvad " + path}));
}

} // namespace
} // namespace form_test
