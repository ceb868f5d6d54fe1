#include <gtest/gtest.h>

#include <climits>

#include "image/image_page.h"
#include "image/setup_rules.h"
#include "ui/spin_value.h"

namespace kelvad {
namespace {

// A 600 dpi printer with a 4 mm border; and the 300 dpi A4 test printer of the Wine set-up (6 mm border).
const PageMetrics k600{600, 600, 4772, 6826, 4961, 7016, 95, 95};
const PrinterMargins kMin4{4, 4, 4, 4};
const PageMetrics kTestPrinter{300, 300, 2329, 3358, 2479, 3508, 75, 75};
const PrinterMargins kMin6{6, 6, 6, 6};

OutputOptions Options(bool stretch, bool zero, int margin = 20) {
    OutputOptions o;
    o.LeftMargin = o.RightMargin = o.TopMargin = o.BottomMargin = margin;
    o.IsStretch = stretch;
    o.IsMarginZero = zero;
    return o;
}

TEST(DestinationRect, FourCasesOfMarginsAndStretch) {
    struct Case {
        const char* name;
        OutputOptions options;
        PrinterMargins minimum;
        PageMetrics metrics;
        PageRect expected;
    };
    const Case cases[] = {
        // R(16 × (1/25.4) × 600) = R(377.95…) = 378; the area inside the four margins.
        {"margins, stretch", Options(true, false), kMin4, k600, {378, 378, 4772 - 378, 6826 - 378}},
        // Natural size from the margin corner: 640 by 480 device pixels.
        {"margins, natural", Options(false, false), kMin4, k600, {378, 378, 378 + 640, 378 + 480}},
        // −R(4 × (1/25.4) × 600) = −R(94.49…) = −94; the whole physical sheet.
        {"zero, stretch", Options(true, true), kMin4, k600, {-94, -94, -94 + 4961, -94 + 7016}},
        {"zero, natural", Options(false, true), kMin4, k600, {-94, -94, -94 + 640, -94 + 480}},
        // A margin below the printer minimum gives a negative offset: −R(2 × (1/25.4) × 600) = −R(47.24…).
        {"below minimum", Options(true, false, 2), kMin4, k600, {-47, -47, 4772 + 47, 6826 + 47}},
        // The test printer: R(14 × 300 / 25.4) = R(165.35…) = 165, −R(70.86…) = −71.
        {"test printer", Options(true, false), kMin6, kTestPrinter, {165, 165, 2329 - 165, 3358 - 165}},
        {"test printer, zero", Options(true, true), kMin6, kTestPrinter, {-71, -71, 2408, 3437}},
        // A border of INT_MIN units is negated beyond the integers: held at the limit.
        {"zero, border at the limit",
         Options(false, true),
         {INT_MIN, INT_MIN, 0, 0},
         k600,
         {INT_MAX, INT_MAX, INT_MAX, INT_MAX}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DestinationRect(c.options, c.minimum, c.metrics, 640, 480), c.expected) << c.name;

    OutputOptions uneven = Options(true, false);
    uneven.LeftMargin = 10;
    uneven.RightMargin = 30;
    uneven.TopMargin = 5;
    uneven.BottomMargin = 50;
    // Each side by its own margin: R(4·300/25.4) = 47, R(−1·…) = −12, 2329 − R(24·…) = 2329 − 283, 3358 − 520.
    EXPECT_EQ(DestinationRect(uneven, kMin6, kTestPrinter, 1, 1), (PageRect{47, -12, 2046, 2838}));
}

TEST(MillimetresToUnits, ProductsLeftToRightRoundedHalvesToEven) {
    EXPECT_EQ(MillimetresToUnits(16, 600), 378);
    EXPECT_EQ(MillimetresToUnits(-4, 600), -94);
    // 25.4 mm is one inch; a result beyond the integers is held at the limit.
    EXPECT_EQ(MillimetresToUnits(25.4L, 300), 300);
    EXPECT_EQ(MillimetresToUnits(50, 0), 0);
    EXPECT_EQ(MillimetresToUnits(2e12L, 600), INT_MAX);
}

TEST(DibPixelBytes, RowsPaddedAndCopiesThatCannotFitRefused) {
    EXPECT_EQ(DibPixelBytes(4000, 3000, 24), 36000000u);
    EXPECT_EQ(DibPixelBytes(3, -2, 24), 24u); // top-down rows; 9 bytes padded to 12
    EXPECT_EQ(DibPixelBytes(1, 1, 1), 4u);
    // 30000 × 30000 at 32 bits is 3.6 GB: more than half of a 32-bit address space, not of a 64-bit one.
    EXPECT_EQ(DibPixelBytes(30000, 30000, 32, 0xFFFFFFFFu), 0u);
    // In a 32-bit program no size_t holds it at all.
    EXPECT_EQ(DibPixelBytes(30000, 30000, 32), sizeof(std::size_t) > 4 ? 3600000000u : 0u);
    EXPECT_EQ(DibPixelBytes(0, 5, 24), 0u);
    EXPECT_EQ(DibPixelBytes(1LL << 40, 1LL << 40, 32), 0u);
}

TEST(SetupRules, EnablingFollowsTheFileKindAndZeroMargins) {
    EXPECT_EQ(SetupEnablingFor(kPrnFileItem, false), (SetupEnabling{false, false}));
    EXPECT_EQ(SetupEnablingFor(kPrnFileItem, true), (SetupEnabling{false, false}));
    EXPECT_EQ(SetupEnablingFor(kImageFileItem, false), (SetupEnabling{true, true}));
    EXPECT_EQ(SetupEnablingFor(kImageFileItem, true), (SetupEnabling{true, false}));
}

TEST(SetupRules, MarginMinimumRaisesTheValueAndBecomesTheLowerBound) {
    // A stored 3 under a 5 mm border shows as 5; a value above the border is kept.
    EXPECT_EQ(ApplyMarginMinimum({3, 0, 50}, 5), (MarginField{5, 5, 50}));
    EXPECT_EQ(ApplyMarginMinimum({20, 0, 50}, 6), (MarginField{20, 6, 50}));
    // The raised value is clamped by the bounds as they stood; a lower border lowers the bound again.
    EXPECT_EQ(ApplyMarginMinimum({20, 0, 50}, 60), (MarginField{50, 60, 50}));
    EXPECT_EQ(ApplyMarginMinimum({6, 6, 50}, 0), (MarginField{6, 0, 50}));
}

TEST(SpinValue, ClampingAndReadingTheText) {
    EXPECT_EQ(ui::ClampSpinValue(-1, 0, 50), 0);
    EXPECT_EQ(ui::ClampSpinValue(51, 0, 50), 50);
    EXPECT_EQ(ui::ClampSpinValue(7, 0, 50), 7);
    EXPECT_EQ(ui::ClampSpinValue(99, 5, 5), 99); // equal bounds: none
    struct Text {
        const char* text;
        int value;
    };
    for (const Text& t : {Text{"20", 20}, Text{" 7", 7}, Text{"-3", -3}, Text{"+4", 4}, Text{"", 5}, Text{"-", 5},
                          Text{"1a", 5}, Text{"４", 5}, Text{"2 ", 5}, Text{"99999999999", 5}})
        EXPECT_EQ(ui::SpinTextValue(t.text, 5), t.value) << t.text;
}

} // namespace
} // namespace kelvad
