#include "lists/edit_command_string_win.h"

#include "base/codepage.h"
#include "base/help_ids.h"
#include "base/message_flags.h"
#include "ui/message_box.h"

#include <string_view>
#include <utility>

namespace kelvad {
namespace {

// The position and length (2 for a surrogate pair) of the first character of text that code page 932 cannot
// hold; npos when it holds them all.
std::pair<size_t, size_t> FirstCharacterBeyondShiftJis(std::wstring_view text) {
    for (size_t i = 0; i < text.size();) {
        const bool pair = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]);
        const size_t length = pair ? 2 : 1;
        if (!ToShiftJis(text.substr(i, length)).exact)
            return {i, length};
        i += length;
    }
    return {std::wstring_view::npos, 0};
}

} // namespace

TEditCommandString::TEditCommandString(HWND owner) {
    onCloseQuery = [this](bool& canClose) { FormCloseQuery(canClose); };
    report = [this](const std::wstring& text) { ui::MessageBox(text, kWideCaption, kExclamationIcon, Handle()); };
    Create({
        .clientWidth = 306,
        .clientHeight = 150,
        .caption = "コマンド文字列の追加、編集",
        .style = WS_POPUP | WS_CAPTION,
        .exStyle = WS_EX_DLGMODALFRAME,
        .font = {"ＭＳ ゴシック", 13},
        .helpContext = kHelpWork,
        .owner = owner,
        .fixedSize = true,
    });
}

void TEditCommandString::CreateControls() {
    Label1.Create({.parent = this, .left = 8, .top = 8, .caption = "説明", .autoSize = true});
    EditCommand1.Create({.parent = this,
                         .left = 8,
                         .top = 24,
                         .width = 290,
                         .height = 24,
                         .hint = "ｺﾏﾝﾄﾞ文字列の説明を入力",
                         .tabOrder = 0,
                         .helpContext = kHelpWork});
    Label2.Create({.parent = this, .left = 8, .top = 58, .caption = "コマンド文字列", .autoSize = true});
    EditCommand2.Create({.parent = this,
                         .left = 8,
                         .top = 74,
                         .width = 290,
                         .height = 24,
                         .hint = "ｺﾏﾝﾄﾞ文字列の入力",
                         .tabOrder = 1,
                         .helpContext = kHelpWork});
    co_Ok.Create({.parent = this,
                  .left = 64,
                  .top = 112,
                  .width = 81,
                  .height = 29,
                  .caption = "OK",
                  .hint = "入力、編集を確定して戻る",
                  .tabOrder = 2,
                  .helpContext = kHelpWork,
                  .enabled = false,
                  .modalResult = IDOK});
    co_Close.Create({.parent = this,
                     .left = 161,
                     .top = 112,
                     .width = 81,
                     .height = 29,
                     .caption = "ｷｬﾝｾﾙ",
                     .hint = "入力、編集を破棄して戻る",
                     .tabOrder = 3,
                     .helpContext = kHelpWork,
                     .modalResult = IDCANCEL});
    EditCommand1.onChange = [this] { EditCommandChange(); };
    EditCommand2.onChange = [this] { EditCommandChange(); };
    activeControl = &EditCommand1;
    // Enter presses co_Ok while it is enabled; Escape presses co_Close.
    defaultButton = &co_Ok;
    cancelButton = &co_Close;
}

void TEditCommandString::EditCommandChange() {
    // Only the length counts: blanks fill a field too.
    co_Ok.SetEnabled(GetWindowTextLengthW(EditCommand1.Handle()) > 0 &&
                     GetWindowTextLengthW(EditCommand2.Handle()) > 0);
}

void TEditCommandString::FormCloseQuery(bool& canClose) {
    if (modalResult != IDOK)
        return;
    for (ui::Edit* field : {&EditCommand1, &EditCommand2}) {
        const std::wstring text = field->WideCaption();
        const auto [at, length] = FirstCharacterBeyondShiftJis(text);
        if (length == 0)
            continue;
        canClose = false;
        report(NamedText(text.substr(at, length), " は使用できない文字です"));
        field->Focus();
        SendMessageW(field->Handle(), EM_SETSEL, at, at + length);
        return;
    }
}

} // namespace kelvad
