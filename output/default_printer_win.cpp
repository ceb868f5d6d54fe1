#include "output/default_printer_win.h"

#include <windows.h>

#include "output/default_printer.h"
#include "ui/error.h"

namespace kelvad {

SpoolTarget DefaultPrinterTarget() {
    char device[80] = {};
    GetProfileStringA("windows", "device", "", device, sizeof device);
    SpoolTarget target{DefaultPrinterName(device), ""};
    if (target.printerName.empty()) {
        throw ui::Error("ﾃﾞﾌｫﾙﾄ ﾌﾟﾘﾝﾀが存在しません");
    }
    return target;
}

} // namespace kelvad
