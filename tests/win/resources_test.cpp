#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/resource_ids.h"

namespace {

// The bitmap's size, and the colour of its bottom-left pixel (the transparent colour of a glyph).
struct BitmapFacts {
    int width = 0;
    int height = 0;
    COLORREF bottomLeft = CLR_INVALID;
};

BitmapFacts Inspect(HBITMAP bitmap) {
    BitmapFacts facts;
    BITMAP info{};
    if (!GetObjectA(bitmap, sizeof info, &info))
        return facts;
    facts.width = info.bmWidth;
    facts.height = info.bmHeight;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    facts.bottomLeft = GetPixel(dc, 0, info.bmHeight - 1);
    SelectObject(dc, old);
    DeleteDC(dc);
    return facts;
}

TEST(Resources, GlyphsAreTwoCellsWithTheTransparentCorner) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const char* const glyphs[] = {
        MAKEINTRESOURCEA(IDB_FILEOPEN),
        MAKEINTRESOURCEA(IDB_INSERT),
        MAKEINTRESOURCEA(IDB_EDIT),
        MAKEINTRESOURCEA(IDB_DELETE),
        MAKEINTRESOURCEA(IDB_PRINT),
        MAKEINTRESOURCEA(IDB_SETUP),
        MAKEINTRESOURCEA(IDB_HELP),
        MAKEINTRESOURCEA(IDB_ABORT),
        MAKEINTRESOURCEA(IDB_OK),
        "ON",
        "OFF",
    };
    for (const char* name : glyphs) {
        SCOPED_TRACE(IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<UINT_PTR>(name)) : std::string(name));
        HBITMAP bitmap = LoadBitmapA(instance, name);
        ASSERT_NE(bitmap, nullptr);
        const BitmapFacts facts = Inspect(bitmap);
        DeleteObject(bitmap);
        EXPECT_EQ(facts.width, 32);
        EXPECT_EQ(facts.height, 16);
        EXPECT_EQ(facts.bottomLeft, RGB(255, 0, 255));
    }
}

TEST(Resources, ProgramIconHasItsLargeAndSmallImages) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    HRSRC group = FindResourceA(instance, MAKEINTRESOURCEA(IDI_MAINICON), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(instance, group)));
    ASSERT_NE(directory, nullptr);
    // Each size has an image of its own, so nothing is scaled for the caption or the about box.
    const int large = LookupIconIdFromDirectoryEx(directory, TRUE, 32, 32, 0);
    const int small = LookupIconIdFromDirectoryEx(directory, TRUE, 16, 16, 0);
    EXPECT_NE(large, 0);
    EXPECT_NE(small, 0);
    EXPECT_NE(large, small);

    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_MAINICON));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    GetObjectA(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, 32);
    EXPECT_EQ(colour.bmHeight, 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

// A value of the version information of this program, through version.dll (loaded here: the test program
// does not link it).
std::string VersionValue(const char* path) {
    using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
    HMODULE version = LoadLibraryA("version.dll");
    if (!version)
        return "(no version.dll)";
    auto size = reinterpret_cast<SizeFn>(reinterpret_cast<void*>(GetProcAddress(version, "GetFileVersionInfoSizeA")));
    auto info = reinterpret_cast<InfoFn>(reinterpret_cast<void*>(GetProcAddress(version, "GetFileVersionInfoA")));
    auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(GetProcAddress(version, "VerQueryValueA")));
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string result = "(none)";
    DWORD handle = 0;
    std::string block(size(module, &handle), '\0');
    char* value = nullptr;
    UINT length = 0;
    if (!block.empty() && info(module, 0, DWORD(block.size()), block.data()) &&
        query(block.data(), path, reinterpret_cast<void**>(&value), &length) && value)
        result.assign(value, strnlen(value, length));
    FreeLibrary(version);
    return result;
}

TEST(Resources, VersionIsJapaneseOnePointTwo) {
    EXPECT_EQ(VersionValue("\\StringFileInfo\\041103A4\\FileVersion"), "1.2");
    EXPECT_EQ(VersionValue("\\StringFileInfo\\041103A4\\ProductName"), "Kelvad32");
}

} // namespace
