#pragma once
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/codepage.h"
#include "output/file_system.h"
#include "output/progress_sink.h"
#include "output/spooler.h"

namespace kelvad::testing {

// One log of every call the fakes receive, in order, so tests can check call sequences across them.
using CallLog = std::vector<std::string>;

class FakeSpooler : public Spooler {
public:
    explicit FakeSpooler(CallLog& log) : log_(log) {}
    bool openOk = true;
    unsigned long jobId = 7;
    bool endOk = true;
    int refuseWrite = 0; // the Write call (1-based) the spooler refuses; 0 = none
    std::string docName;
    std::string portName;
    std::vector<std::size_t> writes;
    std::string bytes;

    bool Open(const std::wstring& printerName) override {
        log_.push_back("open " + ToShiftJis(printerName).bytes);
        return openOk;
    }
    unsigned long StartJob(const std::wstring& name, const std::wstring& port) override {
        docName = ToShiftJis(name).bytes;
        portName = ToShiftJis(port).bytes;
        log_.push_back("start");
        return jobId;
    }
    bool Write(const char* data, std::size_t size) override {
        writes.push_back(size);
        log_.push_back("write " + std::to_string(size));
        if (static_cast<int>(writes.size()) == refuseWrite) {
            return false;
        }
        bytes.append(data, size);
        return true;
    }
    bool EndDoc() override {
        log_.push_back("end");
        return endOk;
    }
    void Cancel(unsigned long job) override { log_.push_back("cancel " + std::to_string(job)); }
    void Close() override { log_.push_back("close printer"); }

private:
    CallLog& log_;
};

class FakeFileSystem : public FileSystem {
public:
    struct File {
        std::uint64_t listedSize = 0;         // what the directory search reports
        std::string content;                  // what reading yields
        std::optional<std::size_t> failAfter; // a read error once this many bytes have been read
        std::size_t readLimit = SIZE_MAX;     // the most one read yields (a pipe or a network file may yield less)
        std::uint64_t writeTime = 0;
    };

    explicit FakeFileSystem(CallLog& log) : log_(log) {}
    std::map<char, unsigned> drives{{'C', 3}}; // letter -> drive type; a missing letter is not ready
    std::set<std::string> shares;              // reachable share roots (network drives); others are not
    std::map<std::string, File> files;
    std::vector<std::string> searches;
    std::vector<std::string> unopenable; // found by the search, but opening them fails
    unsigned errorMode = 0;

    void AddFile(const std::string& path, const std::string& content) {
        files[path] = File{content.size(), content, std::nullopt};
    }

    unsigned SetErrorMode(unsigned mode) override {
        log_.push_back("error mode " + std::to_string(mode));
        const unsigned previous = errorMode;
        errorMode = mode;
        return previous;
    }
    // Paths are kept and logged as Shift-JIS: the tests name their files so.
    bool QueryFreeSpace(const std::wstring& wideRoot) override {
        const std::string rootPath = ToShiftJis(wideRoot).bytes;
        log_.push_back("free space " + rootPath);
        return (rootPath.size() == 3 && drives.count(rootPath[0]) > 0) || shares.count(rootPath) > 0;
    }
    unsigned DriveType(const std::wstring& wideRoot) override {
        const std::string rootPath = ToShiftJis(wideRoot).bytes;
        if (shares.count(rootPath) > 0) {
            return kDriveRemote;
        }
        auto it = drives.find(rootPath[0]);
        return it == drives.end() ? 1 : it->second;
    }
    std::optional<std::uint64_t> FindFirst(const std::wstring& widePattern) override {
        const std::string pattern = ToShiftJis(widePattern).bytes;
        searches.push_back(pattern);
        // A root's "*.*" finds any file under that root.
        if (pattern.size() > 3 && pattern.compare(pattern.size() - 4, 4, "\\*.*") == 0) {
            const std::string root = pattern.substr(0, pattern.size() - 3);
            for (const auto& [path, file] : files) {
                if (path.rfind(root, 0) == 0) {
                    return file.listedSize;
                }
            }
            return std::nullopt;
        }
        auto it = files.find(pattern);
        return it == files.end() ? std::nullopt : std::optional<std::uint64_t>(it->second.listedSize);
    }
    std::unique_ptr<ByteSource> OpenRead(const std::wstring& widePath) override {
        const std::string path = ToShiftJis(widePath).bytes;
        auto it = files.find(path);
        if (it == files.end() || std::find(unopenable.begin(), unopenable.end(), path) != unopenable.end()) {
            throw FileError(widePath + L": locked");
        }
        log_.push_back("open file");
        return std::make_unique<Source>(it->second, log_);
    }
    std::optional<FileStamp> Stamp(const std::wstring& path) override {
        const auto f = files.find(ToShiftJis(path).bytes);
        return f == files.end() ? std::nullopt
                                : std::optional(FileStamp{f->second.content.size(), f->second.writeTime});
    }
    bool RemoveFile(const std::wstring& widePath) override {
        const std::string path = ToShiftJis(widePath).bytes;
        log_.push_back("remove " + path);
        return files.erase(path) > 0;
    }
    void ShowHourglass() override { log_.push_back("hourglass"); }
    void ShowArrow() override { log_.push_back("arrow"); }

private:
    class Source : public ByteSource {
    public:
        Source(const File& file, CallLog& log) : file_(file), log_(log) {}
        ~Source() override { log_.push_back("close file"); }
        std::size_t Read(char* buffer, std::size_t size) override {
            if (file_.failAfter && position_ >= *file_.failAfter) {
                throw FileError(L"read error");
            }
            const std::size_t n = std::min({size, file_.readLimit, file_.content.size() - position_});
            file_.content.copy(buffer, n, position_);
            position_ += n;
            return n;
        }

    private:
        const File& file_;
        CallLog& log_;
        std::size_t position_ = 0;
    };

    CallLog& log_;
};

class FakeProgress : public ProgressSink {
public:
    explicit FakeProgress(CallLog& log) : log_(log) {}
    int abortAtMessageRound = 0; // the ProcessMessages call (1-based) that presses the abort button; 0 = never
    std::vector<int> percents;
    std::string shownFile;
    bool aborted = false;

    void ShowFile(const std::wstring& path) override {
        shownFile = ToShiftJis(path).bytes;
        log_.push_back("show file");
    }
    void SetPercent(int percent) override {
        percents.push_back(percent);
        log_.push_back("percent " + std::to_string(percent));
    }
    void Repaint() override { log_.push_back("repaint"); }
    void ProcessMessages() override {
        log_.push_back("messages");
        if (++rounds_ == abortAtMessageRound) {
            aborted = true;
        }
    }
    bool Aborted() const override { return aborted; }
    void ShowAborting() override { log_.push_back("aborting"); }

private:
    CallLog& log_;
    int rounds_ = 0;
};

class FakeMessages : public MessageSink {
public:
    struct Box {
        std::string text;
        std::string caption;
        unsigned flags;
    };
    std::vector<Box> boxes;
    void ShowWideMessageBox(const std::wstring& text, const std::wstring& caption, unsigned flags) override {
        boxes.push_back({ToShiftJis(text).bytes, ToShiftJis(caption).bytes, flags});
    }
};

} // namespace kelvad::testing
