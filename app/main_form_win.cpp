#include "app/main_form_win.h"

#include "app/about_box_win.h"
#include "app/command_line.h"
#include "base/codepage.h"
#include "base/help_ids.h"
#include "base/program_path_win.h"
#include "base/resource_ids.h"
#include "base/scope_exit.h"
#include "image/image_page_win.h"
#include "lists/edit_command_string_win.h"
#include "output/command_output.h"
#include "output/file_system_win.h"
#include "output/now_printing_win.h"
#include "output/print_run.h"
#include "output/printer_win.h"
#include "output/raw_spooler.h"
#include "output/spooler_win.h"
#include "settings/program_paths.h"
#include "ui/animate_zoom.h"
#include "ui/application.h"
#include "ui/error.h"
#include "ui/message_box.h"

#include <shellapi.h>

namespace kelvad {

namespace {

const ui::FontSpec kFormFont{"ＭＳ ゴシック", 13};
const ui::FontSpec kListFont{"System", 16};
const ui::FontSpec kCommandListFont{"System", 13};
const ui::FontSpec kTimesFont{.face = "Times New Roman", .height = 15, .charset = DEFAULT_CHARSET};
const ui::FontSpec kBoldFont{"ＭＳ ゴシック", 13, true};

// The file list as the print run sees it.
class FileRows : public FileList {
public:
    explicit FileRows(ui::ListBox& list) : list_(list) {}
    int Count() const override { return list_.Count(); }
    int SelectedCount() const override { return list_.SelectedCount(); }
    bool IsSelected(int index) const override { return list_.IsSelected(index); }
    std::wstring Item(int index) const override { return list_.WideItem(index); }
    void Delete(int index) override {
        if (index >= 0 && index < list_.Count())
            list_.DeleteItem(index);
    }

private:
    ui::ListBox& list_;
};

// Replaces an item the way the lists see it: a delete followed by an insert at the same index.
void ReplaceItem(ui::ListBox& list, int index, const std::string& text) {
    list.DeleteItem(index);
    list.InsertItem(index, text);
}

// The application's hooks point at the main window; each remembers which window it belongs to, so
// a window that goes away takes down only its own hooks.
template <auto Method, class... Args> struct FormHook {
    TMain_Form* form;
    void operator()(Args... args) const { (form->*Method)(args...); }
};
using ExceptionHook = FormHook<&TMain_Form::AppException, const std::exception&>;
using MessageHook = FormHook<&TMain_Form::AppMessage, MSG&, bool&>;
using IdleHook = FormHook<&TMain_Form::AutoPrintIdle, bool&>;
using HelpHook = FormHook<&TMain_Form::AppHelp, HWND, UINT, ULONG_PTR>;

template <class Hook, class Function> void Unhook(Function& function, const TMain_Form* form) {
    if (auto* hook = function.template target<Hook>(); hook && hook->form == form)
        function = nullptr;
}

} // namespace

TMain_Form::TMain_Form(std::wstring commandLine)
    : Help(ProgramPath()),
      All1(this, [this](const std::wstring& message) { ShowWideMessageBox(message, ui::App().WideTitle(), MB_OK); }),
      commandLine_(std::move(commandLine)), settingsPath_(SettingsFilePath(ProgramPath())),
      ownSpooler_(std::make_unique<WinSpooler>()), ownFileSystem_(std::make_unique<WinFileSystem>()),
      spooler_(ownSpooler_.get()), fileSystem_(ownFileSystem_.get()) {}

TMain_Form::~TMain_Form() {
    Unhook<ExceptionHook>(ui::App().onException, this);
    Unhook<MessageHook>(ui::App().onMessage, this);
    Unhook<IdleHook>(ui::App().onIdle, this);
    Unhook<HelpHook>(ui::App().onHelp, this);
}

void TMain_Form::Create() {
    onCreate = [this] { FormCreate(); };
    onShow = [this] { FormShow(); };
    onCloseQuery = [this](bool& canClose) { FormCloseQuery(canClose); };
    onDestroy = [this] { FormDestroy(); };
    // A sizeable-style frame that is never used to resize.
    ui::Form::Create({
        .clientWidth = 450,
        .clientHeight = 280,
        .left = 16,
        .top = 68,
        .caption = "Kelvad",
        .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN,
        .font = kFormFont,
        .helpContext = kHelpMain,
        .owner = nullptr,
        .icon = LoadIconW(ui::App().Instance(), MAKEINTRESOURCEW(IDI_MAINICON)),
        .fixedSize = true,
    });
    if (!createCompleted_ && ParseCommandLine(commandLine_).autoPrint) {
        endsAtStart_ = true;
        exitStatus_ = 1;
    }
}

void TMain_Form::CreateControls() {
    // File mode: the strip at the top and the file list.
    c_Add.Create({.parent = this,
                  .left = 76,
                  .top = 14,
                  .width = 49,
                  .height = 23,
                  .caption = "追加",
                  .hint = "ﾁｪｯｸでﾘｽﾄﾎﾞｯｸｽにﾌｧｲﾙを追加ﾓｰﾄﾞ",
                  .tabOrder = 0,
                  .helpContext = kHelpWork});
    co_FileOpen.Create({.parent = this,
                        .left = 131,
                        .top = 11,
                        .width = 81,
                        .height = 25,
                        .caption = "Open(&O)",
                        .hint = "ﾌｧｲﾙ選択ﾀﾞｲｱﾛｸﾞの表示",
                        .tabOrder = 1,
                        .helpContext = kHelpWork});
    // Command-string mode: the same strip and pane, hidden in file mode.
    co_Insert.Create({.parent = this,
                      .left = 8,
                      .top = 11,
                      .width = 65,
                      .height = 25,
                      .caption = "Ins(&I)",
                      .hint = "ｺﾏﾝﾄﾞ文字列を挿入",
                      .tabOrder = 2,
                      .helpContext = kHelpWork,
                      .font = kTimesFont,
                      .visible = false});
    co_Edit.Create({.parent = this,
                    .left = 78,
                    .top = 11,
                    .width = 65,
                    .height = 25,
                    .caption = "Edit(&E)",
                    .hint = "ｺﾏﾝﾄﾞ文字列を編集",
                    .tabOrder = 3,
                    .helpContext = kHelpWork,
                    .font = kTimesFont,
                    .visible = false});
    co_Delete.Create({.parent = this,
                      .left = 148,
                      .top = 11,
                      .width = 65,
                      .height = 25,
                      .caption = "Del(&D)",
                      .hint = "ｺﾏﾝﾄﾞ文字列の削除",
                      .tabOrder = 4,
                      .helpContext = kHelpWork,
                      .font = kTimesFont,
                      .visible = false});
    FilesListBox.Create({.parent = this,
                         .left = 8,
                         .top = 40,
                         .width = 217,
                         .height = 185,
                         .hint = "出力するﾌｧｲﾙを選択（複数可）、すべて未選択時出力ボタンですべて出力",
                         .tabOrder = 5,
                         .helpContext = kHelpWork,
                         .font = kListFont,
                         .multiSelect = true,
                         .itemHeight = 22});
    CommandExplanation.Create({.parent = this,
                               .left = 8,
                               .top = 40,
                               .width = 217,
                               .height = 89,
                               .hint = "ｺﾏﾝﾄﾞ文字列の説明文",
                               .tabOrder = 6,
                               .helpContext = kHelpWork,
                               .font = kCommandListFont,
                               .visible = false,
                               .itemHeight = 22});
    CommandString.Create({.parent = this,
                          .left = 8,
                          .top = 136,
                          .width = 217,
                          .height = 89,
                          .hint = "ｺﾏﾝﾄﾞ文字列",
                          .tabOrder = 7,
                          .helpContext = kHelpWork,
                          .font = kCommandListFont,
                          .visible = false,
                          .itemHeight = 22});
    // Both modes: the output targets and the row of buttons.
    PrinterListBox.Create({.parent = this,
                           .left = 232,
                           .top = 40,
                           .width = 209,
                           .height = 185,
                           .hint = "出力先を指定、未選択はデフォルトポート",
                           .tabOrder = 8,
                           .helpContext = kHelpWork,
                           .font = kListFont,
                           .itemHeight = 22});
    co_Print.Create({.parent = this,
                     .left = 8,
                     .top = 240,
                     .width = 89,
                     .height = 33,
                     .caption = "出力(&P)",
                     .hint = "出力先へデータを出力",
                     .tabOrder = 9,
                     .helpContext = kHelpWork});
    co_Change.Create({.parent = this,
                      .left = 104,
                      .top = 240,
                      .width = 89,
                      .height = 33,
                      .caption = "切換(&C)",
                      .hint = "Prnﾌｧｲﾙ出力とｺﾏﾝﾄﾞ文字列出力のモード切替",
                      .tabOrder = 10,
                      .helpContext = kHelpWork});
    co_Quit.Create({.parent = this,
                    .left = 200,
                    .top = 240,
                    .width = 89,
                    .height = 33,
                    .caption = "終了(&X)",
                    .hint = "Kelvadを終了",
                    .tabOrder = 11,
                    .helpContext = kHelpWork,
                    .kind = ui::Button::Kind::Close});
    co_SetUp.Create({.parent = this,
                     .left = 296,
                     .top = 240,
                     .width = 33,
                     .height = 33,
                     .hint = "設定",
                     .tabOrder = 12,
                     .helpContext = kHelpSetUp,
                     .font = kBoldFont});
    co_Help.Create({.parent = this,
                    .left = 336,
                    .top = 240,
                    .width = 33,
                    .height = 33,
                    .hint = "ヘルプを表示",
                    .tabOrder = 13,
                    .helpContext = kHelpMain,
                    .font = kBoldFont});
    co_About.Create({.parent = this,
                     .left = 376,
                     .top = 240,
                     .width = 73,
                     .height = 33,
                     .caption = "About(&A)",
                     .hint = "ﾊﾞｰｼﾞｮﾝ情報の表示",
                     .tabOrder = 14,
                     .helpContext = kHelpMain});
    Label1.Create({.parent = this,
                   .left = 8,
                   .top = 16,
                   .width = 57,
                   .height = 18,
                   .caption = "FileName",
                   .font = kTimesFont});
    Label2.Create({.parent = this, .left = 224, .top = 20, .width = 46, .height = 13, .caption = "出力先:"});
    LPrinter.Create(
        {.parent = this, .left = 276, .top = 20, .width = 46, .height = 13, .caption = "出力先:", .autoSize = true});

    co_FileOpen.SetGlyphResource(ui::App().Instance(), MAKEINTRESOURCEW(IDB_FILEOPEN), 2);
    co_Insert.SetGlyphResource(ui::App().Instance(), MAKEINTRESOURCEW(IDB_INSERT), 2);
    co_Edit.SetGlyphResource(ui::App().Instance(), MAKEINTRESOURCEW(IDB_EDIT), 2);
    co_Delete.SetGlyphResource(ui::App().Instance(), MAKEINTRESOURCEW(IDB_DELETE), 2);
    co_Print.SetGlyphResource(ui::App().Instance(), MAKEINTRESOURCEW(IDB_PRINT), 2);
    co_SetUp.SetGlyphResource(ui::App().Instance(), MAKEINTRESOURCEW(IDB_SETUP), 2);
    co_Help.SetGlyphResource(ui::App().Instance(), MAKEINTRESOURCEW(IDB_HELP), 2);

    co_FileOpen.onClick = [this] { co_FileOpenClick(); };
    co_Change.onClick = [this] { ChangeCommandStatus(); };
    co_Print.onClick = [this] { co_PrintClick(); };
    co_Help.onClick = [this] { co_HelpClick(); };
    co_About.onClick = [this] { co_AboutClick(); };
    co_SetUp.onClick = [this] { co_SetUpClick(); };
    co_Insert.onClick = [this] { co_InsertClick(); };
    co_Edit.onClick = [this] { co_EditClick(); };
    co_Delete.onClick = [this] { co_DeleteClick(); };
    CommandExplanation.onClick = [this] { CommandClick(CommandExplanation); };
    CommandString.onClick = [this] { CommandClick(CommandString); };
    PrinterListBox.onClick = [this] { PrinterListBoxClick(); };
    activeControl = &co_FileOpen;

    FileOpenDialog.title = "印刷するファイルを指定";
    FileOpenDialog.helpContext = kHelpSetUp;
}

void TMain_Form::FormCreate() {
    SetCaption("Kelvad32");
    ui::App().onException = ExceptionHook{this};
    LastCommandIndex = -1;
    ui::App().onMessage = MessageHook{this};
    ui::App().onHelp = HelpHook{this};
    co_Edit.SetEnabled(false);
    co_Delete.SetEnabled(false);
    FillPrinterList();
    IsPrinting = false;
    DragAcceptFiles(Handle(), TRUE);
    DragAcceptFiles(ui::App().Handle(), TRUE);
    FilesListBox.Clear();
    TakeCommandLine();
    settingsLoaded_ = LoadSettings();
    // A place stored on a monitor that is gone, or at another DPI, still shows the window.
    KeepOnAMonitor();
    RefreshMinMargins();
    ChooseCommandLinePrinter();
    createCompleted_ = true;
}

void TMain_Form::TakeCommandLine() {
    const WideCommandLine parsed = ParseCommandLine(commandLine_);
    AutoPrint = parsed.autoPrint;
    namedPrinter_ = parsed.printerName;
    if (AutoPrint)
        ui::App().onIdle = IdleHook{this};
    for (const std::wstring& name : CommandLineFileNames(parsed.fileNames))
        FilesListBox.AddItem(name);
}

// A printer named on the command line is this run's target; the default printer and the settings stay as they are.
void TMain_Form::ChooseCommandLinePrinter() {
    if (!namedPrinter_)
        return;
    const int row = FindPrinterRow(*namedPrinter_);
    if (row < 0) {
        ShowWideMessageBox(NamedText("プリンタ ", *namedPrinter_, " が見つかりません"), ui::App().WideTitle(),
                           MB_ICONHAND);
        namedPrinterMissing_ = true;
        return;
    }
    PrinterListBox.SetItemIndex(row);
    PrinterListBoxClick();
}

void TMain_Form::UpdatePrintEnabled() {
    co_Print.SetEnabled(FileMode ? FilesListBox.Count() > 0 : CommandExplanation.ItemIndex() >= 0);
}

void TMain_Form::FormShow() {
    if (StartMinimized && !AutoPrint) {
        SetMinimized();
        StartMinimized = false;
    }
}

void TMain_Form::FormCloseQuery(bool& canClose) {
    if (IsPrinting) {
        ShowMessageBox("印刷中です\r\n終了できません", "終了不可", MB_ICONHAND);
        canClose = false;
        return;
    }
    ui::App().QuitHelp();
}

void TMain_Form::co_HelpClick() {
    ui::App().ShowHelp(kHelpMain);
}

void TMain_Form::AppHelp(HWND owner, UINT command, ULONG_PTR data) { Help.Request(owner, command, data); }

void TMain_Form::ShowWideMessageBox(const std::wstring& text, const std::wstring& caption, unsigned flags) {
    // During a run the box is owned by the progress window, which stays on top: so the box stands above it.
    ui::MessageBox(text, caption, flags, nowPrinting_ ? nowPrinting_->Handle() : nullptr);
    if (nowPrinting_)
        nowPrinting_->RestartMessageClock();
}

void TMain_Form::AppException(const std::exception& error) {
    ui::MessageBox(ui::ErrorText(error) + L".", ui::App().WideTitle(), MB_ICONERROR | MB_OK);
    // An error while the window is being destroyed (a refused save) has nothing left to close.
    if (!destroying_)
        Close();
}

void TMain_Form::AutoPrintIdle(bool& done) {
    // A modal loop inside the run has an idle point too; the list is output once.
    if (autoPrintDone_)
        return;
    autoPrintDone_ = true;
    done = true;
    exitStatus_ = 1;
    // The files were meant for a printer that is not there: none is output, none deleted.
    if (namedPrinterMissing_) {
        Close();
        return;
    }
    try {
        co_PrintClick();
    } catch (const std::exception& e) {
        AppException(e);
        return;
    }
    Close();
}

void TMain_Form::co_PrintClick() {
    IsPrinting = true;
    ui::ReleasedForm<TNowPrinting> progress;
    bool shown = false;
    bool everyFileOutput = false;
    try {
        // Whatever happens after the flag is set, the window comes back and the flag goes down (before an error is
        // shown).
        ScopeExit cleanUp{[&] {
            SetEnabled(true);
            SetActiveWindow(Handle());
            nowPrinting_ = nullptr;
            if (progress) {
                progress->Hide();
                if (shown)
                    ui::AnimateZoom(co_Print.Handle(), progress->Handle());
                progress.reset();
            }
            fileSystem_->ShowArrow();
            IsPrinting = false;
        }};
        SetEnabled(false);
        progress = ui::MakeReleased<TNowPrinting>(Handle());
        nowPrinting_ = progress.get();
        ui::AnimateZoom(progress->Handle(), co_Print.Handle());
        progress->Show();
        shown = true;
        progress->Repaint();

        FileRows rows(FilesListBox);
        if (OutputOptions.IsPrnFile) {
            everyFileOutput = RunRawPrint(
                rows, OutputOptions.IsDeleteFile,
                [&](const std::wstring& path, const RunPosition&) {
                    return SpoolPrinterFile(path, Printer().RawTarget(), *spooler_, *fileSystem_, *progress, *this);
                },
                *progress, *fileSystem_, *this);
        } else {
            ImagePageContext page{All1, OutputOptions, MinMargins(), *fileSystem_, *progress, *this, drawPicture};
            PrinterDocument document;
            everyFileOutput = RunImagePrint(
                rows, OutputOptions.IsDeleteFile,
                [&](const std::wstring& path, const RunPosition&) {
                    try {
                        return PrintImageFile(path, page);
                    } catch (const ui::Error& error) {
                        // A picture that cannot be opened or read leaves its page empty; the run goes on.
                        return ReportUnreadable(path, ui::ErrorText(error), *this);
                    }
                },
                *progress, *fileSystem_, *this, document);
        }
    } catch (const std::exception& error) {
        // The run's error is shown and the window stays, with its list.
        ShowWideMessageBox(ui::ErrorText(error) + L".", ui::App().WideTitle(), MB_ICONERROR | MB_OK);
        exitStatus_ = 1;
        return;
    }
    exitStatus_ = everyFileOutput ? 0 : 1;
}

bool TMain_Form::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE) {
            // The main window minimizes itself rather than hiding behind the application window.
            result = DefaultProc(msg, wParam, lParam);
            return true;
        }
        break;
    case WM_INITMENUPOPUP:
        result = DefaultProc(msg, wParam, lParam);
        if (HIWORD(lParam))
            EnableMenuItem(reinterpret_cast<HMENU>(wParam), SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
        return true;
    case WM_DROPFILES:
        WMDropFiles(reinterpret_cast<HDROP>(wParam));
        result = 0;
        return true;
    default:
        break;
    }
    return ui::Form::HandleMessage(msg, wParam, lParam, result);
}

void TMain_Form::AppMessage(MSG& msg, bool& handled) {
    // Files dropped on the hidden application window count as dropped on the main window.
    if (msg.hwnd != ui::App().Handle() || msg.message != WM_DROPFILES)
        return;
    WMDropFiles(reinterpret_cast<HDROP>(msg.wParam));
    ui::App().Restore();
    SetNormal();
    handled = true;
}

void TMain_Form::co_FileOpenClick() {
    if (!FileOpenDialog.Execute(Handle()))
        return;
    PutFileNames(FilesListBox, c_Add.Checked(), FileOpenDialog.Files());
    FileOpenDialog.fileName.clear();
    UpdatePrintEnabled();
}

void TMain_Form::WMDropFiles(HDROP drop) {
    // A print run reads the list by index until it ends: a drop during the run is let go.
    if (IsPrinting) {
        DragFinish(drop);
        return;
    }
    PutFileNames(FilesListBox, c_Add.Checked(), TakeDroppedFiles(drop));
    // A drop in command-string mode switches to file mode, which applies the enabling rule.
    if (FileMode)
        UpdatePrintEnabled();
    else
        ChangeCommandStatus();
    SetNormal();
}

void TMain_Form::UpdateOpenDialogFilter() {
    FileOpenDialog.SetFilter(FilterForFileKind(OutputOptions.IsPrnFile));
}

void TMain_Form::ChangeCommandStatus() {
    FileMode = !FileMode;
    Label1.SetVisible(FileMode);
    c_Add.SetVisible(FileMode);
    co_FileOpen.SetVisible(FileMode);
    CommandExplanation.SetVisible(!FileMode);
    CommandString.SetVisible(!FileMode);
    co_Insert.SetVisible(!FileMode);
    co_Edit.SetVisible(!FileMode);
    co_Delete.SetVisible(!FileMode);
    FilesListBox.SetVisible(FileMode);
    if (FileMode) {
        co_Print.onClick = [this] { co_PrintClick(); };
        co_Change.SetGlyphResource(ui::App().Instance(), L"ON", 2);
    } else {
        co_Print.onClick = [this] { CommandOutputClick(); };
        co_Change.SetGlyphResource(ui::App().Instance(), L"OFF", 2);
    }
    UpdatePrintEnabled();
}

void TMain_Form::LoadCommandEntries(const std::vector<CommandEntry>& entries) {
    for (const CommandEntry& entry : entries) {
        if (CommandExplanation.Count() >= MaxCommandEntries)
            break;
        CommandExplanation.AddItem(entry.Description);
        CommandString.AddItem(entry.Command);
        commands_.push_back(entry);
    }
    co_Insert.SetEnabled(CommandExplanation.Count() < MaxCommandEntries);
}

std::vector<CommandEntry> TMain_Form::CommandEntries() const {
    return commands_;
}

CatalogueSelection TMain_Form::CommandSelection() const {
    return {CommandExplanation.Count(), CommandExplanation.ItemIndex(), LastCommandIndex};
}

void TMain_Form::ShowCommandSelection(const CatalogueSelection& state) {
    CommandExplanation.SetItemIndex(state.selected);
    CommandString.SetItemIndex(state.selected);
    LastCommandIndex = state.lastCommandIndex;
    const CatalogueButtons buttons = ButtonsFor(state);
    co_Insert.SetEnabled(buttons.insert);
    co_Edit.SetEnabled(buttons.editDelete);
    co_Delete.SetEnabled(buttons.editDelete);
    UpdatePrintEnabled();
}

void TMain_Form::CommandClick(TSclListBox& sender) {
    ShowCommandSelection(AfterClick(CommandSelection(), sender.ItemIndex()));
}

std::optional<CommandEntry> TMain_Form::RunCommandEditor(ui::Button& button, const CommandEntry& entry) {
    const auto editor = ui::MakeReleased<TEditCommandString>(Handle());
    // Each text runs the change handler, so editing an entry starts with OK enabled.
    editor->EditCommand1.SetText(entry.Description);
    editor->EditCommand2.SetText(entry.Command);
    if (editor->ShowModalZoomed(button.Handle()) != IDOK)
        return std::nullopt;
    const auto kept = [](const ui::Edit& field, const std::string& shown) {
        return field.WideCaption() == ToWide(shown) ? shown : field.Text();
    };
    return CommandEntry{kept(editor->EditCommand1, entry.Description), kept(editor->EditCommand2, entry.Command)};
}

void TMain_Form::co_InsertClick() {
    const std::optional<CommandEntry> entry = RunCommandEditor(co_Insert, {});
    const CatalogueSelection state = CommandSelection();
    if (!entry || state.count >= MaxCommandEntries)
        return;
    const int at = InsertPosition(state);
    CommandString.InsertItem(at, entry->Command);
    CommandExplanation.InsertItem(at, entry->Description);
    commands_.insert(commands_.begin() + at, *entry);
    ShowCommandSelection(AfterInsert(state));
}

void TMain_Form::co_EditClick() {
    const CatalogueSelection state = CommandSelection();
    if (state.selected < 0)
        return;
    const int i = state.selected;
    const std::optional<CommandEntry> entry = RunCommandEditor(co_Edit, commands_[static_cast<std::size_t>(i)]);
    if (entry) {
        ReplaceItem(CommandExplanation, i, entry->Description);
        ReplaceItem(CommandString, i, entry->Command);
        commands_[static_cast<std::size_t>(i)] = *entry;
    }
    ShowCommandSelection(state);
}

void TMain_Form::co_DeleteClick() {
    const CatalogueSelection state = CommandSelection();
    if (state.selected < 0)
        return;
    CommandExplanation.DeleteItem(state.selected);
    CommandString.DeleteItem(state.selected);
    commands_.erase(commands_.begin() + state.selected);
    ShowCommandSelection(AfterDelete(state));
}

void TMain_Form::CommandOutputClick() {
    IsPrinting = true;
    co_Print.SetEnabled(false);
    co_Change.SetEnabled(false);
    co_Quit.SetEnabled(false);
    fileSystem_->ShowHourglass();
    ScopeExit restore{[this] {
        co_Print.SetEnabled(true);
        co_Change.SetEnabled(true);
        co_Quit.SetEnabled(true);
        fileSystem_->ShowArrow();
        IsPrinting = false;
    }};
    const int selected = CommandString.ItemIndex();
    if (selected < 0 || selected >= static_cast<int>(commands_.size()))
        throw ui::Error(ui::kListIndexError);
    SendCommandString(commands_[static_cast<std::size_t>(selected)].Command, Printer().RawTarget(), *spooler_, *this);
}

void TMain_Form::FillPrinterList() {
    for (const std::wstring& text : Printer().PrinterTexts())
        PrinterListBox.AddItem(text);
    LPrinter.SetCaption(Printer().CurrentText());
}

void TMain_Form::PrinterListBoxClick() {
    Printer().SetPrinterIndex(PrinterListBox.ItemIndex());
    RefreshMinMargins();
    // With no row selected the default printer has become current: the label names it.
    LPrinter.SetCaption(Printer().CurrentText());
}

void TMain_Form::RefreshMinMargins() {
    MinimumMargins = ReadPrinterMargins();
}

PrinterMargins TMain_Form::MinMargins() const {
    return MinimumMargins;
}

void TMain_Form::SelectCurrentPrinter() {
    const int index = Printer().PrinterIndex();
    // A printer that the printer setup dialog added to the targets gets its row first.
    const std::vector<std::wstring> texts = Printer().PrinterTexts();
    for (int i = PrinterListBox.Count(); i < static_cast<int>(texts.size()); ++i)
        PrinterListBox.AddItem(texts[static_cast<size_t>(i)]);
    PrinterListBox.SetItemIndex(index);
    PrinterListBoxClick();
}

void TMain_Form::co_SetUpClick() {
    RunSetupPrinter(*this, *this, co_SetUp.Handle(), [this] { UpdateOpenDialogFilter(); });
}

void TMain_Form::co_AboutClick() {
    RunAboutBox(*this, co_About.Handle());
}

} // namespace kelvad
