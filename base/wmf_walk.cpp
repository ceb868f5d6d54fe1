#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "base/dib_check.h"
#include "base/little_endian.h"
#include "base/metafile_faults.h"
#include "base/metafile_walk.h"

namespace kelvad {

namespace {

using namespace metafile_faults;

// A packed bitmap at `at` to the record's end: header, colour table, then the rows the player reads.
Fault WmfDib(const std::uint8_t* r, std::uint64_t n, std::uint64_t at, unsigned usage,
             const std::uint64_t* scans = nullptr) {
    if (usage > 1 || at >= n)
        return kBitmap;
    const auto dib = ReadDibHeader(r + at, n - at, usage ? DibColours::PaletteIndices : DibColours::Rgb);
    if (!dib)
        return kBitmap;
    const std::uint64_t lines = scans ? *scans : dib->Lines();
    if (lines > dib->Lines() || dib->PixelBytes(lines) > n - at - dib->infoSize)
        return kBitmap;
    return nullptr;
}

// Rows of a device-dependent bitmap (rows padded to 16 bits) of w x h pixels at `bits` bytes each, from `at`.
Fault WmfDdb(std::uint64_t n, std::uint64_t at, std::uint64_t w, std::uint64_t h, std::uint64_t planes,
             std::uint64_t bits) {
    if (w == 0 || h == 0 || planes != 1 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return kBitmap;
    const std::uint64_t bytes = (w * bits + 15) / 16 * 2 * h;
    return at <= n && bytes <= n - at ? nullptr : kBitmap;
}

class WmfObjects {
public:
    explicit WmfObjects(std::size_t count) : used_(count, false) {}
    // The player puts each new object in the lowest free slot.
    bool Create() {
        for (std::size_t i = 0; i < used_.size(); ++i)
            if (!used_[i])
                return used_[i] = true;
        return false;
    }
    bool Valid(std::uint16_t index) const { return index < used_.size(); }
    void Delete(std::uint16_t index) {
        if (Valid(index))
            used_[index] = false;
    }

private:
    std::vector<bool> used_;
};

// One record as its check sees it: its bytes and size, and the objects made so far.
struct WmfRecord {
    const std::uint8_t* r;
    std::uint64_t n;
    WmfObjects& objects;
    std::uint16_t Param(int i) const { return Le16(r + 6 + 2 * i); }
};
using WmfCheck = Fault (*)(WmfRecord&);

// Objects named by the parameters `first` and `second` (the same for one).
template <int first, int second = first> Fault Objects(WmfRecord& w) {
    return w.objects.Valid(w.Param(first)) && w.objects.Valid(w.Param(second)) ? nullptr : kObject;
}
// 0 is no region.
Fault ClipRegion(WmfRecord& w) {
    return w.Param(0) == 0 || w.objects.Valid(w.Param(0)) ? nullptr : kObject;
}
Fault DeleteObject(WmfRecord& w) {
    if (!w.objects.Valid(w.Param(0)))
        return kObject;
    w.objects.Delete(w.Param(0));
    return nullptr;
}
// Palette entries counted by the second word, after two words.
Fault PaletteEntries(WmfRecord& w) {
    return 10 + 4 * static_cast<std::uint64_t>(w.Param(1)) <= w.n ? nullptr : kOutside;
}
// The player copies 32 bytes of face name.
Fault Font(WmfRecord& w) {
    return 24 + 32 <= w.n ? nullptr : kOutside;
}
// Solid, hollow or hatched; other styles take lbHatch as a pointer.
Fault Brush(WmfRecord& w) {
    return w.Param(0) <= 2 ? nullptr : "brush style";
}
// Points counted by the first word.
Fault Points(WmfRecord& w) {
    return 8 + 4 * static_cast<std::uint64_t>(w.Param(0)) <= w.n ? nullptr : "point count beyond its record";
}
// The polygons' count, each one's count of points, then the points.
Fault PolyPoints(WmfRecord& w) {
    const std::uint64_t polys = w.Param(0);
    if (8 + 2 * polys > w.n)
        return "point count beyond its record";
    std::uint64_t points = 0;
    for (std::uint64_t i = 0; i < polys; ++i) {
        if (w.Param(1 + static_cast<int>(i)) & 0x8000)
            return "point count beyond its record";
        points += w.Param(1 + static_cast<int>(i));
    }
    return 8 + 2 * polys + 4 * points <= w.n ? nullptr : "point count beyond its record";
}
// The string's length, the string padded to a word, then y and x.
Fault Text(WmfRecord& w) {
    return 8 + (w.Param(0) + 1u) / 2 * 2 + 4 <= w.n ? nullptr : kOutside;
}
// y, x, length, options, a rectangle when clipped or opaque, the string.
Fault ExtText(WmfRecord& w) {
    const std::uint64_t at = 14 + (w.Param(3) & 0x0006 ? 8 : 0);
    return at + w.Param(2) <= w.n ? nullptr : kOutside;
}
// Data counted by the second word.
Fault Escape(WmfRecord& w) {
    return 10 + static_cast<std::uint64_t>(w.Param(1)) <= w.n ? nullptr : kOutside;
}
// Bands (counted by the sixth word) of count, top, bottom, count x values, count.
Fault Region(WmfRecord& w) {
    std::uint64_t at = 28;
    for (unsigned band = 0; band < w.Param(5); ++band) {
        if (at + 2 > w.n)
            return kOutside;
        const std::uint64_t xs = Le16(w.r + at);
        if (xs % 2 || at + 2 * (xs + 4) > w.n)
            return kOutside;
        at += 2 * (xs + 4);
    }
    return nullptr;
}
// As the player reads it: a style, then a header, then bits or a DIB.
Fault PatternBrush(WmfRecord& w) {
    const std::uint16_t style = w.Param(0);
    if (style == 5)
        return WmfDib(w.r, w.n, 10, w.Param(1));
    if (style != 3)
        return nullptr;
    if (w.n < 54)
        return kBitmap;
    return WmfDdb(w.n, 54, Le32(w.r + 14), Le32(w.r + 18), Le16(w.r + 22), Le16(w.r + 24));
}
// A packed bitmap from byte `at`, its usage in the word `usage` (-1: always colours).
template <unsigned at, int usage> Fault Dib(WmfRecord& w) {
    return WmfDib(w.r, w.n, at, usage < 0 ? 0 : w.Param(usage));
}
// A device-dependent bitmap from byte `at`; its width, height, and (after one word) planes and bits from the word
// `size` on.
template <unsigned at, int size> Fault Ddb(WmfRecord& w) {
    return WmfDdb(w.n, at, w.Param(size), w.Param(size + 1), w.Param(size + 3), w.Param(size + 4));
}
// Without a bitmap in 12 words; the player takes the raster code's low word as usage.
Fault DibBitBlt(WmfRecord& w) {
    if (w.n == 24)
        return nullptr;
    return w.Param(0) == 1 ? kBitmap : WmfDib(w.r, w.n, 22, 0);
}
// Usage, scans, first scan, ..., then the bitmap holding the scans.
Fault DibToDevice(WmfRecord& w) {
    const std::uint64_t scans = w.Param(1);
    return WmfDib(w.r, w.n, 24, w.Param(0), &scans);
}

// Every record the player knows, with the parameter words it reads at least, whether it makes an object, and the
// check of its objects, counts and bitmaps; any other function is refused.
struct WmfRule {
    std::uint16_t function;
    const char* name;
    std::uint16_t words;
    bool creates;
    WmfCheck check;
};
constexpr WmfRule kWmfRules[] = {
    {0x0000, "EOF", 0, false, nullptr},
    {0x001E, "SAVEDC", 0, false, nullptr},
    {0x0035, "REALIZEPALETTE", 0, false, nullptr},
    {0x0037, "SETPALENTRIES", 2, false, PaletteEntries},
    {0x004F, "STARTPAGE", 0, false, nullptr},
    {0x0050, "ENDPAGE", 0, false, nullptr},
    {0x0052, "ABORTDOC", 0, false, nullptr},
    {0x005E, "ENDDOC", 0, false, nullptr},
    {0x00F7, "CREATEPALETTE", 2, true, PaletteEntries},
    {0x00F8, "CREATEBRUSH", 0, true, nullptr},
    {0x0102, "SETBKMODE", 1, false, nullptr},
    {0x0103, "SETMAPMODE", 1, false, nullptr},
    {0x0104, "SETROP2", 1, false, nullptr},
    {0x0105, "SETRELABS", 0, false, nullptr},
    {0x0106, "SETPOLYFILLMODE", 1, false, nullptr},
    {0x0107, "SETSTRETCHBLTMODE", 1, false, nullptr},
    {0x0108, "SETTEXTCHAREXTRA", 1, false, nullptr},
    {0x0127, "RESTOREDC", 1, false, nullptr},
    {0x012A, "INVERTREGION", 1, false, Objects<0>},
    {0x012B, "PAINTREGION", 1, false, Objects<0>},
    {0x012C, "SELECTCLIPREGION", 1, false, ClipRegion},
    {0x012D, "SELECTOBJECT", 1, false, Objects<0>},
    {0x012E, "SETTEXTALIGN", 1, false, nullptr},
    {0x0139, "RESIZEPALETTE", 1, false, nullptr},
    {0x0142, "DIBCREATEPATTERNBRUSH", 2, true, Dib<10, 1>},
    {0x0149, "SETLAYOUT", 2, false, nullptr},
    {0x01F0, "DELETEOBJECT", 1, false, DeleteObject},
    {0x01F9, "CREATEPATTERNBRUSH", 2, true, PatternBrush},
    {0x0201, "SETBKCOLOR", 2, false, nullptr},
    {0x0209, "SETTEXTCOLOR", 2, false, nullptr},
    {0x020A, "SETTEXTJUSTIFICATION", 2, false, nullptr},
    {0x020B, "SETWINDOWORG", 2, false, nullptr},
    {0x020C, "SETWINDOWEXT", 2, false, nullptr},
    {0x020D, "SETVIEWPORTORG", 2, false, nullptr},
    {0x020E, "SETVIEWPORTEXT", 2, false, nullptr},
    {0x020F, "OFFSETWINDOWORG", 2, false, nullptr},
    {0x0211, "OFFSETVIEWPORTORG", 2, false, nullptr},
    {0x0213, "LINETO", 2, false, nullptr},
    {0x0214, "MOVETO", 2, false, nullptr},
    {0x0220, "OFFSETCLIPRGN", 2, false, nullptr},
    {0x0228, "FILLREGION", 2, false, Objects<0, 1>},
    {0x0231, "SETMAPPERFLAGS", 2, false, nullptr},
    {0x0234, "SELECTPALETTE", 2, false, Objects<1>},
    {0x02FA, "CREATEPENINDIRECT", 5, true, nullptr},
    {0x02FB, "CREATEFONTINDIRECT", 9, true, Font},
    {0x02FC, "CREATEBRUSHINDIRECT", 4, true, Brush},
    {0x02FD, "CREATEBITMAPINDIRECT", 0, true, nullptr},
    {0x0324, "POLYGON", 1, false, Points},
    {0x0325, "POLYLINE", 1, false, Points},
    {0x0410, "SCALEWINDOWEXT", 4, false, nullptr},
    {0x0412, "SCALEVIEWPORTEXT", 4, false, nullptr},
    {0x0415, "EXCLUDECLIPRECT", 4, false, nullptr},
    {0x0416, "INTERSECTCLIPRECT", 4, false, nullptr},
    {0x0418, "ELLIPSE", 4, false, nullptr},
    {0x0419, "FLOODFILL", 4, false, nullptr},
    {0x041B, "RECTANGLE", 4, false, nullptr},
    {0x041F, "SETPIXEL", 4, false, nullptr},
    {0x0429, "FRAMEREGION", 4, false, Objects<2, 3>},
    {0x0436, "ANIMATEPALETTE", 2, false, PaletteEntries},
    {0x0521, "TEXTOUT", 1, false, Text},
    {0x0538, "POLYPOLYGON", 1, false, PolyPoints},
    {0x0548, "EXTFLOODFILL", 5, false, nullptr},
    {0x061C, "ROUNDRECT", 6, false, nullptr},
    {0x061D, "PATBLT", 6, false, nullptr},
    {0x0626, "ESCAPE", 2, false, Escape},
    {0x062F, "DRAWTEXT", 0, false, nullptr},
    {0x06FE, "CREATEBITMAP", 0, true, nullptr},
    {0x06FF, "CREATEREGION", 11, true, Region},
    {0x0817, "ARC", 8, false, nullptr},
    {0x081A, "PIE", 8, false, nullptr},
    {0x0830, "CHORD", 8, false, nullptr},
    {0x0922, "BITBLT", 12, false, Ddb<30, 7>},
    {0x0940, "DIBBITBLT", 9, false, DibBitBlt},
    {0x0A32, "EXTTEXTOUT", 4, false, ExtText},
    {0x0B23, "STRETCHBLT", 15, false, Ddb<36, 10>},
    {0x0B41, "DIBSTRETCHBLT", 10, false, Dib<26, -1>},
    {0x0D33, "SETDIBTODEV", 9, false, DibToDevice},
    {0x0F43, "STRETCHDIB", 11, false, Dib<28, 2>},
};

Fault CheckWmfRecord(const std::uint8_t* r, std::uint64_t n, std::uint16_t function, WmfObjects& objects) {
    const WmfRule* rule = std::find_if(std::begin(kWmfRules), std::end(kWmfRules),
                                       [&](const WmfRule& t) { return t.function == function; });
    if (rule == std::end(kWmfRules))
        return "unknown record";
    if (n < 6 + 2u * rule->words)
        return "record shorter than its fields";
    if (rule->creates && !objects.Create())
        return "more objects than the header's table holds";
    WmfRecord w{r, n, objects};
    return rule->check ? rule->check(w) : nullptr;
}

} // namespace

const char* CheckWmf(const std::uint8_t* data, std::size_t size, std::size_t placeable) {
    if (size < 18)
        return "shorter than its header";
    const std::uint16_t type = Le16(data), headerWords = Le16(data + 2);
    if ((type != 1 && type != 2) || headerWords != 9)
        return "not a Windows metafile";
    // Some writers count the placeable header in the total; the end-of-file record marks the end either way.
    const std::uint64_t total = 2 * static_cast<std::uint64_t>(Le32(data + 6));
    if (total != size && (placeable == 0 || total != size + placeable))
        return "total size differs from the file";
    WmfObjects objects(Le16(data + 10));
    std::size_t at = 18;
    for (;;) {
        if (size - at < 6)
            return "no end-of-file record";
        const std::uint64_t n = 2 * static_cast<std::uint64_t>(Le32(data + at));
        const std::uint16_t function = Le16(data + at + 4);
        if (n < 6 || n > size - at)
            return "record size";
        if (Fault f = CheckWmfRecord(data + at, n, function, objects))
            return f;
        at += static_cast<std::size_t>(n);
        if (function == 0)
            return at == size ? nullptr : "records after the end-of-file record";
    }
}

const char* CheckWmf(const std::uint8_t* data, std::size_t size) {
    return CheckWmf(data, size, 0);
}

} // namespace kelvad
