#include "plugins/picture_extent.h"

#include <cstring>

namespace kelvad::plugin {

namespace {

std::uint32_t Big32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

} // namespace

std::optional<Extent> PngExtent(const std::uint8_t* data, std::size_t size) {
    // Signature (8 bytes), then the chunk length, "IHDR", width and height.
    if (size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0)
        return std::nullopt;
    return Extent{Big32(data + 16), Big32(data + 20)};
}

std::optional<Extent> GifExtent(const std::uint8_t* data, std::size_t size) {
    // "GIF89a", then the logical screen's width and height, low byte first.
    if (size < 10)
        return std::nullopt;
    return Extent{std::uint32_t(data[6]) | std::uint32_t(data[7]) << 8, std::uint32_t(data[8]) | std::uint32_t(data[9])
                                                                                                     << 8};
}

bool TooLargeForOneBitmap(std::uint64_t width, std::uint64_t height) {
    if (width == 0 || height == 0)
        return false;
    const std::uint64_t stride = (width * 24 + 31) / 32 * 4;
    return width > kMaxBitmapBytes || stride > kMaxBitmapBytes / height;
}

} // namespace kelvad::plugin
