// The main window's side of the settings file: what is read at start and written at program end.
#include "app/command_line.h"
#include "app/main_form_win.h"
#include "settings/profile_store_win.h"
#include "settings/settings_file.h"

namespace kelvad {

// The placement record as the platform defines it, the same in both architectures.
static_assert(sizeof(WINDOWPLACEMENT) == 44);

void TMain_Form::LoadConfig() {
    WinProfileStore store(settingsPath_);
    IniFile ini(store);
    // Any parameter at all starts in file mode; the flag is set to the other mode and the switch lays the
    // window out for the one wanted.
    const bool hasParameters = SplitCommandLine(commandLine_).size() > 1;
    FileMode = hasParameters ? false : !ReadCommandFlag(ini);
    ChangeCommandStatus();

    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(Handle(), &placement);
    const StoredPlacement current{static_cast<std::int32_t>(placement.showCmd),
                                  placement.ptMinPosition.x,
                                  placement.ptMinPosition.y,
                                  placement.ptMaxPosition.x,
                                  placement.ptMaxPosition.y,
                                  placement.rcNormalPosition.left,
                                  placement.rcNormalPosition.top};
    const StoredPlacement stored = ReadPlacement(ini, current);
    StartMinimized = stored.showCmd == SW_SHOWMINIMIZED;

    const RECT outer = OuterRect();
    placement.ptMinPosition = {stored.minX, stored.minY};
    placement.ptMaxPosition = {stored.maxX, stored.maxY};
    placement.rcNormalPosition = {stored.left, stored.top, stored.left + (outer.right - outer.left),
                                  stored.top + (outer.bottom - outer.top)};
    // The window is not shown yet: FormShow applies a stored minimized state (never with a print switch).
    placement.showCmd = IsWindowVisible(Handle()) ? static_cast<UINT>(stored.showCmd) : SW_HIDE;
    SetWindowPlacement(Handle(), &placement);
}

void TMain_Form::LoadCommandStrings() {
    WinProfileStore store(settingsPath_);
    IniFile ini(store);
    LoadCommandEntries(ReadCommandSections(ini));
}

void TMain_Form::LoadOptions() {
    WinProfileStore store(settingsPath_);
    IniFile ini(store);
    OutputOptions = ReadOptions(ini);
    UpdateOpenDialogFilter();
}

void TMain_Form::SaveConfig() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(Handle(), &placement);
    WinProfileStore store(settingsPath_);
    IniFile ini(store);
    WriteConfig(ini, FileMode,
                {static_cast<std::int32_t>(placement.showCmd), placement.ptMinPosition.x, placement.ptMinPosition.y,
                 placement.ptMaxPosition.x, placement.ptMaxPosition.y, placement.rcNormalPosition.left,
                 placement.rcNormalPosition.top});
}

void TMain_Form::SaveCommandStrings() {
    WinProfileStore store(settingsPath_);
    IniFile ini(store);
    WriteCommandSections(ini, CommandEntries());
}

void TMain_Form::SaveOptions() {
    WinProfileStore store(settingsPath_);
    IniFile ini(store);
    WriteOptions(ini, OutputOptions);
}

void TMain_Form::FormDestroy() {
    destroying_ = true;
    // A start-up cut short before the settings were read holds nothing worth storing: the file stays as it is.
    if (!settingsLoaded_)
        return;
    SaveConfig();
    SaveCommandStrings();
    SaveOptions();
}

} // namespace kelvad
