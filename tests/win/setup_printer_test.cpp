// The setup dialog driven through its controls, as the user would, inside its own modal loop.
#include <windows.h>

#include <commctrl.h>

#include <functional>

#include "image/setup_printer_win.h"
#include "layout_check.h"
#include "lists/file_list.h"
#include "main_form_fixture.h"
#include "output/printer_win.h"
#include "ui_test_support.h"

namespace {

using form_test::MainFormFixture;
using kelvad::TSetupPrinter;

class SetupPrinterTest : public MainFormFixture {
protected:
    void TearDown() override {
        kelvad::Printer().SetPrinterIndex(-1);
        MainFormFixture::TearDown();
    }
    // Presses co_SetUp and runs `drive` on the dialog once it stands; drive ends it by a click.
    void RunDialog(form_test::TestForm& form, const std::function<void(TSetupPrinter&)>& drive) {
        bool ran = false;
        ui::App().onIdle = [&](bool&) {
            HWND hwnd = FindWindowW(L"UiForm", L"設定");
            if (ran || !hwnd || !IsWindowVisible(hwnd))
                return;
            ran = true;
            drive(*static_cast<TSetupPrinter*>(ui::Window::FromHandle(hwnd)));
        };
        SendMessageW(form.co_SetUp.Handle(), BM_CLICK, 0, 0);
        ui::App().onIdle = nullptr;
        ui::App().ProcessMessages();
        EXPECT_TRUE(ran);
    }
    static void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
};

TEST_F(SetupPrinterTest, LayoutMatchesTheDesign) {
    auto form = MakeForm();
    RunDialog(*form, [&](TSetupPrinter& d) {
        EXPECT_EQ(ui_test::Text(d.Handle()), L"設定");
        EXPECT_EQ(d.helpContext, 5001u);
        RECT client{};
        GetClientRect(d.Handle(), &client);
        EXPECT_EQ(client.right, layout_test::Design(d.Handle(), 385));
        EXPECT_EQ(client.bottom, layout_test::Design(d.Handle(), 330));
        // Centred on the main window by outer sizes.
        RECT main = form->OuterRect(), own = d.OuterRect();
        EXPECT_EQ(own.left, (main.right - main.left - (own.right - own.left)) / 2 + main.left);
        EXPECT_EQ(own.top, (main.bottom - main.top - (own.bottom - own.top)) / 2 + main.top);
        const std::pair<ui::Control*, const wchar_t*> texts[] = {
            {&d.l_PrinterName, L"機種名：Kelvad Printer"}, {&d.RadioGroup1, L"ファイル形式"},
            {&d.co_Settei, L"プリンタの設定"},            {&d.Kakudai, L"画像を用紙全体に印刷する"},
            {&d.Hanten, L"画像を反転する"},              {&d.MarginZero, L"マージンを０にする"},
            {&d.IsDeleteFile, L"出力後ファイル削除"},     {&d.OKBtn, L"OK"},
            {&d.CancelBtn, L"ｷｬﾝｾﾙ"},                    {&d.HelpBtn, L"ﾍﾙﾌﾟ(&H)"},
            {&d.l_Margin, L"マージンの設定"},             {&d.l_Right, L"右"}};
        for (const auto& [control, text] : texts)
            EXPECT_EQ(control->WideCaption(), text);
        EXPECT_EQ(ui_test::Text(d.RadioGroup1.Button(0)), L"Prnファイル");
        EXPECT_EQ(ui_test::Text(d.RadioGroup1.Button(1)), L"画像ファイル");
        // With image files: Tab goes OK, Cancel, Help, the chosen file kind, the margins top to right, then the rest.
        Click(d.RadioGroup1.Button(1));
        layout_test::ExpectLayout(d.Handle(), {d.OKBtn.Handle(), d.CancelBtn.Handle(), d.HelpBtn.Handle(),
                                               d.RadioGroup1.Button(1), d.TopMargin.Handle(), d.BottomMargin.Handle(),
                                               d.LeftMargin.Handle(), d.RightMargin.Handle(), d.co_Settei.Handle(),
                                               d.Kakudai.Handle(), d.Hanten.Handle(), d.MarginZero.Handle(),
                                               d.IsDeleteFile.Handle()});
        layout_test::ExpectDpiRoundTrip(d, [] {});
        // Escape is the cancel button.
        SendMessageW(d.Handle(), WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(form->OutputOptions.IsPrnFile);
}

TEST_F(SetupPrinterTest, FileKindEnablesTheImageControlsAndCancelChangesNothing) {
    auto form = MakeForm();
    // The test printers' border is 6 mm: a stored 3 shows as 6.
    ASSERT_EQ(form->MinMargins().Left, 6);
    form->OutputOptions.LeftMargin = 3;
    const std::string filter = form->FileOpenDialog.filter;
    std::vector<unsigned> help;
    ui::App().onHelp = [&](HWND, UINT, ULONG_PTR context) { help.push_back(context); };

    RunDialog(*form, [&](TSetupPrinter& d) {
        EXPECT_EQ(d.l_PrinterName.WideCaption(), L"機種名：Kelvad Printer");
        auto imageControlsEnabled = [&](bool enabled) {
            for (ui::Control* c : {static_cast<ui::Control*>(&d.co_Settei), static_cast<ui::Control*>(&d.Kakudai),
                                   static_cast<ui::Control*>(&d.Hanten), static_cast<ui::Control*>(&d.MarginZero)})
                EXPECT_EQ(c->IsEnabled(), enabled) << c->WideCaption();
        };
        auto marginsEnabled = [&](bool enabled) {
            for (ui::SpinEdit* e : {&d.TopMargin, &d.BottomMargin, &d.LeftMargin, &d.RightMargin})
                EXPECT_EQ(e->IsEnabled(), enabled);
        };
        EXPECT_EQ(d.RadioGroup1.ItemIndex(), 0);
        imageControlsEnabled(false);
        marginsEnabled(false);
        EXPECT_TRUE(d.IsDeleteFile.IsEnabled());
        EXPECT_EQ(d.LeftMargin.WideCaption(), L"6");
        EXPECT_EQ(d.LeftMargin.MinValue(), 6);
        EXPECT_EQ(d.TopMargin.Value(), 20);

        Click(d.RadioGroup1.Button(1));
        imageControlsEnabled(true);
        marginsEnabled(true);
        Click(d.MarginZero.Handle());
        marginsEnabled(false);
        Click(d.MarginZero.Handle());
        marginsEnabled(true);
        Click(d.RadioGroup1.Button(0));
        imageControlsEnabled(false);
        marginsEnabled(false);
        EXPECT_TRUE(d.IsDeleteFile.IsEnabled());
        Click(d.HelpBtn.Handle());
        Click(d.RadioGroup1.Button(1));
        Click(d.Hanten.Handle());
        Click(d.CancelBtn.Handle());
    });

    EXPECT_EQ(form->OutputOptions.LeftMargin, 3);
    EXPECT_TRUE(form->OutputOptions.IsPrnFile);
    EXPECT_FALSE(form->OutputOptions.IsReverse);
    EXPECT_EQ(form->FileOpenDialog.filter, filter);
    EXPECT_EQ(help, std::vector<unsigned>{5001});
    EXPECT_EQ(FindWindowW(L"UiForm", L"設定"), nullptr);
}

TEST_F(SetupPrinterTest, OkWritesEveryOptionBackAndTheFilterFollows) {
    auto form = MakeForm();
    form->OutputOptions.LeftMargin = 3;
    form->OutputOptions.IsDeleteFile = true;

    RunDialog(*form, [&](TSetupPrinter& d) {
        EXPECT_TRUE(d.IsDeleteFile.Checked());
        Click(d.RadioGroup1.Button(1));
        Click(d.Kakudai.Handle());
        Click(d.Hanten.Handle());
        Click(d.IsDeleteFile.Handle());
        // The spin edit: the arrows step by 1, leaving the field clamps, a text that is no integer reads as the
        // lower bound.
        SendMessageW(d.TopMargin.Handle(), WM_KEYDOWN, VK_UP, 0);
        EXPECT_EQ(d.TopMargin.WideCaption(), L"21");
        // A click on the lower arrow.
        RECT arrows{};
        GetClientRect(d.RightMargin.Arrows(), &arrows);
        const LPARAM lower = MAKELPARAM(arrows.right / 2, arrows.bottom * 3 / 4);
        SendMessageW(d.RightMargin.Arrows(), WM_LBUTTONDOWN, MK_LBUTTON, lower);
        SendMessageW(d.RightMargin.Arrows(), WM_LBUTTONUP, 0, lower);
        EXPECT_EQ(d.RightMargin.WideCaption(), L"19");
        d.BottomMargin.SetCaption("99");
        d.BottomMargin.Focus();
        d.OKBtn.Focus();
        EXPECT_EQ(d.BottomMargin.WideCaption(), L"50");
        d.LeftMargin.SetCaption("");
        EXPECT_EQ(d.LeftMargin.Value(), 6);
        Click(d.OKBtn.Handle());
    });

    const kelvad::OutputOptions& o = form->OutputOptions;
    EXPECT_FALSE(o.IsPrnFile);
    EXPECT_FALSE(o.IsStretch);
    EXPECT_TRUE(o.IsReverse);
    EXPECT_FALSE(o.IsMarginZero);
    EXPECT_FALSE(o.IsDeleteFile);
    EXPECT_EQ(o.TopMargin, 21);
    EXPECT_EQ(o.RightMargin, 19);
    EXPECT_EQ(o.BottomMargin, 50);
    EXPECT_EQ(o.LeftMargin, 6);
    EXPECT_EQ(form->FileOpenDialog.filter, kelvad::FilterForFileKind(false).filter);

    // Back to printer files: the filter follows again.
    RunDialog(*form, [&](TSetupPrinter& d) {
        EXPECT_EQ(d.RadioGroup1.ItemIndex(), 1);
        EXPECT_EQ(d.TopMargin.Value(), 21);
        Click(d.RadioGroup1.Button(0));
        Click(d.OKBtn.Handle());
    });
    EXPECT_TRUE(form->OutputOptions.IsPrnFile);
    EXPECT_EQ(form->FileOpenDialog.filter, kelvad::FilterForFileKind(true).filter);
}

bool printerSetupAnswered = false;

// Chooses テストプリンタ in the printer setup dialog once it stands, and presses OK.
void CALLBACK ChooseTestPrinter(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr, combo = nullptr;
    while (!combo && (dialog = FindWindowExW(nullptr, dialog, L"#32770", nullptr)) != nullptr) {
        // The printer names' combo box: the one that lists the test printer.
        for (HWND child = nullptr; IsWindowVisible(dialog) && !combo &&
                                   (child = FindWindowExW(dialog, child, L"ComboBox", nullptr)) != nullptr;)
            if (SendMessageW(child, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(L"テストプリンタ")) != CB_ERR)
                combo = child;
    }
    if (printerSetupAnswered || !combo)
        return;
    printerSetupAnswered = true;
    SendMessageW(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"テストプリンタ"));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

// The platform's printer setup dialog, answered by a timer inside its own modal loop: another printer chosen there
// is current at once; the target list and the main window's label follow on OK.
TEST_F(SetupPrinterTest, PrinterChosenInThePrinterSetupDialogBecomesCurrent) {
    auto form = MakeForm();
    printerSetupAnswered = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 100, ChooseTestPrinter);

    RunDialog(*form, [&](TSetupPrinter& d) {
        Click(d.RadioGroup1.Button(1));
        Click(d.co_Settei.Handle());
        EXPECT_TRUE(printerSetupAnswered);
        EXPECT_EQ(kelvad::Printer().CurrentText(), L"テストプリンタ");
        EXPECT_EQ(d.l_PrinterName.WideCaption(), L"機種名：テストプリンタ");
        // The main window learns of it on OK only.
        EXPECT_EQ(form->LPrinter.WideCaption(), L"Kelvad Printer");
        Click(d.OKBtn.Handle());
    });
    KillTimer(nullptr, timer);

    EXPECT_EQ(form->PrinterListBox.WideItem(form->PrinterListBox.ItemIndex()), L"テストプリンタ");
    EXPECT_EQ(form->LPrinter.WideCaption(), L"テストプリンタ");
}

} // namespace
