#pragma once
// The size of a picture as its file's first bytes give it, read before a codec decodes anything: plain C++ over
// untrusted bytes, tested on the host.
#include <cstddef>
#include <cstdint>
#include <optional>

namespace kelvad::plugin {

struct Extent {
    std::uint32_t width;
    std::uint32_t height;
};

// PNG: the image header, which must be the first chunk. GIF: the logical screen. nullopt when the bytes are too few
// or the header is not where it must be.
std::optional<Extent> PngExtent(const std::uint8_t* data, std::size_t size);
std::optional<Extent> GifExtent(const std::uint8_t* data, std::size_t size);

// The plug-in makes no picture whose 24-bit bitmap would exceed 1 GiB: one that size cannot be printed sensibly,
// and the loader and the page each need a copy of it.
constexpr std::uint64_t kMaxBitmapBytes = 1ull << 30;
bool TooLargeForOneBitmap(std::uint64_t width, std::uint64_t height);

} // namespace kelvad::plugin
