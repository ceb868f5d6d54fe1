// Help requests: the viewer where Kelvad32.HLP stands beside the program, otherwise the help page at the
// topic's section through the shell's open command for .html (here a recorder registered for the test).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/help_win.h"
#include "main_form_fixture.h"
#include "test_files.h"

namespace kelvad {
namespace {

using testing::Exists;
using testing::ReadWholeFile;
using testing::TempDir;
using testing::WriteTempFile;

std::string ToolPath(const char* name) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path = self;
    return path.substr(0, path.find_last_of('\\') + 1) + name;
}

// The shell's handler for .html pointed at record_args.exe while the test runs (Wine reads file types from
// the classes root only); what stood there before is put back.
class RecorderForHtml {
public:
    explicit RecorderForHtml(const std::string& output) {
        hadHtml_ = ReadDefault(".html", oldHtml_);
        SetDefault(".html", "KelvadTest.Page");
        SetDefault("KelvadTest.Page\\shell\\open\\command",
                   "\"" + ToolPath("record_args.exe") + "\" \"" + output + "\" \"%1\"");
    }
    ~RecorderForHtml() {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "KelvadTest.Page");
        if (hadHtml_)
            SetDefault(".html", oldHtml_);
        else
            RegDeleteTreeA(HKEY_CLASSES_ROOT, ".html");
    }

private:
    static bool ReadDefault(const char* key, std::string& value) {
        char text[1024] = {};
        LONG size = sizeof text;
        if (RegQueryValueA(HKEY_CLASSES_ROOT, key, text, &size) != ERROR_SUCCESS)
            return false;
        value = text;
        return true;
    }
    static void SetDefault(const char* key, const std::string& value) {
        ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, value.c_str(), static_cast<DWORD>(value.size())),
                  ERROR_SUCCESS);
    }
    bool hadHtml_ = false;
    std::string oldHtml_;
};

// The stand-in browser renames its file into place once it is written.
std::string WaitForFile(const std::string& path) {
    for (DWORD start = GetTickCount(); !Exists(path) && GetTickCount() - start < 60000;)
        Sleep(50);
    return ReadWholeFile(path);
}

TEST(HelpDesk, WithoutTheHelpFileTheShellOpensThePageAtTheTopic) {
    // A Japanese folder name reaches the address as percent-encoded UTF-8 (ヘルプ).
    const std::string dir = TempDir() + "ヘルプ\\";
    CreateDirectoryW(ToWide(dir).c_str(), nullptr);
    DeleteFileW(ToWide(dir + "Kelvad32.HLP").c_str());
    std::string base = TempDir();
    for (char& c : base)
        c = c == '\\' ? '/' : c;

    const std::string output = TempDir() + "help_address.txt";
    RecorderForHtml recorder(output);
    HelpDesk help(ToWide(dir + "Kelvad32.exe"));
    std::vector<std::pair<UINT, ULONG_PTR>> viewer;
    help.winHelp = [&](HWND, const std::wstring&, UINT command, ULONG_PTR data) { viewer.emplace_back(command, data); };
    for (unsigned context : {1000u, 5000u, 5001u}) {
        DeleteFileA(output.c_str());
        help.Request(nullptr, HELP_CONTEXT, context);
        EXPECT_EQ(WaitForFile(output), "file:///" + base + "%E3%83%98%E3%83%AB%E3%83%97/Kelvad32.html#topic" +
                                           std::to_string(context) + "\n");
    }
    // The viewer was never used, so it is not told to close.
    help.Request(nullptr, HELP_QUIT, 0);
    EXPECT_TRUE(viewer.empty());
}

TEST(HelpDesk, TheViewerWhereTheHelpFileExistsAndOnlyThenTheCloseRequest) {
    const std::string program = TempDir() + "Kelvad32.exe";
    const std::string hlp = WriteTempFile("Kelvad32.HLP", "?_");
    HelpDesk help(ToWide(program));
    std::vector<std::string> calls;
    help.winHelp = [&](HWND, const std::wstring& file, UINT command, ULONG_PTR data) {
        calls.push_back(ToShiftJis(file).bytes + " " + std::to_string(command) + " " + std::to_string(data));
    };
    std::vector<HelpAction> opened;
    help.open = [&](HWND, const HelpAction& action) {
        opened.push_back(action);
        return false;
    };
    help.htmlOpenCommand = [] { return std::string("browser.exe %1"); };
    std::vector<std::string> reports;
    help.report = [&](const std::wstring& text) { reports.push_back(ToShiftJis(text).bytes); };

    help.Request(nullptr, HELP_CONTEXT, 5001);
    help.Request(nullptr, HELP_QUIT, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{hlp + " 1 5001", hlp + " 2 0"}));
    EXPECT_TRUE(opened.empty());

    // Without the file: the browser, and when it cannot be started, the shell opens the page at its top;
    // when that fails too, the user is told.
    DeleteFileA(hlp.c_str());
    calls.clear();
    help.Request(nullptr, HELP_CONTEXT, 1000);
    help.Request(nullptr, HELP_QUIT, 0);
    EXPECT_TRUE(calls.empty());
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].kind, HelpAction::Browser);
    EXPECT_NE(opened[0].commandLine.find(L"Kelvad32.html#topic1000"), std::wstring::npos);
    EXPECT_EQ(opened[1].kind, HelpAction::ShellOpen);
    EXPECT_EQ(opened[1].page, ToWide(TempDir() + "Kelvad32.html"));
    EXPECT_EQ(reports, std::vector<std::string>{TempDir() + "Kelvad32.html を開けません"});
}

class MainWindowHelp : public form_test::MainFormFixture {};

TEST_F(MainWindowHelp, F1AndTheHelpButtonReachTheSectionOfTheFocusedControl) {
    auto form = MakeForm();
    std::vector<std::string> opened;
    form->Help.fileExists = [](const std::wstring&) { return false; };
    form->Help.htmlOpenCommand = [] { return std::string("browser.exe %1"); };
    form->Help.open = [&](HWND, const HelpAction& action) {
        opened.push_back(ToShiftJis(action.commandLine.substr(action.commandLine.find(L'#'))).bytes);
        return true;
    };
    auto pressF1 = [&](ui::Control& control) {
        control.Focus();
        PostMessageW(control.Handle(), WM_KEYDOWN, VK_F1, 0);
        ui::App().ProcessMessages();
    };
    pressF1(form->FilesListBox);
    pressF1(form->co_SetUp);
    pressF1(form->co_About);
    SendMessageW(form->co_Help.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(opened, (std::vector<std::string>{"#topic5000", "#topic5001", "#topic1000", "#topic1000"}));
}

} // namespace
} // namespace kelvad
