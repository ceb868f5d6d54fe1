#pragma once
#include <string>

namespace kelvad {

// The text of the error raised when a file cannot be opened or read, for a platform error number.
std::string IoErrorText(unsigned long errorCode);

} // namespace kelvad
