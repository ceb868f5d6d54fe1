#include "image/setup_rules.h"

#include "ui/spin_value.h"

namespace kelvad {

SetupEnabling SetupEnablingFor(int fileKindItem, bool marginZeroChecked) {
    const bool image = fileKindItem == kImageFileItem;
    return {.imageControls = image, .margins = image && !marginZeroChecked};
}

MarginField ApplyMarginMinimum(MarginField field, int printerMinimum) {
    if (printerMinimum > field.value)
        field.value = ui::ClampSpinValue(printerMinimum, field.minValue, field.maxValue);
    field.minValue = printerMinimum;
    return field;
}

} // namespace kelvad
