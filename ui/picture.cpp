#include "ui/picture.h"

#include <cstring>
#include <optional>
#include <vector>

#include "base/dib_check.h"
#include "base/little_endian.h"
#include "base/codepage.h"
#include "base/metafile_walk.h"
#include "base/picture_headers.h"

namespace ui {

using kelvad::BmpLayout;
using kelvad::CheckBmpFile;
using kelvad::CheckEmf;
using kelvad::CheckWmf;
using kelvad::DibFormat;
using kelvad::kMaxMetafileCoordinate;
using kelvad::PlainDibInfo;

std::vector<unsigned char> ReadWholeFile(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        ThrowLastError(path);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        ThrowLastError(path);
    // Pictures beyond 1 GiB are not read into memory.
    if (size.QuadPart > kMaxPictureFileSize)
        throw InvalidPicture(path);
    std::vector<unsigned char> data(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < data.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), data.data() + done, static_cast<DWORD>(data.size() - done), &got, nullptr))
            ThrowLastError(path);
        if (got == 0)
            break;
        done += got;
    }
    data.resize(done);
    return data;
}

namespace {


bool WithinCoordinates(const RECTL& r) {
    for (const LONG v : {r.left, r.top, r.right, r.bottom})
        if (v < -kMaxMetafileCoordinate || v > kMaxMetafileCoordinate)
            return false;
    return true;
}

// Frame units (0.01 mm) to display pixels, rounded half away from zero, in 64 bits.
LONG FrameToPixels(LONG from, LONG to, int dpi) {
    const long long scaled = (static_cast<long long>(to) - from) * dpi;
    return static_cast<LONG>((scaled + (scaled < 0 ? -1270 : 1270)) / 2540);
}

// The nominal size of an enhanced metafile in display pixels, from its frame.
SIZE MetafilePixels(const ENHMETAHEADER& header) {
    WindowDc screen(nullptr);
    return {FrameToPixels(header.rclFrame.left, header.rclFrame.right, GetDeviceCaps(screen.get(), LOGPIXELSX)),
            FrameToPixels(header.rclFrame.top, header.rclFrame.bottom, GetDeviceCaps(screen.get(), LOGPIXELSY))};
}

// A .BMP file as a DIB section of its own depth.
GdiObject BitmapFromBmp(const std::vector<unsigned char>& data, const InvalidPicture& invalid) {
    const std::optional<BmpLayout> bmp = CheckBmpFile(data.data(), data.size());
    if (!bmp)
        throw invalid;
    const DibFormat& format = bmp->layout;
    // The file's header and colour table as a 40-byte header and four-byte colours, of exactly the length GDI
    // reads; the file's own header may be of any size, or the 12-byte one with three-byte colours.
    const std::vector<std::uint8_t> sourceInfo = PlainDibInfo(format, data.data() + kelvad::kBmpFileHeaderSize);
    // A bottom-up section of the same depth; SetDIBits reads top-down, compressed and bit-field rows alike.
    std::vector<std::uint8_t> sectionInfo(sourceInfo);
    auto* target = reinterpret_cast<BITMAPINFO*>(sectionInfo.data());
    target->bmiHeader.biHeight = static_cast<LONG>(format.Lines());
    if (format.Compressed()) {
        target->bmiHeader.biCompression = BI_RGB;
        target->bmiHeader.biSizeImage = 0;
    }
    void* bits = nullptr;
    GdiObject section(CreateDIBSection(nullptr, target, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section)
        throw invalid;
    WindowDc screen(nullptr);
    const int lines = static_cast<int>(format.Lines());
    if (SetDIBits(screen.get(), static_cast<HBITMAP>(section.get()), 0, lines, data.data() + bmp->pixelsAt,
                  reinterpret_cast<const BITMAPINFO*>(sourceInfo.data()), DIB_RGB_COLORS) != lines)
        throw invalid;
    // Alpha in the fourth byte of blue, green and red pixels: transparent is the paper.
    const bool bgr = format.compression == kelvad::kDibRgb ||
                     (format.masks[0] == 0xFF0000 && format.masks[1] == 0xFF00 && format.masks[2] == 0xFF &&
                      format.headerSize >= 56 &&
                      kelvad::Le32(data.data() + kelvad::kBmpFileHeaderSize + 52) == 0xFF000000u);
    if (format.bitCount == 32 && bgr)
        kelvad::LayOnWhite(static_cast<std::uint8_t*>(bits), format.Lines() * format.width);
    return section;
}

// An .EMF file as the player takes it; the player trusts every record, so each one is checked first.
HENHMETAFILE MetafileFromEmf(std::vector<unsigned char>& data) {
    kelvad::MendEmfHeader(data.data(), data.size());
    if (CheckEmf(data.data(), data.size()))
        return nullptr;
    return SetEnhMetaFileBits(static_cast<UINT>(data.size()), data.data());
}

// A .WMF file, with or without a placeable header, converted to an enhanced metafile.
HENHMETAFILE MetafileFromWmf(std::vector<unsigned char>& data) {
    const std::optional<kelvad::WmfStart> start = kelvad::ReadWmfStart(data.data(), data.size());
    // Converting to an enhanced metafile plays the records already.
    if (!start || CheckWmf(data.data() + start->headerAt, data.size() - start->headerAt, start->headerAt))
        return nullptr;
    const METAFILEPICT picture{MM_ANISOTROPIC, start->xExt, start->yExt, nullptr};
    // The total as the platform's reader takes it: the buffer's length (a total that counts the placeable
    // header too is corrected in this copy).
    const std::size_t length = data.size() - start->headerAt;
    kelvad::PutLe32(data.data() + start->headerAt + 6, static_cast<std::uint32_t>(length / 2));
    WindowDc screen(nullptr);
    return SetWinMetaFileBits(static_cast<UINT>(length), data.data() + start->headerAt, screen.get(),
                              start->sized ? &picture : nullptr);
}

} // namespace

std::vector<unsigned char> PngIconImage(const std::vector<unsigned char>& file) {
    const std::optional<kelvad::IconImage> image = kelvad::FirstIconImage(file.data(), file.size());
    if (!image || std::memcmp(file.data() + image->offset, "\x89PNG\r\n\x1A\n", 8) != 0)
        return {};
    return {file.begin() + image->offset, file.begin() + image->offset + image->bytes};
}

void Picture::Clear() noexcept {
    kind_ = Kind::Empty;
    width_ = height_ = 0;
    bitmap_.reset();
    palette_.reset();
    icon_.reset();
    metafile_.reset();
}

void Picture::AssignBitmap(GdiObject bitmap, GdiObject palette) {
    Clear();
    BITMAP info{};
    GetObjectW(bitmap.get(), sizeof info, &info);
    bitmap_ = std::move(bitmap);
    palette_ = std::move(palette);
    kind_ = Kind::Bitmap;
    width_ = info.bmWidth;
    height_ = info.bmHeight;
}

void Picture::LoadFromFile(const std::wstring& path, const std::string& upperExtension) {
    Clear();
    std::vector<unsigned char> data = ReadWholeFile(path);
    const InvalidPicture invalid(path);
    if (upperExtension == ".BMP")
        return AssignBitmap(BitmapFromBmp(data, invalid), GdiObject());
    if (upperExtension == ".ICO")
        return ReadIcon(data, invalid);
    if (upperExtension != ".EMF" && upperExtension != ".WMF")
        throw invalid;
    HENHMETAFILE metafile = upperExtension == ".EMF" ? MetafileFromEmf(data) : MetafileFromWmf(data);
    if (!metafile)
        throw invalid;
    metafile_.reset(metafile);
    // A frame near the ends of 32 bits (given, or made by the conversion) cannot be printed.
    ENHMETAHEADER header{};
    if (!GetEnhMetaFileHeader(metafile, sizeof header, &header) || !WithinCoordinates(header.rclFrame) ||
        !WithinCoordinates(header.rclBounds)) {
        metafile_.reset();
        throw invalid;
    }
    kind_ = Kind::Metafile;
    const SIZE pixels = MetafilePixels(header);
    width_ = pixels.cx;
    height_ = pixels.cy;
}

void Picture::ReadIcon(const std::vector<unsigned char>& data, const InvalidPicture& invalid) {
    const std::optional<kelvad::IconImage> image = kelvad::FirstIconImage(data.data(), data.size());
    if (!image)
        throw invalid;
    std::vector<unsigned char> bytes(data.begin() + image->offset, data.begin() + image->offset + image->bytes);
    HICON icon = CreateIconFromResourceEx(bytes.data(), static_cast<DWORD>(bytes.size()), TRUE, 0x00030000,
                                          image->width, image->height, LR_DEFAULTCOLOR);
    if (!icon)
        throw invalid;
    icon_.reset(icon);
    kind_ = Kind::Icon;
    width_ = image->width;
    height_ = image->height;
}

void PictureControl::SetAutoSize(bool value) noexcept {
    autoSize_ = value;
    PictureChanged();
}

void PictureControl::SetSize(int width, int height) noexcept {
    width_ = width;
    height_ = height;
}

void PictureControl::PictureChanged() noexcept {
    if (autoSize_ && !picture_.Empty())
        SetSize(picture_.Width(), picture_.Height());
}

} // namespace ui
