#pragma once
#include "ui/control.h"

namespace ui {

// Base of the toolkit's own controls that draw themselves: the whole client area is painted by Paint,
// so the background is never erased first (no flicker).
class PaintedControl : public Control {
protected:
    virtual void Paint(HDC dc) = 0;
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

} // namespace ui
