#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "output/file_system.h"
#include "output/progress_sink.h"
#include "output/spooler.h"

namespace kelvad {

// The printer a raw job goes to; an empty port means the printer's own port.
struct SpoolTarget {
    std::string printerName;
    std::string portName;
};

// What became of one file of a print run.
enum class FileOutcome {
    Output,  // the job was made (or ended and cancelled after an abort)
    Skipped, // a pre-output check failed and its message was shown
    Refused, // the spooler refused the printer or the job; the message was shown
};

constexpr std::size_t kSpoolBlockSize = 8192;
// The file is read in pieces of this many blocks' bytes (each read is a system call), sent block by block.
constexpr std::size_t kSpoolReadSize = 32 * kSpoolBlockSize;
constexpr std::size_t kMaxDocNameBytes = 255;
constexpr unsigned kStopIcon = 16; // MB_ICONHAND

// True when the drive of that letter is ready; a network drive must also show at least one entry.
bool IsDriveReady(char drive, FileSystem& fs);

// The pre-output checks: drive ready, file found, size above 0. The file's size when they pass; otherwise
// the failing check's message has been shown.
std::optional<std::uint64_t> CheckOutputFile(const std::string& path, FileSystem& fs, MessageSink& messages);

// Checks one printer file and sends its bytes to the target as one raw spool job, moving the progress bar after
// every block and stopping at an abort. An error opening or reading the file propagates.
FileOutcome SpoolPrinterFile(const std::string& path, const SpoolTarget& target, Spooler& spooler, FileSystem& fs,
                             ProgressSink& progress, MessageSink& messages);

} // namespace kelvad
