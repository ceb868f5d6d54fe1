#include "output/raw_spooler.h"

#include <algorithm>
#include <vector>

#include "output/sjis.h"

namespace kelvad {

namespace {

const char* const kLineBreakStop = "\r\n中止します";

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Restores the process error mode when the drive probe is over, however it ends.
class CriticalErrorsSilenced {
public:
    explicit CriticalErrorsSilenced(FileSystem& fs)
        : fs_(fs), previous_(fs.SetErrorMode(FileSystem::kFailCriticalErrors)) {}
    ~CriticalErrorsSilenced() { fs_.SetErrorMode(previous_); }
    CriticalErrorsSilenced(const CriticalErrorsSilenced&) = delete;
    CriticalErrorsSilenced& operator=(const CriticalErrorsSilenced&) = delete;

private:
    FileSystem& fs_;
    unsigned previous_;
};

void ReportRefused(const std::string& path, MessageSink& messages) {
    messages.ShowMessageBox(path + " を出力できません" + kLineBreakStop, path, kStopIcon);
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

} // namespace

bool IsDriveReady(char drive, FileSystem& fs) {
    const std::string root = std::string(1, UpperAscii(drive)) + ":\\";
    CriticalErrorsSilenced silenced(fs);
    if (!fs.QueryFreeSpace(root)) {
        return false;
    }
    if (fs.DriveType(root) == FileSystem::kDriveRemote) {
        return fs.FindFirst(root + "*.*").has_value();
    }
    return true;
}

std::optional<std::uint64_t> CheckOutputFile(const std::string& path, FileSystem& fs, MessageSink& messages) {
    // The first character stands for the drive whatever it is; an empty path has no drive at all.
    if (path.empty() || !IsDriveReady(path[0], fs)) {
        const std::string drive = path.empty() ? std::string() : std::string(1, UpperAscii(path[0]));
        messages.ShowMessageBox(drive + " ドライブの準備ができていません" + kLineBreakStop, path, kStopIcon);
        return std::nullopt;
    }
    const std::optional<std::uint64_t> size = fs.FindFirst(path);
    if (!size) {
        messages.ShowMessageBox(path + " が見つかりません", path, kStopIcon);
        return std::nullopt;
    }
    if (*size == 0) {
        messages.ShowMessageBox(path + " はサイズが０です" + kLineBreakStop, path, kStopIcon);
        return std::nullopt;
    }
    return size;
}

FileOutcome SpoolPrinterFile(const std::string& path, const SpoolTarget& target, Spooler& spooler, FileSystem& fs,
                             ProgressSink& progress, MessageSink& messages) {
    const std::optional<std::uint64_t> checkedSize = CheckOutputFile(path, fs, messages);
    if (!checkedSize) {
        return FileOutcome::Skipped;
    }
    const std::uint64_t fileSize = *checkedSize;
    progress.ShowFile(path);
    progress.Repaint();

    std::unique_ptr<ByteSource> file = fs.OpenRead(path);
    if (!spooler.Open(target.printerName)) {
        file.reset();
        ReportRefused(path, messages);
        return FileOutcome::Refused;
    }
    const std::string docName = CutAtCharBoundary("Kelvad " + path, kMaxDocNameBytes);
    const unsigned long jobId = spooler.StartJob(docName, target.portName.empty() ? nullptr : target.portName.c_str());
    if (jobId == 0) {
        file.reset();
        spooler.Close();
        ReportRefused(path, messages);
        return FileOutcome::Refused;
    }

    bool aborted = false;
    try {
        std::vector<char> buffer(kSpoolReadSize);
        std::uint64_t bytesDone = 0;
        std::size_t filled = 0;
        std::size_t taken = 0;
        bool atEnd = false;
        while (bytesDone < fileSize) {
            if (taken == filled) {
                // No more than the checked size is read: bytes the file gained after the check are not sent.
                const std::uint64_t wanted = std::min<std::uint64_t>(buffer.size(), fileSize - bytesDone);
                filled = ReadPiece(*file, buffer.data(), static_cast<std::size_t>(wanted), atEnd);
                taken = 0;
                if (filled == 0) {
                    break;
                }
            }
            const std::size_t n = std::min(kSpoolBlockSize, filled - taken);
            spooler.Write(buffer.data() + taken, n);
            taken += n;
            bytesDone += n;
            progress.SetPercent(static_cast<int>(bytesDone * 100 / fileSize));
            progress.Repaint();
            progress.ProcessMessages();
            if (progress.Aborted()) {
                progress.ShowAborting();
                aborted = true;
                break;
            }
        }
    } catch (...) {
        // The started job goes no further: end it, drop it from the queue and let the error go on.
        spooler.EndDoc();
        spooler.Cancel(jobId);
        spooler.Close();
        file.reset();
        throw;
    }

    file.reset();
    fs.ShowHourglass();
    const bool ended = spooler.EndDoc();
    if (aborted) {
        spooler.Cancel(jobId);
    }
    spooler.Close();
    if (!ended) {
        ReportRefused(path, messages);
        return FileOutcome::Refused;
    }
    return FileOutcome::Output;
}

} // namespace kelvad
