#include "app/help_win.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <vector>

#include "base/codepage.h"
#include "base/message_flags.h"
#include "ui/message_box.h"

namespace kelvad {
namespace {

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ShellHtmlOpenCommand() {
    DWORD length = 0;
    // The length query answers S_FALSE on Windows and S_OK under Wine.
    if (FAILED(AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_COMMAND, L".html", L"open", nullptr, &length)) ||
        length == 0)
        return {};
    std::vector<wchar_t> command(length + 1, L'\0');
    if (AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_COMMAND, L".html", L"open", command.data(), &length) != S_OK)
        return {};
    // A command stored as an expandable string may still name %SystemRoot% and the like.
    std::vector<wchar_t> expanded(32768, L'\0');
    const DWORD used = ExpandEnvironmentStringsW(command.data(), expanded.data(), static_cast<DWORD>(expanded.size()));
    return ToUtf8(used > 0 && used <= expanded.size() ? expanded.data() : command.data());
}

bool OpenWithShell(HWND owner, const HelpAction& action) {
    if (action.kind == HelpAction::ShellOpen) {
        auto result = reinterpret_cast<INT_PTR>(
            ShellExecuteW(owner, L"open", action.page.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        return result > 32;
    }
    std::wstring commandLine = action.commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

} // namespace

HelpDesk::HelpDesk(std::wstring programPath)
    : fileExists(FileExists), htmlOpenCommand(ShellHtmlOpenCommand),
      winHelp([](HWND owner, const std::wstring& file, UINT command, ULONG_PTR data) {
          WinHelpW(owner, file.c_str(), command, data);
      }),
      open(OpenWithShell),
      report([](const std::wstring& text) { ui::MessageBox(text, kWideCaption, kExclamationIcon); }),
      programPath_(std::move(programPath)) {}

void HelpDesk::Request(HWND owner, UINT command, ULONG_PTR data) {
    if (command == HELP_QUIT)
        Quit(owner);
    else
        Show(owner, static_cast<unsigned>(data));
}

void HelpDesk::Show(HWND owner, unsigned context) {
    const bool viewer = fileExists(HelpFilePath(programPath_));
    const HelpAction action =
        ChooseHelpAction(programPath_, viewer, viewer ? std::string() : htmlOpenCommand(), context);
    if (action.kind == HelpAction::Viewer) {
        viewerUsed_ = true;
        winHelp(owner, action.helpFile, HELP_CONTEXT, context);
    } else if (!open(owner, action)) {
        // A browser that cannot be started leaves the page to the shell, which opens it at its top.
        const HelpAction shell = ShellOpenPage(programPath_);
        if (action.kind == HelpAction::ShellOpen || !open(owner, shell))
            report(NamedText(shell.page, " を開けません"));
    }
}

void HelpDesk::Quit(HWND owner) {
    if (viewerUsed_)
        winHelp(owner, HelpFilePath(programPath_), HELP_QUIT, 0);
    viewerUsed_ = false;
}

} // namespace kelvad
