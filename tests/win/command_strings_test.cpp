// The command-string catalogue in the main window: the editor driven by typed keys, the two lists moving in
// step under clicks, insert, edit and delete, and the output button while a command string goes out.
#include "layout_check.h"
#include "main_form_fixture.h"

#include <functional>

#include "lists/edit_command_string_win.h"

namespace kelvad {
void PrintTo(const CommandEntry& entry, std::ostream* out) {
    *out << "{" << entry.Description << ", " << entry.Command << "}";
}
} // namespace kelvad

namespace form_test {
namespace {

using kelvad::CommandEntry;
using kelvad::TEditCommandString;
using Entries = std::vector<CommandEntry>;

// Closes an editor that the steps failed to close, so that a failing test does not hang.
void CALLBACK Rescue(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND editor = FindWindowW(nullptr, L"コマンド文字列の追加、編集"))
        PostMessageW(editor, WM_CLOSE, 0, 0);
}

void PostKey(HWND hwnd, WPARAM key) {
    PostMessageW(hwnd, WM_KEYDOWN, key, 1);
    PostMessageW(hwnd, WM_KEYUP, key, 0xC0000001);
}

void Type(const std::string& text) {
    for (char c : text)
        PostMessageW(GetFocus(), WM_CHAR, static_cast<unsigned char>(c), 1);
}

// A mouse click on a row of a list, as the list box gets it.
void ClickRow(kelvad::TSclListBox& list, int row) {
    SendMessageW(list.Handle(), LB_SETTOPINDEX, row, 0);
    auto top = static_cast<int>(SendMessageW(list.Handle(), LB_GETTOPINDEX, 0, 0));
    LPARAM at = MAKELPARAM(8, (row - top) * 22 + 11);
    SendMessageW(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list.Handle(), WM_LBUTTONUP, 0, at);
}

class CommandStringsTest : public MainFormFixture {
protected:
    // Presses the button and runs one step at each idle point of the editor's modal loop, so that what a
    // step posted has been handled when the next one runs.
    void RunEditor(ui::Button& button, std::vector<std::function<void(TEditCommandString&)>> steps) {
        std::size_t next = 0;
        ui::App().onIdle = [&](bool&) {
            auto* editor = dynamic_cast<TEditCommandString*>(
                ui::Window::FromHandle(FindWindowW(nullptr, L"コマンド文字列の追加、編集")));
            if (editor && editor->IsVisible() && next < steps.size())
                steps[next++](*editor);
        };
        // A thread timer gets an id of the system's choosing: it is the one to kill.
        UINT_PTR rescue = SetTimer(nullptr, 0, 5000, Rescue);
        SendMessageW(button.Handle(), BM_CLICK, 0, 0);
        KillTimer(nullptr, rescue);
        ui::App().onIdle = nullptr;
        EXPECT_EQ(next, steps.size()) << "the editor closed before its last step";
        ui::App().ProcessMessages();
        EXPECT_EQ(FindWindowW(nullptr, L"コマンド文字列の追加、編集"), nullptr) << "the editor was not released";
    }

    std::unique_ptr<TestForm> CommandMode(const Entries& entries = {}) {
        auto form = MakeForm();
        form->ChangeCommandStatus();
        form->LoadCommandEntries(entries);
        return form;
    }

    // Selection of both lists, LastCommandIndex and the enabled buttons, in one line.
    static std::string State(TestForm& form) {
        return std::to_string(form.CommandExplanation.ItemIndex()) + "/" +
               std::to_string(form.CommandString.ItemIndex()) + " last " + std::to_string(form.LastCommandIndex) +
               (form.co_Insert.IsEnabled() ? " ins" : "") + (form.co_Edit.IsEnabled() ? " edit" : "") +
               (form.co_Delete.IsEnabled() ? " del" : "") + (form.co_Print.IsEnabled() ? " print" : "");
    }
};

TEST_F(CommandStringsTest, EditorTypedIntoAndConfirmedWithEnter) {
    auto form = CommandMode({{"初期化", "^[@"}});
    RECT main = form->OuterRect();
    std::vector<std::string> seen;
    auto okState = [&](TEditCommandString& e) { seen.push_back(e.co_Ok.IsEnabled() ? "ok" : "no ok"); };
    RunEditor(form->co_Insert,
              {[&](TEditCommandString& e) {
                   RECT client{}, outer = e.OuterRect();
                   GetClientRect(e.Handle(), &client);
                   EXPECT_EQ(client.right, layout_test::Design(e.Handle(), 306));
                   EXPECT_EQ(client.bottom, layout_test::Design(e.Handle(), 150));
                   EXPECT_EQ(e.WideCaption(), L"コマンド文字列の追加、編集");
                   EXPECT_FALSE(GetWindowLongW(e.Handle(), GWL_STYLE) & (WS_SYSMENU | WS_THICKFRAME));
                   EXPECT_EQ(outer.left, main.left + (main.right - main.left - (outer.right - outer.left)) / 2);
                   EXPECT_EQ(outer.top, main.top + (main.bottom - main.top - (outer.bottom - outer.top)) / 2);
                   EXPECT_EQ(GetWindow(e.Handle(), GW_OWNER), form->Handle());
                   EXPECT_FALSE(form->IsEnabled()) << "the editor is modal";
                   for (ui::Window* w :
                        std::initializer_list<ui::Window*>{&e, &e.EditCommand1, &e.EditCommand2, &e.co_Ok, &e.co_Close})
                       EXPECT_EQ(w->helpContext, 5000u);
                   EXPECT_EQ(GetFocus(), e.EditCommand1.Handle()) << "the description has the focus";
                   layout_test::ExpectLayout(e.Handle(), {e.EditCommand1.Handle(), e.EditCommand2.Handle(),
                                                          e.co_Close.Handle()});
                   okState(e);
                   Type("Form feed");
               },
               [&](TEditCommandString& e) {
                   okState(e);
                   PostKey(GetFocus(), VK_TAB);
               },
               [&](TEditCommandString& e) {
                   EXPECT_EQ(GetFocus(), e.EditCommand2.Handle());
                   Type("^L");
               },
               [&](TEditCommandString& e) {
                   okState(e);
                   // Emptying either field disables OK again; a blank counts as a character.
                   Type("\b\b");
               },
               [&](TEditCommandString& e) {
                   okState(e);
                   Type(" ");
               },
               [&](TEditCommandString& e) {
                   okState(e);
                   Type("\b\\f^L");
                   // Enter does nothing while OK is disabled, so it is tried on a full form only.
                   PostKey(GetFocus(), VK_RETURN);
               }});
    EXPECT_EQ(seen, (std::vector<std::string>{"no ok", "no ok", "ok", "no ok", "ok"}));
    EXPECT_EQ(form->CommandEntries(), (Entries{{"初期化", "^[@"}, {"Form feed", "\\f^L"}}));
    EXPECT_EQ(State(*form), "-1/-1 last -1 ins");

    // Escape cancels: nothing changes.
    RunEditor(form->co_Insert,
              {[](TEditCommandString&) { Type("x"); }, [](TEditCommandString&) { PostKey(GetFocus(), VK_ESCAPE); }});
    EXPECT_EQ(form->CommandEntries().size(), 2u);
}

// OK with a character that code page 932 cannot hold, in either field, is refused: the editor stays, a report
// names the character (a surrogate pair whole), and the field has the focus with the character selected.
TEST_F(CommandStringsTest, EditorRefusesCharactersShiftJisCannotHold) {
    auto form = CommandMode({{"初期化", "^[@"}});
    struct Case {
        std::wstring description, command;
        std::wstring refused; // empty: accepted
        int field;            // the field that comes back: 1 description, 2 command
        WORD from, to;
    };
    const Case cases[] = {
        {L"改行", L"\x1b한글", L"한", 2, 1, 2},
        // The description is looked at first.
        {L"a\U00020BB7b", L"한", L"\U00020BB7", 1, 1, 3},
        // WAVE DASH: code page 932 holds only its look-alike, the full-width tilde, which is taken.
        {L"波\u301C", L"x", L"\u301C", 1, 1, 2},
        {L"全角ｶﾅ\uFF5E", L"ﾃｽﾄ\u3000", L"", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        std::vector<std::wstring> reports;
        std::vector<int> cameBack;
        std::vector<std::function<void(TEditCommandString&)>> steps{[&](TEditCommandString& e) {
            e.report = [&](const std::wstring& text) { reports.push_back(text); };
            e.EditCommand1.SetCaption(c.description);
            e.EditCommand2.SetCaption(c.command);
            PostKey(GetFocus(), VK_RETURN);
        }};
        if (!c.refused.empty()) {
            steps.push_back([&](TEditCommandString& e) {
                ui::Edit& field = c.field == 1 ? e.EditCommand1 : e.EditCommand2;
                const auto selection = static_cast<DWORD>(SendMessageW(field.Handle(), EM_GETSEL, 0, 0));
                cameBack = {GetFocus() == field.Handle(), LOWORD(selection), HIWORD(selection)};
                PostKey(GetFocus(), VK_ESCAPE);
            });
        }
        RunEditor(form->co_Insert, steps);
        if (c.refused.empty()) {
            EXPECT_TRUE(reports.empty());
        } else {
            EXPECT_EQ(reports, std::vector<std::wstring>{c.refused + L" は使用できない文字です"});
            EXPECT_EQ(cameBack, (std::vector<int>{true, c.from, c.to}));
        }
    }
    EXPECT_EQ(form->CommandEntries(), (Entries{{"初期化", "^[@"}, {"全角ｶﾅ\x81\x60", "ﾃｽﾄ\x81\x40"}}));
}

TEST_F(CommandStringsTest, ListsMoveInStepThroughClicksInsertEditAndDelete) {
    Entries entries;
    for (int i = 0; i < 20; ++i)
        entries.push_back({"説明" + std::to_string(i), "cmd" + std::to_string(i)});
    auto form = CommandMode(entries);
    EXPECT_EQ(form->CommandEntries(), entries);
    EXPECT_EQ(State(*form), "-1/-1 last -1") << "a full catalogue starts with Ins disabled";

    // A click in one list selects the row in both; a second click on it deselects.
    ClickRow(form->CommandString, 2);
    EXPECT_EQ(State(*form), "2/2 last 2 edit del print");
    ClickRow(form->CommandExplanation, 2);
    EXPECT_EQ(State(*form), "-1/-1 last -1");
    ClickRow(form->CommandExplanation, 2);
    // Deleting it selects the entry that moved up, which one click deselects.
    SendMessageW(form->co_Delete.Handle(), BM_CLICK, 0, 0);
    entries.erase(entries.begin() + 2);
    EXPECT_EQ(form->CommandEntries(), entries);
    EXPECT_EQ(State(*form), "2/2 last 2 ins edit del print");
    ClickRow(form->CommandString, 2);
    EXPECT_EQ(State(*form), "-1/-1 last -1 ins");

    // Inserting with entry 1 selected puts the new entry at 1, selected in both lists.
    ClickRow(form->CommandString, 1);
    RunEditor(form->co_Insert, {[](TEditCommandString& e) {
                  e.EditCommand1.SetText("new");
                  e.EditCommand2.SetText("NEW");
                  SendMessageW(e.co_Ok.Handle(), BM_CLICK, 0, 0);
              }});
    entries.insert(entries.begin() + 1, {"new", "NEW"});
    EXPECT_EQ(form->CommandEntries(), entries);
    EXPECT_EQ(State(*form), "1/1 last 1 edit del print") << "20 entries again: Ins disabled";

    // Editing opens with the entry's texts and OK enabled; cancel changes nothing, OK keeps the place.
    std::vector<std::string> opened;
    RunEditor(form->co_Edit, {[&](TEditCommandString& e) {
                  opened = {e.EditCommand1.Text(), e.EditCommand2.Text(), e.co_Ok.IsEnabled() ? "ok" : "no ok"};
                  SendMessageW(e.co_Close.Handle(), BM_CLICK, 0, 0);
              }});
    EXPECT_EQ(opened, (std::vector<std::string>{"new", "NEW", "ok"}));
    EXPECT_EQ(form->CommandEntries(), entries);
    EXPECT_EQ(State(*form), "1/1 last 1 edit del print");
    const std::string wide(80, 'W');
    RunEditor(form->co_Edit, {[&](TEditCommandString& e) {
                  e.EditCommand2.SetText(wide);
                  SendMessageW(e.co_Ok.Handle(), BM_CLICK, 0, 0);
              }});
    entries[1].Command = wide;
    EXPECT_EQ(form->CommandEntries(), entries);
    EXPECT_EQ(State(*form), "1/1 last 1 edit del print");
    // Replacing the widest command string with a shorter one lets the scroll range shrink.
    const auto wideExtent = form->CommandString.MaxItemWidth();
    RunEditor(form->co_Edit, {[](TEditCommandString& e) {
                  e.EditCommand2.SetText("w");
                  SendMessageW(e.co_Ok.Handle(), BM_CLICK, 0, 0);
              }});
    EXPECT_LT(form->CommandString.MaxItemWidth(), wideExtent);

    // Deleting the last entry leaves nothing selected.
    ClickRow(form->CommandString, 19);
    EXPECT_EQ(State(*form), "19/19 last 19 edit del print");
    SendMessageW(form->co_Delete.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form->CommandEntries().size(), 19u);
    EXPECT_EQ(State(*form), "-1/-1 last -1 ins");
}

TEST_F(CommandStringsTest, OutputButtonIsDisabledWhileTheStringGoesOut) {
    auto form = CommandMode({{"改ページ", "\x0c"}, {"ABC", "ABC"}});
    std::vector<std::string> during;
    spooler.afterWrite = [&] {
        during.push_back(std::string(form->IsPrinting ? "printing" : "idle") +
                         (form->co_Print.IsEnabled() ? " print" : "") + (form->co_Change.IsEnabled() ? " change" : "") +
                         (form->co_Quit.IsEnabled() ? " quit" : ""));
    };
    ClickRow(form->CommandExplanation, 1);
    SendMessageW(form->co_Print.Handle(), BM_CLICK, 0, 0);
    SendMessageW(form->co_Print.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(spooler.docs, (std::vector<std::string>{"Kelvad ABC", "Kelvad ABC"}));
    EXPECT_EQ(during, (std::vector<std::string>{"printing", "printing"}));
    EXPECT_FALSE(form->IsPrinting);
    EXPECT_TRUE(form->co_Print.IsEnabled() && form->co_Change.IsEnabled() && form->co_Quit.IsEnabled());

    // With no command string selected the list's error goes on, after the buttons came back.
    form->CommandString.SetItemIndex(-1);
    EXPECT_THROW(form->CommandOutputClick(), std::exception);
    EXPECT_FALSE(form->IsPrinting);
    EXPECT_TRUE(form->co_Print.IsEnabled() && form->co_Change.IsEnabled() && form->co_Quit.IsEnabled());
}

// Bytes that code page 932 turns into no character (a lead byte before a control byte) or into one it spells
// otherwise too (0xED40 and 0xFA5C): shown in the lists, they are kept, sent and stored as they were, also
// after the editor was closed with OK on the unchanged entry.
TEST_F(CommandStringsTest, CommandBytesSurviveTheListsAndAnUnchangedEdit) {
    const Entries entries = {{"\xfa\x5c", "\x1b*\x81\x10\xed\x40"}};
    auto form = CommandMode(entries);
    ClickRow(form->CommandString, 0);
    RunEditor(form->co_Edit, {[](TEditCommandString& e) { SendMessageW(e.co_Ok.Handle(), BM_CLICK, 0, 0); }});
    EXPECT_EQ(form->CommandEntries(), entries);
    SendMessageW(form->co_Print.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(spooler.bytes, entries[0].Command);
}

} // namespace
} // namespace form_test
