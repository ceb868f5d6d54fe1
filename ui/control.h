#pragma once
#include "ui/font.h"
#include "ui/window.h"

#include <string>

namespace ui {

class Form;

// What every control's CreateArgs holds; each control copies its own args into this.
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

// Base of the controls: a child window of a Form, with hint, tab order, help context and font.
class Control : public Window {
public:
    ~Control() override;

    void SetVisible(bool visible);
    bool IsVisible() const;
    void SetEnabled(bool enabled);
    bool IsEnabled() const;
    void SetCaption(const std::string& caption);
    std::string Caption() const;
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

protected:
    // Creates the system control (subclassed) or own-class control, registers it with the form.
    void CreateControl(const char* className, bool ownClass, const ControlPlacement& placement, DWORD style,
                       DWORD exStyle);
    void Destroyed() override;

private:
    friend class Form;
    Form* parent_ = nullptr;
    std::string hint_;
    int tabOrder_ = -1;
    int sequence_ = 0;
    HFONT font_ = nullptr;
    FontSpec fontSpec_;
};

} // namespace ui
