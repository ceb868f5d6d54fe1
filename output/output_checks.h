#pragma once
#include <cstdint>
#include <string>

#include "output/file_system.h"
#include "output/progress_sink.h"

namespace kelvad {

// The line that ends the message of a file the run gives up on.
inline constexpr char kLineBreakStop[] = "\r\n中止します";

// What became of one file of a print run.
enum class FileOutcome {
    Output,   // wholly output: every byte the checks found was written and accepted, and the job ended
    NotFound, // the search found nothing (a name with '*' or '?' included); the message was shown
    Skipped,  // the drive was not ready or the file was empty; the message was shown
    Refused,  // the spooler refused the printer, the job or a write; the message was shown
    Changed,    // the file changed while it was read; its job was ended and cancelled; the message was shown
    Aborted,    // the user aborted during this file; its job was ended and cancelled
    Unreadable, // the file could not be opened or read; the message was shown
};

// The outcome of the pre-output checks: Output with the file's size when they pass, otherwise the outcome of
// the failing check, whose message has been shown.
struct FileCheck {
    FileOutcome outcome = FileOutcome::Output;
    std::uint64_t size = 0;
    bool Passed() const { return outcome == FileOutcome::Output; }
};

// True when the drive of that letter is ready; a network drive must also show at least one entry.
bool IsDriveReady(char drive, FileSystem& fs);
// The same probe for a root path, a drive's (X:\) or a share's (\\server\share\).
bool IsRootReady(const std::wstring& root, FileSystem& fs);

// The root the drive check asks for a path: the share root for a path that begins with two backslashes,
// otherwise the first character, whatever it is, upper-cased, as the drive letter of a drive root (X:\).
std::wstring DriveRootOf(const std::wstring& path);

// The pre-output checks: drive ready, file found (a name holding '*' or '?' never is), size above 0.
FileCheck CheckOutputFile(const std::wstring& path, FileSystem& fs, MessageSink& messages);

// The stop box of a file that could not be opened or read: the error's text (the file and the system's reason),
// then the stopping line. Answers Unreadable.
FileOutcome ReportUnreadable(const std::wstring& path, const std::wstring& errorText, MessageSink& messages);

} // namespace kelvad
