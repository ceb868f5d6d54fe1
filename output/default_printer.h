#pragma once
#include <string>

namespace kelvad {

// The printer name in the profile's default-device entry ("name,driver,port"): the text up to the first comma,
// with the blanks at its start skipped.
std::string DefaultPrinterName(const std::string& deviceEntry);

} // namespace kelvad
