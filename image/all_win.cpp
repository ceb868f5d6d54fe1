#include "image/all_win.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "image/image_loader.h"
#include "image/plugin_interface_win.h"
#include "ui/application.h"
#include "ui/form.h"
#include "ui/message_box.h"

namespace kelvad {

namespace {

template <class Fn> Fn EntryPoint(HMODULE library, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// A locked movable block, unlocked on scope exit.
class Locked {
public:
    explicit Locked(HGLOBAL block) noexcept
        : block_(block), data_(static_cast<unsigned char*>(block ? GlobalLock(block) : nullptr)),
          size_(data_ ? GlobalSize(block) : 0) {}
    ~Locked() {
        if (data_)
            GlobalUnlock(block_);
    }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    const unsigned char* data() const noexcept { return data_; }
    std::size_t size() const noexcept { return size_; }

private:
    HGLOBAL block_;
    unsigned char* data_;
    std::size_t size_;
};

} // namespace

TAll::TAll(ui::Form* owner) : ui::PictureControl(owner) {
    SetAutoSize(true);
}

void TAll::SetPictureName(const std::string& name) {
    pictureName_ = name;
    GetPicture().Clear();
    if (pictureName_.empty()) {
        error_ = kErrorNone;
        return;
    }
    LoadPicture();
}

void TAll::SetPreView(bool value) {
    preView_ = value;
    if (!pictureName_.empty()) {
        GetPicture().Clear();
        LoadPicture();
    }
}

void TAll::Show(const std::string& text) {
    const std::string message = LoaderMessage(text, pictureName_);
    if (showMessage)
        showMessage(message);
    else
        ui::MessageBox(message, ui::App().title, MB_OK);
}

void TAll::Fail(int error, const std::string& text) {
    error_ = error;
    Show(text);
    pictureName_.clear();
    GetPicture().Clear();
}

void TAll::LoadPicture() {
    error_ = kErrorNone;
    const std::string extension = PictureExtension(pictureName_);
    const std::optional<LoaderRow> row = FindLoader(extension);
    if (!row) {
        Fail(kErrorUnsupportedExtension, "サポートされない拡張子");
        preView_ = false;
        orgWidth_ = orgHeight_ = 0;
        return;
    }
    if (row->kind == kNativeKind)
        LoadNative(extension);
    else
        LoadThroughPlugin(row->kind, row->library, row->typeName);
    PictureChanged();
}

void TAll::LoadNative(const std::string& extension) {
    loaderKind_ = kNativeKind;
    try {
        GetPicture().LoadFromFile(pictureName_, extension);
    } catch (const ui::InvalidPicture&) {
        Fail(kErrorInvalidPicture, PluginResultText(2));
        return;
    }
    preView_ = false;
    orgWidth_ = orgHeight_ = 0;
}

void TAll::LoadThroughPlugin(int kind, const char* libraryName, const char* typeName) {
    loaderKind_ = kind;
    ui::Library library(LoadLibraryA(libraryName));
    if (kind != kJpegKind) {
        preView_ = false;
        orgWidth_ = orgHeight_ = 0;
    }
    if (reinterpret_cast<UINT_PTR>(library.get()) <= 32) {
        Fail(kErrorLibraryNotFound, LibraryNotFoundText(typeName));
        return;
    }

    const bool needsInfo = kind == kJpegKind || kind == kPicKind || kind == kPic2Kind;
    const auto getPictureInfo = EntryPoint<plugin::GetPictureInfoFn>(library.get(), "GetPictureInfo");
    const auto getPreview = EntryPoint<plugin::GetPictureFn>(library.get(), "GetPreview");
    const auto getPicture = EntryPoint<plugin::GetPictureFn>(library.get(), "GetPicture");
    // A library without the calls its path needs, or a name longer than the 256-byte buffer, is an error
    // of its own; nothing is called.
    if (!getPicture || (needsInfo && (!getPictureInfo || !getPreview)) || pictureName_.size() >= kNameBufferSize) {
        Fail(kErrorOther, PluginResultText(kErrorOther));
        return;
    }
    char name[kNameBufferSize] = {};
    std::memcpy(name, pictureName_.c_str(), pictureName_.size() + 1);

    HANDLE info = nullptr;
    HANDLE bits = nullptr;
    if (kind == kJpegKind) {
        plugin::PictureInfo record{};
        int result = getPictureInfo(name, 0, 0, &record);
        LONG_PTR offset = 0;
        if (result != plugin::kOk) {
            record = {};
            result = getPictureInfo(name, 128, 0, &record);
            if (result == plugin::kOk)
                offset = 128;
        }
        if (result != plugin::kOk) {
            Fail(result, PluginResultText(result));
            return;
        }
        orgWidth_ = record.width;
        orgHeight_ = record.height;
        if (record.hInfo)
            GlobalFree(record.hInfo);
        if (record.width <= 0 || record.height <= 0) {
            Fail(plugin::kCorrupt, PluginResultText(plugin::kCorrupt));
            return;
        }
        const PictureSize size =
            preView_ ? PreviewSize(record.width, record.height) : PictureSize{record.width, record.height};
        result = (preView_ ? getPreview : getPicture)(name, offset, 0, &info, &bits, nullptr, 0);
        if (result != plugin::kOk) {
            Fail(result, PluginResultText(result));
            return;
        }
        SetPixels(info, bits, size.width, size.height, false);
        return;
    }

    int result = getPicture(name, 0, 0, &info, &bits, nullptr, 0);
    if (result == plugin::kUnknownFormat) {
        info = bits = nullptr;
        result = getPicture(name, 128, 0, &info, &bits, nullptr, 0);
    }
    if (result != plugin::kOk) {
        Fail(result, PluginResultText(result));
        return;
    }
    if (!SetPixels(info, bits, 0, 0, true) || (kind != kPicKind && kind != kPic2Kind))
        return;

    // PIC and PIC2: square the pixels by the densities of the information call at offset 0.
    plugin::PictureInfo record{};
    if (getPictureInfo(name, 0, 0, &record) != plugin::kOk)
        return;
    if (record.hInfo)
        GlobalFree(record.hInfo);
    ui::Picture& picture = GetPicture();
    const auto stretched = AspectSize({picture.Width(), picture.Height()}, record.xDensity, record.yDensity);
    if (!stretched)
        return;
    ui::WindowDc screen(nullptr);
    ui::GdiObject second(CreateCompatibleBitmap(screen.get(), stretched->width, stretched->height));
    ui::OwnedDc from(CreateCompatibleDC(screen.get()));
    ui::OwnedDc to(CreateCompatibleDC(screen.get()));
    if (!second || !from || !to) {
        Fail(4, PluginResultText(4));
        return;
    }
    {
        ui::SelectGuard fromBitmap(from.get(), picture.Bitmap());
        ui::SelectGuard toBitmap(to.get(), second.get());
        SetStretchBltMode(to.get(), COLORONCOLOR);
        StretchBlt(to.get(), 0, 0, stretched->width, stretched->height, from.get(), 0, 0, picture.Width(),
                   picture.Height(), SRCCOPY);
    }
    // The second bitmap takes the first one's palette.
    HPALETTE palette = picture.Palette();
    ui::GdiObject keptPalette;
    if (palette) {
        PALETTEENTRY entries[256];
        const UINT count = GetPaletteEntries(palette, 0, 256, entries);
        std::vector<unsigned char> buffer(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
        auto* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
        logical->palVersion = 0x300;
        logical->palNumEntries = static_cast<WORD>(count);
        std::memcpy(logical->palPalEntry, entries, count * sizeof(PALETTEENTRY));
        keptPalette.reset(CreatePalette(logical));
    }
    picture.AssignBitmap(std::move(second), std::move(keptPalette));
}

// Makes the picture's bitmap from a plug-in's two blocks (freed here on every path). width and height 0 take
// the header's size. Returns false after reporting a failure.
bool TAll::SetPixels(HGLOBAL infoBlock, HGLOBAL bitsBlock, int width, int height, bool mayBuildPalette) {
    ui::GlobalMemory ownedInfo(infoBlock);
    ui::GlobalMemory ownedBits(bitsBlock);
    ui::GdiObject bitmap;
    ui::GdiObject palette;
    {
        Locked bits(bitsBlock);
        Locked info(infoBlock);
        const std::optional<DibLayout> layout = CheckPluginDib(info.data(), info.size(), bits.size());
        if (!layout || !bits.data()) {
            Fail(plugin::kCorrupt, PluginResultText(plugin::kCorrupt));
            return false;
        }
        if (width == 0) {
            width = layout->width;
            height = layout->height;
        }
        ui::WindowDc screen(nullptr);
        bitmap.reset(CreateCompatibleBitmap(screen.get(), width, height));
        ui::OwnedDc memory(CreateCompatibleDC(screen.get()));
        if (!bitmap || !memory) {
            Fail(4, PluginResultText(4));
            return false;
        }
        const int displayBits = displayBitsPerPixel ? displayBitsPerPixel() : GetDeviceCaps(screen.get(), BITSPIXEL);
        HPALETTE previous = nullptr;
        if (mayBuildPalette && layout->bitCount <= 8 && displayBits == 8) {
            const int count = PaletteEntryCount(layout->bitCount, layout->clrUsed);
            std::vector<unsigned char> buffer(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
            auto* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
            logical->palVersion = 0x300;
            logical->palNumEntries = static_cast<WORD>(count);
            const unsigned char* table = info.data() + layout->colourTableOffset;
            for (int i = 0; i < count; ++i) {
                const unsigned char* quad = table + 4 * i; // blue, green, red, reserved
                logical->palPalEntry[i] = PALETTEENTRY{quad[2], quad[1], quad[0], 0};
            }
            palette.reset(CreatePalette(logical));
            if (palette) {
                previous = SelectPalette(memory.get(), static_cast<HPALETTE>(palette.get()), FALSE);
                RealizePalette(memory.get());
            }
        }
        // In bands of scan lines from the bottom up: GDI converts each call's rows through a buffer of their
        // size, so whole pictures would need that much memory again.
        const std::size_t stride = (static_cast<std::size_t>(layout->width) * layout->bitCount + 31) / 32 * 4;
        const int band = static_cast<int>(std::max<std::size_t>(1, (1u << 20) / stride));
        int lines = 0;
        for (int first = 0; first < layout->height; first += band) {
            const int count = std::min(band, layout->height - first);
            const int set =
                SetDIBits(memory.get(), static_cast<HBITMAP>(bitmap.get()), first, count, bits.data() + first * stride,
                          reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
            lines += std::max(set, 0);
        }
        if (previous)
            SelectPalette(memory.get(), previous, FALSE);
        if (lines == 0) {
            Fail(plugin::kCorrupt, PluginResultText(plugin::kCorrupt));
            return false;
        }
        // The window that shows the picture realises its palette too.
        if (palette && Owner() && Owner()->Handle()) {
            ui::WindowDc window(Owner()->Handle());
            HPALETTE before = SelectPalette(window.get(), static_cast<HPALETTE>(palette.get()), FALSE);
            RealizePalette(window.get());
            SelectPalette(window.get(), previous ? previous : before, FALSE);
        }
    }
    GetPicture().AssignBitmap(std::move(bitmap), std::move(palette));
    return true;
}

} // namespace kelvad
