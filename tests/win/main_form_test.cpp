// The main window in process under Wine: its layout, the command line, the frame, closing, and print
// runs to the real test printers through a spooler wrapper that records the calls it passes on.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/main_form_win.h"
#include "base/codepage.h"
#include "output/spooler_win.h"
#include "ui/application.h"
#include "tests/win/layout_check.h"
#include "tests/win/test_files.h"
#include "ui/handle.h"

namespace {

using kelvad::TMain_Form;
using namespace kelvad::testing;
using kelvad::ToShiftJis;
using kelvad::ToWide;

struct Box {
    std::string text, caption;
    unsigned flags;
};

// The main window with its message boxes recorded instead of shown.
class TestForm : public TMain_Form {
public:
    using TMain_Form::TMain_Form;
    std::vector<Box> boxes;
    std::function<void()> duringBox;
    void ShowWideMessageBox(const std::wstring& text, const std::wstring& caption, unsigned flags) override {
        boxes.push_back({ToShiftJis(text).bytes, ToShiftJis(caption).bytes, flags});
        if (duringBox)
            duringBox();
    }
};

// Passes every call to the real spooler and records it; optionally sends the job to another printer.
class RecordingSpooler : public kelvad::Spooler {
public:
    std::vector<std::string> calls;
    std::string printerOverride;
    std::function<void(int writeNumber)> afterWrite;
    unsigned long job = 0;

    bool Open(const std::wstring& printer) override {
        calls.push_back("open " + ToShiftJis(printer).bytes);
        return real.Open(printerOverride.empty() ? printer : ToWide(printerOverride));
    }
    unsigned long StartJob(const std::wstring& docName, const std::wstring& portName) override {
        calls.push_back(portName.empty() ? "start" : "start " + ToShiftJis(portName).bytes);
        this->docName = ToShiftJis(docName).bytes;
        return job = real.StartJob(docName, portName);
    }
    bool Write(const char* data, std::size_t size) override {
        calls.push_back("write " + std::to_string(size));
        const bool written = real.Write(data, size);
        if (afterWrite)
            afterWrite(++writes);
        return written;
    }
    bool EndDoc() override {
        calls.push_back("end");
        return real.EndDoc();
    }
    void Cancel(unsigned long jobId) override {
        calls.push_back(jobId == job ? "cancel job" : "cancel other " + std::to_string(jobId));
        real.Cancel(jobId);
    }
    void Close() override {
        calls.push_back("close");
        real.Close();
    }
    std::string docName;

private:
    kelvad::WinSpooler real;
    int writes = 0;
};

std::string Content(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(seed >> 16);
    }
    return bytes;
}

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(GetEnvironmentVariableA("KELVAD_OUT", nullptr, 0), 0u); }
    std::unique_ptr<TestForm> MakeForm(const std::string& commandLine = "Kelvad32.exe") {
        auto form = std::make_unique<TestForm>(ToWide(commandLine));
        form->Create();
        form->UseSpooler(spooler);
        form->Show();
        ui::App().ProcessMessages();
        return form;
    }
    RecordingSpooler spooler;
};

TEST_F(MainFormTest, FileModeLayoutMatchesTheDesign) {
    auto form = MakeForm();
    EXPECT_EQ(form->WideCaption(), L"Kelvad32");
    RECT client;
    GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, layout_test::Design(form->Handle(), 450));
    EXPECT_EQ(client.bottom, layout_test::Design(form->Handle(), 280));
    LONG style = GetWindowLongW(form->Handle(), GWL_STYLE);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);

    // Both modes keep the invariants; Tab passes over what is disabled (co_Print with an empty list, co_Edit and
    // co_Delete with nothing selected).
    layout_test::ExpectLayout(form->Handle(), {form->c_Add.Handle(), form->co_FileOpen.Handle(),
                                               form->FilesListBox.Handle(), form->PrinterListBox.Handle(),
                                               form->co_Change.Handle(), form->co_Quit.Handle(),
                                               form->co_SetUp.Handle(), form->co_Help.Handle(),
                                               form->co_About.Handle()});
    form->ChangeCommandStatus();
    layout_test::ExpectLayout(form->Handle(), {form->co_Insert.Handle(), form->CommandExplanation.Handle(),
                                               form->CommandString.Handle(), form->PrinterListBox.Handle(),
                                               form->co_Change.Handle(), form->co_Quit.Handle(),
                                               form->co_SetUp.Handle(), form->co_Help.Handle(),
                                               form->co_About.Handle()});
    form->ChangeCommandStatus();
    EXPECT_FALSE(form->co_Edit.IsEnabled());
    EXPECT_FALSE(form->co_Delete.IsEnabled());
    EXPECT_EQ(form->co_Print.WideCaption(), L"出力(&P)");
    EXPECT_EQ(form->co_Print.Hint(), "出力先へデータを出力");
    EXPECT_EQ(form->co_SetUp.helpContext, 5001u);
    EXPECT_EQ(form->co_About.helpContext, 1000u);
    EXPECT_EQ(form->FilesListBox.helpContext, 5000u);
    EXPECT_TRUE(form->FilesListBox.MultiSelect());
    EXPECT_FALSE(form->PrinterListBox.MultiSelect());
    for (kelvad::TSclListBox* list : {&form->CommandExplanation, &form->CommandString}) {
        LOGFONTA font{};
        ASSERT_TRUE(GetObjectA(list->Font(), sizeof font, &font));
        EXPECT_STREQ(font.lfFaceName, "System");
        EXPECT_EQ(std::abs(font.lfHeight), layout_test::Design(form->Handle(), 13))
            << "the command-string lists are drawn 13 pixels high";
    }
}

TEST_F(MainFormTest, MovedToAMonitorOfAnotherDpiLaysItselfOutAgain) {
    auto form = MakeForm();
    const HFONT oldFont = form->FilesListBox.Font();
    layout_test::ExpectDpiRoundTrip(*form, [&] {
        layout_test::ExpectLayout(form->Handle(), {});
        LOGFONTW font{};
        EXPECT_EQ(GetObjectW(oldFont, sizeof font, &font), 0) << "the fonts of the old DPI are freed";
        BITMAP glyph{};
        ASSERT_TRUE(GetObjectW(form->co_Print.Glyph(), sizeof glyph, &glyph));
        EXPECT_EQ(glyph.bmHeight, 32) << "the glyph drawn for 200 %";
    });
}

TEST_F(MainFormTest, CommandLineFillsTheListAndArmsTheAutomaticPrint) {
    auto plain = MakeForm("Kelvad32.exe");
    EXPECT_FALSE(plain->AutoPrint);
    EXPECT_EQ(plain->FilesListBox.Count(), 0);
    EXPECT_FALSE(plain->co_Print.IsEnabled());

    auto withSwitch = MakeForm("\"C:\\Prog Files\\Kelvad32.exe\" a.prn -P \"C:\\my dir\\b.prn\" -print");
    EXPECT_TRUE(withSwitch->AutoPrint);
    // Names that are not full paths become full paths against the current folder.
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    std::string folder = current;
    if (folder.back() != '\\')
        folder += '\\';
    ASSERT_EQ(withSwitch->FilesListBox.Count(), 3);
    EXPECT_EQ(withSwitch->FilesListBox.WideItem(0), ToWide(folder + "a.prn"));
    EXPECT_EQ(withSwitch->FilesListBox.WideItem(1), L"C:\\my dir\\b.prn");
    EXPECT_EQ(withSwitch->FilesListBox.WideItem(2), ToWide(folder + "-print"));
    EXPECT_TRUE(withSwitch->co_Print.IsEnabled());
}

TEST_F(MainFormTest, FrameCannotBeResized) {
    auto form = MakeForm();
    HWND hwnd = form->Handle();
    RECT before;
    GetWindowRect(hwnd, &before);
    // The bottom-right corner of the frame offers no sizing.
    LRESULT hit = SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(before.right - 2, before.bottom - 2));
    EXPECT_EQ(hit, HTNOWHERE);
    hit = SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(before.left + 1, (before.top + before.bottom) / 2));
    EXPECT_EQ(hit, HTNOWHERE);
    EXPECT_EQ(SendMessageW(hwnd, WM_SYSCOMMAND, SC_SIZE, 0), 0);
    EXPECT_EQ(SendMessageW(hwnd, WM_SYSCOMMAND, SC_SIZE | 0x8, 0), 0);
    // Maximize sent by another program, or by a double click on the caption, is refused too.
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE | HTCAPTION, 0);
    EXPECT_FALSE(IsZoomed(hwnd));
    RECT after;
    GetWindowRect(hwnd, &after);
    EXPECT_TRUE(EqualRect(&before, &after));

    HMENU system = GetSystemMenu(hwnd, FALSE);
    SendMessageW(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(system), MAKELPARAM(0, 1));
    EXPECT_TRUE(GetMenuState(system, SC_SIZE, MF_BYCOMMAND) & MF_GRAYED);

    SendMessageW(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(hwnd));
    ShowWindow(hwnd, SW_RESTORE);
    RECT restored;
    GetWindowRect(hwnd, &restored);
    EXPECT_TRUE(EqualRect(&before, &restored));
}

TEST_F(MainFormTest, TwoFilesGoOutByteForByteInListOrder) {
    std::string a = Content(20000, 1);
    a.replace(0, 8, std::string("\x1b@\x00\x1a\xff\x82\xa0\x0c", 8));
    std::string b = Content(8192, 2);
    std::string pathA = WriteTempFile("a.prn", a), pathB = WriteTempFile("テスト.prn", b);
    std::string before = ReadWholeFile(PrinterOutputFile("kelvad-printer.bin"));

    auto form = MakeForm();
    form->FilesListBox.AddItem(pathA);
    form->FilesListBox.AddItem(pathB);
    form->co_PrintClick();

    EXPECT_TRUE(form->boxes.empty());
    EXPECT_EQ(form->ExitStatus(), 0);
    EXPECT_FALSE(form->IsPrinting);
    EXPECT_TRUE(form->IsEnabled());
    std::vector<std::string> expected = {
        "open Kelvad Printer", "start", "write 8192", "write 8192", "write 3616", "end", "close",
        "open Kelvad Printer", "start", "write 8192", "end",        "close"};
    EXPECT_EQ(spooler.calls, expected);
    EXPECT_EQ(spooler.docName, "Kelvad " + pathB);
    std::string after = ReadWholeFile(PrinterOutputFile("kelvad-printer.bin"));
    ASSERT_EQ(after.size(), before.size() + a.size() + b.size());
    EXPECT_TRUE(after == before + a + b) << "the printer received other bytes than the files hold";
    EXPECT_EQ(form->FilesListBox.Count(), 2);
}

TEST_F(MainFormTest, AbortInTheFirstBlockEndsThenCancelsTheJobSilently) {
    std::string path = WriteTempFile("abort.prn", Content(50000, 3));
    // A printer whose jobs fail as they end: after an abort that says nothing more.
    spooler.printerOverride = "Kelvad Refuse";
    auto form = MakeForm();
    form->OutputOptions.IsDeleteFile = true;
    form->FilesListBox.AddItem(path);
    form->FilesListBox.AddItem(WriteTempFile("after.prn", Content(100, 4)));
    spooler.afterWrite = [&](int n) {
        if (n != 1)
            return;
        // The user presses the abort button; the click is handled when the loop processes messages.
        HWND progress = FindWindowW(nullptr, L"印刷中");
        ASSERT_NE(progress, nullptr);
        HWND button = FindWindowExW(progress, nullptr, nullptr, L"中止(&A&ﾁ)");
        ASSERT_NE(button, nullptr);
        PostMessageW(button, BM_CLICK, 0, 0);
        PostMessageW(button, BM_CLICK, 0, 0);
    };
    form->co_PrintClick();
    std::vector<std::string> expected = {"open Kelvad Printer", "start", "write 8192", "end", "cancel job", "close"};
    EXPECT_EQ(spooler.calls, expected);
    EXPECT_TRUE(form->boxes.empty());
    // The aborted file is not recorded: it is neither deleted nor removed, and later rows are not looked at.
    EXPECT_EQ(form->FilesListBox.Count(), 2);
    EXPECT_TRUE(Exists(path));
    EXPECT_EQ(form->ExitStatus(), 1);
    EXPECT_FALSE(form->IsPrinting);
}

TEST_F(MainFormTest, ChecksReportEachFailingFileAndOnlyWhollyOutputFilesAreDeleted) {
    std::string empty = WriteTempFile("empty.prn", "");
    std::string missing = TempDir() + "missing.prn";
    std::string good = WriteTempFile("good.prn", Content(10, 5));
    // The long form of a path begins with two backslashes; its root is asked as a share root.
    std::string longForm = "\\\\?\\" + WriteTempFile("long.prn", Content(10, 6));
    std::string pattern = TempDir() + "*.prn";
    auto form = MakeForm();
    form->OutputOptions.IsDeleteFile = true;
    for (const std::string& row : {std::string("Q:\\nowhere\\x.prn"), missing, empty, good, longForm, pattern})
        form->FilesListBox.AddItem(row);
    form->co_PrintClick();
    ASSERT_EQ(form->boxes.size(), 4u);
    EXPECT_EQ(form->boxes[0].text, "Q ドライブの準備ができていません\r\n中止します");
    EXPECT_EQ(form->boxes[0].caption, "Q:\\nowhere\\x.prn");
    EXPECT_EQ(form->boxes[1].text, missing + " が見つかりません");
    EXPECT_EQ(form->boxes[2].text, empty + " はサイズが０です\r\n中止します");
    EXPECT_EQ(form->boxes[2].caption, empty);
    EXPECT_EQ(form->boxes[3].text, pattern + " が見つかりません");
    for (const Box& box : form->boxes)
        EXPECT_EQ(box.flags, 16u);
    // The good file and the long form made a job each, and only they were deleted; the rows of files that were
    // not found went, those of the drive that was not ready and of the empty file stay.
    EXPECT_EQ(std::count(spooler.calls.begin(), spooler.calls.end(), "end"), 2);
    EXPECT_FALSE(Exists(good));
    EXPECT_FALSE(Exists(longForm));
    EXPECT_TRUE(Exists(empty));
    ASSERT_EQ(form->FilesListBox.Count(), 2);
    EXPECT_EQ(form->FilesListBox.WideItem(0), L"Q:\\nowhere\\x.prn");
    EXPECT_EQ(form->FilesListBox.WideItem(1), ToWide(empty));
    EXPECT_EQ(form->ExitStatus(), 1);
}

TEST_F(MainFormTest, FileThatGrowsDuringOutputIsSentUpToItsCheckedSizeAndKept) {
    std::string content = Content(20000, 8);
    std::string path = WriteTempFile("grows.prn", content);
    std::string before = ReadWholeFile(PrinterOutputFile("kelvad-printer.bin"));
    auto form = MakeForm();
    form->OutputOptions.IsDeleteFile = true;
    form->FilesListBox.AddItem(path);
    spooler.afterWrite = [&](int n) {
        if (n != 1)
            return;
        ui::FileHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
        DWORD written = 0;
        WriteFile(file.get(), std::string(10000, 'x').data(), 10000, &written, nullptr);
    };
    form->co_PrintClick();
    EXPECT_TRUE(ReadWholeFile(PrinterOutputFile("kelvad-printer.bin")) == before + content);
    EXPECT_TRUE(Exists(path));
    EXPECT_EQ(form->FilesListBox.Count(), 1);
    EXPECT_EQ(form->ExitStatus(), 1);
}

TEST_F(MainFormTest, DeletePassRemovesOutputRowsHighestFirstAndKeepsRefusedFiles) {
    std::string p0 = WriteTempFile("d0.prn", "zero"), p1 = WriteTempFile("d1.prn", "one"), p2 = WriteTempFile("d2.prn", "two");
    auto form = MakeForm();
    form->OutputOptions.IsDeleteFile = true;
    for (const std::string& p : {p0, p1, p2})
        form->FilesListBox.AddItem(p);
    form->co_Print.SetEnabled(true);
    form->FilesListBox.SetSelected(2, true);
    form->FilesListBox.SetSelected(0, true);
    form->co_PrintClick();
    ASSERT_EQ(form->FilesListBox.Count(), 1);
    EXPECT_EQ(form->FilesListBox.WideItem(0), ToWide(p1));
    EXPECT_FALSE(Exists(p0));
    EXPECT_TRUE(Exists(p1));
    EXPECT_FALSE(Exists(p2));
    // The output button keeps its state although rows went away.
    EXPECT_TRUE(form->co_Print.IsEnabled());

    // A printer whose jobs fail: the file is reported and kept, and its row stays.
    RecordingSpooler refusing;
    refusing.printerOverride = "Kelvad Refuse";
    form->UseSpooler(refusing);
    form->co_PrintClick();
    ASSERT_EQ(form->boxes.size(), 1u);
    EXPECT_EQ(form->boxes[0].text, p1 + " を出力できません\r\n中止します");
    EXPECT_EQ(form->boxes[0].caption, p1);
    EXPECT_EQ(form->boxes[0].flags, 16u);
    EXPECT_EQ(form->FilesListBox.Count(), 1);
    EXPECT_TRUE(Exists(p1));
    EXPECT_EQ(form->ExitStatus(), 1);
}

// Refuses to create the progress window, as a system short of window resources would.
LRESULT CALLBACK RefuseProgressWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const wchar_t* name = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs->lpszName;
        if (!IS_INTRESOURCE(name) && std::wstring(name) == L"印刷中")
            return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(MainFormTest, AFailureWhileTheRunStartsLeavesTheProgramUsable) {
    auto form = MakeForm();
    form->FilesListBox.AddItem(WriteTempFile("start.prn", "x"));
    HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseProgressWindow, nullptr, GetCurrentThreadId());
    EXPECT_NO_THROW(form->co_PrintClick());
    UnhookWindowsHookEx(hook);
    EXPECT_FALSE(form->IsPrinting);
    EXPECT_TRUE(form->IsEnabled());
    EXPECT_TRUE(spooler.calls.empty());
    bool canClose = true;
    form->FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
    EXPECT_EQ(form->boxes.size(), 1u); // the error, and the window stays
}

// What a timer saw of the stop box of a run while it was up, before it pressed OK.
struct RunBoxWatch {
    HWND box = nullptr;
    HWND progress = nullptr;
    bool aboveProgress = false;
};
RunBoxWatch* runBoxWatch = nullptr;

BOOL CALLBACK FindVisibleBox(HWND hwnd, LPARAM) {
    wchar_t cls[32] = {};
    GetClassNameW(hwnd, cls, 32);
    if (std::wstring(cls) != L"#32770" || !IsWindowVisible(hwnd))
        return TRUE;
    runBoxWatch->box = hwnd;
    return FALSE;
}

void CALLBACK InspectRunBox(HWND, UINT, UINT_PTR id, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), FindVisibleBox, 0);
    if (!runBoxWatch->box)
        return;
    KillTimer(nullptr, id);
    runBoxWatch->progress = FindWindowW(nullptr, L"印刷中");
    // The z-order from the box downward reaches the progress window only when the box stands above it.
    for (HWND below = GetWindow(runBoxWatch->box, GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT))
        runBoxWatch->aboveProgress = runBoxWatch->aboveProgress || below == runBoxWatch->progress;
    PostMessageW(runBoxWatch->box, WM_COMMAND, IDOK, 0);
}

TEST_F(MainFormTest, StopBoxOfARunStandsAboveTheProgressWindow) {
    TMain_Form form(L"Kelvad32.exe");
    form.Create();
    form.UseSpooler(spooler);
    form.Show();
    form.FilesListBox.AddItem(TempDir() + "absent.prn");
    RunBoxWatch seen;
    runBoxWatch = &seen;
    SetTimer(nullptr, 0, 50, InspectRunBox);
    form.co_PrintClick();
    runBoxWatch = nullptr;
    ASSERT_NE(seen.box, nullptr);
    ASSERT_NE(seen.progress, nullptr);
    EXPECT_TRUE(seen.aboveProgress);
    EXPECT_FALSE(form.IsPrinting);
}

TEST_F(MainFormTest, EmptyListShowsItsMessageAndRestoresTheWindow) {
    auto form = MakeForm();
    form->co_PrintClick();
    ASSERT_EQ(form->boxes.size(), 1u);
    EXPECT_EQ(form->boxes[0].text, "ファイルがありません");
    EXPECT_EQ(form->boxes[0].caption, "Kelvad");
    EXPECT_EQ(form->boxes[0].flags, 48u);
    EXPECT_FALSE(form->IsPrinting);
    EXPECT_TRUE(form->IsEnabled());
    EXPECT_TRUE(spooler.calls.empty());
}

TEST_F(MainFormTest, CloseIsRefusedWhilePrinting) {
    std::string path = WriteTempFile("close.prn", Content(30000, 6));
    auto form = MakeForm();
    form->FilesListBox.AddItem(path);
    spooler.afterWrite = [&](int n) {
        if (n == 1)
            PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
    };
    form->co_PrintClick();
    ASSERT_EQ(form->boxes.size(), 1u);
    EXPECT_EQ(form->boxes[0].text, "印刷中です\r\n終了できません");
    EXPECT_EQ(form->boxes[0].caption, "終了不可");
    EXPECT_EQ(form->boxes[0].flags, 16u);
    // The output went on to the end and the window is still there.
    EXPECT_EQ(std::count(spooler.calls.begin(), spooler.calls.end(), "write 8192"), 3);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    bool canClose = true;
    form->FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
}

TEST_F(MainFormTest, AutomaticPrintRunsOnceEvenWhenReachedAgainDuringItsRun) {
    std::string missing = TempDir() + "gone.prn";
    std::string good = WriteTempFile("once.prn", Content(100, 7));
    auto form = MakeForm("Kelvad32.exe -p \"" + missing + "\" \"" + good + "\"");
    ASSERT_TRUE(form->AutoPrint);
    // A modal loop inside the run (here: while the message is up) reaches the idle point again.
    form->duringBox = [&] {
        bool done = true;
        form->AutoPrintIdle(done);
    };
    bool done = true;
    form->AutoPrintIdle(done);
    EXPECT_EQ(form->boxes.size(), 1u);
    EXPECT_EQ(std::count(spooler.calls.begin(), spooler.calls.end(), "end"), 1);
    EXPECT_EQ(form->ExitStatus(), 1);
}

} // namespace
