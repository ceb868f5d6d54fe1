#include "app/command_line.h"

#include <type_traits>

namespace kelvad {

namespace {

template <class Char> bool IsSeparator(Char c) {
    return static_cast<std::make_unsigned_t<Char>>(c) <= ' ';
}

template <class Char> std::vector<std::basic_string<Char>> Split(std::basic_string_view<Char> commandLine) {
    std::vector<std::basic_string<Char>> parameters;
    std::size_t i = 0;
    const auto size = commandLine.size();
    while (true) {
        while (i < size && IsSeparator(commandLine[i])) {
            ++i;
        }
        if (i >= size) {
            break;
        }
        std::basic_string<Char> parameter;
        bool quoted = false;
        for (; i < size && (quoted || !IsSeparator(commandLine[i])); ++i) {
            if (commandLine[i] == '"') {
                quoted = !quoted;
            } else {
                parameter += commandLine[i];
            }
        }
        parameters.push_back(std::move(parameter));
    }
    return parameters;
}

template <class Char> BasicCommandLine<Char> Parse(std::basic_string_view<Char> commandLine) {
    BasicCommandLine<Char> result;
    const std::vector<std::basic_string<Char>> parameters = Split(commandLine);
    for (std::size_t i = 1; i < parameters.size(); ++i) {
        const std::basic_string<Char>& parameter = parameters[i];
        if (parameter.empty()) {
            continue;
        }
        const bool option = parameter[0] == '/' || parameter[0] == '-';
        if (IsPrintSwitch(parameter)) {
            result.autoPrint = true;
        } else if (option && parameter.size() >= 3 && (parameter[1] == 'D' || parameter[1] == 'd') &&
                   parameter[2] == ':') {
            // The quotes are gone already: "/D:Label Printer" and /D:"Label Printer" name the same printer.
            result.printerName = parameter.substr(3);
        } else if (option && parameter.size() == 2 && parameter[1] == '?') {
            result.showUsage = true;
        } else {
            result.fileNames.push_back(parameter);
        }
    }
    return result;
}

} // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    return Split(commandLine);
}

std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine) {
    return Split(commandLine);
}

bool IsPrintSwitch(std::string_view parameter) {
    constexpr std::string_view kSwitches = " -p -P /p /P ";
    return !parameter.empty() && kSwitches.find(parameter) != std::string_view::npos;
}

bool IsPrintSwitch(std::wstring_view parameter) {
    constexpr std::wstring_view kSwitches = L" -p -P /p /P ";
    return !parameter.empty() && kSwitches.find(parameter) != std::wstring_view::npos;
}

CommandLine ParseCommandLine(std::string_view commandLine) {
    return Parse(commandLine);
}

WideCommandLine ParseCommandLine(std::wstring_view commandLine) {
    return Parse(commandLine);
}

} // namespace kelvad
