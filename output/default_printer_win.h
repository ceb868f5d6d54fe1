#pragma once
#include "output/raw_spooler.h"

namespace kelvad {

// The system's default printer as a raw target (no port: on the NT family targets have none). Throws ui::Error
// when no default printer is set.
SpoolTarget DefaultPrinterTarget();

} // namespace kelvad
