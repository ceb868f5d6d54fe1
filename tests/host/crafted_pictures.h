#pragma once
// Bitmaps and metafiles built field by field, good and bad, for the checks and the loader's tests.
#include <cstdint>
#include <initializer_list>
#include <string>

namespace kelvad::crafted {

using Bytes = std::string;

inline Bytes U16(unsigned v) {
    return {char(v & 255), char(v >> 8 & 255)};
}
inline Bytes U32(std::uint32_t v) {
    return U16(v & 0xFFFF) + U16(v >> 16);
}
inline Bytes U32s(std::initializer_list<std::uint32_t> values) {
    Bytes b;
    for (std::uint32_t v : values)
        b += U32(v);
    return b;
}

// A bitmap header of `size` bytes (12: the core header) with its colour table of `colours` entries.
inline Bytes DibHeader(std::uint32_t size, int w, int h, unsigned bits, std::uint32_t compression = 0,
                       std::uint32_t used = 0, std::uint32_t imageSize = 0, unsigned colours = 0) {
    Bytes b = size == 12 ? U32(12) + U16(w) + U16(h) + U16(1) + U16(bits)
                         : U32s({size, std::uint32_t(w), std::uint32_t(h)}) + U16(1) + U16(bits) +
                               U32s({compression, imageSize, 0, 0, used, 0});
    b.resize(size, '\0');
    for (unsigned i = 0; i < colours; ++i)
        b += size == 12 ? Bytes{char(i), char(i), char(255 - i)} : U32(0x00FF0000u | i);
    return b;
}
// A packed 2 x 2 bitmap: header, colour table, rows; `cut` bytes short of its rows.
inline Bytes Dib(unsigned bits = 24, std::size_t cut = 0) {
    const unsigned colours = bits <= 8 ? 1u << bits : 0;
    const Bytes rows((bits * 2 + 31) / 32 * 4 * 2 - cut, '\x40');
    return DibHeader(40, 2, 2, bits, 0, 0, 0, colours) + rows;
}
inline Bytes Bmp(const Bytes& dib, std::size_t at) {
    return "BM" + U32s({14 + unsigned(dib.size()), 0, unsigned(at)}) + dib;
}

// An enhanced metafile record: type, size, then the fields and a tail.
inline Bytes Emr(std::uint32_t type, std::initializer_list<std::uint32_t> fields, const Bytes& tail = "") {
    const Bytes body = U32s(fields) + tail;
    return U32(type) + U32(std::uint32_t(8 + body.size())) + body;
}
// Header (bounds 0..100, frame 0..frame in 0.01 mm), the records, and the end-of-file record.
inline Bytes Emf(const Bytes& records, std::uint32_t handles = 4, std::uint32_t frame = 2540) {
    const Bytes header =
        U32s({0, 0,       100, 100, 0, 0,    frame, frame, 0x464D4520, 0x10000, 108 + unsigned(records.size()),
              3, handles, 0,   0,   0, 1000, 1000,  300,   300});
    return Emr(1, {}, header) + records + Emr(14, {0, 16, 20});
}
// A Windows metafile record: size in words, function, parameter words.
inline Bytes Wmr(unsigned function, std::initializer_list<unsigned> params, const Bytes& tail = "") {
    Bytes body;
    for (unsigned p : params)
        body += U16(p);
    body += tail;
    return U32(std::uint32_t(3 + body.size() / 2)) + U16(function) + body;
}
inline Bytes Wmf(const Bytes& records, unsigned objects = 2) {
    const unsigned words = 12 + unsigned(records.size()) / 2;
    return U16(1) + U16(9) + U16(0x300) + U32(words) + U16(objects) + U32(3) + U16(0) + records + Wmr(0, {});
}

} // namespace kelvad::crafted
