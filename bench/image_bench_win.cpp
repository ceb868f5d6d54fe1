// Image loading benchmark, run under Wine by scripts/image-bench.
//
//   kelvad_image_bench.exe time JPEG [ROUNDS]   the loader through ifjpeg.spi against WIC straight into a
//                                               bitmap of the same size; best time of each and their ratio
//   kelvad_image_bench.exe memory JPEG          growth of the peak working set over one load through the
//                                               loader, against the size of the 24-bit picture
//   kelvad_image_bench.exe make JPEG W H        writes a W x H photo-like JPEG with WIC
#include <windows.h>
// After <windows.h>, which they need.
#include <psapi.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/codepage.h"
#include "bench/arguments_win.h"
#include "bench/bench_clock_win.h"
#include "image/all_win.h"
#include "ui/application.h"
#include "ui/handle.h"

namespace {

template <class T> struct Com {
    T* p = nullptr;
    ~Com() {
        if (p)
            p->Release();
    }
};

bool Ok(HRESULT hr, const char* what) {
    if (FAILED(hr))
        std::fprintf(stderr, "%s failed: 0x%08lx\n", what, static_cast<unsigned long>(hr));
    return SUCCEEDED(hr);
}

// COM for one call, as the plug-ins have it: the program itself does not initialise COM.
struct ComScope {
    ComScope() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComScope() { CoUninitialize(); }
};

// WIC straight into a display-compatible bitmap: decode to 24-bit rows, then SetDIBits.
bool LoadWithWic(const std::wstring& path, int& width, int& height) {
    ComScope com;
    Com<IWICImagingFactory> factory;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    if (!Ok(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                             reinterpret_cast<void**>(&factory.p)),
            "factory") ||
        !Ok(factory.p->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                 &decoder.p),
            "decoder") ||
        !Ok(decoder.p->GetFrame(0, &frame.p), "frame"))
        return false;
    UINT w = 0, h = 0;
    frame.p->GetSize(&w, &h);
    // Bottom-up rows and scan lines set in bands, as the loader does (both are faster under Wine than a
    // top-down picture set in one call).
    const UINT stride = (w * 3 + 3) / 4 * 4;
    std::vector<BYTE> rows(static_cast<std::size_t>(stride) * h);
    for (UINT y = 0; y < h; ++y) {
        const WICRect rect{0, INT(y), INT(w), 1};
        if (!Ok(frame.p->CopyPixels(&rect, stride, stride, rows.data() + std::size_t(h - 1 - y) * stride), "copy"))
            return false;
    }
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), LONG(w), LONG(h), 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    ui::WindowDc screen(nullptr);
    ui::GdiObject bitmap(CreateCompatibleBitmap(screen.get(), int(w), int(h)));
    ui::OwnedDc memory(CreateCompatibleDC(screen.get()));
    const UINT band = std::max<UINT>(1, (1u << 20) / stride);
    for (UINT first = 0; first < h; first += band) {
        if (SetDIBits(memory.get(), static_cast<HBITMAP>(bitmap.get()), first, std::min(band, h - first),
                      rows.data() + std::size_t(first) * stride, &info, DIB_RGB_COLORS) == 0)
            return false;
    }
    width = int(w);
    height = int(h);
    return true;
}

bool LoadWithLoader(const std::wstring& path, int& width, int& height) {
    kelvad::TAll all(nullptr);
    all.showMessage = [](const std::wstring& message) {
        std::fprintf(stderr, "loader: %s\n", kelvad::ToShiftJis(message).bytes.c_str());
    };
    all.SetPictureName(path);
    width = all.GetPicture().Width();
    height = all.GetPicture().Height();
    return all.Error() == 0;
}

bool MakeJpeg(const std::wstring& path, UINT w, UINT h) {
    ComScope com;
    Com<IWICImagingFactory> factory;
    Com<IWICStream> stream;
    Com<IWICBitmapEncoder> encoder;
    Com<IWICBitmapFrameEncode> frame;
    Com<IPropertyBag2> options;
    if (!Ok(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                             reinterpret_cast<void**>(&factory.p)),
            "factory") ||
        !Ok(factory.p->CreateStream(&stream.p), "stream") ||
        !Ok(stream.p->InitializeFromFilename(path.c_str(), GENERIC_WRITE), "file") ||
        !Ok(factory.p->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder.p), "encoder") ||
        !Ok(encoder.p->Initialize(stream.p, WICBitmapEncoderNoCache), "init") ||
        !Ok(encoder.p->CreateNewFrame(&frame.p, &options.p), "frame") || !Ok(frame.p->Initialize(options.p), "frame") ||
        !Ok(frame.p->SetSize(w, h), "size"))
        return false;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    frame.p->SetPixelFormat(&format);
    const UINT stride = (w * 3 + 3) / 4 * 4;
    std::vector<BYTE> rows(static_cast<std::size_t>(stride) * 64);
    unsigned seed = 12345;
    // Smooth gradients with some grain, written 64 rows at a time.
    for (UINT y0 = 0; y0 < h; y0 += 64) {
        const UINT n = std::min<UINT>(64, h - y0);
        for (UINT r = 0; r < n; ++r)
            for (UINT x = 0; x < w; ++x) {
                seed = seed * 1103515245 + 12345;
                const int grain = int(seed >> 27) - 16;
                BYTE* p = &rows[static_cast<std::size_t>(r) * stride + 3 * x];
                p[0] = BYTE(std::clamp(int(x * 255 / w) + grain, 0, 255));
                p[1] = BYTE(std::clamp(int((y0 + r) * 255 / h) + grain, 0, 255));
                p[2] = BYTE(std::clamp(int(((x + y0 + r) / 16) % 256) + grain, 0, 255));
            }
        if (!Ok(frame.p->WritePixels(n, stride, stride * n, rows.data()), "write"))
            return false;
    }
    return Ok(frame.p->Commit(), "commit") && Ok(encoder.p->Commit(), "commit");
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::wstring> arguments = WideArguments();
    if (argc < 3 || arguments.size() != std::size_t(argc)) {
        std::fprintf(stderr, "usage: kelvad_image_bench time|memory|make JPEG [ROUNDS | W H]\n");
        return 64;
    }
    const std::string mode = argv[1];
    const std::wstring path = arguments[2];
    ui::App().Initialize(GetModuleHandleA(nullptr));
    int width = 0, height = 0;
    if (mode == "make")
        return MakeJpeg(path, UINT(std::atoi(argv[3])), UINT(std::atoi(argv[4]))) ? 0 : 1;
    if (mode == "memory") {
        // A small picture first, so that the libraries that every load uses are already in.
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        const std::wstring small = std::wstring(temp) + L"kelvad_bench_small.jpg";
        if (!MakeJpeg(small, 64, 48) || !LoadWithLoader(small, width, height))
            return 1;
        DeleteFileW(small.c_str());
        const SIZE_T before = Memory().PeakWorkingSetSize;
        if (!LoadWithLoader(path, width, height))
            return 1;
        const double picture = double(width) * height * 3;
        const double growth = double(Memory().PeakWorkingSetSize - before);
        std::printf("peak working set growth over one load of %dx%d: %.1f MiB = %.2f x the 24-bit picture "
                    "(%.1f MiB)\n",
                    width, height, growth / 1048576, growth / picture, picture / 1048576);
        return 0;
    }
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    double bestLoader = 1e9, bestWic = 1e9;
    for (int i = 0; i < rounds; ++i) {
        double start = Now();
        if (!LoadWithWic(path, width, height))
            return 1;
        bestWic = std::min(bestWic, Now() - start);
        start = Now();
        if (!LoadWithLoader(path, width, height))
            return 1;
        bestLoader = std::min(bestLoader, Now() - start);
    }
    std::printf("%dx%d JPEG, best of %d: loader through ifjpeg.spi %.3f s, WIC straight into a bitmap %.3f s, "
                "ratio %.3f\n",
                width, height, rounds, bestLoader, bestWic, bestLoader / bestWic);
    return 0;
}
