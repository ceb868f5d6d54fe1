#include "base/zoom_steps.h"

#include <gtest/gtest.h>

namespace kelvad {
namespace {

TEST(ZoomSteps, SameRectangleGivesTheSameOutlineEveryFrame) {
    const ZoomRect window{120, 80, 416, 193};
    for (const ZoomRect& frame : ZoomSteps(window, window))
        EXPECT_EQ(frame, window);
}

TEST(ZoomSteps, ButtonGrowsIntoWindowInEqualSteps) {
    // Every distance is a multiple of 25, so each side moves by a whole number of pixels per frame.
    const ZoomRect button{200, 300, 275, 325};
    const ZoomRect window{100, 200, 400, 350};
    const auto frames = ZoomSteps(window, button);
    for (int i = 0; i < kZoomStepCount; ++i) {
        SCOPED_TRACE(i);
        const int moved = i + 1;
        EXPECT_EQ(frames[i].left, 200 - 4 * moved);
        EXPECT_EQ(frames[i].top, 300 - 4 * moved);
        EXPECT_EQ(frames[i].right, 275 + 5 * moved);
        EXPECT_EQ(frames[i].bottom, 325 + 1 * moved);
    }
    EXPECT_EQ(frames.back(), window);
}

TEST(ZoomSteps, WindowShrinksBackIntoButton) {
    const ZoomRect button{24, 300, 113, 333};
    const ZoomRect window{270, 180, 572, 318};
    const auto frames = ZoomSteps(button, window);
    // The first frame is already one step away from the window; the outline shrinks monotonically.
    EXPECT_NE(frames.front(), window);
    for (int i = 1; i < kZoomStepCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_LT(frames[i].left, frames[i - 1].left);
        EXPECT_GT(frames[i].top, frames[i - 1].top);
        EXPECT_LT(frames[i].right, frames[i - 1].right);
        EXPECT_GE(frames[i].bottom, frames[i - 1].bottom);
        EXPECT_LE(frames[i].right - frames[i].left, frames[i - 1].right - frames[i - 1].left);
    }
    EXPECT_NEAR(frames.back().left, button.left, 1);
    EXPECT_NEAR(frames.back().top, button.top, 1);
    EXPECT_NEAR(frames.back().right, button.right, 1);
    EXPECT_NEAR(frames.back().bottom, button.bottom, 1);
}

TEST(ZoomSteps, CoordinatesAreTruncatedTowardZero) {
    // Left of the primary screen: -10 moving to 0 passes -9.6, which becomes -9 (not -10).
    const auto frames = ZoomSteps({0, 0, 10, 10}, {-10, -20, 20, 30});
    EXPECT_EQ(frames[0].left, -9);
    EXPECT_EQ(frames[0].top, -19);
    EXPECT_EQ(frames[0].right, 19);
    EXPECT_EQ(frames[0].bottom, 29);
    EXPECT_EQ(frames[1].left, -9);
    EXPECT_EQ(frames[1].top, -18);
}

TEST(ZoomSteps, PositionsAreHeldInSinglePrecision) {
    // Expected values worked out separately with every step rounded to a 32-bit float.
    // 2 -> 100: 25 subtractions of the rounded step end just short of 100 (double precision reaches it).
    EXPECT_EQ(ZoomSteps({100, 0, 0, 0}, {2, 0, 0, 0}).back().left, 99);
    // 2 -> 300 and 0 -> 147: single precision lands exactly on the target; the step is the distance
    // times 0.04 rounded once (a step made from 0.04f would end on 146).
    EXPECT_EQ(ZoomSteps({0, 300, 0, 0}, {0, 2, 0, 0}).back().top, 300);
    EXPECT_EQ(ZoomSteps({0, 0, 147, 0}, {0, 0, 0, 0}).back().right, 147);
}

} // namespace
} // namespace kelvad
