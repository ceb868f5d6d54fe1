#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "image/all_win.h"
#include "image/image_page.h"
#include "output/output_checks.h"
#include "output/output_options.h"
#include "output/print_run.h"
#include "output/printer.h"
#include "output/progress_sink.h"

namespace kelvad {

// Raised when the device-independent copy of a picture does not fit in memory.
class PictureMemoryError : public std::runtime_error {
public:
    PictureMemoryError() : std::runtime_error("picture memory") {}
};

// Raised when neither GDI nor GDI+ can draw a metafile that holds EMF+ records, or when its drawing lies so far
// beyond its frame that the page could not be rendered.
class UnplayableMetafile : public std::runtime_error {
public:
    UnplayableMetafile() : std::runtime_error("unplayable metafile") {}
};

// True when the device stretches device-independent bitmaps (RASTERCAPS has RC_STRETCHDIB).
bool CanStretchDib(HDC dc);

// Draws the bitmap on the printer page through a device-independent copy in the bitmap's own colours (its
// palette when it has one): stretched into the rectangle, or at natural size at its corner on a device that
// cannot stretch. Answers whether the device took the drawing; throws PictureMemoryError when the copy does not
// fit in memory.
bool DrawDibToPrinter(HDC printer, int left, int top, int width, int height, HBITMAP bitmap, HPALETTE palette);

// Mirrors the bitmap left to right in place: column c goes to column width − 1 − c, rows keep their order.
void MirrorBitmap(HBITMAP bitmap, int width, int height);

// Draws the loaded picture into the rectangle of the printer page as the options say (mirrored, the bitmap
// through its device-independent copy, the icon on white, a metafile clipped to the rectangle, and played into
// bitmaps at the printer's resolution where it holds what the printer's own path loses). Answers whether the
// device took the drawing; throws PictureMemoryError when a copy does not fit in memory, UnplayableMetafile when
// GDI+ cannot play a metafile's EMF+ records.
bool DrawPicture(HDC printer, ui::Picture& picture, const PageRect& rect, const OutputOptions& options);
using PictureDrawer = std::function<bool(HDC, ui::Picture&, const PageRect&, const OutputOptions&)>;

// What PrintImageFile needs besides the file: the loader, the options, the printer's unprintable margins, and
// the file system, progress window and message box of the run; and what draws the page (DrawPicture when empty).
struct ImagePageContext {
    TAll& loader;
    const OutputOptions& options;
    PrinterMargins minimum;
    FileSystem& fs;
    ProgressSink& progress;
    MessageSink& messages;
    PictureDrawer draw = {};
};

// Checks, loads and draws one image file on the current page of the printer's open document, driving the
// progress window. Output when the page was drawn; a file that fails its checks or cannot be loaded leaves the
// page empty, and so does one whose drawing the device refuses (a stop box "<path> を出力できません" says so).
// An error opening or reading a BMP, ICO, WMF or EMF file propagates.
FileOutcome PrintImageFile(const std::wstring& name, ImagePageContext& page);

// The printer object's document as the image run sees it, titled "Kelvad Graphic File".
class PrinterDocument : public PrintDocument {
public:
    bool Begin() override;
    bool NewPage() override;
    bool End() override;
    void Abort() override;
    std::wstring PrinterName() override;
};

} // namespace kelvad
