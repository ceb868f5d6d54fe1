#include "ui/picture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace ui {

namespace {

std::vector<unsigned char> ReadWholeFile(const std::string& path) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        ThrowLastError(path.c_str());
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        ThrowLastError(path.c_str());
    // Pictures beyond 1 GiB are not read into memory.
    if (size.QuadPart > (1LL << 30))
        throw InvalidPicture(path);
    std::vector<unsigned char> data(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < data.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), data.data() + done, static_cast<DWORD>(data.size() - done), &got, nullptr))
            ThrowLastError(path.c_str());
        if (got == 0)
            break;
        done += got;
    }
    data.resize(done);
    return data;
}

template <class T> bool Fits(const std::vector<unsigned char>& data, std::size_t offset) {
    return offset <= data.size() && data.size() - offset >= sizeof(T);
}

// The nominal size of an enhanced metafile in display pixels, from its frame (0.01 mm).
SIZE MetafilePixels(HENHMETAFILE metafile) {
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(metafile, sizeof header, &header);
    WindowDc screen(nullptr);
    const int dpiX = GetDeviceCaps(screen.get(), LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen.get(), LOGPIXELSY);
    const LONG w = header.rclFrame.right - header.rclFrame.left;
    const LONG h = header.rclFrame.bottom - header.rclFrame.top;
    return {MulDiv(w, dpiX, 2540), MulDiv(h, dpiY, 2540)};
}

} // namespace

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
    GetObjectA(bitmap.get(), sizeof info, &info);
    bitmap_ = std::move(bitmap);
    palette_ = std::move(palette);
    kind_ = Kind::Bitmap;
    width_ = info.bmWidth;
    height_ = info.bmHeight;
}

void Picture::LoadFromFile(const std::string& path, const std::string& upperExtension) {
    Clear();
    const std::vector<unsigned char> data = ReadWholeFile(path);
    const InvalidPicture invalid(path);

    if (upperExtension == ".BMP") {
        if (!Fits<BITMAPFILEHEADER>(data, 0) || data[0] != 'B' || data[1] != 'M')
            throw invalid;
        BITMAPFILEHEADER file;
        std::memcpy(&file, data.data(), sizeof file);
        const std::size_t infoAt = sizeof file;
        if (!Fits<BITMAPINFOHEADER>(data, infoAt) || file.bfOffBits > data.size())
            throw invalid;
        BITMAPINFOHEADER header;
        std::memcpy(&header, data.data() + infoAt, sizeof header);
        if (header.biSize < sizeof header || header.biSize > data.size() - infoAt || header.biWidth <= 0 ||
            header.biHeight == 0 || header.biHeight == LONG(0x80000000) || header.biPlanes != 1 ||
            file.bfOffBits < infoAt + header.biSize)
            throw invalid;
        // The file's own header and colour table, aligned for GDI.
        std::vector<unsigned char> fileInfo(data.begin() + infoAt, data.begin() + file.bfOffBits);
        fileInfo.resize(std::max<std::size_t>(fileInfo.size(), sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD) + 12));
        auto* source = reinterpret_cast<BITMAPINFO*>(fileInfo.data());
        const std::size_t pixelBytes = data.size() - file.bfOffBits;
        if (header.biCompression == BI_RGB || header.biCompression == BI_BITFIELDS) {
            const unsigned long long stride = ((unsigned long long)header.biWidth * header.biBitCount + 31) / 32 * 4;
            if (stride * (unsigned long long)std::abs(header.biHeight) > pixelBytes)
                throw invalid;
        }
        // A bottom-up section of the same depth; SetDIBits reads top-down, compressed and bit-field rows alike.
        std::vector<unsigned char> sectionInfo(fileInfo);
        auto* target = reinterpret_cast<BITMAPINFO*>(sectionInfo.data());
        target->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        target->bmiHeader.biHeight = std::abs(header.biHeight);
        if (header.biCompression == BI_RLE8 || header.biCompression == BI_RLE4) {
            target->bmiHeader.biCompression = BI_RGB;
            target->bmiHeader.biSizeImage = 0;
        }
        // A longer header's colour table moves up behind the plain one (its bit-field masks are in place).
        if (header.biSize > sizeof(BITMAPINFOHEADER) && header.biCompression != BI_BITFIELDS)
            std::memmove(sectionInfo.data() + sizeof(BITMAPINFOHEADER), fileInfo.data() + header.biSize,
                         fileInfo.size() - header.biSize);
        void* bits = nullptr;
        GdiObject section(CreateDIBSection(nullptr, target, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!section)
            throw invalid;
        WindowDc screen(nullptr);
        const int lines = std::abs(header.biHeight);
        if (SetDIBits(screen.get(), static_cast<HBITMAP>(section.get()), 0, lines, data.data() + file.bfOffBits, source,
                      DIB_RGB_COLORS) != lines)
            throw invalid;
        AssignBitmap(std::move(section), GdiObject());
        return;
    }

    if (upperExtension == ".ICO") {
        struct IconDir {
            WORD reserved, type, count;
        };
#pragma pack(push, 1)
        struct IconEntry {
            BYTE width, height, colours, reserved;
            WORD planes, bitCount;
            DWORD bytes, offset;
        };
#pragma pack(pop)
        IconDir dir;
        if (!Fits<IconDir>(data, 0))
            throw invalid;
        std::memcpy(&dir, data.data(), sizeof dir);
        if (dir.reserved != 0 || dir.type != 1 || dir.count == 0 || !Fits<IconEntry>(data, sizeof dir))
            throw invalid;
        IconEntry entry;
        std::memcpy(&entry, data.data() + sizeof dir, sizeof entry);
        if (entry.offset > data.size() || entry.bytes > data.size() - entry.offset || entry.bytes < 40)
            throw invalid;
        const int w = entry.width ? entry.width : 256;
        const int h = entry.height ? entry.height : 256;
        std::vector<unsigned char> image(data.begin() + entry.offset, data.begin() + entry.offset + entry.bytes);
        HICON icon = CreateIconFromResourceEx(image.data(), entry.bytes, TRUE, 0x00030000, w, h, LR_DEFAULTCOLOR);
        if (!icon)
            throw invalid;
        icon_.reset(icon);
        kind_ = Kind::Icon;
        width_ = w;
        height_ = h;
        return;
    }

    HENHMETAFILE metafile = nullptr;
    if (upperExtension == ".EMF") {
        ENHMETAHEADER header;
        if (!Fits<ENHMETAHEADER>(data, 0))
            throw invalid;
        std::memcpy(&header, data.data(), sizeof header);
        if (header.iType != EMR_HEADER || header.dSignature != ENHMETA_SIGNATURE)
            throw invalid;
        metafile = SetEnhMetaFileBits(static_cast<UINT>(data.size()), data.data());
    } else if (upperExtension == ".WMF") {
#pragma pack(push, 1)
        struct Placeable {
            DWORD key;
            WORD handle;
            SHORT left, top, right, bottom;
            WORD inch;
            DWORD reserved;
            WORD checksum;
        };
#pragma pack(pop)
        std::size_t start = 0;
        METAFILEPICT picture{MM_ANISOTROPIC, 0, 0, nullptr};
        const METAFILEPICT* size = nullptr;
        if (Fits<Placeable>(data, 0)) {
            Placeable placeable;
            std::memcpy(&placeable, data.data(), sizeof placeable);
            if (placeable.key == 0x9AC6CDD7) {
                if (placeable.inch == 0)
                    throw invalid;
                start = sizeof placeable;
                // Extents in 0.01 mm from the bounding box in metafile units per inch.
                picture.xExt = MulDiv(placeable.right - placeable.left, 2540, placeable.inch);
                picture.yExt = MulDiv(placeable.bottom - placeable.top, 2540, placeable.inch);
                size = &picture;
            }
        }
        METAHEADER header;
        if (!Fits<METAHEADER>(data, start))
            throw invalid;
        std::memcpy(&header, data.data() + start, sizeof header);
        if ((header.mtType != 1 && header.mtType != 2) || header.mtHeaderSize != sizeof(METAHEADER) / 2)
            throw invalid;
        WindowDc screen(nullptr);
        metafile = SetWinMetaFileBits(static_cast<UINT>(data.size() - start), data.data() + start, screen.get(), size);
    } else {
        throw invalid;
    }
    if (!metafile)
        throw invalid;
    metafile_.reset(metafile);
    kind_ = Kind::Metafile;
    const SIZE pixels = MetafilePixels(metafile);
    width_ = pixels.cx;
    height_ = pixels.cy;
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
