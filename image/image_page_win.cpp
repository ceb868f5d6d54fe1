#include "image/image_page_win.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "base/codepage.h"
#include "base/message_flags.h"
#include "image/image_loader.h"
#include "image/image_page.h"
#include "output/printer_win.h"
#include "ui/application.h"
#include "ui/handle.h"
#include "ui/message_box.h"

namespace kelvad {

namespace {

constexpr char kDocumentTitle[] = "Kelvad Graphic File";

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
    if (CanStretchDib(printer))
        return DrawnBy(StretchDIBits(printer, left, top, width, height, 0, 0, header.biWidth, rows, dib.pixels,
                                     dib.Info(), DIB_RGB_COLORS, SRCCOPY));
    return DrawnBy(SetDIBitsToDevice(printer, left, top, static_cast<DWORD>(header.biWidth), static_cast<DWORD>(rows),
                                     0, 0, 0, static_cast<UINT>(rows), dib.pixels, dib.Info(), DIB_RGB_COLORS));
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
    case ui::Picture::Kind::Metafile: {
        // A rectangle given right to left plays the picture mirrored.
        RECT into{o.IsReverse ? rect.right : rect.left, rect.top, o.IsReverse ? rect.left : rect.right, rect.bottom};
        return PlayEnhMetaFile(printer, picture.Metafile(), &into) != 0;
    }
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
        try {
            drawn = page.draw ? page.draw(printer, picture, rect, o) : DrawPicture(printer, picture, rect, o);
            // A device that refuses the drawing leaves the page empty; the user is told which file it was.
            if (!drawn && !picture.Empty())
                page.messages.ShowWideMessageBox(name + ToWide(" を出力できません"), ToWide(kCaption), kStopIcon);
        } catch (const PictureMemoryError&) {
            // Reported as the loader reports a picture it has no memory for; the page stays empty.
            const std::wstring message = LoaderMessage(PluginResultText(plugin::kNoMemory), name);
            if (page.loader.showMessage)
                page.loader.showMessage(message);
            else
                ui::MessageBox(message, ToWide(ui::App().title), MB_OK);
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
