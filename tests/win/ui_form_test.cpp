#include "ui_test_support.h"

#include "ui/button.h"
#include "ui/error.h"
#include "ui/label.h"

#include <cstdlib>
#include <memory>

namespace ui_test {
namespace {

using Forms = UiTest;

// A form whose controls come from CreateControls, as the program's forms make them.
class ButtonForm : public ui::Form {
public:
    ui::Button ok;
    ui::Button quit;
    std::vector<std::string> events;

protected:
    void CreateControls() override {
        events.push_back("controls");
        ok.Create({.parent = this, .left = 10, .top = 10, .caption = "OK", .tabOrder = 0, .modalResult = IDOK});
        quit.Create({.parent = this,
                     .left = 100,
                     .top = 10,
                     .caption = "終了(&X)",
                     .tabOrder = 1,
                     .kind = ui::Button::Kind::Close});
    }
};

TEST_F(Forms, CreateBuildsControlsBeforeOnCreateAndSizesTheClientArea) {
    ButtonForm form;
    form.onCreate = [&] { form.events.push_back(form.ok.Handle() ? "create with controls" : "create without"); };
    form.Create({.clientWidth = 296, .clientHeight = 113, .caption = "印刷中", .style = WS_POPUP | WS_BORDER});
    EXPECT_EQ(form.events, (std::vector<std::string>{"controls", "create with controls"}));
    RECT client{};
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, 296);
    EXPECT_EQ(client.bottom, 113);
    EXPECT_EQ(Text(form.Handle()), L"印刷中");
    EXPECT_FALSE(form.IsVisible());
}

TEST_F(Forms, CloseButtonAsksTheCloseQueryAndARefusalKeepsTheForm) {
    ButtonForm form;
    CreateForm(form);
    int asked = 0;
    bool allow = false;
    form.onCloseQuery = [&](bool& canClose) {
        ++asked;
        canClose = allow;
    };
    bool clicked = false;
    form.quit.onClick = [&] { clicked = true; };
    form.Show();
    SendMessageW(form.quit.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(form.IsVisible());
    EXPECT_FALSE(clicked) << "a close button closes, it does not call onClick";

    allow = true;
    SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(form.IsVisible()) << "a form that is not the main form is hidden";
    EXPECT_TRUE(IsWindow(form.Handle()));
}

TEST_F(Forms, QueryEndSessionAnswersWithTheCloseQuery) {
    ui::Form form;
    CreateForm(form);
    form.onCloseQuery = [](bool& canClose) { canClose = false; };
    EXPECT_EQ(SendMessageW(form.Handle(), WM_QUERYENDSESSION, 0, 0), FALSE);
    form.onCloseQuery = nullptr;
    EXPECT_EQ(SendMessageW(form.Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
}

TEST_F(Forms, ReleaseDestroysTheFormAfterTheHandlerHasReturned) {
    auto* form = new ButtonForm;
    CreateForm(*form);
    HWND hwnd = form->Handle();
    bool aliveAfterRelease = false;
    bool released = false;
    bool destroyed = false;
    form->onDestroy = [&] { destroyed = true; };
    form->onReleased = [&] {
        released = true;
        delete form;
    };
    form->ok.onClick = [&] {
        form->Release();
        aliveAfterRelease = IsWindow(hwnd) != FALSE;
    };
    form->Show();
    SendMessageW(form->ok.Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(aliveAfterRelease);
    EXPECT_TRUE(IsWindow(hwnd));
    ui::App().ProcessMessages();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(released);
}

TEST_F(Forms, OwnedDialogIsCentredAnswersTheDialogKeysAndGoesWithItsHandle) {
    ui::Form owner;
    owner.Create({.clientWidth = 450, .clientHeight = 280, .left = 16, .top = 68});
    HWND hwnd = nullptr;
    bool destroyed = false;
    {
        const auto dialog = ui::MakeReleased<ButtonForm>();
        dialog->Create(
            {.clientWidth = 211, .clientHeight = 97, .exStyle = WS_EX_DLGMODALFRAME, .owner = owner.Handle()});
        hwnd = dialog->Handle();
        dialog->onDestroy = [&] { destroyed = true; };
        const RECT around = owner.OuterRect(), own = dialog->OuterRect();
        // The same margin on both sides of the real frames, to the pixel.
        EXPECT_LE(std::abs((own.left - around.left) - (around.right - own.right)), 1);
        EXPECT_LE(std::abs((own.top - around.top) - (around.bottom - own.bottom)), 1);

        EXPECT_EQ(SendMessageW(hwnd, DM_GETDEFID, 0, 0), 0) << "no default button yet";
        dialog->defaultButton = &dialog->ok;
        dialog->cancelButton = &dialog->quit;
        EXPECT_EQ(SendMessageW(hwnd, DM_GETDEFID, 0, 0), MAKELRESULT(GetDlgCtrlID(dialog->ok.Handle()), DC_HASDEFID));
        dialog->Show();
        bool asked = false;
        dialog->onCloseQuery = [&](bool&) { asked = true; };
        SendMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(asked) << "Escape presses the cancel button, a close button";
        EXPECT_TRUE(IsWindow(hwnd));
    }
    EXPECT_TRUE(IsWindow(hwnd)) << "released after the current handler";
    ui::App().ProcessMessages();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(destroyed);
}

TEST_F(Forms, ShowModalRunsTheIdleHookAndReturnsTheButtonsModalResult) {
    ui::Form owner;
    CreateForm(owner);
    owner.Show();
    ButtonForm dialog;
    CreateForm(dialog, 200, 100, owner.Handle());
    int idleCalls = 0;
    bool ownerDisabled = false;
    // Not done: the loop calls the hook again instead of waiting for a message.
    ui::App().onIdle = [&](bool& done) {
        done = false;
        if (++idleCalls == 3) {
            ownerDisabled = !IsWindowEnabled(owner.Handle());
            SendMessageW(dialog.ok.Handle(), BM_CLICK, 0, 0);
        }
    };
    EXPECT_EQ(dialog.ShowModal(), IDOK);
    EXPECT_EQ(idleCalls, 3);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_FALSE(dialog.IsVisible());
}

TEST_F(Forms, ShowModalEndsWithCancelOnCloseAndHonoursARefusal) {
    ui::Form owner;
    CreateForm(owner);
    ButtonForm dialog;
    CreateForm(dialog, 200, 100, owner.Handle());
    int queries = 0;
    dialog.onCloseQuery = [&](bool& canClose) { canClose = ++queries > 1; };
    int idleCalls = 0;
    ui::App().onIdle = [&](bool&) {
        ++idleCalls;
        if (idleCalls == 1)
            SendMessageW(dialog.ok.Handle(), BM_CLICK, 0, 0); // refused: the dialog stays
        else if (idleCalls == 2)
            PostMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(dialog.ShowModal(), IDCANCEL);
    EXPECT_EQ(queries, 2);
    EXPECT_GE(idleCalls, 2);
}

TEST_F(Forms, RunShowsTheMainFormAndEndsWhenItIsClosedFromTheIdleHook) {
    ButtonForm form;
    CreateForm(form);
    int shows = 0;
    bool destroyed = false;
    form.onShow = [&] { ++shows; };
    form.onDestroy = [&] { destroyed = true; };
    int idleCalls = 0;
    UINT seen = 0;
    const UINT kPrivate = WM_APP + 7;
    ui::App().onMessage = [&](MSG& msg, bool& handled) {
        if (msg.message == kPrivate) {
            seen = msg.message;
            handled = true;
        }
    };
    ui::App().onIdle = [&](bool& done) {
        ++idleCalls;
        EXPECT_TRUE(done);
        if (idleCalls == 1) {
            EXPECT_TRUE(form.IsVisible());
            PostMessageW(form.Handle(), kPrivate, 0, 0);
        } else {
            form.Close();
        }
    };
    ui::App().Run(form);
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(seen, kPrivate);
    EXPECT_EQ(idleCalls, 2);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(form.Handle(), nullptr);
    EXPECT_EQ(ui::App().MainForm(), nullptr);
}

TEST_F(Forms, MinimizedStateSetWhileHiddenAppliesWhenShown) {
    ui::Form form;
    CreateForm(form);
    form.onShow = [&] { form.SetMinimized(); };
    EXPECT_FALSE(form.IsMinimized());
    form.Show();
    EXPECT_TRUE(IsIconic(form.Handle()));
    form.SetNormal();
    EXPECT_FALSE(form.IsMinimized());
    EXPECT_TRUE(form.IsVisible());
}

TEST_F(Forms, ErrorHookReceivesAnExceptionThrownFromAClickHandler) {
    ButtonForm form;
    CreateForm(form);
    form.ok.onClick = [] { throw ui::Error("ﾌﾟﾘﾝﾀがありません"); };
    ui::App().onIdle = [](bool&) { throw std::runtime_error("idle"); };
    SendMessageW(form.ok.Handle(), BM_CLICK, 0, 0);
    ui::App().CallIdle();
    expectedErrors = 2;
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "ﾌﾟﾘﾝﾀがありません");
    EXPECT_EQ(errors[1], "idle");
}

TEST_F(Forms, F1ShowsTheNearestNonZeroHelpContext) {
    ButtonForm form;
    form.Create({.clientWidth = 300, .clientHeight = 100, .helpContext = 1000});
    form.ok.helpContext = 5001;
    std::vector<std::pair<UINT, ULONG_PTR>> calls;
    ui::App().onHelp = [&](HWND, UINT command, ULONG_PTR data) { calls.emplace_back(command, data); };
    form.Show();
    auto pressF1 = [&](ui::Control& control) {
        control.Focus();
        PostMessageW(control.Handle(), WM_KEYDOWN, VK_F1, 0);
        ui::App().ProcessMessages();
    };
    pressF1(form.ok);
    pressF1(form.quit); // no context of its own: the form's
    ui::App().QuitHelp();
    EXPECT_EQ(calls,
              (std::vector<std::pair<UINT, ULONG_PTR>>{{HELP_CONTEXT, 5001}, {HELP_CONTEXT, 1000}, {HELP_QUIT, 0}}));
}

TEST_F(Forms, ActivationRestoresTheFocusedControl) {
    ButtonForm form;
    CreateForm(form);
    form.activeControl = &form.quit;
    form.Show();
    EXPECT_EQ(GetFocus(), form.quit.Handle());
    form.ok.Focus();
    ui::Form other;
    CreateForm(other);
    other.Show();
    SetActiveWindow(other.Handle());
    SetActiveWindow(form.Handle());
    EXPECT_EQ(GetFocus(), form.ok.Handle());
}

// A place where no monitor is (a settings file from another desktop) comes wholly into the work area at its size;
// a window with any part on a monitor stays where the user put it.
TEST_F(Forms, KeepOnAMonitorMovesOnlyAWindowThatNoMonitorShows) {
    ui::Form form;
    CreateForm(form);
    MONITORINFO primary{};
    primary.cbSize = sizeof primary;
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary);
    const RECT work = primary.rcWork;
    const struct {
        int left, top;
        bool moves;
    } cases[] = {{-5000, -4000, true}, {work.right + 3000, work.bottom + 2000, true}, {work.right + 10, 20, true},
                 {work.left + 10, work.top + 10, false}, {work.right - 20, work.bottom - 20, false}};
    for (const auto& c : cases) {
        SetWindowPos(form.Handle(), nullptr, c.left, c.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT before{}, after{};
        GetWindowRect(form.Handle(), &before);
        ASSERT_EQ(MonitorFromRect(&before, MONITOR_DEFAULTTONULL) == nullptr, c.moves) << c.left << "," << c.top;
        form.KeepOnAMonitor();
        GetWindowRect(form.Handle(), &after);
        EXPECT_EQ(after.right - after.left, before.right - before.left) << c.left << "," << c.top;
        EXPECT_EQ(after.bottom - after.top, before.bottom - before.top) << c.left << "," << c.top;
        if (c.moves)
            EXPECT_TRUE(after.left >= work.left && after.top >= work.top && after.right <= work.right &&
                        after.bottom <= work.bottom)
                << c.left << "," << c.top;
        else
            EXPECT_TRUE(EqualRect(&after, &before)) << c.left << "," << c.top;
        EXPECT_FALSE(form.IsVisible());
    }
}

TEST_F(Forms, ApplicationRestoreTakesBackOnlyAMinimizedState) {
    HWND app = ui::App().Handle();
    ui::App().Restore();
    EXPECT_FALSE(IsWindowVisible(app));
    ShowWindow(app, SW_MINIMIZE);
    ShowWindow(app, SW_HIDE);
    ASSERT_TRUE(IsIconic(app));
    ui::App().Restore();
    EXPECT_FALSE(IsIconic(app));
    EXPECT_FALSE(IsWindowVisible(app));
}

} // namespace
} // namespace ui_test
