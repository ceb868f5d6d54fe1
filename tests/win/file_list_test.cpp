// The file list of the main window under Wine: drops delivered as real WM_DROPFILES messages, the add
// check box, and the open dialog (the structure the program builds, and the real dialog driven by a timer).
#include "main_form_fixture.h"

#include <commdlg.h>

#include "base/codepage.h"
#include "lists/file_list.h"
#include "ui/handle.h"

namespace form_test {
namespace {

using Strings = std::vector<std::string>;
using WideStrings = std::vector<std::wstring>;

std::string TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    std::string dir = std::string(base) + "kelvad_file_list\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

std::string MakeFile(const std::string& name) {
    std::string path = TempFolder() + name;
    ui::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), "\x1b@", 2, &written, nullptr);
    return path;
}

class FileListTest : public MainFormFixture {
protected:
    void Drop(HWND target, const Strings& names, bool wide = false) {
        PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(names, wide)), 0);
        ui::App().ProcessMessages();
    }
};

TEST_F(FileListTest, DropsReplaceTheListOrAddToItAsTheAddBoxSays) {
    auto form = MakeForm("Kelvad32.exe one.prn two.prn three.prn");
    EXPECT_FALSE(form->c_Add.Checked());
    Drop(form->Handle(), {"C:\\a.prn", "C:\\b.prn"});
    EXPECT_EQ(Items(form->FilesListBox), (Strings{"C:\\a.prn", "C:\\b.prn"}));

    // The user ticks the box: the next drop is appended, duplicates and all.
    SendMessageW(form->c_Add.Handle(), BM_CLICK, 0, 0);
    ASSERT_TRUE(form->c_Add.Checked());
    Drop(form->Handle(), {"C:\\b.prn", "C:\\c.prn"});
    EXPECT_EQ(Items(form->FilesListBox), (Strings{"C:\\a.prn", "C:\\b.prn", "C:\\b.prn", "C:\\c.prn"}));
    EXPECT_TRUE(form->co_Print.IsEnabled());
    EXPECT_TRUE(form->FileMode);
    EXPECT_EQ(form->FilesListBox.SelectedCount(), 0) << "added entries are not selected";
}

// A long name comes whole: cut short, it could name another file.
TEST_F(FileListTest, DroppedNamesComeWholeAndAsShiftJis) {
    auto form = MakeForm();
    std::string longName = "C:\\" + std::string(300, 'n') + ".prn";
    std::string japanese = "C:\\印刷\\表示ﾌｧｲﾙ.prn";
    // The shell of the NT family sends wide names, older ones narrow names.
    Drop(form->Handle(), {longName, japanese}, true);
    form->c_Add.SetChecked(true);
    Drop(form->Handle(), {longName}, false);
    Strings expected = {longName, japanese, longName};
    EXPECT_EQ(Items(form->FilesListBox), expected);
}

TEST_F(FileListTest, DropsOnEitherWindowInEitherModeEndInFileModeWithTheWindowNormal) {
    for (bool onApplicationWindow : {false, true}) {
        for (bool commandMode : {false, true}) {
            for (bool minimized : {false, true}) {
                SCOPED_TRACE(std::string(onApplicationWindow ? "application window" : "main window") +
                             (commandMode ? ", command-string mode" : ", file mode") +
                             (minimized ? ", minimized" : ""));
                auto form = MakeForm();
                if (commandMode)
                    SendMessageW(form->co_Change.Handle(), BM_CLICK, 0, 0);
                ASSERT_EQ(form->FileMode, !commandMode);
                HWND application = ui::App().Handle();
                if (minimized) {
                    SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
                    ShowWindow(application, SW_SHOWMINNOACTIVE);
                    ASSERT_TRUE(IsIconic(form->Handle()));
                }
                Drop(onApplicationWindow ? ui::App().Handle() : form->Handle(), {"D:\\x.prn", "D:\\y.prn"});
                EXPECT_EQ(Items(form->FilesListBox), (Strings{"D:\\x.prn", "D:\\y.prn"}));
                EXPECT_TRUE(form->FileMode);
                EXPECT_TRUE(form->FilesListBox.IsVisible());
                EXPECT_FALSE(form->CommandExplanation.IsVisible());
                EXPECT_TRUE(form->co_Print.IsEnabled());
                EXPECT_FALSE(IsIconic(form->Handle()));
                EXPECT_TRUE(IsWindowVisible(form->Handle()));
                if (onApplicationWindow) {
                    // The application window is restored too, and stays hidden.
                    EXPECT_FALSE(IsIconic(application));
                    EXPECT_FALSE(IsWindowVisible(application));
                }
                ui::App().Restore();
            }
        }
    }
}

TEST_F(FileListTest, DropsDuringAPrintRunLeaveTheListAlone) {
    std::string first = MakeFile("first.prn"), second = MakeFile("second.prn");
    auto form = MakeForm("Kelvad32.exe \"" + first + "\" \"" + second + "\"");
    HDROP onMain = MakeDrop({"F:\\late.prn"}), onApplication = MakeDrop({"F:\\later.prn"});
    spooler.afterWrite = [&] {
        spooler.afterWrite = nullptr;
        PostMessageW(form->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(onMain), 0);
        PostMessageW(ui::App().Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(onApplication), 0);
        // The run looks at its messages at most every 10 ms.
        Sleep(20);
    };
    SendMessageW(form->co_Print.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(spooler.docs, (Strings{"Kelvad " + first, "Kelvad " + second}));
    EXPECT_EQ(Items(form->FilesListBox), (Strings{first, second}));
    // Both drops were delivered during the run, not held for later.
    MSG pending;
    EXPECT_FALSE(PeekMessageW(&pending, nullptr, WM_DROPFILES, WM_DROPFILES, PM_NOREMOVE));
    // After the run drops are taken again.
    Drop(form->Handle(), {"F:\\after.prn"});
    EXPECT_EQ(Items(form->FilesListBox), Strings{"F:\\after.prn"});
}

const char kPrnSystemFilter[] = "prnﾌｧｲﾙ\0*.prn\0全てのﾌｧｲﾙ\0*.*";

// Answers in place of the system dialog: records what the program asked for and returns `reply`
// (the buffer's bytes) and the filter entry `chosenFilter`, or a cancel when reply is empty.
struct FakeDialog {
    std::wstring reply;
    DWORD chosenFilter = 1;
    std::vector<OPENFILENAMEW> asked;
    std::vector<std::string> filters, titles, defaultExts, startNames; // as Shift-JIS

    BOOL operator()(OPENFILENAMEW& ofn) {
        asked.push_back(ofn);
        std::wstring filter;
        for (const wchar_t* p = ofn.lpstrFilter; p && (p[0] || p[1]); ++p)
            filter += *p;
        filters.push_back(kelvad::ToShiftJis(filter).bytes);
        titles.push_back(kelvad::ToShiftJis(ofn.lpstrTitle ? ofn.lpstrTitle : L"").bytes);
        defaultExts.push_back(ofn.lpstrDefExt ? kelvad::ToShiftJis(ofn.lpstrDefExt).bytes : "(none)");
        startNames.push_back(kelvad::ToShiftJis(ofn.lpstrFile).bytes);
        if (reply.empty())
            return FALSE;
        std::memcpy(ofn.lpstrFile, reply.data(), reply.size() * sizeof(wchar_t));
        ofn.nFilterIndex = chosenFilter;
        return TRUE;
    }
};

TEST_F(FileListTest, OpenDialogAsksForSeveralExistingFilesAndFillsTheList) {
    auto form = MakeForm("Kelvad32.exe 1.prn 2.prn 3.prn 4.prn 5.prn");
    auto dialog = std::make_shared<FakeDialog>();
    form->FileOpenDialog.showDialog = [dialog](OPENFILENAMEW& ofn) { return (*dialog)(ofn); };

    dialog->reply = std::wstring(L"C:\\data\0a.prn\0\uD55C.prn\0\0", 22);
    SendMessageW(form->co_FileOpen.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(WideItems(form->FilesListBox), (WideStrings{L"C:\\data\\a.prn", L"C:\\data\\\uD55C.prn"}));
    const OPENFILENAMEW& ofn = dialog->asked.at(0);
    EXPECT_EQ(dialog->titles[0], "印刷するファイルを指定");
    EXPECT_EQ(ofn.nMaxFile, 8192u);
    EXPECT_EQ(ofn.hwndOwner, form->Handle());
    EXPECT_TRUE(ofn.Flags & OFN_ALLOWMULTISELECT);
    EXPECT_TRUE(ofn.Flags & OFN_FILEMUSTEXIST);
    EXPECT_TRUE(ofn.Flags & OFN_HIDEREADONLY);
    EXPECT_TRUE(ofn.Flags & OFN_EXPLORER);
    EXPECT_EQ(dialog->filters[0], std::string(kPrnSystemFilter, sizeof kPrnSystemFilter - 1));
    EXPECT_EQ(dialog->defaultExts[0], "prn");
    EXPECT_EQ(ofn.nFilterIndex, 1u);

    // With the add box ticked the choice is appended; the name field starts empty every time.
    form->c_Add.SetChecked(true);
    dialog->reply = std::wstring(L"C:\\data\\a.prn\0\0", 15);
    SendMessageW(form->co_FileOpen.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(WideItems(form->FilesListBox),
              (WideStrings{L"C:\\data\\a.prn", L"C:\\data\\\uD55C.prn", L"C:\\data\\a.prn"}));
    EXPECT_EQ(dialog->startNames, (Strings{"", ""}));
    EXPECT_TRUE(form->FileOpenDialog.fileName.empty());

    // A cancel changes nothing.
    form->c_Add.SetChecked(false);
    dialog->reply.clear();
    SendMessageW(form->co_FileOpen.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form->FilesListBox.Count(), 3);
    EXPECT_TRUE(form->co_Print.IsEnabled());
}

TEST_F(FileListTest, FilterFollowsTheFileKindAndTheRememberedEntryIsKept) {
    auto form = MakeForm();
    auto dialog = std::make_shared<FakeDialog>();
    form->FileOpenDialog.showDialog = [dialog](OPENFILENAMEW& ofn) { return (*dialog)(ofn); };
    dialog->reply = std::wstring(L"C:\\p.bmp\0\0", 10);

    form->OutputOptions.IsPrnFile = false;
    form->UpdateOpenDialogFilter();
    dialog->chosenFilter = 5;
    form->co_FileOpenClick();
    std::string imageFilter = kelvad::SystemFilterString(kelvad::kImageFileFilter);
    EXPECT_EQ(dialog->filters.back(), imageFilter.substr(0, imageFilter.size() - 2));
    EXPECT_EQ(dialog->defaultExts.back(), "(none)");

    // Back to printer files: the remembered fifth entry does not exist there, so the first is shown.
    form->OutputOptions.IsPrnFile = true;
    form->UpdateOpenDialogFilter();
    dialog->reply.clear();
    form->co_FileOpenClick();
    EXPECT_EQ(dialog->filters.back(), std::string(kPrnSystemFilter, sizeof kPrnSystemFilter - 1));
    EXPECT_EQ(dialog->defaultExts.back(), "prn");
    EXPECT_EQ(dialog->asked.back().nFilterIndex, 1u);

    // The number is never reset: the image filter opens on the fifth entry again.
    form->OutputOptions.IsPrnFile = false;
    form->UpdateOpenDialogFilter();
    form->co_FileOpenClick();
    EXPECT_EQ(dialog->asked.back().nFilterIndex, 5u);
}

TEST_F(FileListTest, HelpButtonOfTheDialogShowsItsTopic) {
    auto form = MakeForm();
    std::vector<ULONG_PTR> topics;
    ui::App().onHelp = [&](HWND, UINT command, ULONG_PTR data) {
        if (command == HELP_CONTEXT)
            topics.push_back(data);
    };
    form->FileOpenDialog.showDialog = [](OPENFILENAMEW& ofn) {
        EXPECT_TRUE(ofn.Flags & OFN_SHOWHELP);
        OFNOTIFYW notify{};
        notify.hdr.code = CDN_HELP;
        notify.lpOFN = &ofn;
        ofn.lpfnHook(nullptr, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
        return FALSE;
    };
    form->co_FileOpenClick();
    EXPECT_EQ(topics, std::vector<ULONG_PTR>{5001});
}

// The real dialog: a timer that fires inside its modal loop types the names and presses Open.
struct Typist {
    static inline std::string names;
    static inline int presses = 0;
    static BOOL CALLBACK FindDialog(HWND hwnd, LPARAM found) {
        wchar_t cls[32] = {};
        GetClassNameW(hwnd, cls, 32);
        if (std::wstring(cls) != L"#32770" || !IsWindowVisible(hwnd))
            return TRUE;
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog)
            return;
        HWND edit = GetDlgItem(dialog, edt1);
        if (!edit)
            edit = GetDlgItem(dialog, cmb13);
        SetWindowTextW(edit, kelvad::ToWide(names).c_str());
        ++presses;
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    }
};

TEST_F(FileListTest, RealDialogReturnsFullPathsOfTheChosenFiles) {
    std::string a = MakeFile("alpha.prn"), b = MakeFile("表示.prn");
    auto form = MakeForm();
    SetCurrentDirectoryA(TempFolder().c_str());
    Typist::names = "\"alpha.prn\" \"表示.prn\"";
    Typist::presses = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 100, Typist::Tick);
    form->co_FileOpenClick();
    KillTimer(nullptr, timer);
    EXPECT_EQ(Typist::presses, 1);
    EXPECT_EQ(Items(form->FilesListBox), (Strings{a, b}));
    EXPECT_TRUE(form->co_Print.IsEnabled());

    // Forty names of over 200 characters do not fit in the dialog's 8192 characters: nothing changes.
    Typist::names.clear();
    for (int i = 0; i < 40; ++i) {
        std::string name = std::to_string(100 + i) + std::string(200, 'L') + ".prn";
        MakeFile(name);
        Typist::names += "\"" + name + "\" ";
    }
    Typist::presses = 0;
    timer = SetTimer(nullptr, 0, 100, Typist::Tick);
    form->co_FileOpenClick();
    KillTimer(nullptr, timer);
    EXPECT_EQ(Typist::presses, 1);
    EXPECT_EQ(Items(form->FilesListBox), (Strings{a, b}));
}

} // namespace
} // namespace form_test
