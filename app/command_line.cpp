#include "app/command_line.h"

#include <string_view>

namespace kelvad {

namespace {

bool IsSeparator(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    std::vector<std::string> parameters;
    std::string::size_type i = 0;
    const auto size = commandLine.size();
    while (true) {
        while (i < size && IsSeparator(commandLine[i])) {
            ++i;
        }
        if (i >= size) {
            break;
        }
        std::string parameter;
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

bool IsPrintSwitch(const std::string& parameter) {
    constexpr std::string_view kSwitches = " -p -P /p /P ";
    return !parameter.empty() && kSwitches.find(parameter) != std::string_view::npos;
}

CommandLine ParseCommandLine(const std::string& commandLine) {
    CommandLine result;
    const std::vector<std::string> parameters = SplitCommandLine(commandLine);
    for (std::size_t i = 1; i < parameters.size(); ++i) {
        const std::string& parameter = parameters[i];
        if (parameter.empty()) {
            continue;
        }
        if (IsPrintSwitch(parameter)) {
            result.autoPrint = true;
        } else {
            result.fileNames.push_back(parameter);
        }
    }
    return result;
}

} // namespace kelvad
