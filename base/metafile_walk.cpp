#include "base/metafile_walk.h"

#include <cmath>
#include <cstring>
#include <iterator>

#include "base/dib_check.h"
#include "base/little_endian.h"
#include "base/metafile_faults.h"

namespace kelvad {

namespace {

using namespace metafile_faults;

bool Within(std::uint64_t offset, std::uint64_t length, std::uint64_t size) {
    return offset <= size && length <= size - offset;
}

std::int32_t S32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(Le32(p));
}

// The 32-bit signed fields from offset `from` up to `to` are coordinates within range.
bool Near(const std::uint8_t* r, std::uint64_t from, std::uint64_t to) {
    for (std::uint64_t at = from; at < to; at += 4) {
        const std::int32_t v = S32(r + at);
        if (v < -kMaxMetafileCoordinate || v > kMaxMetafileCoordinate)
            return false;
    }
    return true;
}

enum : std::uint32_t {
    kEmrHeader = 1,
    kEmrEof = 14,
};

bool CreatesAt(std::uint32_t index, std::uint32_t handles) {
    return index >= 1 && index < handles;
}
// Stock objects are named with the top bit set.
bool UsesAt(std::uint32_t index, std::uint32_t handles) {
    return (index & 0x80000000u) != 0 || CreatesAt(index, handles);
}

// A bitmap a record carries: its header at offBmi (cbBmi bytes) and its bits at offBits (cbBits bytes), the four
// fields from `fields` on. Without a bitmap (offBmi 0) only where the player then draws without one.
Fault EmfDib(const std::uint8_t* r, std::uint32_t n, std::size_t fields, std::uint32_t usage, bool optional,
             const std::uint64_t* scans = nullptr, bool mono = false) {
    const std::uint32_t offBmi = Le32(r + fields), cbBmi = Le32(r + fields + 4);
    const std::uint32_t offBits = Le32(r + fields + 8), cbBits = Le32(r + fields + 12);
    if (optional && offBmi == 0)
        return nullptr;
    // DIB_RGB_COLORS, DIB_PAL_COLORS, and for a monochrome brush only, 2: no colour table.
    if (usage > 2 || (usage == 2 && !mono) || !Within(offBmi, cbBmi, n) || !Within(offBits, cbBits, n))
        return kBitmap;
    const DibColours colours = usage == 0   ? DibColours::Rgb
                               : usage == 1 ? DibColours::PaletteIndices
                                            : DibColours::None;
    const auto dib = ReadDibHeader(r + offBmi, cbBmi, colours);
    if (!dib || (colours == DibColours::None && dib->bitCount != 1))
        return kBitmap;
    const std::uint64_t lines = scans ? *scans : dib->Lines();
    if (lines > dib->Lines() || dib->PixelBytes(lines) > cbBits)
        return kBitmap;
    return nullptr;
}

// An EMRTEXT at `at`: its string and its spacing array inside the record, its reference point and clip in range.
Fault EmfText(const std::uint8_t* r, std::uint32_t n, std::uint64_t at, bool wide) {
    if (!Within(at, 40, n))
        return kOutside;
    const std::uint64_t chars = Le32(r + at + 8);
    if (!Within(Le32(r + at + 12), chars * (wide ? 2 : 1), n))
        return kOutside;
    // ETO_PDY: a vertical advance follows each horizontal one.
    const std::uint64_t dx = chars * 4 * (Le32(r + at + 16) & 0x2000 ? 2 : 1);
    if (Le32(r + at + 36) != 0 && !Within(Le32(r + at + 36), dx, n))
        return kOutside;
    if (!Near(r, at, at + 8) || !Near(r, at + 20, at + 36))
        return kFar;
    return nullptr;
}

// Region data (RGNDATA) of cb bytes at `at`: its 32-byte header and the rectangles it counts.
Fault EmfRegion(const std::uint8_t* r, std::uint32_t n, std::uint64_t at, std::uint32_t cb) {
    if (!Within(at, cb, n))
        return kOutside;
    if (cb == 0)
        return nullptr;
    if (cb < 32 || Le32(r + at) != 32 || 32 + 16 * static_cast<std::uint64_t>(Le32(r + at + 8)) > cb)
        return "region malformed";
    return nullptr;
}

// Polygons and lines: count at 24, then points of `point` bytes each.
Fault EmfPoly(const std::uint8_t* r, std::uint32_t n, unsigned point, unsigned typeBytes = 0) {
    const std::uint64_t count = Le32(r + 24);
    if (28 + count * (point + typeBytes) > n)
        return "point count beyond its record";
    if (point == 8 && !Near(r, 28, 28 + 8 * count))
        return kFar;
    return nullptr;
}

// Several polygons: their number at 24, the points' at 28, each one's count, then the points.
Fault EmfPolyPoly(const std::uint8_t* r, std::uint32_t n, unsigned point) {
    const std::uint64_t polys = Le32(r + 24), points = Le32(r + 28);
    if (32 + 4 * polys + point * points > n)
        return "point count beyond its record";
    std::uint64_t sum = 0;
    for (std::uint64_t i = 0; i < polys; ++i)
        sum += Le32(r + 32 + 4 * i);
    if (sum > points)
        return "point count beyond its record";
    const std::uint64_t first = 32 + 4 * polys;
    if (point == 8 && !Near(r, first, first + 8 * points))
        return kFar;
    return nullptr;
}

// One record as its check sees it: its bytes, its size, and the header's handle table length.
struct EmfRecord {
    const std::uint8_t* r;
    std::uint32_t n;
    std::uint32_t handles;
    std::uint32_t At(std::uint64_t at) const { return Le32(r + at); }
};
using EmfCheck = Fault (*)(const EmfRecord&);

// Coordinates from `from` up to `to`.
template <unsigned from, unsigned to> Fault Coords(const EmfRecord& e) {
    return Near(e.r, from, to) ? nullptr : kFar;
}
// Polygons and lines of `point`-byte points (and a type byte each for POLYDRAW), counted at 24.
template <unsigned point, unsigned typeBytes = 0> Fault Points(const EmfRecord& e) {
    return EmfPoly(e.r, e.n, point, typeBytes);
}
template <unsigned point> Fault PolyPoints(const EmfRecord& e) {
    return EmfPolyPoly(e.r, e.n, point);
}
// Six finite factors in range.
Fault Transform(const EmfRecord& e) {
    for (int i = 0; i < 6; ++i) {
        float f;
        std::memcpy(&f, e.r + 8 + 4 * i, 4);
        if (!std::isfinite(f) || std::fabs(f) > kMaxMetafileCoordinate)
            return kFar;
    }
    return nullptr;
}
// An object at 8 from the table, or a stock object.
Fault UsesObject(const EmfRecord& e) {
    return UsesAt(e.At(8), e.handles) ? nullptr : kObject;
}
// An object at 8 from the table only: one the record creates, or one the player looks up without the stock objects'
// top bit.
Fault TableObject(const EmfRecord& e) {
    return CreatesAt(e.At(8), e.handles) ? nullptr : kObject;
}
// Palette entries counted at 16 from 20.
Fault PaletteEntries(const EmfRecord& e) {
    if (Fault f = TableObject(e))
        return f;
    return 20 + 4 * static_cast<std::uint64_t>(e.At(16)) <= e.n ? nullptr : kOutside;
}
// A LOGPALETTE at 12.
Fault NewPalette(const EmfRecord& e) {
    if (Fault f = TableObject(e))
        return f;
    return 16 + 4 * static_cast<std::uint64_t>(Le16(e.r + 14)) <= e.n ? nullptr : kOutside;
}
// A profile's data counted at 604.
Fault NewColourSpaceW(const EmfRecord& e) {
    if (Fault f = TableObject(e))
        return f;
    return Within(608, e.At(604), e.n) ? nullptr : kOutside;
}
// Solid, hollow or hatched only; other styles take a pointer in lbHatch.
Fault NewBrush(const EmfRecord& e) {
    if (Fault f = TableObject(e))
        return f;
    return e.At(12) <= 2 ? nullptr : "brush style";
}
template <bool mono> Fault PatternBrush(const EmfRecord& e) {
    if (Fault f = TableObject(e))
        return f;
    return EmfDib(e.r, e.n, 16, e.At(12), false, nullptr, mono);
}
// Style entries after the fixed fields; brushes of bitmaps are not played.
Fault NewExtPen(const EmfRecord& e) {
    if (Fault f = TableObject(e))
        return f;
    if (e.At(36) > 2)
        return "brush style";
    return 52 + 4 * static_cast<std::uint64_t>(e.At(48)) <= e.n ? nullptr : kOutside;
}
// Palette entries counted at 8, at the offset at 12.
Fault EofPalette(const EmfRecord& e) {
    if (e.At(8) != 0 && !Within(e.At(12), 4 * static_cast<std::uint64_t>(e.At(8)), e.n))
        return kOutside;
    return nullptr;
}
// Data from `at`, its length at `lengthAt`.
template <unsigned at, unsigned lengthAt> Fault Data(const EmfRecord& e) {
    return Within(at, e.At(lengthAt), e.n) ? nullptr : kOutside;
}
// A name and data from 20, their lengths at 12 and 16.
Fault NameAndData(const EmfRecord& e) {
    return Within(20, static_cast<std::uint64_t>(e.At(12)) + e.At(16), e.n) ? nullptr : kOutside;
}
// Region data at `at`, its length at `lengthAt`.
template <unsigned at, unsigned lengthAt> Fault Region(const EmfRecord& e) {
    return EmfRegion(e.r, e.n, at, e.At(lengthAt));
}
// A brush at 28 from the table only, then region data counted at 24.
template <unsigned at> Fault RegionWithBrush(const EmfRecord& e) {
    if (!CreatesAt(e.At(28), e.handles))
        return kObject;
    return EmfRegion(e.r, e.n, at, e.At(24));
}
// The destination at 24, then a source bitmap at 84 (optional for the raster operations that need none).
template <bool optional> Fault Blt(const EmfRecord& e) {
    if (!Near(e.r, 24, 40))
        return kFar;
    return EmfDib(e.r, e.n, 84, e.At(80), optional);
}
// Source and mask.
Fault MaskBlt(const EmfRecord& e) {
    if (!Near(e.r, 24, 40))
        return kFar;
    if (Fault f = EmfDib(e.r, e.n, 84, e.At(80), false))
        return f;
    return EmfDib(e.r, e.n, 112, e.At(108), true);
}
// Three corners, source and mask.
Fault PlgBlt(const EmfRecord& e) {
    if (!Near(e.r, 24, 48))
        return kFar;
    if (Fault f = EmfDib(e.r, e.n, 96, e.At(92), false))
        return f;
    return EmfDib(e.r, e.n, 124, e.At(120), true);
}
// Only cScans rows are held.
Fault DibitsToDevice(const EmfRecord& e) {
    if (!Near(e.r, 24, 32))
        return kFar;
    const std::uint64_t scans = e.At(72);
    return EmfDib(e.r, e.n, 48, e.At(64), false, &scans);
}
Fault StretchDibits(const EmfRecord& e) {
    if (!Near(e.r, 24, 32) || !Near(e.r, 72, 80))
        return kFar;
    return EmfDib(e.r, e.n, 48, e.At(64), false);
}
template <bool wide> Fault Text(const EmfRecord& e) {
    return EmfText(e.r, e.n, 36, wide);
}
// Strings counted at 36, each an EMRTEXT.
template <bool wide> Fault PolyText(const EmfRecord& e) {
    const std::uint64_t strings = e.At(36);
    if (40 + 40 * strings > e.n)
        return kOutside;
    for (std::uint64_t i = 0; i < strings; ++i)
        if (Fault f = EmfText(e.r, e.n, 40 + 40 * i, wide))
            return f;
    return nullptr;
}
// A clip rectangle unless ETO_NO_RECT, then bytes or 16-bit characters.
Fault SmallText(const EmfRecord& e) {
    const std::uint32_t options = e.At(20);
    const std::uint64_t chars = e.At(16) * static_cast<std::uint64_t>(options & 0x200 ? 1 : 2);
    if (!Near(e.r, 8, 16))
        return kFar;
    return Within(36 + (options & 0x100 ? 0 : 16), chars, e.n) ? nullptr : kOutside;
}
// Vertices, then rectangles or triangles that index them.
Fault Gradient(const EmfRecord& e) {
    const std::uint64_t vertices = e.At(24), shapes = e.At(28);
    const std::uint32_t mode = e.At(32);
    if (mode > 2)
        return "gradient mode";
    const unsigned corners = mode == 2 ? 3 : 2;
    if (36 + 16 * vertices + 4 * corners * shapes > e.n)
        return kOutside;
    for (std::uint64_t v = 0; v < vertices; ++v)
        if (!Near(e.r, 36 + 16 * v, 36 + 16 * v + 8))
            return kFar;
    const std::uint8_t* index = e.r + 36 + 16 * vertices;
    for (std::uint64_t i = 0; i < corners * shapes; ++i)
        if (Le32(index + 4 * i) >= vertices)
            return "gradient vertex index";
    return nullptr;
}

// What each record type (its index) must hold: the least size of its fixed fields, whether bounds in device units
// lie at 8, and the check of its own coordinates, objects, counts and offsets. Types beyond the table are passed.
struct EmfRule {
    const char* name;
    std::uint16_t minimum;
    bool bounds;
    EmfCheck check;
};
constexpr EmfRule kEmfRules[] = {
    {"", 8, false, nullptr},
    {"HEADER", 88, false, nullptr},
    {"POLYBEZIER", 28, true, Points<8>},
    {"POLYGON", 28, true, Points<8>},
    {"POLYLINE", 28, true, Points<8>},
    {"POLYBEZIERTO", 28, true, Points<8>},
    {"POLYLINETO", 28, true, Points<8>},
    {"POLYPOLYLINE", 32, true, PolyPoints<8>},
    {"POLYPOLYGON", 32, true, PolyPoints<8>},
    {"SETWINDOWEXTEX", 16, false, Coords<8, 16>},
    {"SETWINDOWORGEX", 16, false, Coords<8, 16>},
    {"SETVIEWPORTEXTEX", 16, false, Coords<8, 16>},
    {"SETVIEWPORTORGEX", 16, false, Coords<8, 16>},
    {"SETBRUSHORGEX", 16, false, Coords<8, 16>},
    {"EOF", 20, false, EofPalette},
    {"SETPIXELV", 20, false, Coords<8, 16>},
    {"SETMAPPERFLAGS", 12, false, nullptr},
    {"SETMAPMODE", 12, false, nullptr},
    {"SETBKMODE", 12, false, nullptr},
    {"SETPOLYFILLMODE", 12, false, nullptr},
    {"SETROP2", 12, false, nullptr},
    {"SETSTRETCHBLTMODE", 12, false, nullptr},
    {"SETTEXTALIGN", 12, false, nullptr},
    {"SETCOLORADJUSTMENT", 32, false, nullptr},
    {"SETTEXTCOLOR", 12, false, nullptr},
    {"SETBKCOLOR", 12, false, nullptr},
    {"OFFSETCLIPRGN", 16, false, Coords<8, 16>},
    {"MOVETOEX", 16, false, Coords<8, 16>},
    {"SETMETARGN", 8, false, nullptr},
    {"EXCLUDECLIPRECT", 24, false, Coords<8, 24>},
    {"INTERSECTCLIPRECT", 24, false, Coords<8, 24>},
    {"SCALEVIEWPORTEXTEX", 24, false, Coords<8, 24>},
    {"SCALEWINDOWEXTEX", 24, false, Coords<8, 24>},
    {"SAVEDC", 8, false, nullptr},
    {"RESTOREDC", 12, false, nullptr},
    {"SETWORLDTRANSFORM", 32, false, Transform},
    {"MODIFYWORLDTRANSFORM", 36, false, Transform},
    {"SELECTOBJECT", 12, false, UsesObject},
    {"CREATEPEN", 28, false, TableObject},
    {"CREATEBRUSHINDIRECT", 24, false, NewBrush},
    {"DELETEOBJECT", 12, false, TableObject},
    {"ANGLEARC", 28, false, Coords<8, 20>},
    {"ELLIPSE", 24, false, Coords<8, 24>},
    {"RECTANGLE", 24, false, Coords<8, 24>},
    {"ROUNDRECT", 32, false, Coords<8, 32>},
    {"ARC", 40, false, Coords<8, 40>},
    {"CHORD", 40, false, Coords<8, 40>},
    {"PIE", 40, false, Coords<8, 40>},
    {"SELECTPALETTE", 12, false, UsesObject},
    {"CREATEPALETTE", 16, false, NewPalette},
    {"SETPALETTEENTRIES", 20, false, PaletteEntries},
    {"RESIZEPALETTE", 16, false, TableObject},
    {"REALIZEPALETTE", 8, false, nullptr},
    {"EXTFLOODFILL", 24, false, Coords<8, 16>},
    {"LINETO", 16, false, Coords<8, 16>},
    {"ARCTO", 40, false, Coords<8, 40>},
    {"POLYDRAW", 28, true, Points<8, 1>},
    {"SETARCDIRECTION", 12, false, nullptr},
    {"SETMITERLIMIT", 12, false, nullptr},
    {"BEGINPATH", 8, false, nullptr},
    {"ENDPATH", 8, false, nullptr},
    {"CLOSEFIGURE", 8, false, nullptr},
    {"FILLPATH", 24, true, nullptr},
    {"STROKEANDFILLPATH", 24, true, nullptr},
    {"STROKEPATH", 24, true, nullptr},
    {"FLATTENPATH", 8, false, nullptr},
    {"WIDENPATH", 8, false, nullptr},
    {"SELECTCLIPPATH", 12, false, nullptr},
    {"ABORTPATH", 8, false, nullptr},
    {"", 8, false, nullptr},
    {"GDICOMMENT", 12, false, Data<12, 8>},
    {"FILLRGN", 32, true, RegionWithBrush<32>},
    {"FRAMERGN", 40, true, RegionWithBrush<40>},
    {"INVERTRGN", 28, true, Region<28, 24>},
    {"PAINTRGN", 28, true, Region<28, 24>},
    {"EXTSELECTCLIPRGN", 16, false, Region<16, 8>},
    {"BITBLT", 100, true, Blt<true>},
    {"STRETCHBLT", 108, true, Blt<true>},
    {"MASKBLT", 128, true, MaskBlt},
    {"PLGBLT", 140, true, PlgBlt},
    {"SETDIBITSTODEVICE", 76, true, DibitsToDevice},
    {"STRETCHDIBITS", 80, true, StretchDibits},
    {"EXTCREATEFONTINDIRECTW", 104, false, TableObject},
    {"EXTTEXTOUTA", 76, true, Text<false>},
    {"EXTTEXTOUTW", 76, true, Text<true>},
    {"POLYBEZIER16", 28, true, Points<4>},
    {"POLYGON16", 28, true, Points<4>},
    {"POLYLINE16", 28, true, Points<4>},
    {"POLYBEZIERTO16", 28, true, Points<4>},
    {"POLYLINETO16", 28, true, Points<4>},
    {"POLYPOLYLINE16", 32, true, PolyPoints<4>},
    {"POLYPOLYGON16", 32, true, PolyPoints<4>},
    {"POLYDRAW16", 28, true, Points<4, 1>},
    {"CREATEMONOBRUSH", 32, false, PatternBrush<true>},
    {"CREATEDIBPATTERNBRUSHPT", 32, false, PatternBrush<false>},
    {"EXTCREATEPEN", 52, false, NewExtPen},
    {"POLYTEXTOUTA", 40, true, PolyText<false>},
    {"POLYTEXTOUTW", 40, true, PolyText<true>},
    {"SETICMMODE", 12, false, nullptr},
    {"CREATECOLORSPACE", 336, false, TableObject},
    {"SETCOLORSPACE", 12, false, TableObject},
    {"DELETECOLORSPACE", 12, false, TableObject},
    {"GLSRECORD", 12, false, Data<12, 8>},
    {"GLSBOUNDEDRECORD", 28, true, Data<28, 24>},
    {"PIXELFORMAT", 48, false, nullptr},
    {"DRAWESCAPE", 16, false, Data<16, 12>},
    {"EXTESCAPE", 16, false, Data<16, 12>},
    {"", 8, false, nullptr},
    {"SMALLTEXTOUT", 36, false, SmallText},
    {"FORCEUFIMAPPING", 16, false, nullptr},
    {"NAMEDESCAPE", 20, false, NameAndData},
    {"COLORCORRECTPALETTE", 24, false, TableObject},
    {"SETICMPROFILEA", 20, false, NameAndData},
    {"SETICMPROFILEW", 20, false, NameAndData},
    {"ALPHABLEND", 108, true, Blt<false>},
    {"SETLAYOUT", 12, false, nullptr},
    {"TRANSPARENTBLT", 108, true, Blt<false>},
    {"", 8, false, nullptr},
    {"GRADIENTFILL", 36, true, Gradient},
    {"SETLINKEDUFIS", 12, false, nullptr},
    {"SETTEXTJUSTIFICATION", 16, false, nullptr},
    {"COLORMATCHTOTARGETW", 20, false, NameAndData},
    {"CREATECOLORSPACEW", 608, false, NewColourSpaceW},
};
static_assert(std::size(kEmfRules) == 123);

Fault CheckEmfRecord(const EmfRecord& e, std::uint32_t type) {
    if (type >= std::size(kEmfRules))
        return nullptr;
    const EmfRule& rule = kEmfRules[type];
    if (e.n < rule.minimum)
        return "record shorter than its fields";
    if (rule.bounds && !Near(e.r, 8, 24))
        return kFar;
    return rule.check ? rule.check(e) : nullptr;
}

} // namespace

const char* CheckEmf(const std::uint8_t* data, std::size_t size) {
    if (size < 88)
        return "shorter than its header";
    if (Le32(data) != kEmrHeader || Le32(data + 40) != 0x464D4520)
        return "not an enhanced metafile";
    const std::uint32_t headerSize = Le32(data + 4);
    if (headerSize < 88 || headerSize % 4 || headerSize > size)
        return "header size";
    if (Le32(data + 48) != size)
        return "total size differs from the file";
    const std::uint32_t handles = Le16(data + 56);
    if (handles == 0)
        return "no handle table";
    // Bounds and frame; the reference device's size in pixels and millimetres, which the player divides by.
    if (!Near(data, 8, 40) || !Near(data, 72, 88))
        return kFar;
    for (std::size_t at = 72; at < 88; at += 4)
        if (S32(data + at) <= 0)
            return kFar;
    const std::uint32_t description = Le32(data + 60), descriptionAt = Le32(data + 64);
    if (description && !Within(descriptionAt, 2 * static_cast<std::uint64_t>(description), headerSize))
        return kOutside;
    // The pixel format fields of a longer header, unless the description text lies where they would.
    if (headerSize >= 100 && (descriptionAt == 0 || descriptionAt >= 100) && Le32(data + 88) &&
        !Within(Le32(data + 92), Le32(data + 88), headerSize))
        return kOutside;

    std::size_t at = headerSize;
    for (;;) {
        if (size - at < 8)
            return "no end-of-file record";
        const std::uint32_t type = Le32(data + at), n = Le32(data + at + 4);
        if (n < 8 || n % 4 || n > size - at)
            return "record size";
        if (type == kEmrHeader)
            return "a second header";
        if (Fault f = CheckEmfRecord(EmfRecord{data + at, n, handles}, type))
            return f;
        at += n;
        if (type == kEmrEof)
            return at == size ? nullptr : "records after the end-of-file record";
    }
}

void MendEmfHeader(std::uint8_t* data, std::size_t size) {
    if (size >= 88 && Le32(data) == kEmrHeader && Le32(data + 40) == 0x464D4520 && Le16(data + 56) == 0)
        PutLe16(data + 56, 1);
}

MetafilePlayer PlayerFor(const std::uint8_t* record, std::size_t size) {
    constexpr std::uint32_t kSourceCopy = 0x00CC0020, kEmfPlus = 0x2B464D45; // "EMF+"
    if (size < 8)
        return MetafilePlayer::Vectors;
    const auto ropAt = [&](std::size_t at) {
        return size >= at + 4 && Le32(record + at) != kSourceCopy ? MetafilePlayer::Bitmap : MetafilePlayer::Vectors;
    };
    switch (Le32(record)) {
    case 70: // GDICOMMENT: EMF+ records follow the identifier
        return size >= 16 && Le32(record + 12) == kEmfPlus ? MetafilePlayer::GdiPlus : MetafilePlayer::Vectors;
    case 76:
    case 77:
    case 78: // BITBLT, STRETCHBLT, MASKBLT
        return ropAt(40);
    case 81: // STRETCHDIBITS
        return ropAt(68);
    case 79:
    case 114:
    case 116:
    case 118: // PLGBLT, ALPHABLEND, TRANSPARENTBLT, GRADIENTFILL
        return MetafilePlayer::Bitmap;
    default:
        return MetafilePlayer::Vectors;
    }
}

} // namespace kelvad
