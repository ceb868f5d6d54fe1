#include "output/raw_spooler_win.h"

#include "output/file_system_win.h"
#include "output/spooler_win.h"

namespace kelvad {

FileOutcome SpoolPrinterFile(const std::wstring& path, const SpoolTarget& target, ProgressSink& progress,
                             MessageSink& messages) {
    WinSpooler spooler;
    WinFileSystem fs;
    return SpoolPrinterFile(path, target, spooler, fs, progress, messages);
}

} // namespace kelvad
