#include "base/metafile_walk.h"

#include <cmath>
#include <cstring>
#include <iterator>
#include <vector>

#include "base/dib_check.h"
#include "base/little_endian.h"

namespace kelvad {

namespace {

using Fault = const char*;

constexpr Fault kFar = "coordinate out of range";
constexpr Fault kOutside = "data outside its record";
constexpr Fault kObject = "object index outside the handle table";
constexpr Fault kBitmap = "bitmap outside its record or malformed";

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

// ---- Enhanced metafiles

enum : std::uint32_t {
    kEmrHeader = 1,
    kEmrEof = 14,
};

// The least size of each record type (0 to 122) that holds its fixed fields; 8 for types without fields.
constexpr std::uint16_t kEmrMinimum[] = {
    8,  88, 28,  28,  28,  28, 28, 32, 32, 16, 16,  16, 16,  16,  20,  20,  // 0-15
    12, 12, 12,  12,  12,  12, 12, 32, 12, 12, 16,  16, 8,   24,  24,  24,  // 16-31
    24, 8,  12,  32,  36,  12, 28, 24, 12, 28, 24,  24, 32,  40,  40,  40,  // 32-47
    12, 16, 20,  16,  8,   24, 16, 40, 28, 12, 12,  8,  8,   8,   24,  24,  // 48-63
    24, 8,  8,   12,  8,   8,  12, 32, 40, 28, 28,  16, 100, 108, 128, 140, // 64-79
    76, 80, 104, 76,  76,  28, 28, 28, 28, 28, 32,  32, 28,  32,  32,  52,  // 80-95
    40, 40, 12,  336, 12,  12, 12, 28, 48, 16, 16,  8,  36,  16,  20,  24,  // 96-111
    20, 20, 108, 12,  108, 8,  36, 12, 16, 20, 608,                         // 112-122
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

Fault CheckEmfRecord(const std::uint8_t* r, std::uint32_t n, std::uint32_t type, std::uint32_t handles) {
    // Records with bounds in device units at 8.
    switch (type) {
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 56:
    case 62:
    case 63:
    case 64:
    case 71:
    case 72:
    case 73:
    case 74:
    case 76:
    case 77:
    case 78:
    case 79:
    case 80:
    case 81:
    case 83:
    case 84:
    case 85:
    case 86:
    case 87:
    case 88:
    case 89:
    case 90:
    case 91:
    case 92:
    case 96:
    case 97:
    case 103:
    case 114:
    case 116:
    case 118:
        if (!Near(r, 8, 24))
            return kFar;
        break;
    default:
        break;
    }
    switch (type) {
    case 2:
    case 3:
    case 4:
    case 5:
    case 6: // POLYBEZIER, POLYGON, POLYLINE, POLYBEZIERTO, POLYLINETO
        return EmfPoly(r, n, 8);
    case 85:
    case 86:
    case 87:
    case 88:
    case 89: // their 16-bit forms
        return EmfPoly(r, n, 4);
    case 56: // POLYDRAW: points, then one type byte each
        return EmfPoly(r, n, 8, 1);
    case 92: // POLYDRAW16
        return EmfPoly(r, n, 4, 1);
    case 7:
    case 8: // POLYPOLYLINE, POLYPOLYGON
        return EmfPolyPoly(r, n, 8);
    case 90:
    case 91:
        return EmfPolyPoly(r, n, 4);
    case 9:
    case 10:
    case 11:
    case 12:
    case 13:
    case 15:
    case 26:
    case 27:
    case 53:
    case 54:
        // Extents and origins, SETPIXELV, OFFSETCLIPRGN, MOVETOEX, EXTFLOODFILL, LINETO: one point at 8.
        return Near(r, 8, 16) ? nullptr : kFar;
    case 29:
    case 30:
    case 31:
    case 32:
    case 42:
    case 43: // clip rectangles, extent scales, ELLIPSE, RECTANGLE
        return Near(r, 8, 24) ? nullptr : kFar;
    case 41: // ANGLEARC: centre and radius
        return Near(r, 8, 20) ? nullptr : kFar;
    case 44: // ROUNDRECT
        return Near(r, 8, 32) ? nullptr : kFar;
    case 45:
    case 46:
    case 47:
    case 55: // ARC, CHORD, PIE, ARCTO
        return Near(r, 8, 40) ? nullptr : kFar;
    case 35:
    case 36: // SETWORLDTRANSFORM, MODIFYWORLDTRANSFORM: six finite factors in range
        for (int i = 0; i < 6; ++i) {
            float f;
            std::memcpy(&f, r + 8 + 4 * i, 4);
            if (!std::isfinite(f) || std::fabs(f) > kMaxMetafileCoordinate)
                return kFar;
        }
        return nullptr;
    case 37:
    case 48: // SELECTOBJECT, SELECTPALETTE: an object at 8, or a stock object
        return UsesAt(Le32(r + 8), handles) ? nullptr : kObject;
    case 40:
    case 50:
    case 51:
    case 100:
    case 101:
    case 111:
        // DELETEOBJECT, SETPALETTEENTRIES, RESIZEPALETTE, SETCOLORSPACE, DELETECOLORSPACE, COLORCORRECTPALETTE: the
        // player looks these up in its table without the stock objects' top bit.
        if (!CreatesAt(Le32(r + 8), handles))
            return kObject;
        if (type == 50 && 20 + 4 * static_cast<std::uint64_t>(Le32(r + 16)) > n)
            return kOutside;
        return nullptr;
    case 38:
    case 82:
    case 99:
    case 122: // CREATEPEN, EXTCREATEFONTINDIRECTW, CREATECOLORSPACE(W)
        if (!CreatesAt(Le32(r + 8), handles))
            return kObject;
        if (type == 122 && !Within(608, Le32(r + 604), n))
            return kOutside;
        return nullptr;
    case 39: // CREATEBRUSHINDIRECT: solid, hollow or hatched only; other styles take a pointer in lbHatch
        if (!CreatesAt(Le32(r + 8), handles))
            return kObject;
        return Le32(r + 12) <= 2 ? nullptr : "brush style";
    case 49: // CREATEPALETTE: LOGPALETTE at 12
        if (!CreatesAt(Le32(r + 8), handles))
            return kObject;
        return 16 + 4 * static_cast<std::uint64_t>(Le16(r + 14)) <= n ? nullptr : kOutside;
    case 93:
    case 94: { // CREATEMONOBRUSH, CREATEDIBPATTERNBRUSHPT
        if (!CreatesAt(Le32(r + 8), handles))
            return kObject;
        return EmfDib(r, n, 16, Le32(r + 12), false, nullptr, type == 93);
    }
    case 95: // EXTCREATEPEN: style entries after the fixed fields; brushes of bitmaps are not played
        if (!CreatesAt(Le32(r + 8), handles))
            return kObject;
        if (Le32(r + 36) > 2)
            return "brush style";
        return 52 + 4 * static_cast<std::uint64_t>(Le32(r + 48)) <= n ? nullptr : kOutside;
    case 14: // EOF: palette entries
        if (Le32(r + 8) != 0 && !Within(Le32(r + 12), 4 * static_cast<std::uint64_t>(Le32(r + 8)), n))
            return kOutside;
        return nullptr;
    case 70:
    case 102: // GDICOMMENT, GLSRECORD
        return Within(12, Le32(r + 8), n) ? nullptr : kOutside;
    case 103: // GLSBOUNDEDRECORD
        return Within(28, Le32(r + 24), n) ? nullptr : kOutside;
    case 105:
    case 106: // DRAWESCAPE, EXTESCAPE
        return Within(16, Le32(r + 12), n) ? nullptr : kOutside;
    case 110: // NAMEDESCAPE
        return Within(20, static_cast<std::uint64_t>(Le32(r + 12)) + Le32(r + 16), n) ? nullptr : kOutside;
    case 112:
    case 113:
    case 121: // SETICMPROFILEA/W, COLORMATCHTOTARGETW
        return Within(20, static_cast<std::uint64_t>(Le32(r + 12)) + Le32(r + 16), n) ? nullptr : kOutside;
    case 75: // EXTSELECTCLIPRGN
        return EmfRegion(r, n, 16, Le32(r + 8));
    case 71:
    case 72: // FILLRGN, FRAMERGN: a brush at 28, from the table only
        if (!CreatesAt(Le32(r + 28), handles))
            return kObject;
        return EmfRegion(r, n, type == 71 ? 32 : 40, Le32(r + 24));
    case 73:
    case 74: // INVERTRGN, PAINTRGN
        return EmfRegion(r, n, 28, Le32(r + 24));
    case 76:
    case 77:
    case 114:
    case 116: // BITBLT, STRETCHBLT, ALPHABLEND, TRANSPARENTBLT
        if (!Near(r, 24, 40))
            return kFar;
        return EmfDib(r, n, 84, Le32(r + 80), type == 76 || type == 77);
    case 78: // MASKBLT: source and mask
        if (!Near(r, 24, 40))
            return kFar;
        if (Fault f = EmfDib(r, n, 84, Le32(r + 80), false))
            return f;
        return EmfDib(r, n, 112, Le32(r + 108), true);
    case 79: // PLGBLT: three corners, source and mask
        if (!Near(r, 24, 48))
            return kFar;
        if (Fault f = EmfDib(r, n, 96, Le32(r + 92), false))
            return f;
        return EmfDib(r, n, 124, Le32(r + 120), true);
    case 80: { // SETDIBITSTODEVICE: only cScans rows are held
        if (!Near(r, 24, 32))
            return kFar;
        const std::uint64_t scans = Le32(r + 72);
        return EmfDib(r, n, 48, Le32(r + 64), false, &scans);
    }
    case 81: // STRETCHDIBITS
        if (!Near(r, 24, 32) || !Near(r, 72, 80))
            return kFar;
        return EmfDib(r, n, 48, Le32(r + 64), false);
    case 83:
    case 84: // EXTTEXTOUTA, EXTTEXTOUTW
        return EmfText(r, n, 36, type == 84);
    case 96:
    case 97: { // POLYTEXTOUTA, POLYTEXTOUTW
        const std::uint64_t strings = Le32(r + 36);
        if (40 + 40 * strings > n)
            return kOutside;
        for (std::uint64_t i = 0; i < strings; ++i)
            if (Fault f = EmfText(r, n, 40 + 40 * i, type == 97))
                return f;
        return nullptr;
    }
    case 108: { // SMALLTEXTOUT: a clip rectangle unless ETO_NO_RECT, then bytes or 16-bit characters
        const std::uint32_t options = Le32(r + 20);
        const std::uint64_t chars = Le32(r + 16) * static_cast<std::uint64_t>(options & 0x200 ? 1 : 2);
        if (!Near(r, 8, 16))
            return kFar;
        return Within(36 + (options & 0x100 ? 0 : 16), chars, n) ? nullptr : kOutside;
    }
    case 118: { // GRADIENTFILL: vertices, then rectangles or triangles that index them
        const std::uint64_t vertices = Le32(r + 24), shapes = Le32(r + 28);
        const std::uint32_t mode = Le32(r + 32);
        if (mode > 2)
            return "gradient mode";
        const unsigned corners = mode == 2 ? 3 : 2;
        if (36 + 16 * vertices + 4 * corners * shapes > n)
            return kOutside;
        for (std::uint64_t v = 0; v < vertices; ++v)
            if (!Near(r, 36 + 16 * v, 36 + 16 * v + 8))
                return kFar;
        const std::uint8_t* index = r + 36 + 16 * vertices;
        for (std::uint64_t i = 0; i < corners * shapes; ++i)
            if (Le32(index + 4 * i) >= vertices)
                return "gradient vertex index";
        return nullptr;
    }
    default:
        return nullptr;
    }
}

// ---- Windows metafiles

struct WmfRecordType {
    std::uint16_t function;
    std::uint16_t words; // parameter words the player reads at least
    enum Role : std::uint8_t { Plain, Creates } role;
};

// Every record the player knows; any other function is refused.
constexpr WmfRecordType kWmfRecords[] = {
    {0x0000, 0, WmfRecordType::Plain},   {0x001E, 0, WmfRecordType::Plain},    {0x0035, 0, WmfRecordType::Plain},
    {0x0037, 2, WmfRecordType::Plain},   {0x004F, 0, WmfRecordType::Plain},    {0x0050, 0, WmfRecordType::Plain},
    {0x0052, 0, WmfRecordType::Plain},   {0x005E, 0, WmfRecordType::Plain},    {0x00F7, 2, WmfRecordType::Creates},
    {0x00F8, 0, WmfRecordType::Creates}, {0x0102, 1, WmfRecordType::Plain},    {0x0103, 1, WmfRecordType::Plain},
    {0x0104, 1, WmfRecordType::Plain},   {0x0105, 0, WmfRecordType::Plain},    {0x0106, 1, WmfRecordType::Plain},
    {0x0107, 1, WmfRecordType::Plain},   {0x0108, 1, WmfRecordType::Plain},    {0x0127, 1, WmfRecordType::Plain},
    {0x012A, 1, WmfRecordType::Plain},   {0x012B, 1, WmfRecordType::Plain},    {0x012C, 1, WmfRecordType::Plain},
    {0x012D, 1, WmfRecordType::Plain},   {0x012E, 1, WmfRecordType::Plain},    {0x0139, 1, WmfRecordType::Plain},
    {0x0142, 2, WmfRecordType::Creates}, {0x0149, 2, WmfRecordType::Plain},    {0x01F0, 1, WmfRecordType::Plain},
    {0x01F9, 2, WmfRecordType::Creates}, {0x0201, 2, WmfRecordType::Plain},    {0x0209, 2, WmfRecordType::Plain},
    {0x020A, 2, WmfRecordType::Plain},   {0x020B, 2, WmfRecordType::Plain},    {0x020C, 2, WmfRecordType::Plain},
    {0x020D, 2, WmfRecordType::Plain},   {0x020E, 2, WmfRecordType::Plain},    {0x020F, 2, WmfRecordType::Plain},
    {0x0211, 2, WmfRecordType::Plain},   {0x0213, 2, WmfRecordType::Plain},    {0x0214, 2, WmfRecordType::Plain},
    {0x0220, 2, WmfRecordType::Plain},   {0x0228, 2, WmfRecordType::Plain},    {0x0231, 2, WmfRecordType::Plain},
    {0x0234, 2, WmfRecordType::Plain},   {0x02FA, 5, WmfRecordType::Creates},  {0x02FB, 9, WmfRecordType::Creates},
    {0x02FC, 4, WmfRecordType::Creates}, {0x02FD, 0, WmfRecordType::Creates},  {0x0324, 1, WmfRecordType::Plain},
    {0x0325, 1, WmfRecordType::Plain},   {0x0410, 4, WmfRecordType::Plain},    {0x0412, 4, WmfRecordType::Plain},
    {0x0415, 4, WmfRecordType::Plain},   {0x0416, 4, WmfRecordType::Plain},    {0x0418, 4, WmfRecordType::Plain},
    {0x0419, 4, WmfRecordType::Plain},   {0x041B, 4, WmfRecordType::Plain},    {0x041F, 4, WmfRecordType::Plain},
    {0x0429, 4, WmfRecordType::Plain},   {0x0436, 2, WmfRecordType::Plain},    {0x0521, 1, WmfRecordType::Plain},
    {0x0538, 1, WmfRecordType::Plain},   {0x0548, 5, WmfRecordType::Plain},    {0x061C, 6, WmfRecordType::Plain},
    {0x061D, 6, WmfRecordType::Plain},   {0x0626, 2, WmfRecordType::Plain},    {0x062F, 0, WmfRecordType::Plain},
    {0x06FE, 0, WmfRecordType::Creates}, {0x06FF, 11, WmfRecordType::Creates}, {0x0817, 8, WmfRecordType::Plain},
    {0x081A, 8, WmfRecordType::Plain},   {0x0830, 8, WmfRecordType::Plain},    {0x0922, 12, WmfRecordType::Plain},
    {0x0940, 9, WmfRecordType::Plain},   {0x0A32, 4, WmfRecordType::Plain},    {0x0B23, 15, WmfRecordType::Plain},
    {0x0B41, 10, WmfRecordType::Plain},  {0x0D33, 9, WmfRecordType::Plain},    {0x0F43, 11, WmfRecordType::Plain},
};

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

Fault CheckWmfRecord(const std::uint8_t* r, std::uint64_t n, std::uint16_t function, WmfObjects& objects) {
    const WmfRecordType* known = nullptr;
    for (const WmfRecordType& t : kWmfRecords)
        if (t.function == function)
            known = &t;
    if (!known)
        return "unknown record";
    if (n < 6 + 2u * known->words)
        return "record shorter than its fields";
    if (known->role == WmfRecordType::Creates && !objects.Create())
        return "more objects than the header's table holds";
    const auto param = [&](int i) -> std::uint16_t { return Le16(r + 6 + 2 * i); };
    switch (function) {
    case 0x012A:
    case 0x012B:
    case 0x012D: // INVERTREGION, PAINTREGION, SELECTOBJECT
        return objects.Valid(param(0)) ? nullptr : kObject;
    case 0x012C: // SELECTCLIPREGION: 0 is no region
        return param(0) == 0 || objects.Valid(param(0)) ? nullptr : kObject;
    case 0x01F0: // DELETEOBJECT
        if (!objects.Valid(param(0)))
            return kObject;
        objects.Delete(param(0));
        return nullptr;
    case 0x0234: // SELECTPALETTE
        return objects.Valid(param(1)) ? nullptr : kObject;
    case 0x0228: // FILLREGION
        return objects.Valid(param(0)) && objects.Valid(param(1)) ? nullptr : kObject;
    case 0x0429: // FRAMEREGION
        return objects.Valid(param(2)) && objects.Valid(param(3)) ? nullptr : kObject;
    case 0x0037:
    case 0x00F7:
    case 0x0436: // SETPALENTRIES, CREATEPALETTE, ANIMATEPALETTE: entries after two words
        return 10 + 4 * static_cast<std::uint64_t>(param(1)) <= n ? nullptr : kOutside;
    case 0x02FB: // CREATEFONTINDIRECT: the player copies 32 bytes of face name
        return 24 + 32 <= n ? nullptr : kOutside;
    case 0x02FC: // CREATEBRUSHINDIRECT: solid, hollow or hatched; other styles take lbHatch as a pointer
        return param(0) <= 2 ? nullptr : "brush style";
    case 0x0324:
    case 0x0325: // POLYGON, POLYLINE
        return 8 + 4 * static_cast<std::uint64_t>(param(0)) <= n ? nullptr : "point count beyond its record";
    case 0x0538: { // POLYPOLYGON: counts, then the points
        const std::uint64_t polys = param(0);
        if (8 + 2 * polys > n)
            return "point count beyond its record";
        std::uint64_t points = 0;
        for (std::uint64_t i = 0; i < polys; ++i) {
            if (param(1 + static_cast<int>(i)) & 0x8000)
                return "point count beyond its record";
            points += param(1 + static_cast<int>(i));
        }
        return 8 + 2 * polys + 4 * points <= n ? nullptr : "point count beyond its record";
    }
    case 0x0521: // TEXTOUT: string padded to a word, then y and x
        return 8 + (param(0) + 1u) / 2 * 2 + 4 <= n ? nullptr : kOutside;
    case 0x0A32: { // EXTTEXTOUT: y, x, length, options, a rectangle when clipped or opaque, the string
        const std::uint64_t at = 14 + (param(3) & 0x0006 ? 8 : 0);
        return at + param(2) <= n ? nullptr : kOutside;
    }
    case 0x0626: // ESCAPE
        return 10 + static_cast<std::uint64_t>(param(1)) <= n ? nullptr : kOutside;
    case 0x06FF: { // CREATEREGION: bands of count, top, bottom, count x values, count
        std::uint64_t at = 28;
        for (unsigned band = 0; band < param(5); ++band) {
            if (at + 2 > n)
                return kOutside;
            const std::uint64_t xs = Le16(r + at);
            if (xs % 2 || at + 2 * (xs + 4) > n)
                return kOutside;
            at += 2 * (xs + 4);
        }
        return nullptr;
    }
    case 0x01F9: { // CREATEPATTERNBRUSH as the player reads it: a style, then a header, then bits or a DIB
        const std::uint16_t style = param(0);
        if (style == 5)
            return WmfDib(r, n, 10, param(1));
        if (style != 3)
            return nullptr;
        if (n < 54)
            return kBitmap;
        return WmfDdb(n, 54, Le32(r + 14), Le32(r + 18), Le16(r + 22), Le16(r + 24));
    }
    case 0x0142: // DIBCREATEPATTERNBRUSH
        return WmfDib(r, n, 10, param(1));
    case 0x0922: // BITBLT with a device-dependent bitmap
        return WmfDdb(n, 30, param(7), param(8), param(10), param(11));
    case 0x0B23: // STRETCHBLT
        return WmfDdb(n, 36, param(10), param(11), param(13), param(14));
    case 0x0940: // DIBBITBLT: without a bitmap in 12 words; the player takes the raster code's low word as usage
        if (n == 24)
            return nullptr;
        return param(0) == 1 ? kBitmap : WmfDib(r, n, 22, 0);
    case 0x0B41: // DIBSTRETCHBLT: the player always reads a bitmap
        return WmfDib(r, n, 26, 0);
    case 0x0D33: { // SETDIBTODEV: usage, scans, first scan, ..., then the bitmap holding the scans
        const std::uint64_t scans = param(1);
        return WmfDib(r, n, 24, param(0), &scans);
    }
    case 0x0F43: // STRETCHDIB
        return WmfDib(r, n, 28, param(2));
    default:
        return nullptr;
    }
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
        if (type < std::size(kEmrMinimum) && n < kEmrMinimum[type])
            return "record shorter than its fields";
        if (Fault f = CheckEmfRecord(data + at, n, type, handles))
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
