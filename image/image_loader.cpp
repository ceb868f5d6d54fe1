#include "image/image_loader.h"

#include "base/codepage.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "base/file_name.h"

namespace kelvad {

namespace {

constexpr std::array<LoaderRow, 14> kTable{{
    {".BMP", kNativeKind, nullptr, ""},
    {".ICO", kNativeKind, nullptr, ""},
    {".WMF", kNativeKind, nullptr, ""},
    {".EMF", kNativeKind, nullptr, ""},
    {".JPG", kJpegKind, "ifjpeg.spi", "JPG"},
    {".JPE", kJpegKind, "ifjpeg.spi", "JPG"},
    {".GIF", 2, "ifgif.spi", "GIF"},
    {".TIF", 3, "iftiff.spi", "TIFF"},
    {".PIC", kPicKind, "ifpic.spi", "PIC"},
    {".P2", kPic2Kind, "ifpic2.spi", "PIC2"},
    {".MAG", 6, "ifmag.spi", "MAG"},
    {".Q4", 7, "ifxld4.spi", "XLD4"},
    {".PI", 8, "ifpi.spi", "PI"},
    {".PNG", 9, "ifpng.spi", "PNG"},
}};

std::uint32_t ReadU32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::int32_t ReadI32(const unsigned char* p) {
    return static_cast<std::int32_t>(ReadU32(p));
}
unsigned ReadU16(const unsigned char* p) {
    return unsigned(p[0]) | unsigned(p[1]) << 8;
}

} // namespace

std::wstring PictureExtension(std::wstring_view path) {
    std::wstring extension(FileExtension(path));
    for (wchar_t& c : extension)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    return extension;
}

std::optional<LoaderRow> FindLoader(std::wstring_view upperExtension) {
    for (const LoaderRow& row : kTable)
        if (std::equal(upperExtension.begin(), upperExtension.end(), row.extension,
                       row.extension + std::strlen(row.extension)))
            return row;
    return std::nullopt;
}

std::string LibraryNotFoundText(const char* typeName) {
    return std::string("IF") + typeName + ".SPI not found";
}

std::string PluginResultText(int code) {
    switch (code) {
    case plugin::kUnknownFormat:
        return "未知のフォーマット";
    case plugin::kCorrupt:
        return "データが壊れている";
    case plugin::kNoMemory:
        return "メモリーが確保出来ない";
    case plugin::kMemoryError:
        return "メモリーエラー";
    case plugin::kReadError:
        return "ファイルリードエラー";
    default:
        return "その他のエラー";
    }
}

std::wstring LoaderMessage(const std::string& text, const std::wstring& name) {
    return NamedText(text + " [", name, "]");
}

PictureSize PreviewSize(int width, int height) {
    return {width / 4 + (width % 4 != 0 ? 1 : 0), height / 4 + (height % 4 != 0 ? 1 : 0)};
}

std::optional<PictureSize> AspectSize(PictureSize picture, unsigned horizontalDensity, unsigned verticalDensity) {
    if ((horizontalDensity == 1 && verticalDensity == 1) || horizontalDensity == 0 || verticalDensity == 0)
        return std::nullopt;
    std::int64_t width = picture.width;
    std::int64_t height = picture.height;
    if (horizontalDensity < verticalDensity)
        width = width * verticalDensity / horizontalDensity;
    else
        height = height * horizontalDensity / verticalDensity;
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    if (width > kMax || height > kMax || width < -kMax || height < -kMax)
        return std::nullopt;
    return PictureSize{static_cast<int>(width), static_cast<int>(height)};
}

bool BitmapTooLarge(int width, int height) {
    constexpr std::uint64_t kLimit = 1ull << 30;
    if (width <= 0 || height <= 0)
        return false;
    const std::uint64_t stride = (std::uint64_t(width) * 24 + 31) / 32 * 4;
    return stride > kLimit / std::uint64_t(height);
}

int PaletteEntryCount(int bitCount, std::uint32_t clrUsed) {
    if (clrUsed != 0)
        return static_cast<int>(clrUsed);
    switch (bitCount) {
    case 8:
        return 256;
    case 4:
        return 16;
    case 1:
        return 2;
    default:
        return 0;
    }
}

std::optional<DibLayout> CheckPluginDib(const unsigned char* info, std::size_t infoSize, std::size_t pixelSize) {
    constexpr std::size_t kHeaderSize = 40; // BITMAPINFOHEADER
    if (!info || infoSize < kHeaderSize)
        return std::nullopt;
    const std::uint32_t headerSize = ReadU32(info);
    if (headerSize < kHeaderSize || headerSize > infoSize)
        return std::nullopt;
    DibLayout layout{};
    layout.width = ReadI32(info + 4);
    layout.height = ReadI32(info + 8);
    const unsigned planes = ReadU16(info + 12);
    layout.bitCount = static_cast<int>(ReadU16(info + 14));
    const std::uint32_t compression = ReadU32(info + 16);
    layout.clrUsed = ReadU32(info + 32);
    if (layout.width <= 0 || layout.height == 0 || layout.height == std::numeric_limits<std::int32_t>::min() ||
        planes != 1)
        return std::nullopt;
    layout.topDown = layout.height < 0;
    if (layout.topDown)
        layout.height = -layout.height;
    const int bits = layout.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return std::nullopt;
    // BI_RGB, or BI_BITFIELDS with its three masks after a plain header or inside a longer one.
    constexpr std::size_t kHeaderWithMasks = 52;
    std::size_t tableOffset = headerSize;
    if (compression == 3 && (bits == 16 || bits == 32)) {
        if (headerSize == kHeaderSize)
            tableOffset += 12;
        else if (headerSize < kHeaderWithMasks)
            return std::nullopt;
    } else if (compression != 0) {
        return std::nullopt;
    }
    const std::uint32_t maxColours = bits <= 8 ? (1u << bits) : 0;
    if (bits <= 8 && layout.clrUsed > maxColours)
        return std::nullopt;
    const std::uint64_t colours = bits <= 8 ? (layout.clrUsed ? layout.clrUsed : maxColours) : 0;
    if (tableOffset > infoSize || colours > (infoSize - tableOffset) / 4)
        return std::nullopt;
    layout.colourTableOffset = tableOffset;
    layout.colourCount = static_cast<int>(colours);
    const std::uint64_t stride = (std::uint64_t(layout.width) * std::uint64_t(bits) + 31) / 32 * 4;
    if (stride > pixelSize / std::uint64_t(layout.height))
        return std::nullopt;
    return layout;
}

} // namespace kelvad
