// The main window's side of the settings file: what is read at start and written at program end.
#include "app/command_line.h"
#include "app/main_form_win.h"
#include "base/codepage.h"
#include "settings/profile_file_win.h"
#include "settings/settings_file.h"
#include "ui/application.h"
#include "ui/error.h"

namespace kelvad {

namespace {

// The placement record as the platform defines it, the same in both architectures.
static_assert(sizeof(WINDOWPLACEMENT) == 44);

WINDOWPLACEMENT WindowPlacementOf(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    return placement;
}

// The platform's placement and the part of it the file keeps, one way and back (the normal size is the
// window's outer size: the file keeps no size).
StoredConfig Stored(const WINDOWPLACEMENT& placement, bool fileMode) {
    return {.fileMode = fileMode,
            .showCmd = static_cast<std::int32_t>(placement.showCmd),
            .minX = placement.ptMinPosition.x,
            .minY = placement.ptMinPosition.y,
            .maxX = placement.ptMaxPosition.x,
            .maxY = placement.ptMaxPosition.y,
            .left = placement.rcNormalPosition.left,
            .top = placement.rcNormalPosition.top};
}

void Restore(WINDOWPLACEMENT& placement, const StoredConfig& stored, const RECT& outer) {
    placement.showCmd = static_cast<UINT>(stored.showCmd);
    placement.ptMinPosition = {stored.minX, stored.minY};
    placement.ptMaxPosition = {stored.maxX, stored.maxY};
    placement.rcNormalPosition = {stored.left, stored.top, stored.left + (outer.right - outer.left),
                                  stored.top + (outer.bottom - outer.top)};
}

} // namespace

bool TMain_Form::LoadSettings() {
    std::optional<ProfileFile> file = ReadProfileFile(settingsPath_);
    // A file that cannot be read gives every value its default.
    ProfileText none;
    IniFile ini(file ? file->Text() : none);
    LoadConfig(ini);
    LoadCommandStrings(ini);
    LoadOptions(ini);
    if (file)
        return true;
    ShowWideMessageBox(CannotReadMessage(settingsPath_) + L".", ui::App().WideTitle(), MB_ICONERROR | MB_OK);
    return false;
}

void TMain_Form::LoadConfig(IniFile& ini) {
    WINDOWPLACEMENT placement = WindowPlacementOf(Handle());
    const StoredConfig stored = ReadConfig(ini, Stored(placement, true));
    // Any parameter at all starts in file mode; the flag is set to the other mode and the switch lays the
    // window out for the one wanted.
    const bool hasParameters = SplitCommandLine(commandLine_).size() > 1;
    FileMode = hasParameters ? false : !stored.fileMode;
    ChangeCommandStatus();

    StartMinimized = stored.showCmd == SW_SHOWMINIMIZED;
    Restore(placement, stored, OuterRect());
    // The window is not shown yet: FormShow applies a stored minimized state (never with a print switch).
    if (!IsWindowVisible(Handle()))
        placement.showCmd = SW_HIDE;
    SetWindowPlacement(Handle(), &placement);
}

void TMain_Form::LoadCommandStrings(IniFile& ini) {
    LoadCommandEntries(ReadCommandSections(ini));
}

void TMain_Form::LoadOptions(IniFile& ini) {
    OutputOptions = ReadOptions(ini);
    UpdateOpenDialogFilter();
}

void TMain_Form::SaveConfig(IniFile& ini) {
    WriteConfig(ini, Stored(WindowPlacementOf(Handle()), FileMode));
}

void TMain_Form::SaveCommandStrings(IniFile& ini) {
    WriteCommandSections(ini, CommandEntries());
}

void TMain_Form::SaveOptions(IniFile& ini) {
    WriteOptions(ini, OutputOptions);
}

void TMain_Form::FormDestroy() {
    destroying_ = true;
    // A start-up cut short before the settings were read holds nothing worth storing: the file stays as it is.
    if (!settingsLoaded_)
        return;
    try {
        std::optional<ProfileFile> file = ReadProfileFile(settingsPath_);
        // A file that is there but cannot be read is not replaced by one that lacks its other settings.
        if (!file)
            throw ui::Error(CannotWriteMessage(settingsPath_));
        IniFile ini(file->Text());
        SaveConfig(ini);
        SaveCommandStrings(ini);
        SaveOptions(ini);
        if (ini.Changed())
            WriteProfileFile(settingsPath_, *file);
    } catch (const std::exception&) {
        // The error box follows; after an automatic print the run has then failed.
        if (AutoPrint)
            exitStatus_ = 1;
        throw;
    }
}

} // namespace kelvad
