// An image plug-in of the published plug-in interface that decodes with the Windows Imaging Component.
// One source serves every format; KELVAD_PLUGIN_FORMAT picks it (1 JPEG, 2 GIF, 3 TIFF, 4 PNG).
#include <wincodec.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "plugins/interface/plugin_interface_win.h"
#include "plugins/jpeg_headers.h"
#include "plugins/picture_extent.h"
#include "plugins/pixel_rows.h"
#include "plugins/plugin_io_win.h"

namespace {

using namespace kelvad::plugin;
using Layout = RowLayout;

struct Format {
    const char* description;
    const char* patterns;
    const char* name;
    const GUID* container;
};

#if KELVAD_PLUGIN_FORMAT == 1
const Format kFormat{"Kelvad JPEG plug-in (WIC)", "*.jpg;*.jpe;*.jpeg", "JPEG", &GUID_ContainerFormatJpeg};
bool HasSignature(const unsigned char* p, std::size_t n) {
    return n >= 3 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF;
}
#elif KELVAD_PLUGIN_FORMAT == 2
const Format kFormat{"Kelvad GIF plug-in (WIC)", "*.gif", "GIF", &GUID_ContainerFormatGif};
bool HasSignature(const unsigned char* p, std::size_t n) {
    return n >= 6 && (std::memcmp(p, "GIF87a", 6) == 0 || std::memcmp(p, "GIF89a", 6) == 0);
}
#elif KELVAD_PLUGIN_FORMAT == 3
const Format kFormat{"Kelvad TIFF plug-in (WIC)", "*.tif;*.tiff", "TIFF", &GUID_ContainerFormatTiff};
bool HasSignature(const unsigned char* p, std::size_t n) {
    return n >= 4 && (std::memcmp(p, "II*\0", 4) == 0 || std::memcmp(p, "MM\0*", 4) == 0);
}
#elif KELVAD_PLUGIN_FORMAT == 4
const Format kFormat{"Kelvad PNG plug-in (WIC)", "*.png", "PNG", &GUID_ContainerFormatPng};
bool HasSignature(const unsigned char* p, std::size_t n) {
    return n >= 8 && std::memcmp(p, "\x89PNG\r\n\x1A\n", 8) == 0;
}
#else
#error KELVAD_PLUGIN_FORMAT must be 1 (JPEG), 2 (GIF), 3 (TIFF) or 4 (PNG)
#endif

template <class T> class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_)
            p_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* operator->() const noexcept { return p_; }
    T* get() const noexcept { return p_; }
    T** put() noexcept { return &p_; }

private:
    T* p_ = nullptr;
};

void Check(HRESULT hr, int code) {
    if (FAILED(hr))
        throw Failure{hr == E_OUTOFMEMORY ? kNoMemory : code};
}

class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT hr_;
};

// The picture's size from the file's first bytes, where the format has it at a fixed place.
std::optional<Extent> HeaderExtent(const std::vector<unsigned char>& d) {
#if KELVAD_PLUGIN_FORMAT == 2
    return GifExtent(d.data(), d.size());
#elif KELVAD_PLUGIN_FORMAT == 4
    return PngExtent(d.data(), d.size());
#else
    (void)d;
    return std::nullopt;
#endif
}

// An open decoder on the first frame of the input.
struct Source {
    ComScope com;
    std::vector<unsigned char> data;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    UINT width = 0;
    UINT height = 0;

    Source(LPCSTR buffer, LONG_PTR length, unsigned flag) : Source(ReadInput(buffer, length, flag)) {}
    explicit Source(std::vector<unsigned char> input) : data(std::move(input)) {
        if (!HasSignature(data.data(), data.size()))
            throw Failure{kUnknownFormat};
        // The codec may decode the whole picture as soon as it opens it: a size too large is refused before that.
        const std::optional<Extent> extent = HeaderExtent(data);
        if (extent && TooLargeForOneBitmap(extent->width, extent->height))
            throw Failure{kNoMemory};
        Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                               reinterpret_cast<void**>(factory.put())),
              kInternalError);
        Check(factory->CreateStream(stream.put()), kInternalError);
        Check(stream->InitializeFromMemory(data.data(), static_cast<DWORD>(data.size())), kInternalError);
        Check(factory->CreateDecoder(*kFormat.container, nullptr, decoder.put()), kInternalError);
        Check(decoder->Initialize(stream.get(), WICDecodeMetadataCacheOnDemand), kCorrupt);
        Check(decoder->GetFrame(0, frame.put()), kCorrupt);
        Check(frame->GetSize(&width, &height), kCorrupt);
        if (width == 0 || height == 0 || width > 0x7FFFFFF || height > 0x7FFFFFF)
            throw Failure{kCorrupt};
        if (TooLargeForOneBitmap(width, height))
            throw Failure{kNoMemory};
    }
};

// What the information call tells, read from the file's headers where the codec would decode the whole picture
// just to give the size (the JPEG codec does).
struct HeaderInfo {
    UINT width = 0, height = 0;
    int bits = 24;
    double dpiX = 0, dpiY = 0;
};

#if KELVAD_PLUGIN_FORMAT == 1
std::optional<HeaderInfo> ReadHeaders(const std::vector<unsigned char>& d) {
    const std::optional<JpegHeader> jpeg = ReadJpegHeaders(d.data(), d.size());
    if (!jpeg)
        throw Failure{kCorrupt};
    return HeaderInfo{jpeg->width, jpeg->height, jpeg->bits, jpeg->dpiX, jpeg->dpiY};
}
#else
std::optional<HeaderInfo> ReadHeaders(const std::vector<unsigned char>&) {
    return std::nullopt;
}
#endif

std::size_t Stride(UINT width, int bits) {
    return (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
}

// The DIB that the plug-in returns: the layout of its rows and its colour table.
struct Target {
    int bits = 24;
    std::vector<RGBQUAD> colours;
};

struct Plan {
    RowFormat rows;
    Target target;
};

std::vector<RGBQUAD> FramePalette(Source& source) {
    ComPtr<IWICPalette> palette;
    Check(source.factory->CreatePalette(palette.put()), kInternalError);
    if (FAILED(source.frame->CopyPalette(palette.get())))
        Check(source.decoder->CopyPalette(palette.get()), kCorrupt);
    UINT count = 0;
    Check(palette->GetColorCount(&count), kCorrupt);
    if (count == 0 || count > 256)
        throw Failure{kCorrupt};
    std::vector<WICColor> argb(count);
    Check(palette->GetColors(count, argb.data(), &count), kCorrupt);
    // A transparent entry (a GIF's transparent colour, a PNG's tRNS) is laid on white paper by its alpha; a palette
    // whose alphas are all 0 has none.
    const bool hasAlpha = std::any_of(argb.begin(), argb.end(), [](WICColor c) { return (c >> 24) != 0; });
    std::vector<RGBQUAD> colours(count);
    for (UINT i = 0; i < count; ++i) {
        const unsigned alpha = hasAlpha ? argb[i] >> 24 : 255;
        const auto on = [&](int shift) { return OnWhite((argb[i] >> shift) & 0xFF, alpha); };
        colours[i] = RGBQUAD{on(0), on(8), on(16), 0};
    }
    return colours;
}

std::vector<RGBQUAD> GreyRamp(int count) {
    std::vector<RGBQUAD> colours(count);
    for (int i = 0; i < count; ++i) {
        const BYTE v = static_cast<BYTE>(i * 255 / (count - 1));
        colours[i] = RGBQUAD{v, v, v, 0};
    }
    return colours;
}

Plan MakePlan(Source& source) {
    WICPixelFormatGUID format{};
    Check(source.frame->GetPixelFormat(&format), kCorrupt);
    auto is = [&](const GUID& g) { return IsEqualGUID(format, g); };
    if (is(GUID_WICPixelFormatUndefined) || is(GUID_NULL))
        throw Failure{kCorrupt};
    if (is(GUID_WICPixelFormat24bppBGR))
        return {Layout::Direct, 24, 0, {24, {}}};
    if (is(GUID_WICPixelFormat8bppIndexed))
        return {Layout::Direct, 8, 0, {8, FramePalette(source)}};
    if (is(GUID_WICPixelFormat4bppIndexed))
        return {Layout::Direct, 4, 0, {4, FramePalette(source)}};
    if (is(GUID_WICPixelFormat1bppIndexed))
        return {Layout::Direct, 1, 0, {1, FramePalette(source)}};
    if (is(GUID_WICPixelFormat2bppIndexed))
        return {Layout::Indexed2, 2, 0, {4, FramePalette(source)}};
    if (is(GUID_WICPixelFormatBlackWhite))
        return {Layout::BlackWhite, 1, 0, {1, GreyRamp(2)}};
    if (is(GUID_WICPixelFormat2bppGray))
        return {Layout::Grey, 2, 2, {8, GreyRamp(256)}};
    if (is(GUID_WICPixelFormat4bppGray))
        return {Layout::Grey, 4, 4, {8, GreyRamp(256)}};
    if (is(GUID_WICPixelFormat8bppGray))
        return {Layout::Grey, 8, 8, {8, GreyRamp(256)}};
    if (is(GUID_WICPixelFormat16bppGray))
        return {Layout::Grey, 16, 16, {8, GreyRamp(256)}};
    if (is(GUID_WICPixelFormat32bppBGR))
        return {Layout::Bgr32, 32, 0, {}};
    if (is(GUID_WICPixelFormat32bppBGRA))
        return {Layout::Bgra32, 32, 0, {}};
    if (is(GUID_WICPixelFormat32bppPBGRA))
        return {Layout::Pbgra32, 32, 0, {}};
    if (is(GUID_WICPixelFormat24bppRGB))
        return {Layout::Rgb24, 24, 0, {}};
    if (is(GUID_WICPixelFormat32bppRGBA))
        return {Layout::Rgba32, 32, 0, {}};
    if (is(GUID_WICPixelFormat48bppRGB))
        return {Layout::Rgb48, 48, 0, {}};
    if (is(GUID_WICPixelFormat48bppBGR))
        return {Layout::Bgr48, 48, 0, {}};
    if (is(GUID_WICPixelFormat64bppRGBA))
        return {Layout::Rgba64, 64, 0, {}};
    return {Layout::Converted, 24, 0, {}};
}

// The frame's pixels as bottom-up DIB rows in a movable block.
Block DecodeRows(Source& source, Plan& plan, const ProgressCallback progress, LONG_PTR progressData) {
    const std::size_t stride = Stride(source.width, plan.target.bits);
    if (stride > (SIZE_MAX / 2) / source.height)
        throw Failure{kNoMemory};
    // Rows copied as they are fill their whole row; the others are built up from zero.
    Block pixels(stride * source.height, plan.rows.layout != Layout::Direct);
    auto report = [&](UINT done) {
        if (progress && progress(static_cast<int>(done), static_cast<int>(source.height), progressData) != 0)
            throw Failure{kAborted};
    };
    report(0);
    ComPtr<IWICFormatConverter> converter;
    IWICBitmapSource* from = source.frame.get();
    if (plan.rows.layout == Layout::Converted) {
        Check(source.factory->CreateFormatConverter(converter.put()), kInternalError);
        Check(converter->Initialize(source.frame.get(), GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone, nullptr,
                                    0.0, WICBitmapPaletteTypeCustom),
              kCorrupt);
        from = converter.get();
        plan.rows.layout = Layout::Direct;
        plan.rows.sourceBits = 24;
    }
    if (plan.rows.layout == Layout::Direct) {
        // Each row straight into its place in the bottom-up DIB; only the padding is cleared.
        const std::size_t used = (static_cast<std::size_t>(source.width) * plan.rows.sourceBits + 7) / 8;
        for (UINT y = 0; y < source.height; ++y) {
            unsigned char* row = pixels.data() + (source.height - 1 - y) * stride;
            const WICRect rect{0, static_cast<INT>(y), static_cast<INT>(source.width), 1};
            Check(from->CopyPixels(&rect, static_cast<UINT>(stride), static_cast<UINT>(stride), row), kCorrupt);
            std::memset(row + used, 0, stride - used);
        }
        report(source.height);
        return pixels;
    }
    // Rows come in bands of about 1 MiB of source pixels.
    const std::size_t sourceStride = (static_cast<std::size_t>(source.width) * plan.rows.sourceBits + 31) / 32 * 4;
    const UINT band =
        static_cast<UINT>(std::max<std::size_t>(1, std::min<std::size_t>(source.height, (1u << 20) / sourceStride)));
    std::vector<unsigned char> buffer(sourceStride * band);
    for (UINT y = 0; y < source.height; y += band) {
        const UINT rows = std::min(band, source.height - y);
        const WICRect rect{0, static_cast<INT>(y), static_cast<INT>(source.width), static_cast<INT>(rows)};
        Check(from->CopyPixels(&rect, static_cast<UINT>(sourceStride), static_cast<UINT>(sourceStride * rows),
                               buffer.data()),
              kCorrupt);
        for (UINT r = 0; r < rows; ++r)
            ConvertRow(plan.rows, buffer.data() + r * sourceStride,
                       pixels.data() + (source.height - 1 - (y + r)) * stride, source.width);
    }
    report(source.height);
    return pixels;
}

// The BITMAPINFO block for a DIB of the given size and target.
Block MakeHeader(UINT width, UINT height, const Target& target) {
    Block info(sizeof(BITMAPINFOHEADER) + target.colours.size() * sizeof(RGBQUAD));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = static_cast<LONG>(width);
    header->biHeight = static_cast<LONG>(height);
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(target.bits);
    header->biCompression = BI_RGB;
    header->biSizeImage = static_cast<DWORD>(Stride(width, target.bits) * height);
    header->biClrUsed = static_cast<DWORD>(target.colours.size());
    if (!target.colours.empty())
        std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), target.colours.data(),
                    target.colours.size() * sizeof(RGBQUAD));
    return info;
}

int Decode(LPCSTR buffer, LONG_PTR length, unsigned flag, HANDLE* bitmapInfo, HANDLE* bitmapBits,
           ProgressCallback progress, LONG_PTR data, bool preview) {
    if (!bitmapInfo || !bitmapBits)
        return kInternalError;
    return Answer([&] {
        Source source(buffer, length, flag);
        Plan plan = MakePlan(source);
        Block pixels = DecodeRows(source, plan, progress, data);
        UINT width = source.width;
        UINT height = source.height;
        if (preview) {
            // Every fourth pixel of every fourth row: a quarter of each side, rounded up.
            const UINT w = (width + 3) / 4;
            const UINT h = (height + 3) / 4;
            const std::size_t fromStride = Stride(width, plan.target.bits);
            const std::size_t toStride = Stride(w, plan.target.bits);
            Block small(toStride * h);
            for (UINT y = 0; y < h; ++y) {
                // Rows are bottom-up; the top-left pixel of each 4 x 4 cell is kept.
                const UINT fromTop = 4 * (h - 1 - y);
                const unsigned char* in = pixels.data() + (height - 1 - fromTop) * fromStride;
                unsigned char* out = small.data() + y * toStride;
                QuarterRow(in, out, w, plan.target.bits);
            }
            Block info = MakeHeader(w, h, plan.target);
            *bitmapInfo = info.Release();
            *bitmapBits = small.Release();
            return kOk;
        }
        Block info = MakeHeader(width, height, plan.target);
        *bitmapInfo = info.Release();
        *bitmapBits = pixels.Release();
        return kOk;
    });
}

} // namespace

extern "C" {

__declspec(dllexport) int WINAPI GetPluginInfo(int infoNo, LPSTR buffer, int bufferLength) {
    return PluginInfo(infoNo, buffer, bufferLength, kFormat.description, kFormat.patterns, kFormat.name);
}

// data is a file handle when its value fits in 16 bits, else the first 2 KiB of the file.
__declspec(dllexport) int WINAPI IsSupported(LPCSTR, void* data) {
    unsigned char head[2048];
    const std::size_t n = ReadHead(data, head);
    return n > 0 && HasSignature(head, n) ? 1 : 0;
}

__declspec(dllexport) int WINAPI GetPictureInfo(LPCSTR buffer, LONG_PTR length, unsigned flag, PictureInfo* info) {
    if (!info)
        return kInternalError;
    return Answer([&] {
        std::vector<unsigned char> data = ReadInput(buffer, length, flag);
        if (!HasSignature(data.data(), data.size()))
            return kUnknownFormat;
        std::optional<HeaderInfo> header = ReadHeaders(data);
        if (!header) {
            Source source(std::move(data));
            const Plan plan = MakePlan(source);
            header = HeaderInfo{source.width, source.height, plan.target.bits};
            source.frame->GetResolution(&header->dpiX, &header->dpiY);
        }
        auto density = [](double dpi) { return static_cast<WORD>(dpi >= 1 && dpi < 65535 ? dpi + 0.5 : 1); };
        FillPictureInfo(*info, header->width, header->height, density(header->dpiX), density(header->dpiY),
                        header->bits);
        return kOk;
    });
}

__declspec(dllexport) int WINAPI GetPicture(LPCSTR buffer, LONG_PTR length, unsigned flag, HANDLE* bitmapInfo,
                                            HANDLE* bitmapBits, ProgressCallback progress, LONG_PTR data) {
    return Decode(buffer, length, flag, bitmapInfo, bitmapBits, progress, data, false);
}

__declspec(dllexport) int WINAPI GetPreview(LPCSTR buffer, LONG_PTR length, unsigned flag, HANDLE* bitmapInfo,
                                            HANDLE* bitmapBits, ProgressCallback progress, LONG_PTR data) {
    return Decode(buffer, length, flag, bitmapInfo, bitmapBits, progress, data, true);
}

} // extern "C"
