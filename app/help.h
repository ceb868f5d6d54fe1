#pragma once
#include <string>

namespace kelvad {

// What a help request does: ask the platform's help viewer for the topic of the .HLP file, or open the
// help page in the browser with the shell's open command for .html (`ShellOpen` when the shell has none:
// the page is opened as a file, at its top).
struct HelpAction {
    enum Kind { Viewer, Browser, ShellOpen } kind = Viewer;
    // Viewer: the .HLP file the viewer is asked for the topic.
    std::wstring helpFile{};
    // Browser: the command line that starts the browser at the page's address.
    std::wstring commandLine{};
    // ShellOpen: the page the shell opens.
    std::wstring page{};
};

// The help file and the help page of the program at programPath: Kelvad32.HLP and Kelvad32.html beside it.
std::wstring HelpFilePath(const std::wstring& programPath);
std::wstring HelpPagePath(const std::wstring& programPath);

// The id of the page's section for a help context ("topic1000").
std::string HelpSectionId(unsigned context);

// A file: URL for a local or network path given in UTF-8; every byte outside letters, digits and "-._~/:"
// is percent-encoded, so the address is plain ASCII whatever the path holds.
std::string FileUrl(const std::string& utf8Path);

// The shell's open command for .html with the address in place of its %1 (or %L); appended when the command
// has no such place. Other placeholders are dropped, %% stands for %.
std::string BrowserCommandLine(const std::string& openCommand, const std::string& address);

// The viewer where the .HLP file exists; otherwise the page at the topic's section, through the browser
// command (UTF-8; empty: the shell has no open command for .html).
HelpAction ChooseHelpAction(const std::wstring& programPath, bool helpFileExists, const std::string& htmlOpenCommand,
                            unsigned context);

// The page of the program at programPath opened by the shell, at its top.
HelpAction ShellOpenPage(const std::wstring& programPath);

} // namespace kelvad
