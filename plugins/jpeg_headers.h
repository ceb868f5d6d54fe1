#pragma once
// The headers of a JPEG file, read without decoding it: plain C++ over untrusted bytes, tested on the host.
#include <cstddef>
#include <cstdint>
#include <optional>

namespace kelvad::plugin {

struct JpegHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bits = 24; // 8 for one component (grey), else 24
    double dpiX = 0;
    double dpiY = 0;
};

// Walks the markers after the start of image: the frame header (SOFn) gives the size and the number of
// components, a JFIF segment before it the density (0 when none says). nullopt when the markers are broken or end
// before a frame header.
std::optional<JpegHeader> ReadJpegHeaders(const std::uint8_t* data, std::size_t size);

} // namespace kelvad::plugin
