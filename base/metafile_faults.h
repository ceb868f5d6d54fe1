#pragma once
// What the walks of enhanced and Windows metafile records answer for a record they refuse: a short phrase, for
// tests and traces.
namespace kelvad::metafile_faults {

using Fault = const char*;

inline constexpr Fault kFar = "coordinate out of range";
inline constexpr Fault kOutside = "data outside its record";
inline constexpr Fault kObject = "object index outside the handle table";
inline constexpr Fault kBitmap = "bitmap outside its record or malformed";

} // namespace kelvad::metafile_faults
