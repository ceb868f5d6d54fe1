#pragma once
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/help_win.h"
#include "image/all_win.h"
#include "image/image_page_win.h"
#include "image/setup_printer_win.h"
#include "lists/command_catalogue.h"
#include "lists/file_list_win.h"
#include "lists/scl_list_box_win.h"
#include "output/file_system.h"
#include "output/output_options.h"
#include "output/progress_sink.h"
#include "output/spooler.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/form.h"
#include "ui/label.h"
#include "ui/list_box.h"

namespace kelvad {

class IniFile;
class TNowPrinting;

// The program's one main window: the file list, the output target list and the row of buttons.
class TMain_Form : public ui::Form, public MessageSink, public SetupOwner {
public:
    // commandLine is the process command line as GetCommandLineW gives it (parameter 0 is skipped).
    explicit TMain_Form(std::wstring commandLine);
    ~TMain_Form() override;

    // Creates the window (runs FormCreate); it stays hidden until shown.
    void Create();

    // Controls, declared in the order of the window design.
    ui::CheckBox c_Add;
    ui::Button co_FileOpen;
    ui::Button co_Insert;
    ui::Button co_Edit;
    ui::Button co_Delete;
    TSclListBox FilesListBox;
    TSclListBox CommandExplanation;
    TSclListBox CommandString;
    TSclListBox PrinterListBox;
    ui::Button co_Print;
    ui::Button co_Change;
    ui::Button co_Quit;
    ui::Button co_SetUp;
    ui::Button co_Help;
    ui::Button co_About;
    ui::Label Label1;
    ui::Label Label2;
    ui::Label LPrinter;
    OpenFileDialog FileOpenDialog;
    // Where every help request of the program goes (F1, the help buttons, the open dialog's help).
    HelpDesk Help;
    // The invisible image loader of the image run; its messages go where the run's own boxes go.
    TAll All1;

    bool IsPrinting = false;
    bool FileMode = true;
    bool StartMinimized = false;
    bool AutoPrint = false;
    int LastCommandIndex = -1;
    OutputOptions OutputOptions;
    // The current printer's unprintable margins in whole millimetres (RefreshMinMargins).
    PrinterMargins MinimumMargins;

    void FormCreate();
    void FormShow();
    void FormCloseQuery(bool& canClose);
    void co_PrintClick();
    void co_HelpClick();
    void AppHelp(HWND owner, UINT command, ULONG_PTR data);
    void AppException(const std::exception& error);
    void AutoPrintIdle(bool& done);
    // Output targets: the clicked row becomes current; the current printer's minimum margins.
    void PrinterListBoxClick();
    void RefreshMinMargins() override;
    // The setup dialog, and what it reads and changes here.
    void co_SetUpClick();
    kelvad::OutputOptions& Options() override { return OutputOptions; }
    PrinterMargins MinMargins() const override;
    void SelectCurrentPrinter() override;
    void co_AboutClick();
    void AppMessage(MSG& msg, bool& handled);

    // File list: the open dialog, dropped files, and the dialog's filter for the file kind in force.
    void co_FileOpenClick();
    void WMDropFiles(HDROP drop);
    void UpdateOpenDialogFilter();
    // Switches between file mode and command-string mode.
    void ChangeCommandStatus();

    // The command-string catalogue. Start-up: appends the stored entries in order (the catalogue keeps at most
    // MaxCommandEntries) and enables co_Insert unless the catalogue is full; nothing gets selected.
    void LoadCommandEntries(const std::vector<CommandEntry>& entries);
    // The catalogue's entries in list order, as they are to be stored.
    std::vector<CommandEntry> CommandEntries() const;
    // The shared click handler of CommandExplanation and CommandString (every selection change, mouse or keys).
    void CommandClick(TSclListBox& sender);
    void co_InsertClick();
    void co_EditClick();
    void co_DeleteClick();
    // The output button in command-string mode: sends the selected command string to the current target.
    void CommandOutputClick();

    // The settings file: read at the end of FormCreate through one profile, written by FormDestroy at program
    // end through another. A file that is there but cannot be read is reported, and false returned: its settings
    // were not read, and the end of the run leaves it as it is.
    bool LoadSettings();
    void LoadConfig(IniFile& ini);
    void LoadCommandStrings(IniFile& ini);
    void LoadOptions(IniFile& ini);
    void SaveConfig(IniFile& ini);
    void SaveCommandStrings(IniFile& ini);
    void SaveOptions(IniFile& ini);
    void FormDestroy();

    void ShowWideMessageBox(const std::wstring& text, const std::wstring& caption, unsigned flags) override;

    // Exit status after an automatic print: 0 when every file was output, 1 otherwise.
    int ExitStatus() const noexcept { return exitStatus_; }
    // An automatic print whose start-up an error cut short (no default printer, say) prints nothing: the
    // program ends after the error box, with status 1, instead of waiting for someone to close the window.
    bool EndsAtStart() const noexcept { return endsAtStart_; }

    // The spooler and file system the output goes through (the platform's unless a test hands over
    // recording wrappers of its own).
    Spooler& CurrentSpooler() noexcept { return *spooler_; }
    FileSystem& CurrentFileSystem() noexcept { return *fileSystem_; }
    void UseSpooler(Spooler& s) noexcept { spooler_ = &s; }
    void UseFileSystem(FileSystem& fs) noexcept { fileSystem_ = &fs; }
    // What draws an image page (DrawPicture unless a test hands over a device that refuses drawings).
    PictureDrawer drawPicture;

protected:
    void CreateControls() override;
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void TakeCommandLine();
    void ChooseCommandLinePrinter();
    void FillPrinterList();
    void UpdatePrintEnabled();
    CatalogueSelection CommandSelection() const;
    void ShowCommandSelection(const CatalogueSelection& state);
    // Shows the command editor with the entry's texts, zoomed in from the button and back; the edited entry
    // when it was closed with OK. A field left as it was shown keeps the entry's own bytes.
    std::optional<CommandEntry> RunCommandEditor(ui::Button& button, const CommandEntry& entry);

    std::wstring commandLine_;
    // The catalogue's entries byte for byte, in list order. The two lists show them, but a list item is text:
    // bytes that code page 932 maps to no character, or to one it also spells otherwise, would not come back.
    std::vector<CommandEntry> commands_;
    // The progress window while a run is under way.
    TNowPrinting* nowPrinting_ = nullptr;
    std::wstring settingsPath_;
    // The settings were read: only then does the end of the run write them back.
    bool settingsLoaded_ = false;
    bool destroying_ = false;
    std::unique_ptr<Spooler> ownSpooler_;
    std::unique_ptr<FileSystem> ownFileSystem_;
    Spooler* spooler_ = nullptr;
    FileSystem* fileSystem_ = nullptr;
    bool autoPrintDone_ = false;
    bool createCompleted_ = false;
    bool endsAtStart_ = false;
    // The printer named for this run on the command line, and whether no installed printer has that name.
    std::optional<std::wstring> namedPrinter_;
    bool namedPrinterMissing_ = false;
    int exitStatus_ = 0;
};

} // namespace kelvad
