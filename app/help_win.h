#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "app/help.h"

namespace kelvad {

// Help for the program: the platform's help viewer for Kelvad32.HLP where that file stands beside the
// program, otherwise Kelvad32.html in the user's browser at the topic's section. The viewer is told to close
// at the end only when it was asked for a topic.
class HelpDesk {
public:
    // programPath: the program file; the help files stand beside it.
    explicit HelpDesk(std::wstring programPath);

    // A request of the application (ui::Application::onHelp): HELP_CONTEXT with the topic, or HELP_QUIT.
    void Request(HWND owner, UINT command, ULONG_PTR data);
    void Show(HWND owner, unsigned context);
    void Quit(HWND owner);

    // The platform calls behind help; tests replace them.
    std::function<bool(const std::wstring& path)> fileExists;
    // The shell's open command for .html in UTF-8, empty when there is none.
    std::function<std::string()> htmlOpenCommand;
    std::function<void(HWND owner, const std::wstring& file, UINT command, ULONG_PTR data)> winHelp;
    // Starts a browser command line or has the shell open a file; false when that could not be done.
    std::function<bool(HWND owner, const HelpAction& action)> open;
    // Tells the user that the page could not be opened at all.
    std::function<void(const std::wstring& text)> report;

private:
    std::wstring programPath_;
    bool viewerUsed_ = false;
};

} // namespace kelvad
