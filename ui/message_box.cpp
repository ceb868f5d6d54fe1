#include "ui/message_box.h"

#include "ui/application.h"
#include "base/codepage.h"

#include <vector>

namespace ui {
namespace {

struct DisableContext {
    HWND keep;
    std::vector<HWND> disabled;
};

BOOL CALLBACK DisableWindow(HWND hwnd, LPARAM param) {
    auto* context = reinterpret_cast<DisableContext*>(param);
    if (hwnd != context->keep && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        context->disabled.push_back(hwnd);
    }
    return TRUE;
}

} // namespace

int MessageBox(const std::wstring& text, const std::wstring& caption, unsigned flags, HWND owner) {
    // At program end the application window may already be gone with the main window that owns it.
    if (!owner && IsWindow(App().Handle()))
        owner = App().Handle();
    HWND active = GetActiveWindow();
    DisableContext context{owner, {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(&context));
    int result = MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
    for (HWND hwnd : context.disabled) {
        if (IsWindow(hwnd))
            EnableWindow(hwnd, TRUE);
    }
    if (active && IsWindow(active))
        SetActiveWindow(active);
    return result;
}

int MessageBox(const std::string& text, const std::string& caption, unsigned flags, HWND owner) {
    return MessageBox(kelvad::ToWide(text), kelvad::ToWide(caption), flags, owner);
}

} // namespace ui
