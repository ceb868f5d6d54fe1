#pragma once
// The small headers in front of two picture formats the loader reads itself: an icon file's directory and a Windows
// metafile's placeable header. Both are read field by field from untrusted bytes.
#include <cstddef>
#include <cstdint>
#include <optional>

namespace kelvad {

// The image of an icon file's first directory entry: where it lies in the file and its size in pixels.
struct IconImage {
    int width = 0;  // 1 to 256 (the directory's 0 stands for 256)
    int height = 0;
    std::size_t offset = 0;
    std::size_t bytes = 0;
};

// The first entry of an .ICO file: a directory of type 1 with reserved 0 and at least one entry, whose image of 40
// bytes or more lies inside the file. Nothing otherwise.
std::optional<IconImage> FirstIconImage(const std::uint8_t* data, std::size_t size);

// Where a .WMF file's own header begins and the picture's size, in 0.01 mm, that a placeable header gives.
struct WmfStart {
    std::size_t headerAt = 0; // 0, or kPlaceableSize after a placeable header
    bool sized = false;       // extents come from a placeable header's bounding box
    std::int32_t xExt = 0;
    std::int32_t yExt = 0;
};
constexpr std::size_t kPlaceableSize = 22;
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;

// A file that begins with the placeable key in 22 bytes or more has a placeable header; its bounding box in metafile
// units per inch becomes the extents, rounded as MulDiv rounds. A placeable header of 0 units per inch is refused
// (nothing); a file without one starts at 0, unsized.
std::optional<WmfStart> ReadWmfStart(const std::uint8_t* data, std::size_t size);

} // namespace kelvad
