#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "ui/button.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/label.h"

namespace kelvad {

// The editor of one catalogue entry: its description and its command string. OK is enabled only while both
// fields hold at least one character; Enter presses OK, Escape cancels. Both texts are kept as Shift-JIS bytes
// (the command goes to the printer as they are, the description to the settings file), so OK with a character
// that code page 932 cannot hold is refused: a box names the character and the dialog stays open on it.
class TEditCommandString : public ui::Form {
public:
    // Creates the dialog hidden, owned by owner and centred on it, with both fields empty.
    explicit TEditCommandString(HWND owner);

    ui::Label Label1;
    ui::Edit EditCommand1;
    ui::Label Label2;
    ui::Edit EditCommand2;
    ui::Button co_Ok;
    ui::Button co_Close;

    void EditCommandChange();
    void FormCloseQuery(bool& canClose);

    // Tells the user which character was refused (a box above the editor; tests replace it).
    std::function<void(const std::wstring& text)> report;

protected:
    void CreateControls() override;
};

} // namespace kelvad
