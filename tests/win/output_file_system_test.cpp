#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "base/codepage.h"
#include "output/file_system_win.h"
#include "output/raw_spooler.h"
#include "output/spooler_win.h"

namespace kelvad {
namespace {

std::string TempFileName() {
    char dir[MAX_PATH] = {};
    char name[MAX_PATH] = {};
    GetTempPathA(sizeof dir, dir);
    GetTempFileNameA(dir, "kvd", 0, name);
    return name;
}

// A file in the temporary folder, removed when the test ends.
struct TempFile {
    std::string path = TempFileName();
    explicit TempFile(const std::string& content = std::string()) { std::ofstream(path, std::ios::binary) << content; }
    ~TempFile() { DeleteFileA(path.c_str()); }
};

char UnusedDriveLetter() {
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'Y'; letter > 'C'; --letter) {
        if (!(drives & (1u << (letter - 'A')))) {
            return letter;
        }
    }
    return 0;
}

TEST(WinFileSystem, FindFirstGivesTheSizeOrNothing) {
    WinFileSystem fs;
    TempFile file(std::string(12345, 'k'));
    EXPECT_EQ(fs.FindFirst(ToWide(file.path)), std::optional<std::uint64_t>(12345));

    TempFile empty;
    EXPECT_EQ(fs.FindFirst(ToWide(empty.path)), std::optional<std::uint64_t>(0));

    EXPECT_FALSE(fs.FindFirst(ToWide(file.path + ".missing")).has_value());
}

TEST(WinFileSystem, DriveProbes) {
    WinFileSystem fs;
    const UINT before = SetErrorMode(0);
    EXPECT_TRUE(IsDriveReady('C', fs));
    EXPECT_TRUE(IsDriveReady('c', fs));
    const char unused = UnusedDriveLetter();
    ASSERT_NE(unused, 0);
    EXPECT_FALSE(IsDriveReady(unused, fs)) << unused;
    // The probe leaves the error mode as it found it.
    EXPECT_EQ(SetErrorMode(before), 0u);
}

TEST(WinFileSystem, ReadsAFileThatAnotherHandleIsWriting) {
    WinFileSystem fs;
    const std::string path = TempFileName();
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(writer, "first ", 6, &written, nullptr);

    std::unique_ptr<ByteSource> source = fs.OpenRead(ToWide(path));
    char buffer[64] = {};
    EXPECT_EQ(source->Read(buffer, sizeof buffer), 6u);
    EXPECT_EQ(std::string(buffer, 6), "first ");

    WriteFile(writer, "second", 6, &written, nullptr);
    EXPECT_EQ(source->Read(buffer, sizeof buffer), 6u);
    EXPECT_EQ(std::string(buffer, 6), "second");
    EXPECT_EQ(source->Read(buffer, sizeof buffer), 0u);

    source.reset();
    CloseHandle(writer);
    EXPECT_TRUE(fs.RemoveFile(ToWide(path)));
    EXPECT_FALSE(fs.FindFirst(ToWide(path)).has_value());
    EXPECT_FALSE(fs.RemoveFile(ToWide(path)));
}

class RecordingProgress : public ProgressSink {
public:
    std::vector<int> percents;
    void ShowFile(const std::wstring&) override {}
    void SetPercent(int percent) override { percents.push_back(percent); }
    void Repaint() override {}
    void ProcessMessages() override {}
    bool Aborted() const override { return false; }
    void ShowAborting() override {}
};

class RecordingMessages : public MessageSink {
public:
    std::vector<std::string> texts;
    void ShowWideMessageBox(const std::wstring& text, const std::wstring&, unsigned) override {
        texts.push_back(ToShiftJis(text).bytes);
    }
};

// The printers of the test prefix; where their jobs land is set up by scripts/setup.
TEST(WinSpooler, JobReachesThePrinterAndAFailingOneIsRefused) {
    const char* out = std::getenv("KELVAD_OUT");
    ASSERT_NE(out, nullptr) << "run under scripts/wine";
    std::string landed = std::string("Z:") + out + "/jp-printer.bin";
    for (char& c : landed) {
        c = c == '/' ? '\\' : c;
    }
    DeleteFileA(landed.c_str());

    std::string content;
    for (int i = 0; i < 20000; ++i) {
        content += static_cast<char>(i % 251);
    }
    TempFile file(content);
    RecordingProgress progress;
    RecordingMessages messages;
    WinSpooler spooler;
    WinFileSystem fs;

    EXPECT_EQ(SpoolPrinterFile(ToWide(file.path), {L"テストプリンタ", L""}, spooler, fs, progress, messages),
              FileOutcome::Output);
    std::ifstream in(landed, std::ios::binary);
    const std::string received(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(received.size(), content.size());
    EXPECT_TRUE(received == content);
    EXPECT_EQ(progress.percents, (std::vector<int>{40, 81, 100}));
    EXPECT_TRUE(messages.texts.empty());

    EXPECT_EQ(SpoolPrinterFile(ToWide(file.path), {L"Kelvad Refuse", L""}, spooler, fs, progress, messages),
              FileOutcome::Refused);
    EXPECT_EQ(messages.texts, std::vector<std::string>{file.path + " を出力できません\r\n中止します"});

    messages.texts.clear();
    EXPECT_EQ(SpoolPrinterFile(ToWide(file.path), {L"No Such Printer", L""}, spooler, fs, progress, messages),
              FileOutcome::Refused);
    EXPECT_EQ(messages.texts.size(), 1u);
}

// Raw jobs name their data type whatever the printer's default, and the adapter passes refused writes on.
TEST(WinSpooler, RawJobsAreMarkedRawAndRefusedWritesAreReported) {
    const std::wstring docName = L"Kelvad raw", noPort, port = L"LPT2:";
    const DOC_INFO_1W portless = RawDocInfo(docName, noPort);
    EXPECT_STREQ(portless.pDocName, L"Kelvad raw");
    EXPECT_EQ(portless.pOutputFile, nullptr);
    EXPECT_STREQ(portless.pDatatype, L"RAW");
    EXPECT_STREQ(RawDocInfo(docName, port).pOutputFile, L"LPT2:");

    WinSpooler spooler;
    EXPECT_FALSE(spooler.Write("abc", 3)) << "no printer is open";
    ASSERT_TRUE(spooler.Open(L"テストプリンタ"));
    const unsigned long job = spooler.StartJob(docName, noPort);
    ASSERT_NE(job, 0u);
    EXPECT_TRUE(spooler.Write("abc", 3));
    EXPECT_TRUE(spooler.EndDoc());
    EXPECT_FALSE(spooler.Write("abc", 3)) << "the job has ended";
    spooler.Close();
}

} // namespace
} // namespace kelvad
