#include "ui/handle.h"

#include <winspool.h>

namespace ui {

void PrinterTraits::ClosePrinterHandle(Type h) noexcept {
    ClosePrinter(h);
}

} // namespace ui
