#include "app/command_line.h"

#include <type_traits>

namespace kelvad {

namespace {

bool IsSeparator(wchar_t c) {
    return static_cast<std::make_unsigned_t<wchar_t>>(c) <= L' ';
}

} // namespace

std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine) {
    std::vector<std::wstring> parameters;
    std::size_t i = 0;
    const auto size = commandLine.size();
    while (true) {
        while (i < size && IsSeparator(commandLine[i])) {
            ++i;
        }
        if (i >= size) {
            break;
        }
        std::wstring parameter;
        bool quoted = false;
        for (; i < size && (quoted || !IsSeparator(commandLine[i])); ++i) {
            if (commandLine[i] == L'"') {
                quoted = !quoted;
            } else {
                parameter += commandLine[i];
            }
        }
        parameters.push_back(std::move(parameter));
    }
    return parameters;
}

bool IsPrintSwitch(std::wstring_view parameter) {
    constexpr std::wstring_view kSwitches = L" -p -P /p /P ";
    return !parameter.empty() && kSwitches.find(parameter) != std::wstring_view::npos;
}

WideCommandLine ParseCommandLine(std::wstring_view commandLine) {
    WideCommandLine result;
    const std::vector<std::wstring> parameters = SplitCommandLine(commandLine);
    for (std::size_t i = 1; i < parameters.size(); ++i) {
        const std::wstring& parameter = parameters[i];
        if (parameter.empty()) {
            continue;
        }
        const bool option = parameter[0] == L'/' || parameter[0] == L'-';
        if (IsPrintSwitch(parameter)) {
            result.autoPrint = true;
        } else if (option && parameter.size() >= 3 && (parameter[1] == L'D' || parameter[1] == L'd') &&
                   parameter[2] == L':') {
            // The quotes are gone already: "/D:Label Printer" and /D:"Label Printer" name the same printer.
            result.printerName = parameter.substr(3);
        } else if (option && parameter.size() == 2 && parameter[1] == L'?') {
            result.showUsage = true;
        } else {
            result.fileNames.push_back(parameter);
        }
    }
    return result;
}

} // namespace kelvad
