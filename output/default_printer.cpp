#include "output/default_printer.h"

namespace kelvad {

std::string DefaultPrinterName(const std::string& deviceEntry) {
    const std::string::size_type start = deviceEntry.find_first_not_of(' ');
    if (start == std::string::npos) {
        return std::string();
    }
    const std::string::size_type comma = deviceEntry.find(',', start);
    return deviceEntry.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
}

} // namespace kelvad
