#pragma once
#include <windows.h>

#include "plugins/interface/plugin_results.h"

// The published image plug-in interface: the picture information record and the entry points. The 64-bit
// form of the interface widens the offset/size and callback data arguments to pointer size.
namespace kelvad::plugin {

#pragma pack(push, 1)
struct PictureInfo {
    LONG left;
    LONG top;
    LONG width;
    LONG height;
    WORD xDensity;
    WORD yDensity;
    SHORT colorDepth;
    HLOCAL hInfo; // text information, or null
};
#pragma pack(pop)

using ProgressCallback = int(WINAPI*)(int num, int denom, LONG_PTR data);
using GetPluginInfoFn = int(WINAPI*)(int infoNo, LPSTR buffer, int bufferLength);
using IsSupportedFn = int(WINAPI*)(LPCSTR fileName, void* data);
using GetPictureInfoFn = int(WINAPI*)(LPCSTR buffer, LONG_PTR length, unsigned flag, PictureInfo* info);
using GetPictureFn = int(WINAPI*)(LPCSTR buffer, LONG_PTR length, unsigned flag, HANDLE* bitmapInfo, HANDLE* bitmapBits,
                                  ProgressCallback progress, LONG_PTR data);

} // namespace kelvad::plugin
