#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kelvad {

// What the program takes from its command line: file names in their order, and whether a print switch stood there.
// The program reads the wide command line (so that no name arrives with '?' in place of what the ANSI code page
// cannot hold); the narrow form follows the same rules.
template <class Char> struct BasicCommandLine {
    std::vector<std::basic_string<Char>> fileNames;
    bool autoPrint = false;
};
using CommandLine = BasicCommandLine<char>;
using WideCommandLine = BasicCommandLine<wchar_t>;

// Every parameter of a raw command line, the program path (parameter 0) included. Blanks and control characters
// separate parameters except inside double quotes; the quotes themselves are dropped.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);
std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine);

// A print switch is any parameter found, case-sensitively, as a contiguous piece of " -p -P /p /P ".
bool IsPrintSwitch(std::string_view parameter);
bool IsPrintSwitch(std::wstring_view parameter);

// Parameters 1 to N sorted into print switches and file names; empty parameters ("") are passed over.
CommandLine ParseCommandLine(std::string_view commandLine);
WideCommandLine ParseCommandLine(std::wstring_view commandLine);

} // namespace kelvad
