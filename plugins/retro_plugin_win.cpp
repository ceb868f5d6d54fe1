// An image plug-in of the published plug-in interface around one of the plain C++ decoders of plugins/formats.
// One source serves every format; KELVAD_RETRO_CODEC names the codec (kMagCodec, kPiCodec, ...) and the build
// adds that format's source.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "plugins/formats/decoded_image.h"
#include "plugins/interface/plugin_interface_win.h"
#include "plugins/plugin_io_win.h"

#ifndef KELVAD_RETRO_CODEC
#error KELVAD_RETRO_CODEC must name the codec, for example kMagCodec
#endif

namespace kelvad::formats {
extern const Codec KELVAD_RETRO_CODEC;
}

namespace {

using namespace kelvad::plugin;
namespace formats = kelvad::formats;

const formats::Codec& kCodec = formats::KELVAD_RETRO_CODEC;

// The input with the format's signature checked.
std::vector<std::uint8_t> ReadPicture(LPCSTR buffer, LONG_PTR length, unsigned flag) {
    std::vector<std::uint8_t> data = ReadInput(buffer, length, flag);
    if (!kCodec.isSupported(data.data(), data.size()))
        throw Failure{kUnknownFormat};
    return data;
}

// The BITMAPINFO block of a decoded picture: its header and, for 8 bits, its colour table. The palette's
// 0x00RRGGBB entries are RGBQUADs as they lie in memory.
Block MakeHeader(const formats::DecodedImage& image) {
    const std::size_t colours = image.info.bitsPerPixel == 8 ? image.palette.size() : 0;
    Block info(sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    *header = BITMAPINFOHEADER{};
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = static_cast<LONG>(image.info.width);
    header->biHeight = static_cast<LONG>(image.info.height);
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(image.info.bitsPerPixel);
    header->biCompression = BI_RGB;
    header->biSizeImage = static_cast<DWORD>(image.pixels.size());
    header->biClrUsed = static_cast<DWORD>(colours);
    for (std::size_t i = 0; i < colours; ++i) {
        const std::uint32_t c = image.palette[i];
        reinterpret_cast<RGBQUAD*>(info.data() + sizeof(BITMAPINFOHEADER))[i] =
            RGBQUAD{BYTE(c), BYTE(c >> 8), BYTE(c >> 16), 0};
    }
    return info;
}

// The whole picture as the interface's two blocks; the preview is the whole picture too.
int Decode(LPCSTR buffer, LONG_PTR length, unsigned flag, HANDLE* bitmapInfo, HANDLE* bitmapBits,
           ProgressCallback progress, LONG_PTR progressData) {
    if (!bitmapInfo || !bitmapBits)
        return kInternalError;
    return Answer([&] {
        auto report = [&](int done, int total) {
            if (progress && progress(done, total, progressData) != 0)
                throw Failure{kAborted};
        };
        report(0, 1);
        formats::DecodedImage image;
        {
            const std::vector<std::uint8_t> data = ReadPicture(buffer, length, flag);
            image = kCodec.decode(data.data(), data.size());
        }
        const std::size_t expected = image.Stride() * image.info.height;
        if ((image.info.bitsPerPixel != 8 && image.info.bitsPerPixel != 24) || image.pixels.size() != expected ||
            image.palette.size() > 256)
            throw Failure{kInternalError};
        Block info = MakeHeader(image);
        Block pixels(image.pixels.size(), false);
        std::memcpy(pixels.data(), image.pixels.data(), image.pixels.size());
        report(1, 1);
        *bitmapInfo = info.Release();
        *bitmapBits = pixels.Release();
        return kOk;
    });
}

} // namespace

extern "C" {

__declspec(dllexport) int WINAPI GetPluginInfo(int infoNo, LPSTR buffer, int bufferLength) {
    return PluginInfo(infoNo, buffer, bufferLength, kCodec.description, kCodec.patterns, kCodec.name);
}

// data is a file handle when its value fits in 16 bits, else the first 2 KiB of the file.
__declspec(dllexport) int WINAPI IsSupported(LPCSTR, void* data) {
    unsigned char head[2048];
    const std::size_t n = ReadHead(data, head);
    if (n == 0)
        return 0;
    try {
        return kCodec.isSupported(head, n) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

__declspec(dllexport) int WINAPI GetPictureInfo(LPCSTR buffer, LONG_PTR length, unsigned flag, PictureInfo* info) {
    if (!info)
        return kInternalError;
    return Answer([&] {
        const std::vector<std::uint8_t> data = ReadPicture(buffer, length, flag);
        const formats::ImageInfo header = kCodec.readInfo(data.data(), data.size());
        FillPictureInfo(*info, header.width, header.height, header.xDensity, header.yDensity, header.bitsPerPixel,
                        header.comment);
        return kOk;
    });
}

__declspec(dllexport) int WINAPI GetPicture(LPCSTR buffer, LONG_PTR length, unsigned flag, HANDLE* bitmapInfo,
                                            HANDLE* bitmapBits, ProgressCallback progress, LONG_PTR data) {
    return Decode(buffer, length, flag, bitmapInfo, bitmapBits, progress, data);
}

__declspec(dllexport) int WINAPI GetPreview(LPCSTR buffer, LONG_PTR length, unsigned flag, HANDLE* bitmapInfo,
                                            HANDLE* bitmapBits, ProgressCallback progress, LONG_PTR data) {
    return Decode(buffer, length, flag, bitmapInfo, bitmapBits, progress, data);
}

} // extern "C"
