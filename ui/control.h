#pragma once
#include "ui/font.h"
#include "ui/window.h"

#include <string>

namespace ui {

class Form;

// What every control's CreateArgs holds; each control has its own args copied into this by PlacementOf.
struct ControlPlacement {
    Form* parent = nullptr;
    int left = 0, top = 0, width = 0, height = 0;
    std::string caption{};
    std::string hint{};
    int tabOrder = -1; // -1: not in the tab order (placed after the ordered controls)
    unsigned helpContext = 0;
    FontSpec font{}; // empty face: the parent form's font
    bool visible = true;
    bool enabled = true;
};

// A control's CreateArgs as ControlPlacement, field by field by name; a field its args do not have keeps the
// placement's default.
template <class Args> ControlPlacement PlacementOf(const Args& args) {
    ControlPlacement placement{
        .parent = args.parent, .left = args.left, .top = args.top, .width = args.width, .height = args.height};
    if constexpr (requires { args.caption; })
        placement.caption = args.caption;
    if constexpr (requires { args.hint; })
        placement.hint = args.hint;
    if constexpr (requires { args.tabOrder; })
        placement.tabOrder = args.tabOrder;
    if constexpr (requires { args.helpContext; })
        placement.helpContext = args.helpContext;
    if constexpr (requires { args.font; })
        placement.font = args.font;
    if constexpr (requires { args.visible; })
        placement.visible = args.visible;
    if constexpr (requires { args.enabled; })
        placement.enabled = args.enabled;
    return placement;
}

// Base of the controls: a child window of a Form, with hint, tab order, help context and font.
class Control : public Window {
public:
    ~Control() override;

    void SetVisible(bool visible);
    void Focus();
    void SetHint(const std::string& hint);
    const std::string& Hint() const noexcept { return hint_; }
    int TabOrder() const noexcept { return tabOrder_; }
    Form* Parent() const noexcept { return parent_; }
    // Font in use (the control's own or the form's).
    HFONT Font() const noexcept { return font_; }
    const FontSpec& FontSpecification() const noexcept { return fontSpec_; }
    void SetBounds(int left, int top, int width, int height);
    RECT Bounds() const; // in the parent's client coordinates
    // A design length (pixels at 96 DPI) at the DPI of the control's form.
    int Scaled(int designPixels) const noexcept;

protected:
    // Creates the system control (subclassed) or own-class control, registers it with the form.
    void CreateControl(const wchar_t* className, bool ownClass, const ControlPlacement& placement, DWORD style,
                       DWORD exStyle);
    void Destroyed() override;
    // The form has moved to another DPI: the control takes its design place and font at the new DPI. Controls with
    // their own sizes inside (item heights, glyphs, arrows) add theirs.
    virtual void DpiChanged();

private:
    friend class Form;
    Form* parent_ = nullptr;
    std::string hint_;
    int tabOrder_ = -1;
    int sequence_ = 0;
    HFONT font_ = nullptr;
    FontSpec fontSpec_;
    RECT design_{}; // left, top, width, height at 96 DPI
};

} // namespace ui
