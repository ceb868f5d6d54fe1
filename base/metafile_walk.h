#pragma once
// Walks every record of a metafile before the platform's player gets it. The player trusts the records (sizes,
// object indices, counts and offsets), so a file it is given must hold what each record claims. Enhanced metafiles
// are walked in metafile_walk.cpp, Windows metafiles in wmf_walk.cpp.
#include <cstddef>
#include <cstdint>

namespace kelvad {

// Coordinates (frame, bounds, points, extents) beyond this magnitude are refused: far beyond any sheet, and near
// enough to 2^31 that the output's arithmetic overflows.
constexpr std::int32_t kMaxMetafileCoordinate = 1 << 27;

// An enhanced metafile, from its header record to its end-of-file record. Gives nullptr when the player may have
// it, otherwise what is wrong with it (a short phrase, for tests and traces).
const char* CheckEmf(const std::uint8_t* data, std::size_t size);

// The player writes slot 0 of the handle table whatever the header says: a header that counts no handles (empty
// drawings) is given one, in the caller's copy of the file. Anything that is no enhanced metafile is left as it is.
void MendEmfHeader(std::uint8_t* data, std::size_t size);

// A Windows metafile from its 18-byte header, after a placeable header of `placeable` bytes (0: none), which the
// header's total size may count or not.
const char* CheckWmf(const std::uint8_t* data, std::size_t size, std::size_t placeable);
const char* CheckWmf(const std::uint8_t* data, std::size_t size); // without a placeable header

// How an enhanced metafile's records must be played to print as they look. The printer's own path keeps plain
// vectors; gradient fills and bitmaps combined with the page by a raster operation other than a copy are lost there
// and are played into a bitmap instead; EMF+ records (GDI comments that carry them) only GDI+ plays.
enum class MetafilePlayer { Vectors, Bitmap, GdiPlus };
// What one record (type, size, fields as in the file; size bytes) asks for.
MetafilePlayer PlayerFor(const std::uint8_t* record, std::size_t size);

} // namespace kelvad
