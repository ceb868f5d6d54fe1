#pragma once

namespace kelvad {

// Which controls of the setup dialog take input: the image controls (printer settings, stretch, mirror, zero
// margins) while the image kind is chosen, the four margins while that holds and zero margins is not checked.
struct SetupEnabling {
    bool imageControls = false;
    bool margins = false;
    bool operator==(const SetupEnabling&) const = default;
};

constexpr int kPrnFileItem = 0;
constexpr int kImageFileItem = 1;

SetupEnabling SetupEnablingFor(int fileKindItem, bool marginZeroChecked);

// A margin field: its value and bounds.
struct MarginField {
    int value = 0;
    int minValue = 0;
    int maxValue = 50;
    bool operator==(const MarginField&) const = default;
};

// A field under the printer's unprintable border: a value below it is raised to it (clamped by the bounds as they
// stand), then the border becomes the lower bound.
MarginField ApplyMarginMinimum(MarginField field, int printerMinimum);

} // namespace kelvad
