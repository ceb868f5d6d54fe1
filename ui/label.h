#pragma once
#include "ui/control.h"

#include <string>

namespace ui {

// Static text on the form's button-face ground, in the font's colour. With autoSize the label's width and
// height follow its text (one line) in its font, keeping its left/top.
class Label : public Control {
public:
    struct CreateArgs {
        Form* parent = nullptr;
        int left = 0, top = 0, width = 0, height = 0;
        std::string caption{};
        std::string hint{};
        int tabOrder = -1;
        unsigned helpContext = 0;
        FontSpec font{};
        bool visible = true;
        bool enabled = true;
        bool autoSize = false;
        // "&" is shown as it is (file names); set true to underline the next character instead.
        bool showAccelChar = false;
    };

    void Create(const CreateArgs& args);
    // With autoSize, every text change (SetCaption, WM_SETTEXT) resizes the label.
    bool autoSize = false;
    // Resizes the label to its current text.
    void AdjustSize();

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void DpiChanged() override;

private:
    // The text's one-line size in the label's font.
    SIZE TextSize() const;
    void WidenToText();
};

} // namespace ui
