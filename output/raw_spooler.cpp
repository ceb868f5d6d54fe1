#include "output/raw_spooler.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "base/message_flags.h"
#include "output/raw_job.h"

namespace kelvad {

namespace {

void ReportRefused(const std::wstring& path, MessageSink& messages) {
    messages.ShowWideMessageBox(NamedText(path, std::string(" を出力できません") + kLineBreakStop), path, kStopIcon);
}

// Fills buffer with size bytes, fewer only at the end of the file (atEnd is then set).
std::size_t ReadPiece(ByteSource& file, char* buffer, std::size_t size, bool& atEnd) {
    std::size_t filled = 0;
    while (!atEnd && filled < size) {
        const std::size_t n = file.Read(buffer + filled, size - filled);
        atEnd = n == 0;
        filled += n;
    }
    return filled;
}

// How sending a file's blocks ended.
enum class SendEnd { Whole, Changed, Aborted, WriteFailed };

// Sends the file's bytes up to the checked size block by block, with progress after each block.
SendEnd SendBlocks(ByteSource& file, std::uint64_t fileSize, RawJob& job, ProgressSink& progress) {
    std::vector<char> buffer(kSpoolReadSize);
    std::uint64_t bytesDone = 0;
    std::size_t filled = 0;
    std::size_t taken = 0;
    bool atEnd = false;
    while (bytesDone < fileSize) {
        if (taken == filled) {
            // No more than the checked size is read: bytes the file gained after the check are not sent.
            const std::uint64_t wanted = std::min<std::uint64_t>(buffer.size(), fileSize - bytesDone);
            filled = ReadPiece(file, buffer.data(), static_cast<std::size_t>(wanted), atEnd);
            taken = 0;
            if (filled == 0)
                break;
        }
        const std::size_t n = std::min(kSpoolBlockSize, filled - taken);
        if (!job.Write(buffer.data() + taken, n))
            return SendEnd::WriteFailed;
        taken += n;
        bytesDone += n;
        progress.SetPercent(static_cast<int>(bytesDone * 100 / fileSize));
        progress.Repaint();
        progress.ProcessMessages();
        if (progress.Aborted()) {
            progress.ShowAborting();
            return SendEnd::Aborted;
        }
    }
    // The file was wholly read only when it ended exactly at the size the checks found.
    const bool changed = bytesDone < fileSize || file.Read(buffer.data(), 1) > 0;
    return changed ? SendEnd::Changed : SendEnd::Whole;
}

// Sends the checked file as one job. Every handle is released when it returns (the job before the file when an
// error propagates); a refusal and a change are reported by the caller.
FileOutcome SpoolCheckedFile(const std::wstring& path, std::uint64_t fileSize, const SpoolTarget& target,
                             Spooler& spooler, FileSystem& fs, ProgressSink& progress) {
    const std::optional<FileStamp> before = fs.Stamp(path);
    std::unique_ptr<ByteSource> file = fs.OpenRead(path);
    RawJob job(spooler);
    if (!job.Start(target, CutAtShiftJisBytes(L"Kelvad " + path, kMaxDocNameBytes))) {
        file.reset();
        return FileOutcome::Refused;
    }
    SendEnd sent = SendBlocks(*file, fileSize, job, progress);
    file.reset();
    // A file rewritten while it was read, even to the same size, may have given bytes of two versions.
    if (sent == SendEnd::Whole && (!before || fs.Stamp(path) != before))
        sent = SendEnd::Changed;
    fs.ShowHourglass();
    // Only a wholly read file's job goes to the printer; any other is ended and cancelled.
    const bool ended = job.Finish(sent != SendEnd::Whole);
    // The user asked for the abort: nothing more is said about this file.
    if (sent == SendEnd::Aborted)
        return FileOutcome::Aborted;
    if (sent == SendEnd::Changed)
        return FileOutcome::Changed;
    if (sent == SendEnd::WriteFailed || !ended)
        return FileOutcome::Refused;
    return FileOutcome::Output;
}

} // namespace

FileOutcome SpoolPrinterFile(const std::wstring& path, const SpoolTarget& target, Spooler& spooler, FileSystem& fs,
                             ProgressSink& progress, MessageSink& messages) {
    const FileCheck check = CheckOutputFile(path, fs, messages);
    if (!check.Passed())
        return check.outcome;
    progress.ShowFile(path);
    progress.Repaint();
    FileOutcome outcome = FileOutcome::Output;
    try {
        outcome = SpoolCheckedFile(path, check.size, target, spooler, fs, progress);
    } catch (const FileError& error) {
        // A job begun before a read error has been ended and cancelled; the run goes on with the next file.
        return ReportUnreadable(path, error.Text(), messages);
    }
    if (outcome == FileOutcome::Refused)
        ReportRefused(path, messages);
    if (outcome == FileOutcome::Changed)
        messages.ShowWideMessageBox(NamedText(path, std::string(" は出力中に変更されました") + kLineBreakStop), path,
                                    kStopIcon);
    return outcome;
}

} // namespace kelvad
