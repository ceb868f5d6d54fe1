// Program entry of Kelvad32.exe.
#include <windows.h>

#include "app/command_line.h"
#include "app/main_form_win.h"
#include "image/all_win.h"
#include "ui/application.h"
#include "ui/message_box.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    kelvad::RestrictLibrarySearch();
    ui::Application& app = ui::App();
    app.Initialize(instance);
    app.title = "Kelvad32";
    if (kelvad::ParseCommandLine(std::wstring_view(GetCommandLineW())).showUsage) {
        ui::MessageBox(kelvad::kUsageText, app.title, MB_ICONINFORMATION | MB_OK);
        return 0;
    }

    kelvad::TMain_Form mainForm(GetCommandLineW());
    mainForm.Create();
    if (mainForm.EndsAtStart())
        return mainForm.ExitStatus();
    // The main window is an unowned top-level window, and the hidden application window belongs to it.
    SetWindowLongPtrW(mainForm.Handle(), GWLP_HWNDPARENT, 0);
    SetWindowLongPtrW(app.Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(mainForm.Handle()));

    // Started minimized (a shortcut set to run minimized, for example): the window starts minimized.
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    WORD show = startup.wShowWindow;
    if (show == SW_SHOWMINIMIZED || show == SW_MINIMIZE || show == SW_SHOWMINNOACTIVE)
        mainForm.SetMinimized();
    else
        mainForm.SetNormal();

    app.Run(mainForm);
    return mainForm.ExitStatus();
}
