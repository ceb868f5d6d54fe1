#pragma once
#include <windows.h>

#include <string>

namespace ui {

// The system's arrow cursor, loaded through LoadCursorW (IDC_ARROW is spelt as a narrow resource id).
inline HCURSOR ArrowCursor() {
    return LoadCursorW(nullptr, MAKEINTRESOURCEW(LOWORD(reinterpret_cast<ULONG_PTR>(IDC_ARROW))));
}

// Base of every toolkit window: owns the link between an HWND and its C++ object. Every toolkit window is a
// Unicode window (made and fed through the "W" functions); its Shift-JIS texts are converted with code page 932.
// Own window classes route their messages through one trampoline that stores `this` at WM_NCCREATE;
// standard controls are subclassed with SetWindowSubclass. Either way HandleMessage sees every message
// first, and no exception leaves the window procedure (it goes to Application::HandleException).
class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const noexcept { return hwnd_; }
    void SetEnabled(bool enabled);
    bool IsEnabled() const;
    // The window's own visible style: a control of a hidden form counts as visible.
    bool IsVisible() const;
    // The window text; the narrow form is Shift-JIS (code page 932), whatever the system's code page.
    void SetCaption(const std::string& caption);
    void SetCaption(const std::wstring& caption);
    std::wstring WideCaption() const;
    // Help context for F1; 0 means "ask the parent window".
    unsigned helpContext = 0;

    // The toolkit object of a window, or nullptr for windows the toolkit did not make.
    static Window* FromHandle(HWND hwnd) noexcept;

protected:
    // Return true when the message is handled; result is then the message result. Unhandled messages go
    // to the default procedure (DefWindowProcW for own classes, the control's own procedure for subclassed).
    virtual bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // WM_COMMAND, WM_NOTIFY, WM_DRAWITEM and WM_CTLCOLOR* sent to the parent about this window.
    virtual bool HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Called after WM_NCDESTROY, when Handle() is already null. The object may be deleted from here.
    virtual void Destroyed() {}

    // The default processing, callable from HandleMessage ("after the usual handling, adjust the result").
    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // Registers a window class whose procedure is the trampoline (once per name).
    static void RegisterWindowClass(const wchar_t* className, UINT style, HBRUSH background, HCURSOR cursor);
    // Creates a window of a class registered with RegisterWindowClass, bound to this object.
    void CreateOwnClass(const wchar_t* className, const std::string& text, DWORD style, DWORD exStyle, int x, int y,
                        int width, int height, HWND parent, HMENU menuOrId);
    // Creates a window of a system class (BUTTON, LISTBOX, STATIC...) and subclasses it to this object.
    void CreateSubclassed(const wchar_t* className, const std::string& text, DWORD style, DWORD exStyle, int x, int y,
                          int width, int height, HWND parent, HMENU menuOrId);
    // Destroys the window now (no-op without one).
    void DestroyHandle();

private:
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    // Both window procedures end here; after WM_NCDESTROY the object is let go.
    static LRESULT Route(Window* self, UINT msg, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hwnd);
    void Detach();
    static LRESULT CALLBACK Trampoline(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR refData);

    HWND hwnd_ = nullptr;
    bool subclassed_ = false;
};

} // namespace ui
