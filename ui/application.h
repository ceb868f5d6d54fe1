#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <string>

namespace ui {

class Form;

// The one application object: the hidden application window, the message loop with its hooks, the error
// box and help. Reach it through ui::App().
class Application {
public:
    // Registers the toolkit's window classes, initialises the common controls and creates the hidden
    // application window (a top-level window of its own class that is never shown).
    void Initialize(HINSTANCE instance);
    HINSTANCE Instance() const noexcept { return instance_; }

    // Applied to the application window's text when Run starts and whenever a box of the application is shown.
    std::string title;
    // The title as the W functions take it.
    std::wstring WideTitle() const;

    // The hidden application window (owner of message boxes and error boxes).
    HWND Handle() const noexcept { return hwnd_; }
    Form* MainForm() const noexcept { return mainForm_; }

    // Errors that escape a handler; without a hook the default error box is shown.
    std::function<void(const std::exception&)> onException;
    // Every message taken from the queue, before anything else; handled = true stops its dispatch.
    std::function<void(MSG& msg, bool& handled)> onMessage;
    // Called when a message loop (the main one or a modal form's) finds the queue empty; done is true on
    // entry; left true the loop waits for the next message, set false the hook is called again.
    std::function<void(bool& done)> onIdle;
    // Every help request (F1, help buttons, the open dialog's help) and the close request at the end: command
    // HELP_CONTEXT with the topic as data, or HELP_QUIT. The program's help desk is installed here.
    std::function<void(HWND owner, UINT command, ULONG_PTR data)> onHelp;

    // Makes mainForm the main window, shows it and dispatches messages until it has been destroyed.
    void Run(Form& mainForm);
    // Dispatches every pending message (through onMessage and the usual processing); no idle call.
    void ProcessMessages();
    // Restores the application window if it is minimized; does nothing otherwise.
    void Restore();
    // Passes the error to onException or shows the default error box (caption title, text message + ".").
    void HandleException(const std::exception& error);
    // Help topic `context`, owned by the main form; and closing help at the end (both through onHelp).
    void ShowHelp(unsigned context);
    void QuitHelp();

    // One message through the hooks, dialog keys, F1 and dispatch (used by Run, modal loops, ProcessMessages).
    void ProcessMessage(MSG& msg);
    // The idle point of a loop: calls onIdle and returns its `done` (true: the loop should wait for a message).
    bool CallIdle();

    // For exceptions that are not std::exception.
    void HandleUnknownException();
    // Makes form the main window (Run does it); nullptr forgets it.
    void SetMainForm(Form* form) noexcept { mainForm_ = form; }

private:
    void SyncTitle();
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_ = nullptr;
    HWND hwnd_ = nullptr;
    Form* mainForm_ = nullptr;
};

Application& App();

} // namespace ui
