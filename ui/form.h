#pragma once
#include "ui/font.h"
#include "ui/handle.h"
#include "ui/window.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class Button;
class Control;

// A top-level window holding controls: placement by client size, font, tooltips, tab order, help, the
// close query, modal showing and release.
class Form : public Window {
public:
    // Marks left/top as "not given": the form is then centred on its owner, or on the work area without one.
    static constexpr int kDefaultPosition = CW_USEDEFAULT;

    struct CreateArgs {
        int clientWidth = 0;
        int clientHeight = 0;
        int left = kDefaultPosition;
        int top = kDefaultPosition;
        std::string caption{};
        DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        DWORD exStyle = 0;
        FontSpec font{"ＭＳ ゴシック", 13};
        unsigned helpContext = 0;
        HWND owner = nullptr;
        HICON icon = nullptr; // borrowed; set as big and small icon
        // The form keeps its design size: size and maximize commands are dropped and the frame offers no sizing.
        bool fixedSize = false;
    };

    Form() = default;
    ~Form() override;

    // Creates the window (hidden), then CreateControls(), then onCreate.
    void Create(const CreateArgs& args);

    // Makes the form visible (minimized when SetMinimized was called while hidden); runs onShow first.
    void Show();
    void Hide();
    // Disables the owner, shows the form and runs a loop (with the idle point) until modalResult is
    // non-zero or the form is closed or hidden; re-enables the owner, hides the form, returns the result
    // (IDCANCEL when it was closed without one).
    int ShowModal();
    // ShowModal for a dialog opened from a button: zoomed in from the button and back into it.
    int ShowModalZoomed(HWND button);
    // Asks onCloseQuery; if allowed: a modal form ends with IDCANCEL, the main form is destroyed (which
    // ends Application::Run), any other form is hidden. Returns whether the close was allowed.
    bool Close();
    // Destroys the form after the current message handler has returned, then calls onReleased (from which
    // the owner may delete this object).
    void Release();

    void SetPosition(int left, int top);
    // Outer rectangle in screen coordinates.
    RECT OuterRect() const;
    // Centres the form's outer rectangle on the owner's (on the work area when owner is null); it may stand
    // partly off the screen.
    void CenterOn(HWND owner);
    void SetMinimized();
    void SetNormal();
    bool IsMinimized() const;
    // Paints whatever is invalid in the form and its controls now, without waiting for the loop.
    void Repaint();
    // The form's font (controls with an empty face use it).
    HFONT Font() const noexcept { return font_; }
    // A font of the design (height in pixels at 96 DPI) at the form's DPI; the form keeps it while it stays at
    // this DPI and frees it when it moves to another.
    HFONT FontFor(const FontSpec& font);
    // The DPI the form is laid out for (that of its monitor).
    int Dpi() const noexcept { return dpi_; }
    // Lays the form and its controls out again at dpi: client size, places, fonts. outer: the outer rectangle
    // to take (WM_DPICHANGED suggests one), or null to keep the top-left corner.
    void ChangeDpi(int dpi, const RECT* outer);
    // Moves the form wholly onto the nearest monitor's work area when no part of it stands on a monitor.
    void KeepOnAMonitor();
    // Control that gets the focus when the form is shown (else the first tab stop).
    Control* activeControl = nullptr;
    // Enter presses the default button wherever the focus is (DM_GETDEFID); Escape presses the cancel button.
    Button* defaultButton = nullptr;
    Button* cancelButton = nullptr;

    int modalResult = 0;
    std::function<void()> onCreate;
    std::function<void()> onShow;
    std::function<void(bool& canClose)> onCloseQuery;
    std::function<void()> onDestroy;
    std::function<void()> onReleased;

    // F1 for the window `from` (a control of this form or the form): help with the nearest non-zero
    // help context going outward. Returns the context used, 0 if none.
    unsigned ShowHelpFor(HWND from);

    // Used by Control: registration (tab order by z-order, tooltips).
    void AddControl(Control& control);
    void RemoveControl(Control& control) noexcept;
    void SetHint(Control& control, const std::string& hint);
    HWND Tooltip() const noexcept { return tooltip_; }
    // A fresh child-window id for a control.
    int NextControlId() noexcept { return nextId_++; }

protected:
    // Derived forms create their controls here (called by Create before onCreate).
    virtual void CreateControls() {}
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool QueryClose();
    void ArrangeTabOrder();
    void RelayDisabledHint(const MSG& mouse);
    void FocusFirst();
    // HandleMessage's longer answers: activation (the focus kept and given back), the window's end (its tooltips
    // and onDestroy) and a released form's destruction.
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
    void OnDestroyWindow();
    void OnRelease();

    void FitFrame(int left, int top);
    // Gives the tooltip the system's status font at the form's DPI.
    void ScaleTooltipFont();

    HFONT font_ = nullptr;
    FontSpec fontSpec_;
    FontCache fonts_;
    int dpi_ = 96;
    int clientWidth_ = 0, clientHeight_ = 0;
    DWORD style_ = 0, exStyle_ = 0;
    HWND tooltip_ = nullptr;
    GdiObject tooltipFont_;
    // The disabled control whose hint the form's own tool shows (none: no such tool).
    HWND disabledHintOf_ = nullptr;
    std::vector<Control*> controls_;
    HWND savedFocus_ = nullptr;
    int nextId_ = 100;
    int nextSequence_ = 0;
    bool minimizedWhenShown_ = false;
    bool fixedSize_ = false;
    bool modal_ = false;
    bool closedByClose_ = false;
};

// Lets go of a form the way Release does: destroyed after the current handler has returned, then deleted.
struct FormReleaser {
    void operator()(Form* form) const noexcept;
};
template <class F> using ReleasedForm = std::unique_ptr<F, FormReleaser>;

// Creates a form on the heap that deletes itself once released; the handle releases it when it goes.
template <class F, class... Args> ReleasedForm<F> MakeReleased(Args&&... args) {
    ReleasedForm<F> form(new F(std::forward<Args>(args)...));
    form->onReleased = [raw = form.get()] { delete raw; };
    return form;
}

} // namespace ui
