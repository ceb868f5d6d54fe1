#pragma once
#include "ui/control.h"

#include <functional>
#include <string>

namespace ui {

// A one-line edit field (sunken edge, scrolls sideways) that takes any length of text; onChange after every
// change of its text, by the user or by SetText.
class Edit : public Control {
public:
    struct CreateArgs {
        Form* parent = nullptr;
        int left = 0, top = 0, width = 121, height = 21;
        std::string text{};
        std::string hint{};
        int tabOrder = -1;
        unsigned helpContext = 0;
        FontSpec font{};
        bool visible = true;
        bool enabled = true;
    };

    void Create(const CreateArgs& args);

    // The text as Shift-JIS; a character code page 932 cannot hold stands as '?' (the command-string editor
    // refuses such a character before its text is taken).
    std::string Text() const;
    void SetText(const std::string& text) { SetCaption(text); }
    std::function<void()> onChange;

protected:
    bool HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

} // namespace ui
