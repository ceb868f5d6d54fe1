#include "ui_test_support.h"

#include "base/codepage.h"
#include "ui/error.h"
#include "ui/handle.h"
#include "ui/message_box.h"

namespace ui_test {
namespace {

using MessageBoxes = UiTest;

// What a timer saw of the message box while it was up, before it pressed OK.
struct BoxWatch {
    HWND form = nullptr;
    bool formEnabled = true;
    HWND box = nullptr;
    HWND boxOwner = nullptr;
    std::wstring caption;
    std::wstring longestText;
};
BoxWatch* watch = nullptr;

BOOL CALLBACK FindBox(HWND hwnd, LPARAM) {
    wchar_t cls[32] = {};
    GetClassNameW(hwnd, cls, 32);
    if (std::wstring(cls) == L"#32770" && IsWindowVisible(hwnd)) {
        watch->box = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK LongestText(HWND hwnd, LPARAM) {
    std::wstring text = Text(hwnd);
    if (text.size() > watch->longestText.size())
        watch->longestText = text;
    return TRUE;
}

void CALLBACK InspectAndClose(HWND, UINT, UINT_PTR id, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), FindBox, 0);
    if (!watch->box)
        return;
    KillTimer(nullptr, id);
    watch->formEnabled = IsWindowEnabled(watch->form) != FALSE;
    watch->boxOwner = GetWindow(watch->box, GW_OWNER);
    watch->caption = Text(watch->box);
    EnumChildWindows(watch->box, LongestText, 0);
    PostMessageW(watch->box, WM_COMMAND, IDOK, 0);
}

TEST_F(MessageBoxes, BoxIsOwnedByTheApplicationAndDisablesTheOtherWindowsWhileUp) {
    ui::Form form;
    CreateForm(form);
    form.Show();
    SetActiveWindow(form.Handle());
    BoxWatch seen;
    seen.form = form.Handle();
    watch = &seen;
    // Longer than the 255 bytes a fixed buffer would hold.
    std::string text = "C:\\";
    while (text.size() < 400)
        text += "ﾃﾞｨﾚｸﾄﾘ\\";
    text += "\r\n中止します";
    SetTimer(nullptr, 0, 50, InspectAndClose);
    int result = ui::MessageBox(text, "Kelvad", MB_ICONHAND | MB_OK);
    watch = nullptr;
    EXPECT_EQ(result, IDOK);
    ASSERT_NE(seen.box, nullptr);
    EXPECT_EQ(seen.boxOwner, ui::App().Handle());
    EXPECT_FALSE(seen.formEnabled);
    EXPECT_EQ(seen.longestText, kelvad::ToWide(text));
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));
    EXPECT_EQ(GetActiveWindow(), form.Handle());
}

TEST_F(MessageBoxes, ErrorWithoutAHookIsShownInTheApplicationsErrorBox) {
    ui::Form form;
    CreateForm(form);
    form.Show();
    ui::App().onException = nullptr;
    ui::App().title = "Kelvad32";
    BoxWatch seen;
    seen.form = form.Handle();
    watch = &seen;
    SetTimer(nullptr, 0, 50, InspectAndClose);
    ui::App().HandleException(ui::Error("ﾃﾞﾌｫﾙﾄ ﾌﾟﾘﾝﾀが存在しません"));
    watch = nullptr;
    ASSERT_NE(seen.box, nullptr);
    EXPECT_EQ(seen.caption, L"Kelvad32");
    EXPECT_EQ(seen.longestText, L"ﾃﾞﾌｫﾙﾄ ﾌﾟﾘﾝﾀが存在しません.");
    EXPECT_EQ(seen.boxOwner, ui::App().Handle());
    EXPECT_FALSE(seen.formEnabled);
    EXPECT_EQ(Text(ui::App().Handle()), L"Kelvad32");
}

TEST(Handles, OwnersReleaseOnResetAndMoveOwnership) {
    char path[MAX_PATH];
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    GetTempFileNameA(dir, "ui", 0, path);
    ui::FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    HANDLE raw = file.get();
    ui::FileHandle moved(std::move(file));
    EXPECT_FALSE(file);
    EXPECT_EQ(moved.get(), raw);
    // Open without sharing: a second open fails until the owner has closed the handle.
    EXPECT_EQ(CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    moved.reset();
    ui::FileHandle again(CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(again);
    again.reset();
    DeleteFileA(path);
    EXPECT_FALSE(ui::FileHandle(INVALID_HANDLE_VALUE));
}

TEST(Handles, SelectGuardPutsThePreviousObjectBack) {
    ui::WindowDc screen(nullptr);
    ui::OwnedDc dc(CreateCompatibleDC(screen.get()));
    HGDIOBJ before = GetCurrentObject(dc.get(), OBJ_PEN);
    ui::GdiObject pen(CreatePen(PS_SOLID, 3, RGB(1, 2, 3)));
    {
        ui::SelectGuard select(dc.get(), pen.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), pen.get());
        EXPECT_EQ(select.Previous(), before);
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), before);
}

TEST(Errors, ThrowLastErrorCarriesTheSystemText) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    try {
        ui::ThrowLastError("OpenPrinter");
    } catch (const ui::Error& e) {
        std::string text = e.what();
        EXPECT_EQ(text.rfind("OpenPrinter: ", 0), 0u) << text;
        EXPECT_GT(text.size(), std::string("OpenPrinter: ").size());
        EXPECT_NE(text.back(), '\n');
        EXPECT_EQ(text, "OpenPrinter: " + ui::SystemErrorText(ERROR_FILE_NOT_FOUND));
    }
}

} // namespace
} // namespace ui_test
