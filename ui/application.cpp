#include "ui/application.h"

#include "ui/dpi.h"

#include "ui/error.h"
#include "base/codepage.h"
#include "ui/form.h"
#include "ui/message_box.h"

#include <commctrl.h>

#include <iterator>

namespace ui {
namespace {

constexpr wchar_t kApplicationClass[] = L"UiApplication";

// The toolkit form whose window (or one of whose controls) is hwnd.
Form* FormOf(HWND hwnd) {
    if (!hwnd)
        return nullptr;
    return dynamic_cast<Form*>(Window::FromHandle(GetAncestor(hwnd, GA_ROOT)));
}

} // namespace

Application& App() {
    static Application application;
    return application;
}

void Application::Initialize(HINSTANCE instance) {
    if (hwnd_)
        return;
    instance_ = instance;
    EnableDpiAwareness();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kApplicationClass;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        ThrowLastError("RegisterClassEx");
    // Never shown: it owns the message boxes and stands for the application towards the system.
    hwnd_ = CreateWindowExW(0, kApplicationClass, WideTitle().c_str(), WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0,
                            0, nullptr, nullptr, instance, nullptr);
    if (!hwnd_)
        ThrowLastError("CreateWindowEx");
}

LRESULT CALLBACK Application::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

std::wstring Application::WideTitle() const {
    return kelvad::ToWide(title);
}

void Application::SyncTitle() {
    if (!hwnd_)
        return;
    const std::wstring wanted = WideTitle();
    wchar_t current[512] = {};
    GetWindowTextW(hwnd_, current, static_cast<int>(std::size(current)));
    if (wanted != current)
        SetWindowTextW(hwnd_, wanted.c_str());
}

void Application::Run(Form& mainForm) {
    mainForm_ = &mainForm;
    SyncTitle();
    HWND mainWindow = mainForm.Handle();
    mainForm.Show();
    auto running = [&] { return mainForm_ == &mainForm && IsWindow(mainWindow); };
    MSG msg;
    while (running()) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                break;
            ProcessMessage(msg);
        } else if (CallIdle() && running()) {
            WaitMessage();
        }
    }
    if (mainForm_ == &mainForm)
        mainForm_ = nullptr;
}

void Application::ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        ProcessMessage(msg);
    }
}

void Application::ProcessMessage(MSG& msg) {
    if (onMessage) {
        bool handled = false;
        try {
            onMessage(msg, handled);
        } catch (const std::exception& error) {
            HandleException(error);
        } catch (...) {
            HandleUnknownException();
        }
        if (handled)
            return;
    }
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
        if (Form* form = FormOf(msg.hwnd)) {
            if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1) {
                try {
                    form->ShowHelpFor(msg.hwnd);
                } catch (const std::exception& error) {
                    HandleException(error);
                }
                return;
            }
            if (IsDialogMessageW(form->Handle(), &msg))
                return;
        }
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

bool Application::CallIdle() {
    bool done = true;
    if (onIdle) {
        try {
            onIdle(done);
        } catch (const std::exception& error) {
            HandleException(error);
        } catch (...) {
            HandleUnknownException();
        }
    }
    return done;
}

void Application::Restore() {
    if (!hwnd_ || !IsIconic(hwnd_))
        return;
    // The window stays hidden: only its minimized state is taken back.
    ShowWindow(hwnd_, SW_RESTORE);
    ShowWindow(hwnd_, SW_HIDE);
}

void Application::HandleException(const std::exception& error) {
    if (onException) {
        try {
            onException(error);
            return;
        } catch (const std::exception& inner) {
            SyncTitle();
            MessageBox(ErrorText(inner) + L".", WideTitle(), MB_ICONERROR | MB_OK);
            return;
        } catch (...) {
        }
    }
    SyncTitle();
    MessageBox(ErrorText(error) + L".", WideTitle(), MB_ICONERROR | MB_OK);
}

void Application::HandleUnknownException() {
    HandleException(Error("予期しないエラーが発生しました"));
}

void Application::ShowHelp(unsigned context) {
    HWND owner = mainForm_ && mainForm_->Handle() ? mainForm_->Handle() : hwnd_;
    if (onHelp)
        onHelp(owner, HELP_CONTEXT, context);
}

void Application::QuitHelp() {
    HWND owner = mainForm_ && mainForm_->Handle() ? mainForm_->Handle() : hwnd_;
    if (onHelp)
        onHelp(owner, HELP_QUIT, 0);
}

} // namespace ui
