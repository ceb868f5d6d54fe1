#include "image/all_win.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "base/codepage.h"
#include "base/program_path_win.h"
#include "image/image_loader.h"
#include "plugins/interface/plugin_interface_win.h"
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

// The program's own folder, ending in a backslash.
std::wstring ProgramFolder() {
    const std::wstring path = ProgramPath();
    return path.substr(0, path.rfind(L'\\') + 1);
}

// A plug-in library by its full path: from the folder given, else from the system folder.
HMODULE LoadPluginLibrary(const std::wstring& folder, const char* name) {
    const std::wstring wideName(name, name + std::strlen(name)); // the table's names are ASCII
    if (!folder.empty())
        if (HMODULE library = LoadLibraryW((folder + wideName).c_str()))
            return library;
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    return LoadLibraryW((std::wstring(system, length) + L"\\" + wideName).c_str());
}

} // namespace

void RestrictLibrarySearch() {
    SetDllDirectoryW(L"");
    // Where the system has it (Windows 8, or 7 with its update), the PATH folders go too.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    if (const auto setDefault =
            EntryPoint<SetDefaultDllDirectoriesFn>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories"))
        setDefault(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
}

TAll::TAll(ui::Form* owner, std::function<void(const std::wstring& message)> showMessage)
    : ui::PictureControl(owner), showMessage(std::move(showMessage)), pluginFolder(ProgramFolder()) {
    if (!this->showMessage)
        this->showMessage = [](const std::wstring& message) {
            ui::MessageBox(message, ui::App().WideTitle(), MB_OK);
        };
    SetAutoSize(true);
}

void TAll::SetPictureName(const std::wstring& name) {
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
    showMessage(LoaderMessage(text, pictureName_));
}

void TAll::Fail(int error, const std::string& text) {
    error_ = error;
    Show(text);
    pictureName_.clear();
    GetPicture().Clear();
}

void TAll::LoadPicture() {
    error_ = kErrorNone;
    const std::optional<LoaderRow> row = FindLoader(PictureExtension(pictureName_));
    if (!row) {
        Fail(kErrorUnsupportedExtension, "サポートされない拡張子");
        preView_ = false;
        orgWidth_ = orgHeight_ = 0;
        return;
    }
    if (row->kind == kNativeKind)
        LoadNative(row->extension);
    else
        LoadThroughPlugin(row->kind, row->library, row->typeName);
    PictureChanged();
}

void TAll::LoadNative(const std::string& extension) {
    loaderKind_ = kNativeKind;
    try {
        // An icon whose image is a PNG file is read as .png files are, by the PNG plug-in.
        if (extension == ".ICO")
            if (std::vector<unsigned char> png = ui::PngIconImage(ui::ReadWholeFile(pictureName_)); !png.empty()) {
                preView_ = false;
                orgWidth_ = orgHeight_ = 0;
                LoadPngIcon(std::move(png));
                return;
            }
        GetPicture().LoadFromFile(pictureName_, extension);
    } catch (const ui::InvalidPicture&) {
        Fail(kErrorInvalidPicture, PluginResultText(plugin::kUnknownFormat));
        return;
    }
    preView_ = false;
    orgWidth_ = orgHeight_ = 0;
}

// The entry points of a plug-in library; null where the library lacks one.
struct PluginCalls {
    plugin::GetPictureInfoFn getPictureInfo;
    plugin::GetPictureFn getPreview;
    plugin::GetPictureFn getPicture;
};

namespace {

// A logical palette of the given colours.
ui::GdiObject MakePalette(const PALETTEENTRY* entries, int count) {
    std::vector<unsigned char> buffer(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(count);
    std::copy(entries, entries + count, logical->palPalEntry);
    return ui::GdiObject(CreatePalette(logical));
}

// A DIB section of width x height in the depth, masks and colour table of a checked plug-in bitmap, holding its rows
// (bottom-aligned and cut to the section where the sizes differ): the page then prints these pixels as they are,
// with no second copy. Null when the section cannot be made.
ui::GdiObject CopyRows(const DibLayout& layout, const unsigned char* info, const unsigned char* bits, int width,
                       int height) {
    // The plug-in's header, table and masks, bottom-up, of the section's size.
    std::vector<unsigned char> header(info, info + layout.colourTableOffset + 4 * layout.colourCount);
    const std::int32_t size[2] = {width, height};
    std::memcpy(header.data() + 4, size, sizeof size);
    std::memset(header.data() + 20, 0, 4); // biSizeImage
    if (layout.bitCount > 8)
        std::memset(header.data() + 32, 0, 4); // biClrUsed: no optional table behind deeper rows
    void* pixels = nullptr;
    ui::GdiObject section(
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(header.data()), DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!section)
        return section;
    const std::size_t from = (static_cast<std::size_t>(layout.width) * layout.bitCount + 31) / 32 * 4;
    const std::size_t to = (static_cast<std::size_t>(width) * layout.bitCount + 31) / 32 * 4;
    for (int line = 0; line < std::min(height, layout.height); ++line) {
        // Scan line `line` from the bottom is row height - 1 - line of rows stored from the top.
        const int row = layout.topDown ? layout.height - 1 - line : line;
        std::memcpy(static_cast<unsigned char*>(pixels) + line * to, bits + row * from, std::min(from, to));
    }
    return section;
}

} // namespace

namespace {

struct MappingTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { CloseHandle(h); }
};
struct ViewTraits {
    using Type = const void*;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type view) noexcept { UnmapViewOfFile(view); }
};

} // namespace

// What a plug-in reads the picture from: the file by its name (flag 0, the length argument being the offset to
// read from), or the file's bytes in memory (flag 1, the buffer and length being the bytes from that offset on).
// The bytes are a view of the file where the system maps it, copy-on-write so that a plug-in that writes into its
// input changes only its own copy of a page; otherwise a copy read into memory.
class PluginSource {
public:
    explicit PluginSource(const std::string& ansiName) : inMemory_(false) {
        std::memcpy(name_, ansiName.c_str(), ansiName.size() + 1);
    }
    // Throws ui::Error when the file cannot be read, ui::InvalidPicture when it is too large to be held in memory,
    // std::bad_alloc when there is no room for its copy.
    explicit PluginSource(const std::wstring& path) : inMemory_(true) {
        if (!MapFile(path)) {
            bytes_ = ui::ReadWholeFile(path);
            data_ = bytes_.data();
            size_ = bytes_.size();
        }
    }
    // Bytes already in memory (an icon's PNG image).
    explicit PluginSource(std::vector<unsigned char> bytes)
        : inMemory_(true), bytes_(std::move(bytes)), data_(bytes_.data()), size_(bytes_.size()) {}

    LPCSTR Buffer(LONG_PTR offset) const {
        if (!inMemory_)
            return name_;
        return reinterpret_cast<LPCSTR>(data_ + std::min<std::size_t>(offset, size_));
    }
    LONG_PTR Length(LONG_PTR offset) const {
        return inMemory_ ? static_cast<LONG_PTR>(size_ - std::min<std::size_t>(offset, size_)) : offset;
    }
    unsigned Flag() const { return inMemory_ ? 1 : 0; }

private:
    // Maps the whole file; false where it cannot be mapped (an empty file, no room in the address space), and the
    // copy is then tried.
    bool MapFile(const std::wstring& path) {
        // Shared for reading only: nobody changes or cuts the file while the plug-in reads the view.
        ui::FileHandle file(
            CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size{};
        if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart == 0 || size.QuadPart > ui::kMaxPictureFileSize)
            return false;
        ui::UniqueHandle<MappingTraits> mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        if (!mapping)
            return false;
        view_.reset(MapViewOfFile(mapping.get(), FILE_MAP_COPY, 0, 0, 0));
        if (!view_)
            return false;
        data_ = static_cast<const unsigned char*>(view_.get());
        size_ = static_cast<std::size_t>(size.QuadPart);
        file_ = std::move(file);
        mapping_ = std::move(mapping);
        return true;
    }

    bool inMemory_;
    char name_[kNameBufferSize] = {};
    ui::FileHandle file_;
    ui::UniqueHandle<MappingTraits> mapping_;
    ui::UniqueHandle<ViewTraits> view_;
    std::vector<unsigned char> bytes_;
    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
};

namespace {

// The information call. The text block that a successful call may hand over is freed at once: the loader shows
// no text.
int PictureInfoOf(const PluginCalls& calls, const PluginSource& source, LONG_PTR offset, plugin::PictureInfo& record) {
    record = {};
    const int result =
        calls.getPictureInfo(source.Buffer(offset), source.Length(offset), source.Flag(), &record);
    ui::GlobalMemory text(result == plugin::kOk ? record.hInfo : nullptr);
    record.hInfo = nullptr;
    return result;
}

} // namespace

void TAll::LoadThroughPlugin(int kind, const char* libraryName, const char* typeName) {
    loaderKind_ = kind;
    ui::Library library(LoadPluginLibrary(pluginFolder, libraryName));
    if (kind != kJpegKind) {
        preView_ = false;
        orgWidth_ = orgHeight_ = 0;
    }
    if (reinterpret_cast<UINT_PTR>(library.get()) <= 32) {
        Fail(kErrorLibraryNotFound, LibraryNotFoundText(typeName));
        return;
    }
    const PluginCalls calls{EntryPoint<plugin::GetPictureInfoFn>(library.get(), "GetPictureInfo"),
                            EntryPoint<plugin::GetPictureFn>(library.get(), "GetPreview"),
                            EntryPoint<plugin::GetPictureFn>(library.get(), "GetPicture")};
    // Only the calls this kind's path makes are needed: for JPEG the information call and the picture or preview
    // call, for PIC and PIC2 the picture and information calls, for the others the picture call.
    const bool hasCalls = kind == kJpegKind
                              ? calls.getPictureInfo && (preView_ ? calls.getPreview : calls.getPicture)
                              : calls.getPicture && (calls.getPictureInfo || (kind != kPicKind && kind != kPic2Kind));
    // A library without them is an error of its own; nothing is called.
    if (!hasCalls) {
        Fail(kErrorOther, PluginResultText(kErrorOther));
        return;
    }
    // The name where the ANSI code page carries it and it fits the 256-byte field; the file's bytes otherwise.
    const std::optional<std::string> ansiName = ToAnsiCodePage(pictureName_);
    std::optional<PluginSource> source;
    if (ansiName && ansiName->size() < kNameBufferSize) {
        source.emplace(*ansiName);
    } else {
        try {
            source.emplace(pictureName_);
        } catch (const ui::InvalidPicture&) {
            Fail(plugin::kNoMemory, PluginResultText(plugin::kNoMemory));
            return;
        } catch (const std::bad_alloc&) {
            // No room for this picture's bytes: this file fails, the run goes on with the next.
            Fail(plugin::kNoMemory, PluginResultText(plugin::kNoMemory));
            return;
        } catch (const ui::Error&) {
            Fail(plugin::kReadError, PluginResultText(plugin::kReadError));
            return;
        }
    }
    if (kind == kJpegKind) {
        LoadJpeg(calls, *source);
        return;
    }
    // The size first, where the plug-in tells it at offset 0: a picture too large for one bitmap is refused before
    // it is decoded. PIC and PIC2 take their densities from the same answer.
    plugin::PictureInfo record{};
    const bool known = calls.getPictureInfo && PictureInfoOf(calls, *source, 0, record) == plugin::kOk;
    if (known && BitmapTooLarge(record.width, record.height)) {
        Fail(plugin::kNoMemory, PluginResultText(plugin::kNoMemory));
        return;
    }
    if (LoadWhole(calls, *source) && known && (kind == kPicKind || kind == kPic2Kind))
        SquarePixels(record.xDensity, record.yDensity);
}

void TAll::LoadPngIcon(std::vector<unsigned char> png) {
    const LoaderRow row = *FindLoader(L".PNG");
    ui::Library library(LoadPluginLibrary(pluginFolder, row.library));
    if (reinterpret_cast<UINT_PTR>(library.get()) <= 32) {
        Fail(kErrorLibraryNotFound, LibraryNotFoundText(row.typeName));
        return;
    }
    const PluginCalls calls{nullptr, nullptr, EntryPoint<plugin::GetPictureFn>(library.get(), "GetPicture")};
    if (!calls.getPicture) {
        Fail(kErrorOther, PluginResultText(kErrorOther));
        return;
    }
    LoadWhole(calls, PluginSource(std::move(png)));
}

// JPEG: the size from the information call (at offset 0, else 128), then the picture or its preview.
void TAll::LoadJpeg(const PluginCalls& calls, const PluginSource& source) {
    plugin::PictureInfo record{};
    LONG_PTR offset = 0;
    int result = PictureInfoOf(calls, source, 0, record);
    if (result != plugin::kOk) {
        result = PictureInfoOf(calls, source, 128, record);
        if (result == plugin::kOk)
            offset = 128;
    }
    if (result != plugin::kOk) {
        Fail(result, PluginResultText(result));
        return;
    }
    orgWidth_ = record.width;
    orgHeight_ = record.height;
    if (record.width <= 0 || record.height <= 0) {
        Fail(plugin::kCorrupt, PluginResultText(plugin::kCorrupt));
        return;
    }
    if (BitmapTooLarge(record.width, record.height)) {
        Fail(plugin::kNoMemory, PluginResultText(plugin::kNoMemory));
        return;
    }
    const PictureSize size =
        preView_ ? PreviewSize(record.width, record.height) : PictureSize{record.width, record.height};
    HANDLE info = nullptr;
    HANDLE bits = nullptr;
    result = (preView_ ? calls.getPreview : calls.getPicture)(source.Buffer(offset), source.Length(offset), source.Flag(),
                                                              &info, &bits, nullptr, 0);
    if (result != plugin::kOk) {
        Fail(result, PluginResultText(result));
        return;
    }
    SetPixels(info, bits, size.width, size.height, false);
}

// Every other kind: the picture at offset 0, or at 128 when the plug-in does not know the format at 0. Returns
// false after reporting a failure.
bool TAll::LoadWhole(const PluginCalls& calls, const PluginSource& source) {
    HANDLE info = nullptr;
    HANDLE bits = nullptr;
    int result = calls.getPicture(source.Buffer(0), source.Length(0), source.Flag(), &info, &bits, nullptr, 0);
    if (result == plugin::kUnknownFormat) {
        info = bits = nullptr;
        result = calls.getPicture(source.Buffer(128), source.Length(128), source.Flag(), &info, &bits, nullptr, 0);
    }
    if (result != plugin::kOk) {
        Fail(result, PluginResultText(result));
        return false;
    }
    return SetPixels(info, bits, 0, 0, true);
}

// PIC and PIC2: squares the pixels by the densities of the information call at offset 0.
void TAll::SquarePixels(unsigned xDensity, unsigned yDensity) {
    ui::Picture& picture = GetPicture();
    const auto stretched = AspectSize({picture.Width(), picture.Height()}, xDensity, yDensity);
    if (!stretched)
        return;
    ui::WindowDc screen(nullptr);
    ui::GdiObject second(CreateCompatibleBitmap(screen.get(), stretched->width, stretched->height));
    ui::OwnedDc from(CreateCompatibleDC(screen.get()));
    ui::OwnedDc to(CreateCompatibleDC(screen.get()));
    if (!second || !from || !to) {
        Fail(plugin::kNoMemory, PluginResultText(plugin::kNoMemory));
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
    ui::GdiObject keptPalette;
    if (HPALETTE palette = picture.Palette()) {
        PALETTEENTRY entries[256];
        const UINT count = GetPaletteEntries(palette, 0, 256, entries);
        keptPalette = MakePalette(entries, static_cast<int>(count));
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
        bitmap = CopyRows(*layout, info.data(), bits.data(), width, height);
        if (!bitmap) {
            Fail(plugin::kNoMemory, PluginResultText(plugin::kNoMemory));
            return false;
        }
        ui::WindowDc screen(nullptr);
        const int displayBits = displayBitsPerPixel ? displayBitsPerPixel() : GetDeviceCaps(screen.get(), BITSPIXEL);
        if (mayBuildPalette && layout->bitCount <= 8 && displayBits == 8) {
            const int count = PaletteEntryCount(layout->bitCount, layout->clrUsed);
            std::vector<PALETTEENTRY> entries(count);
            const unsigned char* table = info.data() + layout->colourTableOffset;
            for (int i = 0; i < count; ++i) {
                const unsigned char* quad = table + 4 * i; // blue, green, red, reserved
                entries[i] = PALETTEENTRY{quad[2], quad[1], quad[0], 0};
            }
            palette = MakePalette(entries.data(), count);
        }
    }
    // The plug-in's blocks go as soon as the bitmap holds the rows, so that the two are held together only while
    // the rows are copied.
    ownedBits.reset();
    ownedInfo.reset();
    // The window that shows the picture realises its palette.
    if (palette && Owner() && Owner()->Handle()) {
        ui::WindowDc window(Owner()->Handle());
        HPALETTE before = SelectPalette(window.get(), static_cast<HPALETTE>(palette.get()), FALSE);
        RealizePalette(window.get());
        SelectPalette(window.get(), before, FALSE);
    }
    GetPicture().AssignBitmap(std::move(bitmap), std::move(palette));
    return true;
}

} // namespace kelvad
