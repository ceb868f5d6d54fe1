#pragma once
#include <string>
#include <vector>

namespace kelvad {

// What the program takes from its command line: file names in their order, and whether a print switch stood there.
struct CommandLine {
    std::vector<std::string> fileNames;
    bool autoPrint = false;
};

// Every parameter of a raw command line, the program path (parameter 0) included. Blanks and control characters
// separate parameters except inside double quotes; the quotes themselves are dropped.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// A print switch is any parameter found, case-sensitively, as a contiguous piece of " -p -P /p /P ".
bool IsPrintSwitch(const std::string& parameter);

// Parameters 1 to N sorted into print switches and file names; empty parameters ("") are passed over.
CommandLine ParseCommandLine(const std::string& commandLine);

} // namespace kelvad
