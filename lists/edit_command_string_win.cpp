#include "lists/edit_command_string_win.h"

#include "base/help_ids.h"

namespace kelvad {

TEditCommandString::TEditCommandString(HWND owner) {
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
    co_Ok.SetEnabled(GetWindowTextLengthA(EditCommand1.Handle()) > 0 &&
                     GetWindowTextLengthA(EditCommand2.Handle()) > 0);
}

} // namespace kelvad
