#pragma once
// What the retro-format decoders give back, and how they fail. Plain C++: the decoders build and are tested
// on the host; the plug-in adapter turns a DecodedImage into the interface's BITMAPINFO and pixel block.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvad::formats {

// Why a decode stopped; the adapter maps each to the interface's result code.
enum class Status { UnknownFormat, Corrupt, NoMemory };

struct DecodeError {
    Status status;
};

// The largest picture a decoder makes: 16384 pixels a side and 1 GiB of bitmap.
constexpr std::uint32_t kMaxSide = 16384;
constexpr std::uint64_t kMaxBitmapBytes = 1ull << 30;

// A picture's size and kind, known from its header alone.
struct ImageInfo {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitsPerPixel = 8; // 8 (palette) or 24 (blue, green, red)
    // Pixel aspect as densities (dots per unit, any unit): 0 for square pixels.
    std::uint16_t xDensity = 0;
    std::uint16_t yDensity = 0;
    std::string comment; // the file's own text, as it stands (may be empty)
};

// A decoded picture laid out as a bottom-up device-independent bitmap: rows of Stride() bytes, the last row of
// the picture first, each padded to 4 bytes; palette entries are 0x00RRGGBB.
struct DecodedImage {
    ImageInfo info;
    std::vector<std::uint32_t> palette; // bitsPerPixel 8: up to 256 entries
    std::vector<std::uint8_t> pixels;

    std::size_t Stride() const { return StrideOf(info.width, info.bitsPerPixel); }
    static std::size_t StrideOf(std::uint32_t width, int bits) {
        return (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    }
    // The row that is line y from the top of the picture.
    std::uint8_t* Row(std::uint32_t y) { return pixels.data() + (info.height - 1 - y) * Stride(); }
    const std::uint8_t* Row(std::uint32_t y) const { return pixels.data() + (info.height - 1 - y) * Stride(); }
};

// Throws NoMemory for a picture beyond kMaxSide or kMaxBitmapBytes, Corrupt for a zero side.
inline void CheckSize(std::uint32_t width, std::uint32_t height, int bits) {
    if (width == 0 || height == 0)
        throw DecodeError{Status::Corrupt};
    if (width > kMaxSide || height > kMaxSide ||
        static_cast<std::uint64_t>(DecodedImage::StrideOf(width, bits)) * height > kMaxBitmapBytes)
        throw DecodeError{Status::NoMemory};
}

// A picture of info's size with its pixel block allocated (zeroed); checks the size first.
inline DecodedImage MakeImage(const ImageInfo& info) {
    CheckSize(info.width, info.height, info.bitsPerPixel);
    DecodedImage image;
    image.info = info;
    image.pixels.assign(image.Stride() * info.height, 0);
    return image;
}

// A picture's rows, top-down until the end, grown as the decoding reaches them: a damaged file whose header
// promises a huge picture fails before memory for rows it never drew is taken.
class Canvas {
public:
    // rows: those known to be drawn, taken at once.
    explicit Canvas(const ImageInfo& info, std::uint32_t rows = 0)
        : height_(info.height), stride_(DecodedImage::StrideOf(info.width, info.bitsPerPixel)) {
        if (rows > 0)
            Row(rows - 1);
    }
    std::uint8_t* Row(std::uint32_t y) {
        if (y >= rows_) {
            rows_ = std::min(height_, std::max({y + 1, 2 * rows_, 64u}));
            pixels_.resize(stride_ * rows_);
        }
        return pixels_.data() + stride_ * y;
    }
    // How many rows are held.
    std::uint32_t Rows() const noexcept { return rows_; }
    // The rows bottom-up, as DecodedImage holds them.
    std::vector<std::uint8_t> Finish() {
        Row(height_ - 1);
        for (std::uint32_t top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(Row(top), Row(top) + stride_, Row(bottom));
        return std::move(pixels_);
    }

private:
    const std::uint32_t height_;
    const std::size_t stride_;
    std::uint32_t rows_ = 0;
    std::vector<std::uint8_t> pixels_;
};

// One format: the signature test on a file's first bytes, the header read and the whole decode. The data is the
// file from the picture's first byte; every function throws DecodeError, or std::bad_alloc when memory runs out.
struct Codec {
    const char* description; // GetPluginInfo 1
    const char* patterns;    // GetPluginInfo 2, "*.mag"
    const char* name;        // GetPluginInfo 3
    bool (*isSupported)(const std::uint8_t* head, std::size_t size);
    ImageInfo (*readInfo)(const std::uint8_t* data, std::size_t size);
    DecodedImage (*decode)(const std::uint8_t* data, std::size_t size);
};

} // namespace kelvad::formats
