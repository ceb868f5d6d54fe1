#include <gtest/gtest.h>

#include <stdexcept>

#include "output/raw_spooler.h"
#include "output_fakes.h"

namespace kelvad {
namespace {

using namespace kelvad::testing;
using Strings = std::vector<std::string>;

std::string Bytes(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) {
        s[i] = static_cast<char>(i * 7 + i / 251);
    }
    return s;
}

class RawSpoolerTest : public ::testing::Test {
protected:
    const std::string path = "C:\\DATA\\REPORT.PRN";
    CallLog log;
    FakeSpooler spooler{log};
    FakeFileSystem fs{log};
    FakeProgress progress{log};
    FakeMessages messages;
    SpoolTarget target{L"Probe A", L""};

    FileOutcome Spool() { return SpoolPrinterFile(ToWide(path), target, spooler, fs, progress, messages); }

    // The calls from the moment the file is shown in the progress window.
    Strings CallsAfterCheck() const {
        auto it = std::find(log.begin(), log.end(), "show file");
        return Strings(it, log.end());
    }

    void ExpectRefusedMessage() const {
        ASSERT_EQ(messages.boxes.size(), 1u);
        EXPECT_EQ(messages.boxes[0].text, path + " を出力できません\r\n中止します");
        EXPECT_EQ(messages.boxes[0].caption, path);
        EXPECT_EQ(messages.boxes[0].flags, 16u);
    }
};

TEST_F(RawSpoolerTest, StreamsTheFileInBlocksWithProgressAfterEach) {
    const std::string content = Bytes(20000);
    fs.AddFile(path, content);

    EXPECT_EQ(Spool(), FileOutcome::Output);

    EXPECT_EQ(spooler.bytes, content);
    EXPECT_EQ(spooler.docName, "Kelvad C:\\DATA\\REPORT.PRN");
    EXPECT_EQ(spooler.portName, ""); // no port: the printer's own
    EXPECT_EQ(progress.shownFile, path);
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_EQ(CallsAfterCheck(), (Strings{"show file",  "repaint",     "open file", "open Probe A", "start", //
                                          "write 8192", "percent 40",  "repaint",   "messages",              //
                                          "write 8192", "percent 81",  "repaint",   "messages",              //
                                          "write 3616", "percent 100", "repaint",   "messages",              //
                                          "close file", "hourglass",   "end",       "close printer"}));
}

TEST_F(RawSpoolerTest, BlockSizedFileAndPortGoOutAsOneWrite) {
    fs.AddFile(path, Bytes(8192));
    target.portName = L"LPT1:";

    EXPECT_EQ(Spool(), FileOutcome::Output);

    EXPECT_EQ(spooler.writes, std::vector<std::size_t>{8192});
    EXPECT_EQ(progress.percents, std::vector<int>{100});
    EXPECT_EQ(spooler.portName, "LPT1:");
}

TEST_F(RawSpoolerTest, FileThatChangedSizeGoesOutUpToTheCheckedSizeButNotWholly) {
    struct Case {
        std::size_t listed, actual;
        std::vector<std::size_t> writes;
        std::vector<int> percents;
    };
    const Case cases[] = {
        {20000, 30000, {8192, 8192, 3616}, {40, 81, 100}}, // grew: the extra bytes are not sent
        {8192, 9000, {8192}, {100}},                       // grew past a block boundary: seen after the last block
        {20000, 10000, {8192, 1808}, {40, 50}},            // shrank: sending stops at its end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.listed);
        spooler.writes.clear();
        spooler.bytes.clear();
        progress.percents.clear();
        const std::string content = Bytes(c.actual);
        fs.AddFile(path, content);
        fs.files[path].listedSize = c.listed;
        fs.files[path].readLimit = 5000; // reads shorter than asked still make whole blocks

        EXPECT_EQ(Spool(), FileOutcome::Changed);

        EXPECT_EQ(spooler.writes, c.writes);
        EXPECT_EQ(spooler.bytes, content.substr(0, c.listed));
        EXPECT_EQ(progress.percents, c.percents);
        EXPECT_EQ(Strings(log.end() - 3, log.end()), (Strings{"end", "cancel 7", "close printer"}));
        EXPECT_EQ(messages.boxes.back().text, path + " は出力中に変更されました\r\n中止します");
    }
}

TEST_F(RawSpoolerTest, AbortInTheFirstBlockEndsThenCancelsTheJobSilently) {
    fs.AddFile(path, Bytes(20000));
    progress.abortAtMessageRound = 1;
    spooler.endOk = false; // a job that fails as it ends after an abort is not reported

    EXPECT_EQ(Spool(), FileOutcome::Aborted);

    EXPECT_EQ(CallsAfterCheck(), (Strings{"show file", "repaint", "open file", "open Probe A", "start",  //
                                          "write 8192", "percent 40", "repaint", "messages", "aborting", //
                                          "close file", "hourglass", "end", "cancel 7", "close printer"}));
    EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(RawSpoolerTest, RefusedWriteStopsTheFileEndsAndCancelsTheJob) {
    fs.AddFile(path, Bytes(20000));
    spooler.refuseWrite = 2;

    EXPECT_EQ(Spool(), FileOutcome::Refused);

    EXPECT_EQ(CallsAfterCheck(),
              (Strings{"show file", "repaint", "open file", "open Probe A", "start", //
                       "write 8192", "percent 40", "repaint", "messages",            //
                       "write 8192", "close file", "hourglass", "end", "cancel 7", "close printer"}));
    ExpectRefusedMessage();
}

TEST_F(RawSpoolerTest, RefusedPrinterStopsTheFileWithAMessage) {
    fs.AddFile(path, Bytes(100));
    spooler.openOk = false;

    EXPECT_EQ(Spool(), FileOutcome::Refused);

    EXPECT_EQ(CallsAfterCheck(), (Strings{"show file", "repaint", "open file", "open Probe A", "close file"}));
    ExpectRefusedMessage();
}

TEST_F(RawSpoolerTest, RefusedJobStopsTheFileWithAMessage) {
    fs.AddFile(path, Bytes(100));
    spooler.jobId = 0;

    EXPECT_EQ(Spool(), FileOutcome::Refused);

    EXPECT_EQ(CallsAfterCheck(),
              (Strings{"show file", "repaint", "open file", "open Probe A", "start", "close file", "close printer"}));
    ExpectRefusedMessage();
}

TEST_F(RawSpoolerTest, JobThatCannotBeEndedIsReportedRefused) {
    fs.AddFile(path, Bytes(100));
    spooler.endOk = false;

    EXPECT_EQ(Spool(), FileOutcome::Refused);

    EXPECT_EQ(spooler.writes, std::vector<std::size_t>{100});
    EXPECT_EQ(log.back(), "close printer");
    ExpectRefusedMessage();
}

TEST_F(RawSpoolerTest, ReadErrorMidFileCancelsTheJobAndNamesTheFile) {
    // The first piece is read and sent block by block; reading the second one fails.
    fs.AddFile(path, Bytes(kSpoolReadSize + 20000));
    fs.files[path].failAfter = kSpoolReadSize;

    EXPECT_EQ(Spool(), FileOutcome::Unreadable);

    EXPECT_EQ(spooler.writes, std::vector<std::size_t>(kSpoolReadSize / kSpoolBlockSize, kSpoolBlockSize));
    EXPECT_EQ(Strings(log.end() - 5, log.end()),
              (Strings{"messages", "end", "cancel 7", "close printer", "close file"}));
    EXPECT_EQ(messages.boxes.at(0).text, "read error\r\n中止します");
}

TEST_F(RawSpoolerTest, OpenErrorComesBeforeThePrinterIsOpened) {
    fs.AddFile(path, Bytes(100));
    fs.unopenable.push_back(path);

    EXPECT_EQ(Spool(), FileOutcome::Unreadable);

    EXPECT_EQ(CallsAfterCheck(), (Strings{"show file", "repaint"}));
    EXPECT_EQ(messages.boxes.at(0).text + "/" + messages.boxes[0].caption, path + ": locked\r\n中止します/" + path);
}

TEST_F(RawSpoolerTest, DocumentNameIsCutAt255BytesOnACharacterBoundary) {
    // "Kelvad C:\" is 10 bytes, then double-byte characters: byte 255 would be the first half of one.
    const std::string longPath = "C:\\" + [] {
        std::string s;
        for (int i = 0; i < 130; ++i) {
            s += "表";
        }
        return s;
    }();
    fs.AddFile(longPath, "x");

    EXPECT_EQ(SpoolPrinterFile(ToWide(longPath), target, spooler, fs, progress, messages), FileOutcome::Output);

    EXPECT_EQ(spooler.docName.size(), 254u);
    EXPECT_EQ(spooler.docName, ("Kelvad " + longPath).substr(0, 254));
    EXPECT_EQ(progress.shownFile, longPath);
}

TEST_F(RawSpoolerTest, ChecksStopAtTheFirstFailureWithItsMessage) {
    struct Case {
        std::string path;
        std::string text;
        FileOutcome outcome;
    };
    fs.AddFile("C:\\EMPTY.PRN", "");
    fs.AddFile("C:\\DATA\\*.PRN", "x"); // the search would match a pattern; the check never asks it
    fs.shares.insert("\\\\server\\share\\");
    fs.AddFile("\\\\server\\share\\dir\\x.prn", "x");
    const Case cases[] = {
        {"a:\\x.prn", "A ドライブの準備ができていません\r\n中止します", FileOutcome::Skipped},
        {"\\\\other\\share\\x.prn", "\\\\other\\share\\ ドライブの準備ができていません\r\n中止します",
         FileOutcome::Skipped},
        {"\\\\?\\UNC\\other\\share\\x.prn", "\\\\?\\UNC\\other\\share\\ ドライブの準備ができていません\r\n中止します",
         FileOutcome::Skipped},
        {"\\\\server\\share\\dir\\y.prn", "\\\\server\\share\\dir\\y.prn が見つかりません", FileOutcome::NotFound},
        {"C:\\NONE.PRN", "C:\\NONE.PRN が見つかりません", FileOutcome::NotFound},
        {"C:\\DATA\\*.PRN", "C:\\DATA\\*.PRN が見つかりません", FileOutcome::NotFound},
        {"C:\\EMPTY.PRN", "C:\\EMPTY.PRN はサイズが０です\r\n中止します", FileOutcome::Skipped},
    };
    for (const Case& c : cases) {
        messages.boxes.clear();
        log.clear();
        EXPECT_EQ(SpoolPrinterFile(ToWide(c.path), target, spooler, fs, progress, messages), c.outcome) << c.path;
        ASSERT_EQ(messages.boxes.size(), 1u) << c.path;
        EXPECT_EQ(messages.boxes[0].text, c.text);
        EXPECT_EQ(messages.boxes[0].caption, c.path);
        EXPECT_EQ(messages.boxes[0].flags, 16u);
        EXPECT_EQ(std::count(log.begin(), log.end(), "start"), 0) << c.path;
        EXPECT_EQ(std::count(log.begin(), log.end(), "open file"), 0) << c.path;
    }
    // The texts are Shift-JIS bytes.
    EXPECT_EQ(messages.boxes[0].text,
              "C:\\EMPTY.PRN\x20\x82\xCD\x83\x54\x83\x43\x83\x59\x82\xAA\x82\x4F\x82\xC5\x82\xB7"
              "\r\n\x92\x86\x8E\x7E\x82\xB5\x82\xDC\x82\xB7");

    // A file on a reachable share passes the drive check through its share root.
    log.clear();
    EXPECT_EQ(SpoolPrinterFile(L"\\\\server\\share\\dir\\x.prn", target, spooler, fs, progress, messages),
              FileOutcome::Output);
    EXPECT_EQ(log[1], "free space \\\\server\\share\\");
}

TEST(CheckOutputFile, DriveMessageIsShiftJisAndTheErrorModeIsRestored) {
    CallLog log;
    FakeFileSystem fs{log};
    FakeMessages messages;
    fs.errorMode = 0x8000;

    EXPECT_EQ(CheckOutputFile(L"a:\\x.prn", fs, messages).outcome, FileOutcome::Skipped);

    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, "A\x20\x83\x68\x83\x89\x83\x43\x83\x75\x82\xCC\x8F\x80\x94\xF5\x82\xAA\x82\xC5"
                                      "\x82\xAB\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1\r\n\x92\x86\x8E\x7E\x82\xB5"
                                      "\x82\xDC\x82\xB7");
    EXPECT_EQ(log, (Strings{"error mode 1", "free space A:\\", "error mode 32768"}));
}

TEST(IsDriveReady, NetworkDriveMustShowAnEntry) {
    CallLog log;
    FakeFileSystem fs{log};
    fs.drives['N'] = FileSystem::kDriveRemote;

    EXPECT_FALSE(IsDriveReady('n', fs));
    EXPECT_EQ(fs.searches, Strings{"N:\\*.*"});

    fs.AddFile("N:\\a.prn", "x");
    EXPECT_TRUE(IsDriveReady('N', fs));

    // A local drive is ready without a search, empty or not.
    fs.searches.clear();
    EXPECT_TRUE(IsDriveReady('c', fs));
    EXPECT_TRUE(fs.searches.empty());
    EXPECT_FALSE(IsDriveReady('Q', fs));
    EXPECT_EQ(fs.errorMode, 0u);
}

} // namespace
} // namespace kelvad
