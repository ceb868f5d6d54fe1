#include "app/help.h"

#include "base/codepage.h"
#include "settings/program_paths.h"

namespace kelvad {

std::wstring HelpFilePath(const std::wstring& programPath) {
    return ChangeFileExt(programPath, L".HLP");
}

std::wstring HelpPagePath(const std::wstring& programPath) {
    return ChangeFileExt(programPath, L".html");
}

std::string HelpSectionId(unsigned context) {
    return "topic" + std::to_string(context);
}

std::string FileUrl(const std::string& utf8Path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string path = utf8Path;
    for (char& c : path) {
        if (c == '\\')
            c = '/';
    }
    // A network path (\\server\share) names its host; a drive path gets the empty host.
    std::string url = path.rfind("//", 0) == 0 ? "file:" : "file:///";
    for (unsigned char c : path) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '.' || c == '_' || c == '~' || c == '/' || c == ':';
        if (plain) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 0xF];
        }
    }
    return url;
}

std::string BrowserCommandLine(const std::string& openCommand, const std::string& address) {
    std::string line;
    bool placed = false;
    for (std::string::size_type i = 0; i < openCommand.size(); ++i) {
        const char c = openCommand[i];
        if (c != '%' || i + 1 == openCommand.size()) {
            line += c;
            continue;
        }
        const char next = openCommand[++i];
        if (next == '1' || next == 'L' || next == 'l') {
            line += address;
            placed = true;
        } else if (next == '%') {
            line += '%';
        }
    }
    if (!placed)
        line += " \"" + address + "\"";
    return line;
}

HelpAction ShellOpenPage(const std::wstring& programPath) {
    return {.kind = HelpAction::ShellOpen, .page = HelpPagePath(programPath)};
}

HelpAction ChooseHelpAction(const std::wstring& programPath, bool helpFileExists, const std::string& htmlOpenCommand,
                            unsigned context) {
    if (helpFileExists)
        return {.kind = HelpAction::Viewer, .helpFile = HelpFilePath(programPath)};
    if (htmlOpenCommand.empty())
        return ShellOpenPage(programPath);
    // The page's address is UTF-8 whatever the system code page.
    const std::string address = FileUrl(ToUtf8(HelpPagePath(programPath))) + "#" + HelpSectionId(context);
    return {.kind = HelpAction::Browser, .commandLine = FromUtf8(BrowserCommandLine(htmlOpenCommand, address))};
}

} // namespace kelvad
