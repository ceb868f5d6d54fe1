#include "image/setup_printer_win.h"

#include "base/codepage.h"
#include "base/help_ids.h"
#include "image/setup_rules.h"
#include "output/printer_win.h"
#include "ui/application.h"

namespace kelvad {

namespace {

constexpr int kMarginLimit = 50;
// Panel1's corner: the margin controls are placed from it.
constexpr int kPanelLeft = 236;
constexpr int kPanelTop = 104;
// The four margin fields take the panel's place in the tab order, among themselves in creation order.
constexpr int kPanelTabOrder = 4;

void SetField(ui::SpinEdit& edit, const MarginField& field) {
    // The value is set under the bounds as they stood; the new lower bound comes after it.
    edit.SetValue(field.value);
    edit.SetMinValue(field.minValue);
    edit.SetMaxValue(field.maxValue);
}

} // namespace

TSetupPrinter::TSetupPrinter(HWND ownerWindow, SetupOwner& owner) : owner_(owner) {
    printerSetupDialog = [](HWND parent) { return ExecutePrinterSetupDialog(parent); };
    onCreate = [this] { FormCreate(); };
    Create({
        .clientWidth = 385,
        .clientHeight = 330,
        .caption = "設定",
        .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
        .exStyle = WS_EX_DLGMODALFRAME,
        .font = {"ＭＳ Ｐゴシック", 15},
        .helpContext = kHelpSetUp,
        .owner = ownerWindow,
        .fixedSize = true,
    });
}

void TSetupPrinter::CreateControls() {
    Bevel1.Create(
        {.parent = this, .left = 10, .top = 10, .width = 365, .height = 279, .bevelOuter = ui::Panel::Bevel::Lowered});
    l_PrinterName.Create({.parent = this, .left = 24, .top = 16, .width = 337, .height = 15, .caption = "機種名："});
    RadioGroup1.Create({.parent = this,
                        .left = 28,
                        .top = 47,
                        .width = 133,
                        .height = 82,
                        .caption = "ファイル形式",
                        .items = {"Prnファイル", "画像ファイル"},
                        .tabOrder = 3,
                        .itemIndex = 0});
    co_Settei.Create({.parent = this,
                      .left = 28,
                      .top = 152,
                      .width = 133,
                      .height = 33,
                      .caption = "プリンタの設定",
                      .tabOrder = 5,
                      .enabled = false});
    Kakudai.Create({.parent = this,
                    .left = 28,
                    .top = 203,
                    .width = 196,
                    .height = 17,
                    .caption = "画像を用紙全体に印刷する",
                    .tabOrder = 6,
                    .enabled = false});
    Hanten.Create({.parent = this,
                   .left = 28,
                   .top = 231,
                   .width = 181,
                   .height = 17,
                   .caption = "画像を反転する",
                   .tabOrder = 7,
                   .enabled = false});
    MarginZero.Create({.parent = this,
                       .left = 28,
                       .top = 259,
                       .width = 181,
                       .height = 17,
                       .caption = "マージンを０にする",
                       .tabOrder = 8,
                       .enabled = false});
    IsDeleteFile.Create({.parent = this,
                         .left = 212,
                         .top = 67,
                         .width = 157,
                         .height = 17,
                         .caption = "出力後ファイル削除",
                         .tabOrder = 9});
    Panel1.Create({.parent = this,
                   .left = kPanelLeft,
                   .top = kPanelTop,
                   .width = 133,
                   .height = 177,
                   .bevelInner = ui::Panel::Bevel::Lowered});
    l_Margin.Create(
        {.parent = this, .left = kPanelLeft + 12, .top = kPanelTop + 9, .caption = "マージンの設定", .autoSize = true});
    l_Top.Create({.parent = this, .left = kPanelLeft + 30, .top = kPanelTop + 41, .caption = "上", .autoSize = true});
    l_Bottom.Create(
        {.parent = this, .left = kPanelLeft + 30, .top = kPanelTop + 74, .caption = "下", .autoSize = true});
    l_Left.Create({.parent = this, .left = kPanelLeft + 30, .top = kPanelTop + 106, .caption = "左", .autoSize = true});
    l_Right.Create(
        {.parent = this, .left = kPanelLeft + 30, .top = kPanelTop + 139, .caption = "右", .autoSize = true});
    const auto margin = [this](ui::SpinEdit& edit, int top) {
        edit.Create({.parent = this,
                     .left = kPanelLeft + 60,
                     .top = kPanelTop + top,
                     .width = 49,
                     .height = 24,
                     .tabOrder = kPanelTabOrder,
                     .enabled = false,
                     .minValue = 0,
                     .maxValue = kMarginLimit,
                     .value = 20,
                     .maxLength = 2});
    };
    margin(TopMargin, 36);
    margin(BottomMargin, 69);
    margin(LeftMargin, 101);
    margin(RightMargin, 134);
    OKBtn.Create({.parent = this,
                  .left = 86,
                  .top = 294,
                  .width = 93,
                  .height = 30,
                  .caption = "OK",
                  .tabOrder = 0,
                  .modalResult = IDOK});
    CancelBtn.Create({.parent = this,
                      .left = 185,
                      .top = 294,
                      .width = 92,
                      .height = 30,
                      .caption = "ｷｬﾝｾﾙ",
                      .tabOrder = 1,
                      .modalResult = IDCANCEL});
    HelpBtn.Create(
        {.parent = this, .left = 283, .top = 294, .width = 92, .height = 30, .caption = "ﾍﾙﾌﾟ(&H)", .tabOrder = 2});

    RadioGroup1.onClick = [this] { RadioGroup1Click(); };
    MarginZero.onClick = [this] { MarginZeroClick(); };
    Hanten.onClick = [this] { HantenClick(); };
    co_Settei.onClick = [this] { co_SetteiClick(); };
    HelpBtn.onClick = [this] { HelpBtnClick(); };
    OKBtn.onClick = [this] { OKBtnClick(); };
    activeControl = &OKBtn;
    defaultButton = &OKBtn;
    cancelButton = &CancelBtn;
}

void TSetupPrinter::ShowPrinterName() {
    l_PrinterName.SetCaption(NamedText("機種名：", Printer().CurrentText(), {}));
}

void TSetupPrinter::FormCreate() {
    ShowPrinterName();
    const OutputOptions& options = owner_.Options();
    LeftMargin.SetValue(options.LeftMargin);
    RightMargin.SetValue(options.RightMargin);
    TopMargin.SetValue(options.TopMargin);
    BottomMargin.SetValue(options.BottomMargin);
    RadioGroup1.SetItemIndex(options.IsPrnFile ? kPrnFileItem : kImageFileItem);
    RadioGroup1Click();
    Kakudai.SetChecked(options.IsStretch);
    Hanten.SetChecked(options.IsReverse);
    MarginZero.SetChecked(options.IsMarginZero);
    IsDeleteFile.SetChecked(options.IsDeleteFile);
    MarginZeroClick();
}

void TSetupPrinter::RadioGroup1Click() {
    const bool image = SetupEnablingFor(RadioGroup1.ItemIndex(), MarginZero.Checked()).imageControls;
    co_Settei.SetEnabled(image);
    Kakudai.SetEnabled(image);
    Hanten.SetEnabled(image);
    MarginZero.SetEnabled(image);
    MarginZeroClick();
}

void TSetupPrinter::MarginZeroClick() {
    const bool margins = MarginZero.IsEnabled() && !MarginZero.Checked();
    TopMargin.SetEnabled(margins);
    BottomMargin.SetEnabled(margins);
    LeftMargin.SetEnabled(margins);
    RightMargin.SetEnabled(margins);
}

void TSetupPrinter::ApplyMarginMinimums() {
    const PrinterMargins minimum = owner_.MinMargins();
    for (auto [edit, printerMinimum] : {std::pair{&TopMargin, minimum.Top}, std::pair{&BottomMargin, minimum.Bottom},
                                        std::pair{&LeftMargin, minimum.Left}, std::pair{&RightMargin, minimum.Right}})
        SetField(*edit, ApplyMarginMinimum({edit->Value(), edit->MinValue(), edit->MaxValue()}, printerMinimum));
}

void TSetupPrinter::co_SetteiClick() {
    printerSetupDialog(Handle());
    ShowPrinterName();
    owner_.RefreshMinMargins();
    ApplyMarginMinimums();
}

void TSetupPrinter::HantenClick() {
    owner_.RefreshMinMargins();
    ApplyMarginMinimums();
}

void TSetupPrinter::HelpBtnClick() {
    ui::App().ShowHelp(kHelpSetUp);
}

void TSetupPrinter::OKBtnClick() {
    OutputOptions& options = owner_.Options();
    options.LeftMargin = LeftMargin.Value();
    options.RightMargin = RightMargin.Value();
    options.TopMargin = TopMargin.Value();
    options.BottomMargin = BottomMargin.Value();
    options.IsPrnFile = RadioGroup1.ItemIndex() == kPrnFileItem;
    options.IsStretch = Kakudai.Checked();
    options.IsReverse = Hanten.Checked();
    options.IsMarginZero = MarginZero.Checked();
    options.IsDeleteFile = IsDeleteFile.Checked();
    owner_.SelectCurrentPrinter();
}

void RunSetupPrinter(ui::Form& mainForm, SetupOwner& owner, HWND button, const std::function<void()>& afterClose) {
    const auto dialog = ui::MakeReleased<TSetupPrinter>(mainForm.Handle(), owner);
    dialog->ApplyMarginMinimums();
    dialog->ShowModalZoomed(button);
    if (afterClose)
        afterClose();
}

} // namespace kelvad
