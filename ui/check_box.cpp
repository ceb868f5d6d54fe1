#include "ui/check_box.h"

namespace ui {

void CheckBox::Create(const CreateArgs& args) {
    CreateControl(L"BUTTON", false, PlacementOf(args), BS_AUTOCHECKBOX | WS_TABSTOP, 0);
    SetChecked(args.checked);
}

bool CheckBox::Checked() const {
    return Handle() && SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetChecked(bool checked) {
    if (Handle())
        SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CheckBox::HandleReflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (auto handler = onClick)
            handler();
        result = 0;
        return true;
    }
    return false;
}

} // namespace ui
