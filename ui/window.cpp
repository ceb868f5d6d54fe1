#include "ui/window.h"

#include "ui/application.h"
#include "base/codepage.h"
#include "ui/error.h"

#include <commctrl.h>

namespace ui {
namespace {

constexpr wchar_t kObjectProperty[] = L"ui.Window";
constexpr UINT_PTR kSubclassId = 1;

// The child window a parent notification is about, for reflection to its object.
HWND ReflectionTarget(UINT msg, WPARAM, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    default:
        return nullptr;
    }
}

} // namespace

Window::~Window() {
    // No message of the destruction reaches this object any more: it is no longer whole.
    if (HWND hwnd = hwnd_) {
        Detach();
        DestroyWindow(hwnd);
    }
}

void Window::SetEnabled(bool enabled) {
    if (hwnd_)
        EnableWindow(hwnd_, enabled);
}

bool Window::IsEnabled() const {
    return hwnd_ && IsWindowEnabled(hwnd_);
}

bool Window::IsVisible() const {
    return hwnd_ && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Window::SetCaption(const std::string& caption) {
    SetCaption(kelvad::ToWide(caption));
}

void Window::SetCaption(const std::wstring& caption) {
    if (hwnd_)
        SetWindowTextW(hwnd_, caption.c_str());
}

std::wstring Window::WideCaption() const {
    if (!hwnd_)
        return {};
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

Window* Window::FromHandle(HWND hwnd) noexcept {
    return hwnd ? static_cast<Window*>(GetPropW(hwnd, kObjectProperty)) : nullptr;
}

bool Window::HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

bool Window::HandleReflected(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

LRESULT Window::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!hwnd_)
        return 0;
    return subclassed_ ? DefSubclassProc(hwnd_, msg, wParam, lParam) : DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void Window::RegisterWindowClass(const wchar_t* className, UINT style, HBRUSH background, HCURSOR cursor) {
    HINSTANCE instance = App().Instance() ? App().Instance() : GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, className, &existing))
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = Trampoline;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    if (!RegisterClassExW(&wc))
        ThrowLastError("RegisterClassEx");
}

void Window::CreateOwnClass(const wchar_t* className, const std::string& text, DWORD style, DWORD exStyle, int x, int y,
                            int width, int height, HWND parent, HMENU menuOrId) {
    HINSTANCE instance = App().Instance() ? App().Instance() : GetModuleHandleW(nullptr);
    HWND hwnd = CreateWindowExW(exStyle, className, kelvad::ToWide(text).c_str(), style, x, y, width, height, parent,
                                menuOrId, instance, this);
    if (!hwnd)
        ThrowLastError("CreateWindowEx");
}

void Window::CreateSubclassed(const wchar_t* className, const std::string& text, DWORD style, DWORD exStyle, int x, int y,
                              int width, int height, HWND parent, HMENU menuOrId) {
    HINSTANCE instance = App().Instance() ? App().Instance() : GetModuleHandleW(nullptr);
    HWND hwnd = CreateWindowExW(exStyle, className, kelvad::ToWide(text).c_str(), style, x, y, width, height, parent,
                                menuOrId, instance, nullptr);
    if (!hwnd)
        ThrowLastError("CreateWindowEx");
    subclassed_ = true;
    Attach(hwnd);
    SetWindowSubclass(hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void Window::DestroyHandle() {
    if (hwnd_)
        DestroyWindow(hwnd_);
}

void Window::Attach(HWND hwnd) {
    hwnd_ = hwnd;
    SetPropW(hwnd, kObjectProperty, this);
}

void Window::Detach() {
    if (!hwnd_)
        return;
    RemovePropW(hwnd_, kObjectProperty);
    if (subclassed_)
        RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
    else
        SetWindowLongPtrW(hwnd_, 0, 0);
    hwnd_ = nullptr;
}

LRESULT Window::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        LRESULT result = 0;
        if (HWND child = ReflectionTarget(msg, wParam, lParam); child && child != hwnd_) {
            if (Window* target = FromHandle(child); target && target->HandleReflected(msg, wParam, lParam, result))
                return result;
        }
        if (HandleMessage(msg, wParam, lParam, result))
            return result;
        return DefaultProc(msg, wParam, lParam);
    } catch (const std::exception& error) {
        App().HandleException(error);
    } catch (...) {
        App().HandleUnknownException();
    }
    return 0;
}

LRESULT CALLBACK Window::Trampoline(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self) {
            SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(self));
            self->Attach(hwnd);
        }
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, 0));
    }
    if (!self)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    return Route(self, msg, wParam, lParam);
}

LRESULT CALLBACK Window::SubclassProc(HWND, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR refData) {
    return Route(reinterpret_cast<Window*>(refData), msg, wParam, lParam);
}

LRESULT Window::Route(Window* self, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY) {
        LRESULT result = self->Dispatch(msg, wParam, lParam);
        self->Detach();
        self->Destroyed();
        return result;
    }
    // Nothing may touch `self` after Dispatch: a handler may have released the object.
    return self->Dispatch(msg, wParam, lParam);
}

} // namespace ui
