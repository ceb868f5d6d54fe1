// The about box as co_About opens it from the real main window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/about_box_win.h"
#include "app/main_form_win.h"
#include "tests/win/layout_check.h"
#include "ui/application.h"

namespace kelvad {
namespace {

HWND rescueBox = nullptr;
bool rescued = false;

// Closes a box that Enter failed to close, so that a failing test does not hang.
void CALLBACK Rescue(HWND, UINT, UINT_PTR, DWORD) {
    if (rescueBox && IsWindowVisible(rescueBox)) {
        rescued = true;
        PostMessageW(rescueBox, WM_CLOSE, 0, 0);
    }
}

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui::App().title = "Kelvad32";
        RecordHelp();
    }
    // Help requests are recorded (again after a main window installed its own help desk).
    void RecordHelp() {
        ui::App().onHelp = [this](HWND, UINT command, ULONG_PTR data) {
            if (command == HELP_CONTEXT)
                helpTopics.push_back(static_cast<unsigned>(data));
        };
    }
    void TearDown() override {
        ui::App().onIdle = nullptr;
        ui::App().onHelp = nullptr;
        ui::App().title.clear();
    }
    std::vector<unsigned> helpTopics;
};

TEST_F(AboutBoxTest, FixedFrameOnTopWithTheApplicationTitleAndVersion) {
    TAboutBox box(nullptr);
    RECT client{};
    GetClientRect(box.Handle(), &client);
    EXPECT_EQ(client.right, layout_test::Design(box.Handle(), 313));
    EXPECT_EQ(client.bottom, layout_test::Design(box.Handle(), 189));
    EXPECT_EQ(box.WideCaption(), L"バージョン情報");
    const LONG style = GetWindowLongW(box.Handle(), GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_FALSE(style & (WS_SYSMENU | WS_THICKFRAME)) << "no caption buttons, no sizing";
    EXPECT_TRUE(GetWindowLongW(box.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(box.ProductName.WideCaption(), L"Kelvad32");
    EXPECT_EQ(box.Version.WideCaption(), L"Version 1.2");
    EXPECT_EQ(box.Comment.WideCaption(), L"Kelvad はフリーソフトウエアーです");
    // The labels show their whole text.
    RECT comment = box.Comment.Bounds();
    EXPECT_GT(comment.right - comment.left, 150);
    layout_test::ExpectLayout(box.Handle(), {box.OKButton.Handle()});
}

// What the idle hook saw of the box while it was up.
struct Seen {
    HWND box = nullptr;
    RECT rect{};
    HWND owner = nullptr;
    HWND focus = nullptr;
    HWND okButton = nullptr;
    bool mainEnabled = true;
};

TEST_F(AboutBoxTest, OpensCentredOnTheMainWindowAndClosesWithEnter) {
    TMain_Form form(L"Kelvad32.exe");
    form.Create();
    RecordHelp();
    form.Show();
    ui::App().ProcessMessages();

    // The second time the main window stands partly off the screen and the focus is not on the button.
    const POINT places[] = {{120, 90}, {-260, -140}};
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        SetWindowPos(form.Handle(), nullptr, places[round].x, places[round].y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        RECT main{};
        GetWindowRect(form.Handle(), &main);
        Seen seen;
        ui::App().onIdle = [&](bool&) {
            if (seen.box)
                return;
            HWND box = FindWindowW(nullptr, L"バージョン情報");
            if (!box || !IsWindowVisible(box))
                return;
            seen.box = rescueBox = box;
            GetWindowRect(box, &seen.rect);
            seen.owner = GetWindow(box, GW_OWNER);
            seen.focus = GetFocus();
            seen.mainEnabled = IsWindowEnabled(form.Handle()) != 0;
            if (auto* about = dynamic_cast<TAboutBox*>(ui::Window::FromHandle(box)))
                seen.okButton = about->OKButton.Handle();
            HWND target = seen.focus;
            if (round == 1) {
                SetFocus(box);
                target = box;
            } else {
                PostMessageW(target, WM_KEYDOWN, VK_F1, 0);
            }
            PostMessageW(target, WM_KEYDOWN, VK_RETURN, 0);
            PostMessageW(target, WM_KEYUP, VK_RETURN, 0);
        };
        rescued = false;
        // A thread timer's id is the one SetTimer returns, not the one asked for.
        const UINT_PTR rescue = SetTimer(nullptr, 0, 3000, Rescue);
        SendMessageW(form.co_About.Handle(), BM_CLICK, 0, 0);
        KillTimer(nullptr, rescue);
        ui::App().onIdle = nullptr;

        ASSERT_NE(seen.box, nullptr) << "the box did not show";
        EXPECT_FALSE(rescued) << "Enter did not close the box";
        const int boxWidth = seen.rect.right - seen.rect.left, boxHeight = seen.rect.bottom - seen.rect.top;
        EXPECT_EQ(seen.rect.left, main.left + (main.right - main.left - boxWidth) / 2);
        EXPECT_EQ(seen.rect.top, main.top + (main.bottom - main.top - boxHeight) / 2);
        EXPECT_EQ(seen.owner, form.Handle());
        EXPECT_FALSE(seen.mainEnabled) << "the box is modal";
        if (round == 0) {
            EXPECT_EQ(seen.focus, seen.okButton) << "the OK button has the focus";
            EXPECT_EQ(helpTopics, std::vector<unsigned>{1000});
        }
        EXPECT_TRUE(IsWindowEnabled(form.Handle()));
        // The box goes by the message it posted to itself.
        EXPECT_TRUE(IsWindow(seen.box));
        ui::App().ProcessMessages();
        EXPECT_FALSE(IsWindow(seen.box));
        rescueBox = nullptr;
    }
}

} // namespace
} // namespace kelvad
