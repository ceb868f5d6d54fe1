#pragma once
#include <string>

#include "output/raw_spooler.h"

namespace kelvad {

// Spools one printer file to the target through the platform's spooler and file system.
FileOutcome SpoolPrinterFile(const std::wstring& path, const SpoolTarget& target, ProgressSink& progress,
                             MessageSink& messages);

} // namespace kelvad
