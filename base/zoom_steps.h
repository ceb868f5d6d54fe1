#pragma once
#include <array>

namespace kelvad {

inline constexpr int kZoomStepCount = 25;

// A window's outer rectangle in screen coordinates.
struct ZoomRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const ZoomRect&) const = default;
};

// The outlines the zoom animation draws, in order, on its way from source to target: each side moves by
// a 25th of its distance per frame, so the first outline is one step away from the source and the last
// one lies on the target (up to the error of single precision).
std::array<ZoomRect, kZoomStepCount> ZoomSteps(const ZoomRect& target, const ZoomRect& source);

} // namespace kelvad
