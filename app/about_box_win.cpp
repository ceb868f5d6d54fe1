#include "app/about_box_win.h"

#include "base/help_ids.h"
#include "base/resource_ids.h"
#include "ui/application.h"

namespace kelvad {

namespace {

constexpr int kPanelLeft = 8;
constexpr int kPanelTop = 8;

} // namespace

void IconView::Create(const CreateArgs& args) {
    RegisterWindowClass(kClassName, CS_HREDRAW | CS_VREDRAW, nullptr, ui::ArrowCursor());
    icon_ = args.icon;
    CreateControl(kClassName, true, ui::PlacementOf(args), 0, 0);
}

void IconView::Paint(HDC dc) {
    RECT client{};
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (icon_)
        DrawIconEx(dc, 0, 0, icon_, client.right, client.bottom, 0, nullptr, DI_NORMAL);
}

TAboutBox::TAboutBox(HWND owner) {
    onCreate = [this] { FormCreate(); };
    Create({
        .clientWidth = 313,
        .clientHeight = 189,
        .caption = "バージョン情報",
        .style = WS_POPUP | WS_CAPTION,
        .exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST,
        .font = {"ＭＳ ゴシック", 13},
        .helpContext = kHelpMain,
        .owner = owner,
    });
}

void TAboutBox::CreateControls() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    Panel1.Create({.parent = this,
                   .left = kPanelLeft,
                   .top = kPanelTop,
                   .width = 297,
                   .height = 137,
                   .bevelOuter = ui::Panel::Bevel::Lowered,
                   .bevelInner = ui::Panel::Bevel::Raised});
    ProgramIcon.Create({.parent = this,
                        .left = kPanelLeft + 8,
                        .top = kPanelTop + 8,
                        .width = 32,
                        .height = 32,
                        .icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_MAINICON))});
    // The design holds the short name; FormCreate puts the application title in.
    ProductName.Create({.parent = this,
                        .left = kPanelLeft + 70,
                        .top = kPanelTop + 16,
                        .caption = "Kelvad",
                        .font = {.face = "Times New Roman", .height = 21, .bold = true, .charset = DEFAULT_CHARSET},
                        .autoSize = true});
    Version.Create(
        {.parent = this, .left = kPanelLeft + 176, .top = kPanelTop + 24, .caption = "Version 1.2", .autoSize = true});
    Comment.Create({.parent = this,
                    .left = kPanelLeft + 32,
                    .top = kPanelTop + 56,
                    .caption = "Kelvad はフリーソフトウエアーです",
                    .autoSize = true});
    OKButton.Create({.parent = this,
                     .left = 119,
                     .top = 154,
                     .width = 77,
                     .height = 27,
                     .caption = "OK",
                     .tabOrder = 0,
                     .helpContext = kHelpMain,
                     .modalResult = IDOK});
    OKButton.SetGlyphResource(instance, MAKEINTRESOURCEW(IDB_OK), 2);
    OKButton.onClick = [this] { OKButtonClick(); };
    activeControl = &OKButton;
    defaultButton = &OKButton;
}

void TAboutBox::FormCreate() {
    ProductName.SetCaption(ui::App().title);
}

void TAboutBox::OKButtonClick() {
    Close();
}

void RunAboutBox(ui::Form& mainForm, HWND button) {
    ui::MakeReleased<TAboutBox>(mainForm.Handle())->ShowModalZoomed(button);
}

} // namespace kelvad
