#include "base/picture_headers.h"

#include "base/little_endian.h"

namespace kelvad {

std::optional<IconImage> FirstIconImage(const std::uint8_t* data, std::size_t size) {
    // ICONDIR (reserved, type, count), then 16-byte entries: width, height, colours, reserved, planes, bit count,
    // the image's bytes and its offset.
    constexpr std::size_t kDir = 6, kEntry = 16;
    if (size < kDir || Le16(data) != 0 || Le16(data + 2) != 1 || Le16(data + 4) == 0 || size - kDir < kEntry)
        return std::nullopt;
    const std::uint8_t* entry = data + kDir;
    const std::uint32_t bytes = Le32(entry + 8), offset = Le32(entry + 12);
    if (offset > size || bytes > size - offset || bytes < 40)
        return std::nullopt;
    return IconImage{entry[0] ? entry[0] : 256, entry[1] ? entry[1] : 256, offset, bytes};
}

namespace {

// a * b / c rounded half away from zero, as MulDiv does (c > 0, no overflow for 16-bit a and c).
std::int32_t MulDivRounded(std::int32_t a, std::int32_t b, std::int32_t c) {
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    return static_cast<std::int32_t>((product + (product < 0 ? -(c / 2) : c / 2)) / c);
}

} // namespace

std::optional<WmfStart> ReadWmfStart(const std::uint8_t* data, std::size_t size) {
    // Key, handle, bounding box (left, top, right, bottom), units per inch, reserved, checksum.
    if (size < kPlaceableSize || Le32(data) != kPlaceableKey)
        return WmfStart{};
    const auto s16 = [&](std::size_t at) { return static_cast<std::int16_t>(Le16(data + at)); };
    const std::int32_t inch = Le16(data + 14);
    if (inch == 0)
        return std::nullopt;
    return WmfStart{kPlaceableSize, true, MulDivRounded(s16(10) - s16(6), 2540, inch),
                    MulDivRounded(s16(12) - s16(8), 2540, inch)};
}

} // namespace kelvad
