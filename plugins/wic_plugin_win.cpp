// An image plug-in of the published plug-in interface that decodes with the Windows Imaging Component.
// One source serves every format; KELVAD_PLUGIN_FORMAT picks it (1 JPEG, 2 GIF, 3 TIFF, 4 PNG).
#include <wincodec.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "image/plugin_interface_win.h"

namespace {

using namespace kelvad::plugin;

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

// A failure with its interface result code.
struct Failure {
    int code;
};

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

// The bytes the picture is read from: a file from an offset, or a memory image of one.
std::vector<unsigned char> ReadInput(LPCSTR buffer, LONG_PTR length, unsigned flag) {
    if ((flag & 7) == 1) {
        if (!buffer || length <= 0)
            throw Failure{kUnknownFormat};
        const auto* p = reinterpret_cast<const unsigned char*>(buffer);
        return std::vector<unsigned char>(p, p + length);
    }
    if ((flag & 7) != 0 || !buffer || length < 0)
        throw Failure{kInternalError};
    HANDLE file =
        CreateFileA(buffer, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw Failure{kReadError};
    struct Closer {
        HANDLE h;
        ~Closer() { CloseHandle(h); }
    } closer{file};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size))
        throw Failure{kReadError};
    if (size.QuadPart <= length)
        throw Failure{kUnknownFormat};
    // Files beyond 1 GiB are not held in memory.
    if (size.QuadPart - length > (1LL << 30))
        throw Failure{kNoMemory};
    LARGE_INTEGER at{};
    at.QuadPart = length;
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN))
        throw Failure{kReadError};
    std::vector<unsigned char> data(static_cast<std::size_t>(size.QuadPart - length));
    std::size_t done = 0;
    while (done < data.size()) {
        DWORD got = 0;
        if (!ReadFile(file, data.data() + done, static_cast<DWORD>(data.size() - done), &got, nullptr))
            throw Failure{kReadError};
        if (got == 0)
            break;
        done += got;
    }
    data.resize(done);
    return data;
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
// The frame header (SOFn) gives the size and the number of components; a JFIF segment the density.
std::optional<HeaderInfo> ReadHeaders(const std::vector<unsigned char>& d) {
    HeaderInfo info;
    std::size_t at = 2;
    while (at + 4 <= d.size()) {
        if (d[at] != 0xFF)
            throw Failure{kCorrupt};
        const unsigned marker = d[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            at += 2;
            continue;
        }
        const std::size_t length = std::size_t(d[at + 2]) << 8 | d[at + 3];
        if (length < 2 || at + 2 + length > d.size() || marker == 0xDA || marker == 0xD9)
            break;
        const unsigned char* p = &d[at + 4];
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            if (length < 8)
                break;
            info.height = UINT(p[1]) << 8 | p[2];
            info.width = UINT(p[3]) << 8 | p[4];
            info.bits = p[5] == 1 ? 8 : 24;
            if (info.width == 0 || info.height == 0)
                break;
            return info;
        }
        if (marker == 0xE0 && length >= 14 && std::memcmp(p, "JFIF", 5) == 0 && (p[7] == 1 || p[7] == 2)) {
            const double scale = p[7] == 1 ? 1.0 : 2.54;
            info.dpiX = (unsigned(p[8]) << 8 | p[9]) * scale;
            info.dpiY = (unsigned(p[10]) << 8 | p[11]) * scale;
        }
        at += 2 + length;
    }
    throw Failure{kCorrupt};
}
#else
std::optional<HeaderInfo> ReadHeaders(const std::vector<unsigned char>&) {
    return std::nullopt;
}
#endif

std::size_t Stride(UINT width, int bits) {
    return (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
}

// A movable block, freed unless handed over.
class Block {
public:
    explicit Block(std::size_t size, bool zeroed = true)
        : handle_(GlobalAlloc(GMEM_MOVEABLE | (zeroed ? GMEM_ZEROINIT : 0), size)) {
        if (!handle_)
            throw Failure{kNoMemory};
        data_ = static_cast<unsigned char*>(GlobalLock(handle_));
        if (!data_) {
            GlobalFree(handle_);
            throw Failure{kMemoryError};
        }
    }
    ~Block() {
        if (handle_) {
            GlobalUnlock(handle_);
            GlobalFree(handle_);
        }
    }
    Block(Block&& other) noexcept
        : handle_(std::exchange(other.handle_, nullptr)), data_(std::exchange(other.data_, nullptr)) {}
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    unsigned char* data() const noexcept { return data_; }
    HANDLE Release() noexcept {
        GlobalUnlock(handle_);
        return std::exchange(handle_, nullptr);
    }

private:
    HANDLE handle_;
    unsigned char* data_;
};

// The DIB that the plug-in returns: the layout of its rows and its colour table.
struct Target {
    int bits = 24;
    std::vector<RGBQUAD> colours;
};

enum class Layout {
    Direct,     // rows copied as they are (24bppBGR, 1/4/8-bit indexed)
    Indexed2,   // 2-bit indexed, widened to 4 bits
    Grey,       // 2/4/8/16-bit grey to an 8-bit grey ramp
    BlackWhite, // 1-bit black and white
    Bgr32,      // BGR with an unused byte
    Bgra32,     // BGRA, laid on white
    Pbgra32,    // premultiplied BGRA, laid on white
    Rgb24,      // RGB order
    Rgba32,     // RGBA, laid on white
    Rgb48,      // 16 bits per channel, RGB
    Bgr48,      // 16 bits per channel, BGR
    Rgba64,     // 16 bits per channel with alpha, laid on white
    Converted,  // anything else: WIC's own converter to 24bppBGR
};

struct Plan {
    Layout layout;
    int sourceBits;
    int greyBits;
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
    std::vector<RGBQUAD> colours(count);
    for (UINT i = 0; i < count; ++i)
        colours[i] = RGBQUAD{BYTE(argb[i]), BYTE(argb[i] >> 8), BYTE(argb[i] >> 16), 0};
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

BYTE OnWhite(unsigned colour, unsigned alpha) {
    return static_cast<BYTE>((colour * alpha + 255 * (255 - alpha) + 127) / 255);
}
BYTE High(const unsigned char* p) {
    return p[1]; // 16-bit samples are little-endian
}

// One source row into one DIB row.
void ConvertRow(const Plan& plan, const unsigned char* in, unsigned char* out, UINT width) {
    switch (plan.layout) {
    case Layout::Direct:
        std::memcpy(out, in, (static_cast<std::size_t>(width) * plan.sourceBits + 7) / 8);
        return;
    case Layout::Indexed2:
        for (UINT x = 0; x < width; ++x) {
            const unsigned v = (in[x / 4] >> (6 - 2 * (x % 4))) & 3;
            out[x / 2] |= static_cast<unsigned char>(x % 2 ? v : v << 4);
        }
        return;
    case Layout::BlackWhite:
        std::memcpy(out, in, (width + 7) / 8);
        return;
    case Layout::Grey:
        for (UINT x = 0; x < width; ++x) {
            switch (plan.greyBits) {
            case 2:
                out[x] = static_cast<unsigned char>(((in[x / 4] >> (6 - 2 * (x % 4))) & 3) * 85);
                break;
            case 4:
                out[x] = static_cast<unsigned char>(((in[x / 2] >> (x % 2 ? 0 : 4)) & 15) * 17);
                break;
            case 8:
                out[x] = in[x];
                break;
            default:
                out[x] = High(in + 2 * x);
            }
        }
        return;
    default:
        break;
    }
    for (UINT x = 0; x < width; ++x) {
        unsigned char* o = out + 3 * x;
        switch (plan.layout) {
        case Layout::Bgr32: {
            const unsigned char* p = in + 4 * x;
            o[0] = p[0], o[1] = p[1], o[2] = p[2];
            break;
        }
        case Layout::Bgra32: {
            const unsigned char* p = in + 4 * x;
            o[0] = OnWhite(p[0], p[3]), o[1] = OnWhite(p[1], p[3]), o[2] = OnWhite(p[2], p[3]);
            break;
        }
        case Layout::Pbgra32: {
            const unsigned char* p = in + 4 * x;
            for (int c = 0; c < 3; ++c)
                o[c] = static_cast<BYTE>(std::min(255, p[c] + 255 - p[3]));
            break;
        }
        case Layout::Rgb24: {
            const unsigned char* p = in + 3 * x;
            o[0] = p[2], o[1] = p[1], o[2] = p[0];
            break;
        }
        case Layout::Rgba32: {
            const unsigned char* p = in + 4 * x;
            o[0] = OnWhite(p[2], p[3]), o[1] = OnWhite(p[1], p[3]), o[2] = OnWhite(p[0], p[3]);
            break;
        }
        case Layout::Rgb48: {
            const unsigned char* p = in + 6 * x;
            o[0] = High(p + 4), o[1] = High(p + 2), o[2] = High(p);
            break;
        }
        case Layout::Bgr48: {
            const unsigned char* p = in + 6 * x;
            o[0] = High(p), o[1] = High(p + 2), o[2] = High(p + 4);
            break;
        }
        case Layout::Rgba64: {
            const unsigned char* p = in + 8 * x;
            const unsigned a = High(p + 6);
            o[0] = OnWhite(High(p + 4), a), o[1] = OnWhite(High(p + 2), a), o[2] = OnWhite(High(p), a);
            break;
        }
        default:
            break;
        }
    }
}

// The frame's pixels as bottom-up DIB rows in a movable block.
Block DecodeRows(Source& source, Plan& plan, const ProgressCallback progress, LONG_PTR progressData) {
    const std::size_t stride = Stride(source.width, plan.target.bits);
    if (stride > (SIZE_MAX / 2) / source.height)
        throw Failure{kNoMemory};
    // Rows copied as they are fill their whole row; the others are built up from zero.
    Block pixels(stride * source.height, plan.layout != Layout::Direct);
    auto report = [&](UINT done) {
        if (progress && progress(static_cast<int>(done), static_cast<int>(source.height), progressData) != 0)
            throw Failure{kAborted};
    };
    report(0);
    ComPtr<IWICFormatConverter> converter;
    IWICBitmapSource* from = source.frame.get();
    if (plan.layout == Layout::Converted) {
        Check(source.factory->CreateFormatConverter(converter.put()), kInternalError);
        Check(converter->Initialize(source.frame.get(), GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone, nullptr,
                                    0.0, WICBitmapPaletteTypeCustom),
              kCorrupt);
        from = converter.get();
        plan.layout = Layout::Direct;
        plan.sourceBits = 24;
    }
    if (plan.layout == Layout::Direct) {
        // Each row straight into its place in the bottom-up DIB; only the padding is cleared.
        const std::size_t used = (static_cast<std::size_t>(source.width) * plan.sourceBits + 7) / 8;
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
    const std::size_t sourceStride = (static_cast<std::size_t>(source.width) * plan.sourceBits + 31) / 32 * 4;
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
            ConvertRow(plan, buffer.data() + r * sourceStride, pixels.data() + (source.height - 1 - (y + r)) * stride,
                       source.width);
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

unsigned PixelAt(const unsigned char* row, UINT x, int bits) {
    switch (bits) {
    case 1:
        return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4:
        return (row[x / 2] >> (x % 2 ? 0 : 4)) & 15;
    case 8:
        return row[x];
    default:
        return row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16;
    }
}
void PutPixel(unsigned char* row, UINT x, int bits, unsigned v) {
    switch (bits) {
    case 1:
        row[x / 8] |= static_cast<unsigned char>(v << (7 - x % 8));
        break;
    case 4:
        row[x / 2] |= static_cast<unsigned char>(x % 2 ? v : v << 4);
        break;
    case 8:
        row[x] = static_cast<unsigned char>(v);
        break;
    default:
        row[3 * x] = static_cast<unsigned char>(v), row[3 * x + 1] = static_cast<unsigned char>(v >> 8),
                row[3 * x + 2] = static_cast<unsigned char>(v >> 16);
    }
}

int Decode(LPCSTR buffer, LONG_PTR length, unsigned flag, HANDLE* bitmapInfo, HANDLE* bitmapBits,
           ProgressCallback progress, LONG_PTR data, bool preview) {
    if (!bitmapInfo || !bitmapBits)
        return kInternalError;
    try {
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
                for (UINT x = 0; x < w; ++x)
                    PutPixel(out, x, plan.target.bits, PixelAt(in, 4 * x, plan.target.bits));
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
    } catch (const Failure& failure) {
        return failure.code;
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    } catch (...) {
        return kInternalError;
    }
}

int CopyText(const char* text, LPSTR buffer, int length) {
    if (!buffer || length <= 0)
        return 0;
    const int n = std::min<int>(static_cast<int>(std::strlen(text)), length - 1);
    std::memcpy(buffer, text, n);
    buffer[n] = '\0';
    return n;
}

} // namespace

extern "C" {

__declspec(dllexport) int WINAPI GetPluginInfo(int infoNo, LPSTR buffer, int bufferLength) {
    switch (infoNo) {
    case 0:
        return CopyText("00IN", buffer, bufferLength);
    case 1:
        return CopyText(kFormat.description, buffer, bufferLength);
    case 2:
        return CopyText(kFormat.patterns, buffer, bufferLength);
    case 3:
        return CopyText(kFormat.name, buffer, bufferLength);
    default:
        return 0;
    }
}

// data is a file handle when its value fits in 16 bits, else the first 2 KiB of the file.
__declspec(dllexport) int WINAPI IsSupported(LPCSTR, void* data) {
    unsigned char head[2048] = {};
    std::size_t n = 0;
    if ((reinterpret_cast<ULONG_PTR>(data) & ~ULONG_PTR(0xFFFF)) == 0) {
        DWORD got = 0;
        if (!data || !ReadFile(static_cast<HANDLE>(data), head, sizeof head, &got, nullptr))
            return 0;
        n = got;
    } else {
        std::memcpy(head, data, sizeof head);
        n = sizeof head;
    }
    return HasSignature(head, n) ? 1 : 0;
}

__declspec(dllexport) int WINAPI GetPictureInfo(LPCSTR buffer, LONG_PTR length, unsigned flag, PictureInfo* info) {
    if (!info)
        return kInternalError;
    try {
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
        *info = PictureInfo{};
        info->width = static_cast<LONG>(header->width);
        info->height = static_cast<LONG>(header->height);
        info->xDensity = density(header->dpiX);
        info->yDensity = density(header->dpiY);
        info->colorDepth = static_cast<SHORT>(header->bits);
        info->hInfo = nullptr;
        return kOk;
    } catch (const Failure& failure) {
        return failure.code;
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    } catch (...) {
        return kInternalError;
    }
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

namespace __gnu_cxx {
void __freeres() noexcept;
}

// The loader releases the plug-in after every file. The C++ runtime linked into it allocates its emergency
// exception pool (about 70 KiB) when loaded and never frees it, so each file would leave that much behind in the
// program: the pool is freed when the library is released (not at process end, where it does not matter).
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && !reserved)
        __gnu_cxx::__freeres();
    return TRUE;
}
