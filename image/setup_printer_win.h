#pragma once
#include <windows.h>

#include <functional>

#include "output/output_options.h"
#include "output/printer.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/form.h"
#include "ui/label.h"
#include "ui/panel.h"
#include "ui/radio_group.h"
#include "ui/spin_edit.h"

namespace kelvad {

// What the setup dialog reads and changes in the window that opens it.
class SetupOwner {
public:
    virtual ~SetupOwner() = default;
    virtual OutputOptions& Options() = 0;
    // The current printer's unprintable margins as last read, and reading them afresh.
    virtual PrinterMargins MinMargins() const = 0;
    virtual void RefreshMinMargins() = 0;
    // The output target list selects the current printer's entry, as a click on it would.
    virtual void SelectCurrentPrinter() = 0;
};

// The setup dialog: printer files or image files, the four page margins within the printer's limits,
// stretching, mirroring, zero margins, deleting files after output, and the platform's printer setup dialog.
// OK writes the controls back into the owner's options; Cancel changes nothing.
class TSetupPrinter : public ui::Form {
public:
    // Creates the dialog hidden (this runs FormCreate).
    TSetupPrinter(HWND ownerWindow, SetupOwner& owner);

    // Controls, in the order of the window design; the margin controls lie in Panel1.
    ui::Panel Bevel1;
    ui::Label l_PrinterName;
    ui::RadioGroup RadioGroup1;
    ui::Button co_Settei;
    ui::CheckBox Kakudai;
    ui::CheckBox Hanten;
    ui::CheckBox MarginZero;
    ui::CheckBox IsDeleteFile;
    ui::Panel Panel1;
    ui::Label l_Margin;
    ui::Label l_Top;
    ui::Label l_Bottom;
    ui::Label l_Left;
    ui::Label l_Right;
    ui::SpinEdit TopMargin;
    ui::SpinEdit BottomMargin;
    ui::SpinEdit LeftMargin;
    ui::SpinEdit RightMargin;
    ui::Button OKBtn;
    ui::Button CancelBtn;
    ui::Button HelpBtn;

    // The platform's printer setup dialog (answers whether a choice was made); tests replace it.
    std::function<bool(HWND owner)> printerSetupDialog;

    void FormCreate();
    void RadioGroup1Click();
    void MarginZeroClick();
    void ApplyMarginMinimums();
    void co_SetteiClick();
    void HantenClick();
    void HelpBtnClick();
    void OKBtnClick();

protected:
    void CreateControls() override;

private:
    void ShowPrinterName();

    SetupOwner& owner_;
};

// What co_SetUp does: the dialog, centred on the main window, with the printer's minimum margins applied, zoomed
// in from the button, shown modally, zoomed back; then afterClose runs (the open dialog's filter) and the dialog
// is released (also when a step fails).
void RunSetupPrinter(ui::Form& mainForm, SetupOwner& owner, HWND button, const std::function<void()>& afterClose);

} // namespace kelvad
