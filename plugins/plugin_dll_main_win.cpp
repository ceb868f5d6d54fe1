// The entry point every plug-in of ours shares.
#include <windows.h>

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
