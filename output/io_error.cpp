#include "output/io_error.h"

namespace kelvad {

namespace {
constexpr unsigned long kFileNotFound = 2; // ERROR_FILE_NOT_FOUND
constexpr unsigned long kAccessDenied = 5; // ERROR_ACCESS_DENIED
} // namespace

std::string IoErrorText(unsigned long errorCode) {
    switch (errorCode) {
    case kFileNotFound:
        return "ﾌｧｲﾙが見つかりません";
    case kAccessDenied:
        return "ﾌｧｲﾙへのｱｸｾｽが拒否されました";
    default:
        return "I/O ｴﾗｰ (" + std::to_string(errorCode) + ")";
    }
}

} // namespace kelvad
