#include "base/zoom_steps.h"

namespace kelvad {

namespace {

// A 25th of the distance from target to source side, rounded once to single precision.
float Step(int sourceSide, int targetSide) {
    const volatile float step = static_cast<float>((static_cast<double>(sourceSide) - targetSide) * 0.04);
    return step;
}

} // namespace

std::array<ZoomRect, kZoomStepCount> ZoomSteps(const ZoomRect& target, const ZoomRect& source) {
    const float dLeft = Step(source.left, target.left);
    const float dTop = Step(source.top, target.top);
    const float dRight = Step(source.right, target.right);
    const float dBottom = Step(source.bottom, target.bottom);
    // The running outline is held in single precision (volatile: rounded at every step also where the
    // compiler would keep it in a wider x87 register) and truncated toward zero for each frame.
    volatile float left = static_cast<float>(source.left);
    volatile float top = static_cast<float>(source.top);
    volatile float right = static_cast<float>(source.right);
    volatile float bottom = static_cast<float>(source.bottom);
    std::array<ZoomRect, kZoomStepCount> frames;
    for (ZoomRect& frame : frames) {
        left = left - dLeft;
        top = top - dTop;
        right = right - dRight;
        bottom = bottom - dBottom;
        frame = {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom)};
    }
    return frames;
}

} // namespace kelvad
