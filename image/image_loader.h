#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "plugins/interface/plugin_results.h"

namespace kelvad {

// Loader kinds: 0 the toolkit's readers, 1 JPEG, 2 GIF, 3 TIFF, 4 PIC, 5 PIC2, 6 MAG, 7 XLD4, 8 PI, 9 PNG.
constexpr int kNativeKind = 0;
constexpr int kJpegKind = 1;
constexpr int kPicKind = 4;
constexpr int kPic2Kind = 5;

// Values of TAll's Error besides the plug-in result codes.
constexpr int kErrorNone = 0;
constexpr int kErrorOther = 1;
constexpr int kErrorInvalidPicture = 2;
constexpr int kErrorUnsupportedExtension = 10;
constexpr int kErrorLibraryNotFound = 20;
// The plug-ins take the file name in a buffer of this many bytes, terminator included.
constexpr std::size_t kNameBufferSize = 256;

struct LoaderRow {
    const char* extension; // upper-cased, with its dot
    int kind;
    const char* library; // null for the toolkit's readers
    const char* typeName;
};

// The extension of a path (FileExtension) with the letters a-z upper-cased.
std::wstring PictureExtension(std::wstring_view path);
// The loader for an upper-cased extension, or nullopt when the extension is not supported.
std::optional<LoaderRow> FindLoader(std::wstring_view upperExtension);

// "IF" + type name + ".SPI not found".
std::string LibraryNotFoundText(const char* typeName);
// The text shown for a plug-in result code.
std::string PluginResultText(int code);
// The dialog text: the message and the file name (whole, UTF-16) in square brackets.
std::wstring LoaderMessage(const std::string& text, const std::wstring& name);

struct PictureSize {
    int width;
    int height;
    bool operator==(const PictureSize&) const = default;
};
// The JPEG preview: each side divided by 4, rounded up.
PictureSize PreviewSize(int width, int height);
// PIC and PIC2 pixel aspect: the stretched size for the densities, or nullopt when the picture stays as
// it is (both densities 1, a density of 0, or a size that does not fit a signed 32-bit value).
std::optional<PictureSize> AspectSize(PictureSize picture, unsigned horizontalDensity, unsigned verticalDensity);
// Whether a picture of this size needs more than 1 GiB as one 24-bit bitmap: it cannot be printed sensibly (the
// plug-in's block, the screen bitmap and the page's copy each hold it), and the loader refuses it before decoding.
bool BitmapTooLarge(int width, int height);
// Number of logical palette entries: biClrUsed, else 256, 16 or 2 for 8, 4 or 1 bits, else 0.
int PaletteEntryCount(int bitCount, std::uint32_t clrUsed);

// What the loader takes from a plug-in's BITMAPINFO block.
struct DibLayout {
    int width;
    int height;
    int bitCount;
    std::uint32_t clrUsed;
    std::size_t colourTableOffset; // byte offset of the first RGBQUAD in the block
    int colourCount;               // RGBQUAD entries present in the block and used for the palette
    bool topDown;                  // rows stored from the top (the header's height is negative); height is above 0
};
// Checks a plug-in's two blocks before anything is read from them: the header fits its block (with bit fields,
// a plain 40-byte header followed by the three masks, or a header of 52 bytes or more holding them), the colour
// table fits, the width is above 0 and the height not 0 (below 0 for rows from the top), the pixel block holds every
// row the header claims, and no size overflows. nullopt means the picture is corrupt.
std::optional<DibLayout> CheckPluginDib(const unsigned char* info, std::size_t infoSize, std::size_t pixelSize);

} // namespace kelvad
