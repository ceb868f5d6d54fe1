#include "output/raw_spooler.h"

#include <algorithm>
#include <vector>

#include "base/sjis.h"

namespace kelvad {

namespace {

const char* const kLineBreakStop = "\r\n中止します";
const char* const kLongPrefix = "\\\\?\\";
const char* const kLongUncPrefix = "\\\\?\\UNC\\";

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

bool IsSharePath(const std::string& path) {
    return path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
}

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
    return IsRootReady(std::string(1, UpperAscii(drive)) + ":\\", fs);
}

bool IsRootReady(const std::string& root, FileSystem& fs) {
    CriticalErrorsSilenced silenced(fs);
    if (!fs.QueryFreeSpace(root)) {
        return false;
    }
    if (fs.DriveType(root) == FileSystem::kDriveRemote) {
        return fs.FindFirst(root + "*.*").has_value();
    }
    return true;
}

std::string DriveRootOf(const std::string& path) {
    if (IsSharePath(path)) {
        // \\server\share\ (\\?\UNC\server\share\ in the long form): up to the backslash that ends the share
        // name; a path that ends before it is taken whole.
        const int parts = path.rfind(kLongUncPrefix, 0) == 0 ? 4 : 2;
        std::size_t end = 1;
        for (int i = 0; i < parts && end != std::string::npos; ++i) {
            end = FindSingleByte(path, '\\', end + 1);
        }
        return end == std::string::npos ? path + "\\" : path.substr(0, end + 1);
    }
    return path.empty() ? std::string() : std::string(1, UpperAscii(path[0])) + ":\\";
}

FileCheck CheckOutputFile(const std::string& path, FileSystem& fs, MessageSink& messages) {
    const std::string root = DriveRootOf(path);
    // An empty path has no drive at all.
    if (path.empty() || !IsRootReady(root, fs)) {
        // A drive is named by its letter, a share by its root.
        const std::string drive = IsSharePath(path) ? root : root.substr(0, 1);
        messages.ShowMessageBox(drive + " ドライブの準備ができていません" + kLineBreakStop, path, kStopIcon);
        return {FileOutcome::Skipped};
    }
    // The directory search matches patterns, but no file is named by one ("\\?\" starts a long path).
    const std::size_t nameStart = path.rfind(kLongPrefix, 0) == 0 ? 4 : 0;
    const bool pattern = path.find_first_of("*?", nameStart) != std::string::npos;
    const std::optional<std::uint64_t> size = pattern ? std::nullopt : fs.FindFirst(path);
    if (!size) {
        messages.ShowMessageBox(path + " が見つかりません", path, kStopIcon);
        return {FileOutcome::NotFound};
    }
    if (*size == 0) {
        messages.ShowMessageBox(path + " はサイズが０です" + kLineBreakStop, path, kStopIcon);
        return {FileOutcome::Skipped};
    }
    return {FileOutcome::Output, *size};
}

FileOutcome SpoolPrinterFile(const std::string& path, const SpoolTarget& target, Spooler& spooler, FileSystem& fs,
                             ProgressSink& progress, MessageSink& messages) {
    const FileCheck check = CheckOutputFile(path, fs, messages);
    if (!check.Passed()) {
        return check.outcome;
    }
    const std::uint64_t fileSize = check.size;
    progress.ShowFile(path);
    progress.Repaint();

    std::unique_ptr<ByteSource> file = fs.OpenRead(path);
    if (!spooler.Open(target.printerName)) {
        file.reset();
        ReportRefused(path, messages);
        return FileOutcome::Refused;
    }
    const std::string docName = CutAtCharBoundary("Kelvad " + path, kMaxDocNameBytes);
    const unsigned long jobId = spooler.StartJob(docName, target.portName);
    if (jobId == 0) {
        file.reset();
        spooler.Close();
        ReportRefused(path, messages);
        return FileOutcome::Refused;
    }

    bool aborted = false;
    bool writeFailed = false;
    bool changed = false;
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
            if (!spooler.Write(buffer.data() + taken, n)) {
                writeFailed = true;
                break;
            }
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
        // The file was wholly output only when it ended exactly at the size the checks found.
        if (!aborted && !writeFailed) {
            changed = bytesDone < fileSize || file->Read(buffer.data(), 1) > 0;
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
    if (aborted || writeFailed) {
        spooler.Cancel(jobId);
    }
    spooler.Close();
    // The user asked for the abort: nothing more is said about this file.
    if (aborted) {
        return FileOutcome::Aborted;
    }
    if (writeFailed || !ended) {
        ReportRefused(path, messages);
        return FileOutcome::Refused;
    }
    return changed ? FileOutcome::Changed : FileOutcome::Output;
}

} // namespace kelvad
