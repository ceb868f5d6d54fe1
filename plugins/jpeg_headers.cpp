#include "plugins/jpeg_headers.h"

#include <cstring>

namespace kelvad::plugin {

std::optional<JpegHeader> ReadJpegHeaders(const std::uint8_t* d, std::size_t size) {
    JpegHeader info;
    std::size_t at = 2;
    while (at + 4 <= size) {
        if (d[at] != 0xFF)
            return std::nullopt;
        const unsigned marker = d[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        // Markers without a length: TEM, the restarts and the start of image.
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            at += 2;
            continue;
        }
        const std::size_t length = std::size_t(d[at + 2]) << 8 | d[at + 3];
        if (length < 2 || length > size - at - 2 || marker == 0xDA || marker == 0xD9)
            break;
        const std::uint8_t* p = d + at + 4;
        // SOF0 to SOF15, less DHT, JPG and DAC, which share the range.
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            if (length < 8)
                break;
            info.height = std::uint32_t(p[1]) << 8 | p[2];
            info.width = std::uint32_t(p[3]) << 8 | p[4];
            info.bits = p[5] == 1 ? 8 : 24;
            if (info.width == 0 || info.height == 0)
                break;
            return info;
        }
        // JFIF density in dots per inch (unit 1) or per centimetre (unit 2).
        if (marker == 0xE0 && length >= 14 && std::memcmp(p, "JFIF", 5) == 0 && (p[7] == 1 || p[7] == 2)) {
            const double scale = p[7] == 1 ? 1.0 : 2.54;
            info.dpiX = (unsigned(p[8]) << 8 | p[9]) * scale;
            info.dpiY = (unsigned(p[10]) << 8 | p[11]) * scale;
        }
        at += 2 + length;
    }
    return std::nullopt;
}

} // namespace kelvad::plugin
