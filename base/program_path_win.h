#pragma once
#include <string>

namespace kelvad {

// The running program's own file as the platform reports it, whole however long, as UTF-16: the settings file,
// the help files and the image plug-ins stand beside it.
std::wstring ProgramPath();

} // namespace kelvad
