#pragma once
#include "ui/handle.h"
#include "ui/painted_control.h"

#include <string>

namespace ui {

// A horizontal progress bar 0..100 of the toolkit's own class: a single border, white ground, blue fill
// and the text "%d%%" centred, white on the filled part.
class Gauge : public PaintedControl {
public:
    static constexpr const wchar_t* kClassName = L"UiGauge";

    struct CreateArgs {
        Form* parent = nullptr;
        int left = 0, top = 0, width = 100, height = 25;
        std::string hint{};
        int tabOrder = -1;
        unsigned helpContext = 0;
        FontSpec font{};
        bool visible = true;
        int value = 0;
    };

    void Create(const CreateArgs& args);
    // Clamps to 0..100; invalidates only when the shown value changes.
    void SetValue(int value);
    int Value() const noexcept { return value_; }

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void Paint(HDC dc) override;

private:
    int value_ = 0;
    // The off-screen picture the bar is drawn in, kept from one paint to the next (a progress bar is
    // painted at every step, and making a bitmap each time costs more than drawing in it).
    GdiObject offscreenBitmap_;
    OwnedDc offscreen_;
    SIZE offscreenSize_{};
};

} // namespace ui
