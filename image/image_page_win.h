#pragma once
#include <windows.h>

#include <string>

#include "image/all_win.h"
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

// True when the device stretches device-independent bitmaps (RASTERCAPS has RC_STRETCHDIB).
bool CanStretchDib(HDC dc);

// Draws the bitmap on the printer page through a device-independent copy in the bitmap's own colours (its
// palette when it has one): stretched into the rectangle, or at natural size at its corner on a device that
// cannot stretch. Answers whether the device took the drawing; throws PictureMemoryError when the copy does not
// fit in memory.
bool DrawDibToPrinter(HDC printer, int left, int top, int width, int height, HBITMAP bitmap, HPALETTE palette);

// Mirrors the bitmap left to right in place: column c goes to column width − 1 − c, rows keep their order.
void MirrorBitmap(HBITMAP bitmap, int width, int height);

// What PrintImageFile needs besides the file: the loader, the options, the printer's unprintable margins, and
// the file system, progress window and message box of the run.
struct ImagePageContext {
    TAll& loader;
    const OutputOptions& options;
    PrinterMargins minimum;
    FileSystem& fs;
    ProgressSink& progress;
    MessageSink& messages;
};

// Checks, loads and draws one image file on the current page of the printer's open document, driving the
// progress window. Output when the page was drawn; a file that fails its checks or cannot be loaded leaves the
// page empty. An error opening or reading a BMP, ICO, WMF or EMF file propagates.
FileOutcome PrintImageFile(const std::string& name, ImagePageContext& page);

// The printer object's document as the image run sees it, titled "Kelvad Graphic File".
class PrinterDocument : public PrintDocument {
public:
    void Begin() override;
    void NewPage() override;
    void End() override;
    void Abort() override;
};

} // namespace kelvad
