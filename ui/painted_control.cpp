#include "ui/painted_control.h"

namespace ui {

bool PaintedControl::HandleMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    switch (msg) {
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        if (HDC dc = BeginPaint(Handle(), &paint))
            Paint(dc);
        EndPaint(Handle(), &paint);
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

} // namespace ui
