#pragma once
// Picture files written byte by byte for the image loader's tests, from the test plug-in's patterns.
#include <wincodec.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/plugin/test_plugin_pattern.h"

namespace kelvad::testing {

using test_plugin::Rgb;
using Bytes = std::string;

inline void Put16(Bytes& b, unsigned v) {
    b += char(v & 255), b += char(v >> 8 & 255);
}
inline void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF), Put16(b, v >> 16);
}
inline void Put32Big(Bytes& b, std::uint32_t v) {
    b += char(v >> 24), b += char(v >> 16 & 255), b += char(v >> 8 & 255), b += char(v & 255);
}

// A palette of n entries: the test plug-in's palette colours.
inline std::vector<Rgb> TestPalette(unsigned n) {
    std::vector<Rgb> p;
    for (unsigned i = 0; i < n; ++i)
        p.push_back(test_plugin::PaletteColour(i * (256 / n)));
    return p;
}
// Palette index of (x, y) for a palette of n entries.
inline unsigned TestIndex(unsigned x, unsigned y, unsigned n) {
    return test_plugin::PaletteIndex(x, y) % n;
}

// TIFF, little-endian, uncompressed, one strip per page. kind: "rgb", "palette", "bilevel", "rgb48".
// A second page of another size follows when twoPages is set.
inline Bytes TiffFile(const std::string& kind, unsigned w, unsigned h, bool twoPages = false) {
    Bytes file = "II*";
    file += '\0';
    Put32(file, 8);
    auto page = [&](unsigned width, unsigned height, bool last) {
        Bytes pixels;
        for (unsigned y = 0; y < height; ++y) {
            if (kind == "bilevel") {
                Bytes row((width + 7) / 8, '\0');
                for (unsigned x = 0; x < width; ++x)
                    if ((x + y) % 3 == 0)
                        row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
                pixels += row;
            }
            for (unsigned x = 0; x < width && kind != "bilevel"; ++x) {
                const Rgb c = test_plugin::TrueColour(x, y);
                if (kind == "rgb")
                    pixels += char(c.r), pixels += char(c.g), pixels += char(c.b);
                else if (kind == "rgb48")
                    // High byte the colour, low byte its complement: a reader taking the wrong byte shows it.
                    Put16(pixels, c.r * 256 + 255 - c.r), Put16(pixels, c.g * 256 + 255 - c.g),
                        Put16(pixels, c.b * 256 + 255 - c.b);
                else
                    pixels += char(TestIndex(x, y, 256));
            }
        }
        const bool rgb = kind == "rgb" || kind == "rgb48";
        const unsigned bits = kind == "bilevel" ? 1 : kind == "rgb48" ? 16 : 8;
        struct Entry {
            unsigned tag, type, count;
            std::uint32_t value;
        };
        std::vector<Entry> entries;
        const std::uint32_t ifdAt = static_cast<std::uint32_t>(file.size());
        const unsigned count = rgb ? 10 : kind == "palette" ? 10 : 9;
        const std::uint32_t extraAt = ifdAt + 2 + 12 * count + 4;
        Bytes extra;
        std::uint32_t bitsValue = bits;
        if (rgb) {
            bitsValue = extraAt + static_cast<std::uint32_t>(extra.size());
            Put16(extra, bits), Put16(extra, bits), Put16(extra, bits);
        }
        std::uint32_t mapAt = 0;
        if (kind == "palette") {
            mapAt = extraAt + static_cast<std::uint32_t>(extra.size());
            const auto palette = TestPalette(256);
            for (int channel = 0; channel < 3; ++channel)
                for (const Rgb& c : palette)
                    Put16(extra, (channel == 0 ? c.r : channel == 1 ? c.g : c.b) * 257);
        }
        const std::uint32_t pixelsAt = extraAt + static_cast<std::uint32_t>(extra.size());
        entries.push_back({256, 4, 1, width});
        entries.push_back({257, 4, 1, height});
        entries.push_back({258, 3, rgb ? 3u : 1u, bitsValue});
        entries.push_back({259, 3, 1, 1});
        entries.push_back({262, 3, 1, rgb ? 2u : kind == "palette" ? 3u : 1u});
        entries.push_back({273, 4, 1, pixelsAt});
        entries.push_back({277, 3, 1, rgb ? 3u : 1u});
        entries.push_back({278, 4, 1, height});
        entries.push_back({279, 4, 1, static_cast<std::uint32_t>(pixels.size())});
        if (rgb)
            entries.push_back({284, 3, 1, 1});
        if (kind == "palette")
            entries.push_back({320, 3, 3 * 256, mapAt});
        Put16(file, static_cast<unsigned>(entries.size()));
        for (const Entry& e : entries) {
            Put16(file, e.tag), Put16(file, e.type), Put32(file, e.count);
            if (e.type == 3 && e.count == 1)
                Put16(file, e.value), Put16(file, 0);
            else
                Put32(file, e.value);
        }
        const std::uint32_t nextAt = static_cast<std::uint32_t>(file.size());
        Put32(file, 0);
        file += extra;
        file += pixels;
        if (file.size() % 2)
            file += '\0';
        if (!last) {
            const std::uint32_t next = static_cast<std::uint32_t>(file.size());
            for (int i = 0; i < 4; ++i)
                file[nextAt + i] = char(next >> (8 * i) & 255);
        }
    };
    page(w, h, !twoPages);
    if (twoPages)
        page(w / 2 + 1, h / 2 + 1, true);
    return file;
}

inline std::uint32_t Crc32(const Bytes& data, std::size_t from) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::size_t i = from; i < data.size(); ++i) {
        crc ^= static_cast<unsigned char>(data[i]);
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
    }
    return ~crc;
}

// PNG with stored (uncompressed) deflate blocks. kind: "rgb", "rgba" (column 0 transparent), "palette".
inline Bytes PngFile(const std::string& kind, unsigned w, unsigned h) {
    Bytes file = "\x89PNG\r\n\x1A\n";
    auto chunk = [&](const char* type, const Bytes& data) {
        Put32Big(file, static_cast<std::uint32_t>(data.size()));
        const std::size_t start = file.size();
        file += type;
        file += data;
        Put32Big(file, Crc32(file, start));
    };
    Bytes header;
    Put32Big(header, w), Put32Big(header, h);
    header += char(8);
    header += char(kind == "rgb" ? 2 : kind == "rgba" ? 6 : 3);
    header += Bytes(3, '\0');
    chunk("IHDR", header);
    if (kind == "palette") {
        Bytes plte;
        for (const Rgb& c : TestPalette(256))
            plte += char(c.r), plte += char(c.g), plte += char(c.b);
        chunk("PLTE", plte);
    }
    Bytes raw;
    for (unsigned y = 0; y < h; ++y) {
        raw += '\0';
        for (unsigned x = 0; x < w; ++x) {
            const Rgb c = test_plugin::TrueColour(x, y);
            if (kind == "palette") {
                raw += char(TestIndex(x, y, 256));
                continue;
            }
            raw += char(c.r), raw += char(c.g), raw += char(c.b);
            if (kind == "rgba")
                raw += char(x == 0 ? 0 : 255);
        }
    }
    Bytes z = "\x78\x01";
    for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        z += char(at + n >= raw.size() ? 1 : 0);
        Put16(z, static_cast<unsigned>(n)), Put16(z, static_cast<unsigned>(~n & 0xFFFF));
        z += raw.substr(at, n);
        if (at + n >= raw.size())
            break;
    }
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw)
        a = (a + c) % 65521, b = (b + a) % 65521;
    Put32Big(z, b << 16 | a);
    chunk("IDAT", z);
    chunk("IEND", "");
    return file;
}

// GIF with a global palette of `colours` entries (16 or 256) and two frames; the second frame differs.
inline Bytes GifFile(unsigned colours, unsigned w, unsigned h) {
    const unsigned bits = colours == 16 ? 4 : 8;
    Bytes file = "GIF89a";
    Put16(file, w), Put16(file, h);
    file += char(0xF0 | (bits - 1));
    file += '\0', file += '\0';
    for (const Rgb& c : TestPalette(colours))
        file += char(c.r), file += char(c.g), file += char(c.b);
    for (int frame = 0; frame < 2; ++frame) {
        file += "\x21\xF9\x04";
        file += Bytes(4, '\0') + '\0'; // no delay, no transparency
        file += ',';
        Put16(file, 0), Put16(file, 0), Put16(file, w), Put16(file, h);
        file += '\0';
        file += char(bits);
        // Literal codes only, with a clear code often enough that the code width never grows.
        const unsigned clear = 1u << bits;
        const unsigned width = bits + 1;
        Bytes data;
        std::uint32_t acc = 0;
        unsigned filled = 0;
        auto emit = [&](unsigned code) {
            acc |= code << filled;
            filled += width;
            while (filled >= 8) {
                data += char(acc & 255);
                acc >>= 8;
                filled -= 8;
            }
        };
        unsigned sinceClear = 0;
        emit(clear);
        for (unsigned y = 0; y < h; ++y)
            for (unsigned x = 0; x < w; ++x) {
                if (sinceClear == clear - 3) {
                    emit(clear);
                    sinceClear = 0;
                }
                emit(frame == 0 ? TestIndex(x, y, colours) : (x * 7 + 1) % colours);
                ++sinceClear;
            }
        emit(clear + 1);
        if (filled)
            data += char(acc & 255);
        for (std::size_t at = 0; at < data.size(); at += 255) {
            const std::size_t n = std::min<std::size_t>(255, data.size() - at);
            file += char(n);
            file += data.substr(at, n);
        }
        file += '\0';
    }
    file += ';';
    return file;
}

// BMP: 24-bit top-down (negative height) or 8-bit bottom-up with the test palette.
inline Bytes BmpFile(int bits, unsigned w, unsigned h) {
    const unsigned stride = (w * bits + 31) / 32 * 4;
    const unsigned colours = bits == 8 ? 256 : 0;
    const unsigned offset = 14 + 40 + 4 * colours;
    Bytes file = "BM";
    Put32(file, offset + stride * h);
    Put32(file, 0);
    Put32(file, offset);
    Put32(file, 40);
    Put32(file, w);
    Put32(file, bits == 24 ? static_cast<std::uint32_t>(-static_cast<int>(h)) : h);
    Put16(file, 1), Put16(file, bits);
    Put32(file, 0), Put32(file, stride * h), Put32(file, 0), Put32(file, 0), Put32(file, colours), Put32(file, 0);
    for (const Rgb& c : TestPalette(colours))
        file += char(c.b), file += char(c.g), file += char(c.r), file += '\0';
    for (unsigned i = 0; i < h; ++i) {
        const unsigned y = bits == 24 ? i : h - 1 - i;
        Bytes row(stride, '\0');
        for (unsigned x = 0; x < w; ++x) {
            if (bits == 8) {
                row[x] = char(TestIndex(x, y, 256));
            } else {
                const Rgb c = test_plugin::TrueColour(x, y);
                row[3 * x] = char(c.b), row[3 * x + 1] = char(c.g), row[3 * x + 2] = char(c.r);
            }
        }
        file += row;
    }
    return file;
}

// ICO with one 32-bit image of size x size pixels.
inline Bytes IcoFile(unsigned size) {
    Bytes image;
    Put32(image, 40), Put32(image, size), Put32(image, 2 * size);
    Put16(image, 1), Put16(image, 32);
    image += Bytes(24, '\0');
    for (unsigned i = 0; i < size * size; ++i)
        image += "\x20\x40\xC0\xFF";
    image += Bytes((size + 31) / 32 * 4 * size, '\0');
    Bytes file;
    Put16(file, 0), Put16(file, 1), Put16(file, 1);
    file += char(size), file += char(size), file += '\0', file += '\0';
    Put16(file, 1), Put16(file, 32);
    Put32(file, static_cast<std::uint32_t>(image.size()));
    Put32(file, 22);
    return file + image;
}

// The expected colour of a palette picture at (x, y) for a palette of n entries.
inline Rgb TestPaletteColour(unsigned x, unsigned y, unsigned n) {
    return TestPalette(n)[TestIndex(x, y, n)];
}

// A picture encoded by the platform's WIC encoder for the container (JPEG: baseline), from 24-bit pixels.
inline Bytes WicFile(const GUID& container, unsigned w, unsigned h,
                     const std::function<Rgb(unsigned, unsigned)>& colour) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory* factory = nullptr;
    IStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    Bytes file;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) &&
        SUCCEEDED(factory->CreateEncoder(container, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, &options)) && SUCCEEDED(frame->Initialize(options)) &&
        SUCCEEDED(frame->SetSize(w, h))) {
        WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
        frame->SetPixelFormat(&format);
        const unsigned stride = (w * 3 + 3) / 4 * 4;
        std::vector<BYTE> pixels(static_cast<std::size_t>(stride) * h);
        for (unsigned y = 0; y < h; ++y)
            for (unsigned x = 0; x < w; ++x) {
                const Rgb c = colour(x, y);
                BYTE* p = &pixels[static_cast<std::size_t>(y) * stride + 3 * x];
                p[0] = c.b, p[1] = c.g, p[2] = c.r;
            }
        if (SUCCEEDED(frame->WritePixels(h, stride, static_cast<UINT>(pixels.size()), pixels.data())) &&
            SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit())) {
            HGLOBAL memory = nullptr;
            GetHGlobalFromStream(stream, &memory);
            const char* data = static_cast<const char*>(GlobalLock(memory));
            STATSTG stat{};
            stream->Stat(&stat, STATFLAG_NONAME);
            file.assign(data, static_cast<std::size_t>(stat.cbSize.QuadPart));
            GlobalUnlock(memory);
        }
    }
    for (IUnknown* p : std::initializer_list<IUnknown*>{options, frame, encoder, stream, factory})
        if (p)
            p->Release();
    CoUninitialize();
    return file;
}

} // namespace kelvad::testing
