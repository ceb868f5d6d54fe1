#pragma once
#include <cstdint>

namespace kelvad {

// The output options: page margins in whole millimetres and the file-kind and image flags.
struct OutputOptions {
    std::int32_t LeftMargin = 20;
    std::int32_t RightMargin = 20;
    std::int32_t TopMargin = 20;
    std::int32_t BottomMargin = 20;
    bool IsPrnFile = true;     // listed files are printer files sent raw; false: image files
    bool IsStretch = true;     // the picture fills the area inside the margins
    bool IsReverse = false;    // mirror left to right
    bool IsMarginZero = false; // ignore the four margins
    bool IsDeleteFile = false; // delete the files that were output after a run
};

} // namespace kelvad
