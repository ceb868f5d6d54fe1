#pragma once
#include <cstddef>
#include <string>

#include "output/file_system.h"
#include "output/output_checks.h"
#include "output/progress_sink.h"
#include "output/spooler.h"

namespace kelvad {

constexpr std::size_t kSpoolBlockSize = 8192;
// The file is read in pieces of this many blocks' bytes (each read is a system call), sent block by block.
constexpr std::size_t kSpoolReadSize = 32 * kSpoolBlockSize;
constexpr std::size_t kMaxDocNameBytes = 255;

// Checks one printer file and sends its bytes to the target as one raw spool job, moving the progress bar after
// every block and stopping at an abort. A failed or short write stops the file like a refused job. A file that
// could not be opened or read, or that changed while it was read, has its job cancelled and a stop box naming it.
FileOutcome SpoolPrinterFile(const std::wstring& path, const SpoolTarget& target, Spooler& spooler, FileSystem& fs,
                             ProgressSink& progress, MessageSink& messages);

} // namespace kelvad
