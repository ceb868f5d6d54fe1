#pragma once
// The help topics that windows ask for (help context ids); the help page has one section per topic.

namespace kelvad {

constexpr unsigned kHelpMain = 1000;  // the main window and the about box
constexpr unsigned kHelpWork = 5000;  // the file list, the command strings and their editor
constexpr unsigned kHelpSetUp = 5001; // the setup dialog and the open dialog

} // namespace kelvad
