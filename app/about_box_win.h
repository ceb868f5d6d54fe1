#pragma once
#include <windows.h>

#include "ui/button.h"
#include "ui/painted_control.h"
#include "ui/form.h"
#include "ui/label.h"
#include "ui/panel.h"

namespace kelvad {

// An icon drawn stretched over the whole control.
class IconView : public ui::PaintedControl {
public:
    static constexpr const wchar_t* kClassName = L"KelvadIconView";

    struct CreateArgs {
        ui::Form* parent = nullptr;
        int left = 0, top = 0, width = 32, height = 32;
        HICON icon = nullptr; // borrowed: must outlive the control
    };

    void Create(const CreateArgs& args);
    HICON Icon() const noexcept { return icon_; }

protected:
    void Paint(HDC dc) override;

private:
    HICON icon_ = nullptr;
};

// The about box: the program's icon, name and version in a bevelled panel, and an OK button. A fixed dialog
// frame without caption buttons, always on top.
class TAboutBox : public ui::Form {
public:
    // Creates the box hidden, owned by owner (this runs FormCreate).
    explicit TAboutBox(HWND owner);

    // Controls; positions in the panel are taken from the panel's corner.
    ui::Panel Panel1;
    IconView ProgramIcon;
    ui::Label ProductName;
    ui::Label Version;
    ui::Label Comment;
    ui::Button OKButton;

    void FormCreate();
    void OKButtonClick();

protected:
    void CreateControls() override;
};

// What co_About does: the box, centred on the main window, zoomed in from the button, shown modally, zoomed back
// into the button and released (also when a step fails).
void RunAboutBox(ui::Form& mainForm, HWND button);

} // namespace kelvad
