#pragma once
#include "ui/control.h"

#include <string>

namespace ui {

// An edit field for an integer with a lower and an upper bound and up/down arrows (and the arrow keys) that
// step by 1. Setting a value and leaving the field keep the value within the bounds (no bounds when both are
// equal); the value read is the text's integer within the bounds, or the lower bound when the text is not an
// integer.
class SpinEdit : public Control {
public:
    struct CreateArgs {
        Form* parent = nullptr;
        int left = 0, top = 0, width = 121, height = 22;
        std::string hint{};
        int tabOrder = -1;
        unsigned helpContext = 0;
        FontSpec font{};
        bool visible = true;
        bool enabled = true;
        int minValue = 0;
        int maxValue = 0;
        int value = 0;
        int maxLength = 0; // characters; 0: no limit
    };

    void Create(const CreateArgs& args);

    int Value() const;
    void SetValue(int value);
    int MinValue() const noexcept { return minValue_; }
    int MaxValue() const noexcept { return maxValue_; }
    void SetMinValue(int value) noexcept { minValue_ = value; }
    void SetMaxValue(int value) noexcept { maxValue_ = value; }
    // The arrows' window.
    HWND Arrows() const noexcept { return arrows_; }

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void DpiChanged() override;

private:
    void PlaceArrows();
    void Step(int delta);

    HWND arrows_ = nullptr;
    int minValue_ = 0;
    int maxValue_ = 0;
};

} // namespace ui
