#include "ui/edit.h"

#include "base/codepage.h"

namespace ui {

void Edit::Create(const CreateArgs& args) {
    ControlPlacement placement = PlacementOf(args);
    placement.caption = args.text;
    CreateControl(L"EDIT", false, placement, ES_AUTOHSCROLL | ES_LEFT | WS_TABSTOP, WS_EX_CLIENTEDGE);
    // Zero lifts the field's default limit to the most the system allows.
    SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);
}

std::string Edit::Text() const {
    return kelvad::ToShiftJis(WideCaption()).bytes;
}

bool Edit::HandleReflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) {
        if (auto handler = onChange)
            handler();
        result = 0;
        return true;
    }
    return false;
}

} // namespace ui
