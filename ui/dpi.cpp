#include "ui/dpi.h"

#include <string>

namespace ui {
namespace {

// Functions of newer systems, looked up by name: Windows 7 and 8, and Wine, have only some of them.
template <class F> F Lookup(const wchar_t* module, const char* name) noexcept {
    HMODULE library = GetModuleHandleW(module);
    if (!library)
        library = LoadLibraryExW(module, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return library ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

using SetContextFn = BOOL(WINAPI*)(HANDLE);
using SetAwarenessFn = HRESULT(WINAPI*)(int);
using SetAwareFn = BOOL(WINAPI*)();
using DpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using ParametersForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 and PROCESS_PER_MONITOR_DPI_AWARE, spelt out for older headers.
const HANDLE kPerMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
constexpr int kProcessPerMonitorAware = 2;

} // namespace

int Scale(int designPixels, int dpi) noexcept {
    return dpi == kDesignDpi ? designPixels : MulDiv(designPixels, dpi, kDesignDpi);
}

void EnableDpiAwareness() noexcept {
    if (auto setContext = Lookup<SetContextFn>(L"user32.dll", "SetProcessDpiAwarenessContext");
        setContext && setContext(kPerMonitorV2))
        return;
    if (auto setAwareness = Lookup<SetAwarenessFn>(L"shcore.dll", "SetProcessDpiAwareness");
        setAwareness && SUCCEEDED(setAwareness(kProcessPerMonitorAware)))
        return;
    if (auto setAware = Lookup<SetAwareFn>(L"user32.dll", "SetProcessDPIAware"))
        setAware();
}

int SystemDpi() noexcept {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

int WindowDpi(HWND window) noexcept {
    static const auto dpiForWindow = Lookup<DpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
    if (dpiForWindow && window) {
        if (const UINT dpi = dpiForWindow(window))
            return static_cast<int>(dpi);
    }
    return SystemDpi();
}

void AdjustFrameForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) noexcept {
    static const auto adjust = Lookup<AdjustForDpiFn>(L"user32.dll", "AdjustWindowRectExForDpi");
    if (!adjust || !adjust(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

LOGFONTW StatusFont(int dpi) noexcept {
    static const auto forDpi = Lookup<ParametersForDpiFn>(L"user32.dll", "SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi)))
        return metrics.lfStatusFont;
    // Without the call the system's metrics are those of its own DPI.
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        metrics.lfStatusFont.lfHeight = MulDiv(metrics.lfStatusFont.lfHeight, dpi, SystemDpi());
    return metrics.lfStatusFont;
}

HBITMAP LoadGlyphBitmap(HINSTANCE instance, const wchar_t* name, int dpi) noexcept {
    const int percent = dpi >= 2 * kDesignDpi ? 200 : (dpi * 2 >= 3 * kDesignDpi ? 150 : 100);
    if (percent != 100) {
        HBITMAP scaled = nullptr;
        if (IS_INTRESOURCE(name)) {
            const auto id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name) + (percent == 200 ? 2000 : 1000));
            scaled = LoadBitmapW(instance, MAKEINTRESOURCEW(id));
        } else {
            scaled = LoadBitmapW(instance, (std::wstring(name) + std::to_wstring(percent)).c_str());
        }
        if (scaled)
            return scaled;
    }
    return LoadBitmapW(instance, name);
}

} // namespace ui
