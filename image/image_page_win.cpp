#include "image/image_page_win.h"

#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include "base/codepage.h"
#include "base/message_flags.h"
#include "base/metafile_walk.h"
#include "image/image_loader.h"
#include "image/image_page.h"
#include "output/printer_win.h"
#include "ui/application.h"
#include "ui/handle.h"
#include "ui/message_box.h"

namespace kelvad {

namespace {

constexpr wchar_t kDocumentTitle[] = L"Kelvad Graphic File";

// Pixels go to the printer in bands of rows of about this many bytes.
constexpr std::size_t kBandBytes = 8u << 20;

// A BITMAPINFO with room for the largest colour table (or the three masks of bit fields).
struct DibHeader {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

// The device-independent form of a bitmap: its header and its pixel rows, either borrowed from a DIB section or
// copied out of a device-dependent bitmap.
struct Dib {
    std::unique_ptr<DibHeader> info;
    std::unique_ptr<BYTE[]> ownPixels;
    const void* pixels = nullptr;
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(info.get()); }
};

std::unique_ptr<BYTE[]> AllocatePixels(std::size_t size) {
    BYTE* memory = new (std::nothrow) BYTE[size];
    if (!memory)
        throw PictureMemoryError();
    return std::unique_ptr<BYTE[]>(memory);
}

Dib MakeDib(HBITMAP bitmap, HPALETTE palette) {
    Dib dib;
    dib.info.reset(new (std::nothrow) DibHeader{});
    if (!dib.info)
        throw PictureMemoryError();
    DIBSECTION section{};
    if (GetObjectW(bitmap, sizeof section, &section) == sizeof section && section.dsBm.bmBits) {
        // A DIB section already is device-independent: its own rows and colour table serve.
        dib.info->header = section.dsBmih;
        if (section.dsBmih.biCompression == BI_BITFIELDS) {
            std::memcpy(dib.info->colours, section.dsBitfields, sizeof section.dsBitfields);
        } else if (section.dsBmih.biBitCount <= 8) {
            ui::OwnedDc dc(CreateCompatibleDC(nullptr));
            ui::SelectGuard select(dc.get(), bitmap);
            const UINT count = GetDIBColorTable(dc.get(), 0, 256, dib.info->colours);
            dib.info->header.biClrUsed = count;
        }
        dib.pixels = section.dsBm.bmBits;
        return dib;
    }
    ui::WindowDc screen(nullptr);
    HPALETTE previous = palette ? SelectPalette(screen.get(), palette, FALSE) : nullptr;
    struct RestorePalette {
        HDC dc;
        HPALETTE previous;
        ~RestorePalette() {
            if (previous)
                SelectPalette(dc, previous, FALSE);
        }
    } restore{screen.get(), previous};
    if (palette)
        RealizePalette(screen.get());
    BITMAPINFOHEADER& header = dib.info->header;
    header.biSize = sizeof header;
    auto* info = reinterpret_cast<BITMAPINFO*>(dib.info.get());
    if (!GetDIBits(screen.get(), bitmap, 0, 0, nullptr, info, DIB_RGB_COLORS))
        return Dib{};
    header.biCompression = BI_RGB;
    const std::size_t size = DibPixelBytes(header.biWidth, header.biHeight, header.biBitCount);
    if (size == 0 || size > MAXDWORD)
        throw PictureMemoryError();
    header.biSizeImage = static_cast<DWORD>(size);
    dib.ownPixels = AllocatePixels(size);
    const int lines = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    if (GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(lines), dib.ownPixels.get(), info, DIB_RGB_COLORS) == 0)
        return Dib{};
    dib.pixels = dib.ownPixels.get();
    return dib;
}

// A white 24-bit bitmap of the given size with the icon drawn at its corner; none when the icon cannot be drawn.
ui::GdiObject IconBitmap(HICON icon, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    ui::GdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap)
        throw PictureMemoryError();
    ui::OwnedDc dc(CreateCompatibleDC(nullptr));
    ui::SelectGuard select(dc.get(), bitmap.get());
    RECT all{0, 0, width, height};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (!DrawIconEx(dc.get(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL))
        return ui::GdiObject();
    return bitmap;
}

bool DrawnBy(int result) {
    return result != 0 && result != static_cast<int>(GDI_ERROR);
}

int CALLBACK RaisePlayer(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) {
    auto& most = *reinterpret_cast<MetafilePlayer*>(data);
    most = std::max(most, PlayerFor(reinterpret_cast<const std::uint8_t*>(record), record->nSize));
    return 1;
}

// The player a metafile needs: the most any of its records asks for. Without a device context the records are
// only enumerated, not played.
MetafilePlayer PlayerOf(HENHMETAFILE metafile) {
    MetafilePlayer player = MetafilePlayer::Vectors;
    EnumEnhMetaFile(nullptr, metafile, RaisePlayer, &player, nullptr);
    return player;
}

// GDI+ for as long as one metafile is played.
class GdiPlusSession {
public:
    GdiPlusSession() {
        Gdiplus::GdiplusStartupInput input;
        started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiPlusSession() {
        if (started_)
            Gdiplus::GdiplusShutdown(token_);
    }
    GdiPlusSession(const GdiPlusSession&) = delete;
    GdiPlusSession& operator=(const GdiPlusSession&) = delete;
    bool Started() const { return started_; }

private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

// Plays the metafile into `into` (right to left: mirrored) on the device context; GDI+ plays EMF+ records as well.
bool PlayInto(HDC dc, HENHMETAFILE metafile, const RECT& into, MetafilePlayer player) {
    if (player != MetafilePlayer::GdiPlus)
        return PlayEnhMetaFile(dc, metafile, &into) != 0;
    using namespace Gdiplus::DllExports;
    Gdiplus::GpGraphics* graphics = nullptr;
    Gdiplus::GpMetafile* image = nullptr;
    bool drawn = GdipCreateFromHDC(dc, &graphics) == Gdiplus::Ok &&
                 GdipCreateMetafileFromEmf(metafile, FALSE, &image) == Gdiplus::Ok;
    if (drawn) {
        // The destination's upper-left, upper-right and lower-left corners.
        const Gdiplus::Point corners[3] = {{into.left, into.top}, {into.right, into.top}, {into.left, into.bottom}};
        GdipSetPageUnit(graphics, Gdiplus::UnitPixel);
        drawn = GdipDrawImagePointsI(graphics, image, corners, 3) == Gdiplus::Ok;
    }
    if (image)
        GdipDisposeImage(image);
    if (graphics)
        GdipDeleteGraphics(graphics);
    return drawn;
}

// Plays the metafile into white bitmaps at the printer's resolution, one band of rows at a time, and prints them
// over the rectangle: what the printer's own path would lose is then drawn as it looks.
bool DrawMetafileAsBitmap(HDC printer, HENHMETAFILE metafile, const PageRect& rect, bool mirrored,
                          MetafilePlayer player) {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    const std::size_t stride = DibPixelBytes(width, 1, 24);
    if (stride == 0 || height <= 0)
        return false;
    // Each band plays the whole metafile again: a rendering beyond the loader's largest bitmap is refused.
    if (BitmapTooLarge(width, height))
        throw PictureMemoryError();
    const int band = static_cast<int>(std::clamp<std::size_t>(kBandBytes / stride, 1, height));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, band, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    ui::GdiObject canvas(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ui::OwnedDc dc(CreateCompatibleDC(nullptr));
    if (!canvas || !dc)
        throw PictureMemoryError();
    std::optional<GdiPlusSession> gdiPlus;
    if (player == MetafilePlayer::GdiPlus && !gdiPlus.emplace().Started())
        throw UnplayableMetafile();
    for (int top = 0; top < height; top += band) {
        const int rows = std::min(band, height - top);
        {
            ui::SelectGuard select(dc.get(), canvas.get());
            RECT all{0, 0, width, band};
            FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            SetStretchBltMode(dc.get(), HALFTONE);
            const RECT into{mirrored ? width : 0, -top, mirrored ? 0 : width, height - top};
            if (!PlayInto(dc.get(), metafile, into, player)) {
                if (player == MetafilePlayer::GdiPlus)
                    throw UnplayableMetafile();
                return false;
            }
            GdiFlush();
        }
        // The band's rows are the bitmap's top rows: bottom-up, they end its pixels.
        BITMAPINFO part = info;
        part.bmiHeader.biHeight = rows;
        const auto* pixels = static_cast<const BYTE*>(bits) + stride * static_cast<std::size_t>(band - rows);
        if (!DrawnBy(StretchDIBits(printer, rect.left, rect.top + top, width, rows, 0, 0, width, rows, pixels, &part,
                                   DIB_RGB_COLORS, SRCCOPY)))
            return false;
    }
    return true;
}

// Page coordinates beyond this magnitude make output that no printer renders (paths past its fixed-point range).
constexpr long double kMaxPageCoordinate = 1 << 20;

// Whether the drawing's bounds, placed on the page as the player places the frame on the rectangle, stay within
// kMaxPageCoordinate: a drawing far beyond its frame (a window extent of 1 over coordinates of 32767) does not.
bool BoundsFitThePage(HENHMETAFILE metafile, const PageRect& rect) {
    ENHMETAHEADER h{};
    if (!GetEnhMetaFileHeader(metafile, sizeof h, &h) || h.szlMillimeters.cx <= 0 || h.szlMillimeters.cy <= 0)
        return false;
    // The frame in the reference device's pixels, as the bounds are.
    const auto place = [](long double bound, long double from, long double to, long double pixels, long double mm,
                          int pageFrom, int pageTo) {
        from = from * pixels / (mm * 100), to = to * pixels / (mm * 100);
        return to == from || std::fabs(pageFrom + (bound - from) * (pageTo - pageFrom) / (to - from)) <=
                                 kMaxPageCoordinate;
    };
    const RECTL& b = h.rclBounds;
    const RECTL& f = h.rclFrame;
    for (const LONG x : {b.left, b.right})
        if (!place(x, f.left, f.right, h.szlDevice.cx, h.szlMillimeters.cx, rect.left, rect.right))
            return false;
    for (const LONG y : {b.top, b.bottom})
        if (!place(y, f.top, f.bottom, h.szlDevice.cy, h.szlMillimeters.cy, rect.top, rect.bottom))
            return false;
    return true;
}

// Draws a metafile inside its rectangle: plain vectors on the printer's own path, clipped to the rectangle, as
// the player draws whatever lies outside the frame too; the others through a bitmap. A drawing far beyond its
// frame is refused.
bool DrawMetafile(HDC printer, HENHMETAFILE metafile, const PageRect& rect, bool mirrored) {
    if (!BoundsFitThePage(metafile, rect))
        throw UnplayableMetafile();
    const MetafilePlayer player = PlayerOf(metafile);
    if (player != MetafilePlayer::Vectors)
        return DrawMetafileAsBitmap(printer, metafile, rect, mirrored, player);
    // A rectangle given right to left plays the picture mirrored.
    const RECT into{mirrored ? rect.right : rect.left, rect.top, mirrored ? rect.left : rect.right, rect.bottom};
    const int saved = SaveDC(printer);
    if (saved == 0)
        return false;
    const bool drawn = IntersectClipRect(printer, rect.left, rect.top, rect.right, rect.bottom) != ERROR &&
                       PlayEnhMetaFile(printer, metafile, &into) != 0;
    RestoreDC(printer, saved);
    return drawn;
}

} // namespace

bool CanStretchDib(HDC dc) {
    return (GetDeviceCaps(dc, RASTERCAPS) & RC_STRETCHDIB) != 0;
}

bool DrawDibToPrinter(HDC printer, int left, int top, int width, int height, HBITMAP bitmap, HPALETTE palette) {
    const Dib dib = MakeDib(bitmap, palette);
    if (!dib.pixels)
        return false;
    const BITMAPINFOHEADER& header = dib.info->header;
    const int rows = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    const std::size_t stride = DibPixelBytes(header.biWidth, 1, header.biBitCount);
    const bool stretch = CanStretchDib(printer);
    // In bands of rows, so that the device's own copies of the pixels stay the size of a band. Each band of source
    // rows goes to the destination rows that the whole picture would give it.
    const int band = static_cast<int>(std::clamp<std::size_t>(kBandBytes / std::max<std::size_t>(stride, 1), 1, rows));
    DibHeader part = *dib.info;
    part.header.biSizeImage = 0;
    const auto destination = [&](int row) { return top + static_cast<int>(static_cast<long long>(row) * height / rows); };
    for (int first = 0; first < rows; first += band) {
        const int count = std::min(band, rows - first);
        // Rows from the top: bottom-up rows keep them at the end of the pixels.
        const std::size_t at = header.biHeight < 0 ? first : rows - first - count;
        const auto* pixels = static_cast<const BYTE*>(dib.pixels) + stride * at;
        part.header.biHeight = header.biHeight < 0 ? -count : count;
        const auto* info = reinterpret_cast<const BITMAPINFO*>(&part);
        if (stretch) {
            const int y = destination(first), next = destination(first + count);
            if (next != y && !DrawnBy(StretchDIBits(printer, left, y, width, next - y, 0, 0, header.biWidth, count,
                                                    pixels, info, DIB_RGB_COLORS, SRCCOPY)))
                return false;
        } else if (!DrawnBy(SetDIBitsToDevice(printer, left, top + first, static_cast<DWORD>(header.biWidth),
                                              static_cast<DWORD>(count), 0, 0, 0, static_cast<UINT>(count), pixels,
                                              info, DIB_RGB_COLORS))) {
            return false;
        }
    }
    return true;
}

void MirrorBitmap(HBITMAP bitmap, int width, int height) {
    ui::OwnedDc dc(CreateCompatibleDC(nullptr));
    ui::SelectGuard select(dc.get(), bitmap);
    StretchBlt(dc.get(), 0, 0, width, height, dc.get(), width - 1, 0, -width, height, SRCCOPY);
}

bool DrawPicture(HDC printer, ui::Picture& picture, const PageRect& rect, const OutputOptions& o) {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    switch (picture.GetKind()) {
    case ui::Picture::Kind::Bitmap:
        if (o.IsReverse)
            MirrorBitmap(picture.Bitmap(), picture.Width(), picture.Height());
        return DrawDibToPrinter(printer, rect.left, rect.top, width, height, picture.Bitmap(), picture.Palette());
    case ui::Picture::Kind::Metafile:
        return DrawMetafile(printer, picture.Metafile(), rect, o.IsReverse);
    case ui::Picture::Kind::Icon: {
        ui::GdiObject canvas = IconBitmap(picture.Icon(), picture.Width(), picture.Height());
        if (!canvas)
            return false;
        auto bitmap = static_cast<HBITMAP>(canvas.get());
        if (o.IsReverse)
            MirrorBitmap(bitmap, picture.Width(), picture.Height());
        return DrawDibToPrinter(printer, rect.left, rect.top, width, height, bitmap, nullptr);
    }
    case ui::Picture::Kind::Empty:
        break;
    }
    return false;
}

FileOutcome PrintImageFile(const std::wstring& name, ImagePageContext& page) {
    if (const FileCheck check = CheckOutputFile(name, page.fs, page.messages); !check.Passed())
        return check.outcome;
    HDC printer = Printer().Handle();
    PageMetrics metrics{
        .dpiX = GetDeviceCaps(printer, LOGPIXELSX),
        .dpiY = GetDeviceCaps(printer, LOGPIXELSY),
        .printableWidth = GetDeviceCaps(printer, HORZRES),
        .printableHeight = GetDeviceCaps(printer, VERTRES),
    };
    page.progress.SetPercent(0);
    page.progress.ShowFile(name);
    page.progress.Repaint();
    page.loader.SetPictureName(name);
    page.progress.SetPercent(50);

    FileOutcome outcome = FileOutcome::Skipped;
    if (!page.loader.PictureName().empty()) {
        const OutputOptions& o = page.options;
        ui::Picture& picture = page.loader.GetPicture();
        if (o.IsMarginZero && o.IsStretch) {
            POINT sheet{};
            GetPhysicalPageSize(sheet);
            metrics.physicalWidth = static_cast<int>(sheet.x);
            metrics.physicalHeight = static_cast<int>(sheet.y);
        }
        const PageRect rect = DestinationRect(o, page.minimum, metrics, picture.Width(), picture.Height());
        bool drawn = false;
        // Reported as the loader reports a picture it has no memory for, or one it cannot read; the page stays empty.
        const auto tell = [&](int code) { page.loader.showMessage(LoaderMessage(PluginResultText(code), name)); };
        try {
            drawn = page.draw ? page.draw(printer, picture, rect, o) : DrawPicture(printer, picture, rect, o);
            // A device that refuses the drawing leaves the page empty; the user is told which file it was.
            if (!drawn && !picture.Empty())
                page.messages.ShowWideMessageBox(NamedText(name, " を出力できません"), kWideCaption, kStopIcon);
        } catch (const PictureMemoryError&) {
            tell(plugin::kNoMemory);
        } catch (const UnplayableMetafile&) {
            tell(plugin::kUnknownFormat);
        }
        if (drawn)
            outcome = FileOutcome::Output;
    }

    page.progress.SetPercent(100);
    page.progress.Repaint();
    page.progress.ProcessMessages();
    if (page.progress.Aborted())
        page.progress.ShowAborting();
    page.fs.ShowHourglass();
    return outcome;
}

bool PrinterDocument::Begin() {
    Printer().Title = kDocumentTitle;
    return Printer().BeginDoc();
}

bool PrinterDocument::NewPage() {
    return Printer().NewPage();
}

bool PrinterDocument::End() {
    return Printer().EndDoc();
}

void PrinterDocument::Abort() {
    Printer().Abort();
}

std::wstring PrinterDocument::PrinterName() {
    return Printer().CurrentDevice().deviceName;
}

} // namespace kelvad
