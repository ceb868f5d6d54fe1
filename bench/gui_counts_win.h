#pragma once
// The process's GDI and USER object counts and its private memory, for the soak benchmark and a Win32 test.
// GetGuiResources answers on Windows; under Wine it is a stub, so there the objects are counted where Wine keeps
// them: GDI objects in the handle table that the process environment block points to, USER objects by probing
// the low words of USER handles (which Wine accepts for any of its objects).
#include <windows.h>

#include <psapi.h>

namespace kelvad::bench {

struct GuiCounts {
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    SIZE_T privateBytes = 0;
};

// Wine's GDI handle table: 65536 entries of 24 bytes (the same on both architectures), an entry in use while
// its type byte (offset 14) is set.
inline DWORD CountWineGdiObjects() {
    using GetPeb = const BYTE*(WINAPI*)();
    const auto getPeb = reinterpret_cast<GetPeb>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetCurrentPeb")));
    const BYTE* peb = getPeb ? getPeb() : nullptr;
    if (!peb)
        return 0;
    const BYTE* table = *reinterpret_cast<const BYTE* const*>(peb + (sizeof(void*) == 8 ? 0xF8 : 0x94));
    DWORD count = 0;
    for (int i = 0; table && i < 0x10000; ++i)
        count += table[i * 24 + 14] != 0;
    return count;
}

// Windows of this process, menus, icons and cursors, and accelerator tables among Wine's USER handles.
inline DWORD CountWineUserObjects() {
    const DWORD self = GetCurrentProcessId();
    DWORD count = 0;
    for (UINT_PTR low = 0x20; low < 0xFFF0; low += 2) {
        const auto handle = reinterpret_cast<HANDLE>(low);
        if (IsWindow(static_cast<HWND>(handle))) {
            DWORD owner = 0;
            GetWindowThreadProcessId(static_cast<HWND>(handle), &owner);
            count += owner == self;
        } else if (IsMenu(static_cast<HMENU>(handle))) {
            ++count;
        } else if (ICONINFO info{}; GetIconInfo(static_cast<HICON>(handle), &info)) {
            DeleteObject(info.hbmMask);
            DeleteObject(info.hbmColor);
            ++count;
        } else if (CopyAcceleratorTableA(static_cast<HACCEL>(handle), nullptr, 0) > 0) {
            ++count;
        }
    }
    return count;
}

inline DWORD GuiObjects(DWORD kind, DWORD (*wineCount)()) {
    SetLastError(0);
    const DWORD count = GetGuiResources(GetCurrentProcess(), kind);
    return count == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED ? wineCount() : count;
}

// The committed private pages of the address space (what PrivateUsage counts; Wine leaves that at 0).
inline SIZE_T CommittedPrivateBytes() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const BYTE* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        if (region.RegionSize == 0)
            break;
    }
    return total;
}

inline GuiCounts MeasureGuiCounts(bool withUserObjects = true) {
    GuiCounts counts;
    counts.gdiObjects = GuiObjects(GR_GDIOBJECTS, CountWineGdiObjects);
    if (withUserObjects)
        counts.userObjects = GuiObjects(GR_USEROBJECTS, CountWineUserObjects);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        counts.privateBytes = memory.PrivateUsage;
    if (counts.privateBytes == 0)
        counts.privateBytes = CommittedPrivateBytes();
    return counts;
}

} // namespace kelvad::bench
