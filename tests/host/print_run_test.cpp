#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

#include "output/print_run.h"
#include "output/printer.h"
#include "output_fakes.h"

namespace kelvad {
namespace {

using namespace kelvad::testing;
using Strings = std::vector<std::string>;

class FakeFileList : public FileList {
public:
    Strings rows;
    std::set<int> selected;

    int Count() const override { return static_cast<int>(rows.size()); }
    int SelectedCount() const override { return static_cast<int>(selected.size()); }
    bool IsSelected(int index) const override { return selected.count(index) > 0; }
    std::wstring Item(int index) const override { return ToWide(rows.at(static_cast<std::size_t>(index))); }
    void Delete(int index) override {
        if (index >= 0 && index < Count()) {
            rows.erase(rows.begin() + index);
        }
    }
};

class PrintRunTest : public ::testing::Test {
protected:
    CallLog log;
    FakeFileSystem fs{log};
    FakeProgress progress{log};
    FakeMessages messages;
    FakeFileList files;
    std::vector<FileOutcome> outcomes; // per call; Output once they run out
    int abortOnCall = 0;               // the call (1-based) during which the abort button is pressed
    std::vector<RunPosition> positions;
    Strings paths;

    void SetRows(int n) {
        for (int i = 0; i < n; ++i) {
            files.rows.push_back("C:\\F" + std::to_string(i) + ".PRN");
            fs.AddFile(files.rows.back(), "data");
        }
    }

    OutputStep Step() {
        return [this](const std::wstring& widePath, const RunPosition& at) {
            const std::string path = ToShiftJis(widePath).bytes;
            log.push_back("output " + path);
            paths.push_back(path);
            positions.push_back(at);
            const std::size_t call = positions.size();
            if (static_cast<int>(call) == abortOnCall) {
                progress.aborted = true;
            }
            return call <= outcomes.size() ? outcomes[call - 1] : FileOutcome::Output;
        };
    }

    bool Run(bool deleteFiles) { return RunRawPrint(files, deleteFiles, Step(), progress, fs, messages); }

    Strings Removed() const {
        Strings removed;
        for (const std::string& entry : log) {
            if (entry.rfind("remove ", 0) == 0) {
                removed.push_back(entry.substr(7));
            }
        }
        return removed;
    }
};

TEST_F(PrintRunTest, NoSelectionOutputsEveryRowInOrder) {
    SetRows(3);

    EXPECT_TRUE(Run(false));

    EXPECT_EQ(paths, (Strings{"C:\\F0.PRN", "C:\\F1.PRN", "C:\\F2.PRN"}));
    ASSERT_EQ(positions.size(), 3u);
    EXPECT_EQ(positions[2].processed, 3);
    EXPECT_FALSE(positions[0].lastOfRun);
    EXPECT_FALSE(positions[1].lastOfRun);
    EXPECT_TRUE(positions[2].lastOfRun);
    // The arrow comes back before every file; without the delete option nothing is removed.
    EXPECT_EQ(std::count(log.begin(), log.end(), "arrow"), 3);
    EXPECT_EQ(log[0], "arrow");
    EXPECT_EQ(files.rows.size(), 3u);
    EXPECT_TRUE(Removed().empty());
}

TEST_F(PrintRunTest, OnlySelectedRowsGoOutInListOrder) {
    SetRows(5);
    files.selected = {3, 1};

    EXPECT_TRUE(Run(true));

    EXPECT_EQ(paths, (Strings{"C:\\F1.PRN", "C:\\F3.PRN"}));
    EXPECT_EQ(positions[0].index, 1);
    EXPECT_EQ(positions[0].processed, 1);
    EXPECT_FALSE(positions[0].lastOfRun);
    EXPECT_EQ(positions[1].index, 3);
    EXPECT_TRUE(positions[1].lastOfRun);
    EXPECT_EQ(Removed(), (Strings{"C:\\F3.PRN", "C:\\F1.PRN"}));
    EXPECT_EQ(files.rows, (Strings{"C:\\F0.PRN", "C:\\F2.PRN", "C:\\F4.PRN"}));
}

TEST_F(PrintRunTest, DeletePassGoesFromTheHighestRowAndIgnoresMissingFiles) {
    SetRows(3);
    files.selected = {0, 2};
    fs.files.erase("C:\\F2.PRN"); // gone before the delete pass: its row still goes

    EXPECT_TRUE(Run(true));

    EXPECT_EQ(Removed(), Strings{"C:\\F0.PRN"});
    EXPECT_EQ(files.rows, Strings{"C:\\F1.PRN"});
}

TEST_F(PrintRunTest, OnlyWhollyOutputFilesAreDeletedAndNotFoundRowsRemoved) {
    SetRows(6);
    outcomes = {FileOutcome::Output,  FileOutcome::NotFound, FileOutcome::Skipped,
                FileOutcome::Refused, FileOutcome::Changed,  FileOutcome::Output};

    EXPECT_FALSE(Run(true));

    // The not-found row goes without a deletion (a file that turned up since is not touched); every other
    // file that was not wholly output keeps its file and its row.
    EXPECT_EQ(Removed(), (Strings{"C:\\F5.PRN", "C:\\F0.PRN"}));
    EXPECT_EQ(files.rows, (Strings{"C:\\F2.PRN", "C:\\F3.PRN", "C:\\F4.PRN"}));
    EXPECT_EQ(fs.files.count("C:\\F1.PRN"), 1u);
}

TEST_F(PrintRunTest, AbortDuringTheSecondOfFourLeavesItUnrecorded) {
    SetRows(4);
    abortOnCall = 2;

    EXPECT_FALSE(Run(true));

    EXPECT_EQ(paths.size(), 2u);
    EXPECT_EQ(Removed(), Strings{"C:\\F0.PRN"});
    EXPECT_EQ(files.rows, (Strings{"C:\\F1.PRN", "C:\\F2.PRN", "C:\\F3.PRN"}));
}

TEST_F(PrintRunTest, EmptyListShowsItsMessageOnly) {
    EXPECT_FALSE(Run(true));

    EXPECT_TRUE(paths.empty());
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, "ファイルがありません");
    EXPECT_EQ(messages.boxes[0].caption, "Kelvad");
    EXPECT_EQ(messages.boxes[0].flags, 48u);
}

TEST_F(PrintRunTest, AnErrorEndsTheRunBeforeTheDeletePass) {
    SetRows(3);
    const OutputStep failing = [&](const std::wstring& path, const RunPosition& at) {
        if (at.index == 1) {
            throw std::runtime_error("read error");
        }
        paths.push_back(ToShiftJis(path).bytes);
        return FileOutcome::Output;
    };

    EXPECT_THROW(RunRawPrint(files, true, failing, progress, fs, messages), std::runtime_error);

    EXPECT_EQ(paths, Strings{"C:\\F0.PRN"});
    EXPECT_TRUE(Removed().empty());
    EXPECT_EQ(files.rows.size(), 3u);
}

// The GDI document: each call makes two device calls, and the device can refuse the n-th call of one kind.
class FakeDocument : public PrintDocument {
public:
    explicit FakeDocument(CallLog& log) : log_(log) {}
    std::string refuse; // the device call that fails
    int refuseAt = 1;   // at its n-th occurrence
    bool Begin() override {
        return refuse == "gone" ? throw PrinterError("") : Log("begin") && Device("StartDoc") && Device("StartPage");
    }
    bool NewPage() override { return Log("new page") && Device("EndPage") && Device("StartPage"); }
    bool End() override { return Log("end doc") && Device("EndPage") && Device("EndDoc"); }
    void Abort() override { log_.push_back("abort doc"); }
    std::wstring PrinterName() override { return L"Refuser"; }

private:
    bool Log(const std::string& call) { return log_.push_back(call), true; }
    bool Device(const std::string& call) { return call != refuse || ++made_[call] != refuseAt; }
    CallLog& log_;
    std::map<std::string, int> made_;
};

TEST_F(PrintRunTest, ImageRunBreaksThePageAfterEveryFileButTheLast) {
    struct Case {
        const char* name;
        int rows;
        std::set<int> selected;
        std::vector<FileOutcome> outcomes;
        int abortOnCall;
        Strings documentCalls;
    };
    const Strings threePages = {"begin",    "output C:\\F0.PRN", "new page", "output C:\\F1.PRN",
                                "new page", "output C:\\F2.PRN", "end doc"};
    const Case cases[] = {
        {"three rows, none selected", 3, {}, {}, 0, threePages},
        {"rows 1 and 3 of five",
         5,
         {3, 1},
         {},
         0,
         {"begin", "output C:\\F1.PRN", "new page", "output C:\\F3.PRN", "end doc"}},
        // The missing middle file leaves its page empty: still three pages.
        {"missing middle file", 3, {}, {FileOutcome::Output, FileOutcome::Skipped}, 0, threePages},
        // The break after the second file is made before the abort is seen: the last page stays empty.
        {"abort after the second of four",
         4,
         {},
         {},
         2,
         {"begin", "output C:\\F0.PRN", "new page", "output C:\\F1.PRN", "new page", "end doc"}},
    };
    for (const Case& c : cases) {
        log.clear();
        files.rows.clear();
        fs.files.clear();
        paths.clear();
        positions.clear();
        progress.aborted = false;
        SetRows(c.rows);
        files.selected = c.selected;
        outcomes = c.outcomes;
        abortOnCall = c.abortOnCall;
        FakeDocument document(log);

        RunImagePrint(files, false, Step(), progress, fs, messages, document);

        Strings documentCalls;
        for (const std::string& entry : log)
            if (entry == "begin" || entry == "new page" || entry == "end doc" || entry.rfind("output ", 0) == 0)
                documentCalls.push_back(entry);
        EXPECT_EQ(documentCalls, c.documentCalls) << c.name;
    }
}

TEST_F(PrintRunTest, ARefusedDocumentKeepsEveryFileAndNamesThePrinter) {
    struct Case {
        const char* refuse;
        int refuseAt;
        int abortOnCall;
        Strings outputs; // the files drawn before the run stopped
        bool box;
    };
    const Strings all = {"C:\\F0.PRN", "C:\\F1.PRN", "C:\\F2.PRN"};
    const Case cases[] = {
        {"gone", 1, 0, {}, true},
        {"StartDoc", 1, 0, {}, true},
        {"StartPage", 1, 0, {}, true},
        // The second page cannot start: nothing more is drawn into the dead document.
        {"StartPage", 2, 0, {"C:\\F0.PRN"}, true},
        {"EndPage", 2, 0, {"C:\\F0.PRN", "C:\\F1.PRN"}, true},
        {"EndPage", 3, 0, all, true},
        {"EndDoc", 1, 0, all, true},
        // After the user's own abort the refusal is not reported, and still nothing is deleted.
        {"EndDoc", 1, 2, {"C:\\F0.PRN", "C:\\F1.PRN"}, false},
        {"", 1, 0, all, false},
    };
    for (const Case& c : cases) {
        log.clear();
        files.rows.clear();
        paths.clear();
        positions.clear();
        messages.boxes.clear();
        progress.aborted = false;
        abortOnCall = c.abortOnCall;
        SetRows(3);
        FakeDocument document(log);
        document.refuse = c.refuse;
        document.refuseAt = c.refuseAt;
        const std::string name = std::string(c.refuse) + " " + std::to_string(c.refuseAt);

        const bool everyFileOutput = RunImagePrint(files, true, Step(), progress, fs, messages, document);

        EXPECT_EQ(paths, c.outputs) << name;
        const bool refused = *c.refuse != 0;
        EXPECT_EQ(everyFileOutput, !refused && c.abortOnCall == 0) << name;
        EXPECT_EQ(std::count(log.begin(), log.end(), "abort doc"), refused ? 1 : 0) << name;
        EXPECT_EQ(Removed().size(), refused ? 0u : 3u) << name;
        EXPECT_EQ(files.rows.size(), refused ? 3u : 0u) << name;
        EXPECT_EQ(messages.boxes.size(), c.box ? 1u : 0u) << name;
        for (const FakeMessages::Box& box : messages.boxes)
            EXPECT_EQ(box.text + "/" + box.caption + "/" + std::to_string(box.flags),
                      "Refuser に出力できません/Kelvad/16");
    }
}

TEST_F(PrintRunTest, AFileChangedSinceItsOutputBeganIsKeptAndNamed) {
    SetRows(3);
    // F0 grows while it goes out; F1 is rewritten at the same size while F2 goes out.
    const OutputStep changing = [&](const std::wstring&, const RunPosition& at) {
        fs.files["C:\\F0.PRN"].content += at.index == 0 ? "+" : "";
        fs.files["C:\\F1.PRN"].writeTime += at.index == 2 ? 1 : 0;
        return FileOutcome::Output;
    };
    FakeDocument document(log);
    EXPECT_FALSE(RunImagePrint(files, true, changing, progress, fs, messages, document));
    EXPECT_EQ(Removed(), Strings{"C:\\F2.PRN"});
    EXPECT_EQ(files.rows, (Strings{"C:\\F0.PRN", "C:\\F1.PRN"}));
    EXPECT_EQ(messages.boxes.at(1).text, "C:\\F0.PRN は出力後に変更されました\r\n削除しません");
}

TEST_F(PrintRunTest, AnErrorInAnImageRunDropsTheDocument) {
    SetRows(3);
    FakeDocument document(log);
    const OutputStep failing = [&](const std::wstring&, const RunPosition& at) {
        if (at.index == 1) {
            throw std::runtime_error("read error");
        }
        return FileOutcome::Output;
    };

    EXPECT_THROW(RunImagePrint(files, true, failing, progress, fs, messages, document), std::runtime_error);

    EXPECT_EQ(std::count(log.begin(), log.end(), "abort doc"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "end doc"), 0);
    EXPECT_TRUE(Removed().empty());

    // An empty list begins no document.
    log.clear();
    files.rows.clear();
    EXPECT_FALSE(RunImagePrint(files, true, failing, progress, fs, messages, document));
    EXPECT_EQ(std::count(log.begin(), log.end(), "begin"), 0);
}

} // namespace
} // namespace kelvad
