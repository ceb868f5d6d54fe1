// A plug-in for the tests only. The file it is given says, at the offset it is read from, what to answer:
// "KVSPI" followed by blank-separated settings, for example "KVSPI info=0 pict=3 w=640 h=400 dx=1 dy=2 bits=8".
//   info, pict   result of GetPictureInfo and of GetPicture/GetPreview (default 0)
//   w, h         picture size (default 8 x 4); dx, dy densities (default 1, 1); bits 24 or 8 (palette)
//   topdown      1: the rows stored from the top, under a negative height
//   fault        a broken answer: nullinfo, nullbits, hdrsize, zerowidth, shortbits, overflow, clrused
// Without "KVSPI" at the offset every call answers 2 (unknown format). Every call is logged as
// "Name@offset=result;", or "Name@mem<size>=result;" for the memory input, and KvTestTakeLog hands the log over.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "plugins/interface/plugin_interface_win.h"
#include "tests/plugin/test_plugin_pattern.h"

namespace {

using namespace kelvad::plugin;

std::string callLog;

struct Settings {
    int info = 0, pict = 0;
    long w = 8, h = 4;
    int dx = 1, dy = 1, bits = 24, topdown = 0;
    std::string fault;
};

// The input is a file read from an offset (flag 0), or its bytes in memory (flag 1, offset being their size).
bool ReadSettings(LPCSTR name, LONG_PTR offset, unsigned flag, Settings& s) {
    char text[1024] = {};
    if ((flag & 7) == 1) {
        std::memcpy(text, name, std::min<std::size_t>(offset, sizeof text - 1));
    } else {
        HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        DWORD got = 0;
        SetFilePointer(file, static_cast<LONG>(offset), nullptr, FILE_BEGIN);
        ReadFile(file, text, sizeof text - 1, &got, nullptr);
        CloseHandle(file);
    }
    if (std::strncmp(text, "KVSPI", 5) != 0)
        return false;
    for (char* line = text + 5; *line && *line != '\n';) {
        while (*line == ' ')
            ++line;
        char* end = line;
        while (*end && *end != ' ' && *end != '\n')
            ++end;
        std::string item(line, end);
        const auto eq = item.find('=');
        if (eq != std::string::npos) {
            const std::string key = item.substr(0, eq), value = item.substr(eq + 1);
            const long n = std::strtol(value.c_str(), nullptr, 10);
            if (key == "info")
                s.info = static_cast<int>(n);
            else if (key == "pict")
                s.pict = static_cast<int>(n);
            else if (key == "w")
                s.w = n;
            else if (key == "h")
                s.h = n;
            else if (key == "dx")
                s.dx = static_cast<int>(n);
            else if (key == "dy")
                s.dy = static_cast<int>(n);
            else if (key == "bits")
                s.bits = static_cast<int>(n);
            else if (key == "topdown")
                s.topdown = static_cast<int>(n);
            else if (key == "fault")
                s.fault = value;
        }
        line = end;
    }
    return true;
}

int Log(const char* call, LONG_PTR offset, unsigned flag, int result) {
    callLog += std::string(call) + "@" + ((flag & 7) == 1 ? "mem" : "") + std::to_string(offset) + "=" +
               std::to_string(result) + ";";
    return result;
}

HANDLE Alloc(std::size_t size) {
    return GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
}

int MakePicture(const Settings& s, bool preview, HANDLE* infoOut, HANDLE* bitsOut) {
    const long w = preview ? (s.w + 3) / 4 : s.w;
    const long h = preview ? (s.h + 3) / 4 : s.h;
    const int colours = s.bits == 8 ? 256 : 0;
    const std::size_t stride = (static_cast<std::size_t>(w) * s.bits + 31) / 32 * 4;
    std::size_t pixelBytes = stride * h;
    if (s.fault == "shortbits")
        pixelBytes /= 2;
    if (s.fault == "overflow")
        pixelBytes = 64;
    HANDLE info = Alloc(sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD));
    HANDLE bits = Alloc(pixelBytes);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(info));
    header->biSize = s.fault == "hdrsize" ? 2000 : sizeof(BITMAPINFOHEADER);
    header->biWidth = s.fault == "zerowidth" ? 0 : (s.fault == "overflow" ? 0x7FFFFFFF : w);
    header->biHeight = s.fault == "overflow" ? 0x7FFFFFFF : (s.topdown ? -h : h);
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(s.bits);
    header->biClrUsed = s.fault == "clrused" ? 300 : 0;
    auto* table = reinterpret_cast<RGBQUAD*>(header + 1);
    for (int i = 0; i < colours; ++i) {
        const test_plugin::Rgb c = test_plugin::PaletteColour(i);
        table[i] = RGBQUAD{c.b, c.g, c.r, 0};
    }
    GlobalUnlock(info);
    auto* rows = static_cast<unsigned char*>(GlobalLock(bits));
    if (s.fault != "shortbits" && s.fault != "overflow") {
        for (long y = 0; y < h; ++y) {
            unsigned char* row = rows + (s.topdown ? y : h - 1 - y) * stride;
            for (long x = 0; x < w; ++x) {
                if (s.bits == 8) {
                    row[x] = static_cast<unsigned char>(test_plugin::PaletteIndex(x, y));
                } else {
                    const test_plugin::Rgb c = test_plugin::TrueColour(x, y);
                    row[3 * x] = c.b, row[3 * x + 1] = c.g, row[3 * x + 2] = c.r;
                }
            }
        }
    }
    GlobalUnlock(bits);
    if (s.fault == "nullinfo") {
        GlobalFree(info);
        info = nullptr;
    }
    if (s.fault == "nullbits") {
        GlobalFree(bits);
        bits = nullptr;
    }
    *infoOut = info;
    *bitsOut = bits;
    return kOk;
}

int Picture(const char* call, LPCSTR name, LONG_PTR offset, unsigned flag, HANDLE* info, HANDLE* bits, bool preview) {
    Settings s;
    if (!ReadSettings(name, offset, flag, s))
        return Log(call, offset, flag, kUnknownFormat);
    if (s.pict != 0)
        return Log(call, offset, flag, s.pict);
    return Log(call, offset, flag, MakePicture(s, preview, info, bits));
}

} // namespace

extern "C" {

__declspec(dllexport) int WINAPI KvTestTakeLog(LPSTR buffer, int length) {
    const int n = static_cast<int>(std::min<std::size_t>(callLog.size(), length - 1));
    std::memcpy(buffer, callLog.data(), n);
    buffer[n] = '\0';
    callLog.clear();
    return n;
}

#ifndef TEST_PLUGIN_PICTURE_ONLY
__declspec(dllexport) int WINAPI GetPictureInfo(LPCSTR name, LONG_PTR offset, unsigned flag, PictureInfo* record) {
    Settings s;
    if (!ReadSettings(name, offset, flag, s))
        return Log("GetPictureInfo", offset, flag, kUnknownFormat);
    if (s.info != 0)
        return Log("GetPictureInfo", offset, flag, s.info);
    record->width = s.fault == "zeroinfo" ? 0 : s.w;
    record->height = s.h;
    record->xDensity = static_cast<WORD>(s.dx);
    record->yDensity = static_cast<WORD>(s.dy);
    record->colorDepth = static_cast<SHORT>(s.bits);
    record->hInfo = LocalAlloc(LMEM_MOVEABLE, 16);
    return Log("GetPictureInfo", offset, flag, kOk);
}

#ifndef TEST_PLUGIN_NO_PREVIEW
__declspec(dllexport) int WINAPI
    GetPreview(LPCSTR name, LONG_PTR offset, unsigned flag, HANDLE* info, HANDLE* bits, ProgressCallback, LONG_PTR) {
    return Picture("GetPreview", name, offset, flag, info, bits, true);
}
#endif
#endif

__declspec(dllexport) int WINAPI
    GetPicture(LPCSTR name, LONG_PTR offset, unsigned flag, HANDLE* info, HANDLE* bits, ProgressCallback, LONG_PTR) {
    return Picture("GetPicture", name, offset, flag, info, bits, false);
}

} // extern "C"
