#include "ui/animate_zoom.h"

#include "base/zoom_steps.h"
#include "ui/handle.h"

namespace ui {

using kelvad::ZoomRect;

namespace {

ZoomRect OuterRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// Sets a raster operation and puts the previous one back on scope exit.
class Rop2Guard {
public:
    Rop2Guard(HDC dc, int rop) noexcept : dc_(dc), previous_(SetROP2(dc, rop)) {}
    ~Rop2Guard() {
        if (previous_)
            SetROP2(dc_, previous_);
    }
    Rop2Guard(const Rop2Guard&) = delete;
    Rop2Guard& operator=(const Rop2Guard&) = delete;

private:
    HDC dc_;
    int previous_;
};

} // namespace

void AnimateZoom(HWND target, HWND source) {
    const ZoomRect to = OuterRect(target);
    const ZoomRect from = OuterRect(source);
    WindowDc screen(GetDesktopWindow(), WindowDc::Area::Whole);
    if (!screen)
        return;
    // Declared in this order so that the brush and pen are selected back before the pen is deleted and the
    // raster operation restored, and the screen's device context is released last.
    Rop2Guard rop(screen.get(), R2_NOT);
    GdiObject pen(CreatePen(PS_INSIDEFRAME, 5 * GetSystemMetrics(SM_CXBORDER), RGB(0, 0, 0)));
    SelectGuard penGuard(screen.get(), pen.get());
    SelectGuard brushGuard(screen.get(), GetStockObject(NULL_BRUSH));
    for (const ZoomRect& frame : kelvad::ZoomSteps(to, from)) {
        Rectangle(screen.get(), frame.left, frame.top, frame.right, frame.bottom);
        Sleep(10);
        // Inverting the same outline again restores the screen under it.
        Rectangle(screen.get(), frame.left, frame.top, frame.right, frame.bottom);
    }
}

} // namespace ui
