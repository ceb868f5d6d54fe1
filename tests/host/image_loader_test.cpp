#include "image/image_loader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/codepage.h"

namespace kelvad {
namespace {

TEST(ImageLoader, ExtensionScanAndTable) {
    struct Case {
        const char* path;
        const char* extension;
        int kind; // -1: unsupported
    };
    const Case cases[] = {
        {"photo.jpg", ".JPG", kJpegKind},
        {"PHOTO.JPG", ".JPG", kJpegKind},
        {"a.b.jpe", ".JPE", kJpegKind},
        {"photo.jpeg", ".JPEG", -1},
        {"scan.tiff", ".TIFF", -1},
        {"scan.tif", ".TIF", 3},
        {"C:\\DIR.X\\FILE", "", -1},
        {"C:FILE", "", -1},
        {"a.gif:stream", "", -1},
        {"x.p2", ".P2", kPic2Kind},
        {"x.q4", ".Q4", 7},
        {"x.Pi", ".PI", 8},
        {"x.mag", ".MAG", 6},
        {"x.pic", ".PIC", kPicKind},
        {"x.png", ".PNG", 9},
        {"x.Bmp", ".BMP", kNativeKind},
        {"x.ico", ".ICO", kNativeKind},
        {"x.wmf", ".WMF", kNativeKind},
        {"x.emf", ".EMF", kNativeKind},
        // The trail byte 0x5C of 表 is not a path separator; ascii letters only are upper-cased.
        {"C:\\画像.d\\表.bmp", ".BMP", kNativeKind},
        {"C:\\dir\\表", "", -1},
        {"C:\\a.b\\画.ｊ", ".ｊ", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(PictureExtension(ToWide(c.path)), ToWide(c.extension));
        const auto row = FindLoader(PictureExtension(ToWide(c.path)));
        EXPECT_EQ(row ? row->kind : -1, c.kind);
    }
    const std::wstring korean = L"C:\\한글\\사진.Jpg";
    EXPECT_STREQ(FindLoader(PictureExtension(korean))->library, "ifjpeg.spi");
    EXPECT_EQ(PictureExtension(L"a" + std::wstring(300, L'.')), L".");
    EXPECT_STREQ(FindLoader(L".JPG")->library, "ifjpeg.spi");
    EXPECT_EQ(LibraryNotFoundText(FindLoader(L".JPE")->typeName), "IFJPG.SPI not found");
    EXPECT_EQ(LibraryNotFoundText(FindLoader(L".TIF")->typeName), "IFTIFF.SPI not found");
    EXPECT_STREQ(FindLoader(L".Q4")->library, "ifxld4.spi");
    EXPECT_STREQ(FindLoader(L".PNG")->library, "ifpng.spi");
}

TEST(ImageLoader, ResultTextsAndMessage) {
    const std::pair<int, const char*> cases[] = {
        {2, "未知のフォーマット"},   {3, "データが壊れている"}, {4, "メモリーが確保出来ない"}, {5, "メモリーエラー"},
        {6, "ファイルリードエラー"}, {1, "その他のエラー"},     {7, "その他のエラー"},         {-1, "その他のエラー"},
    };
    for (const auto& [code, text] : cases)
        EXPECT_EQ(PluginResultText(code), text) << code;
    EXPECT_EQ(LoaderMessage("未知のフォーマット", L"C:\\\uD55C b.gif"), L"未知のフォーマット [C:\\\uD55C b.gif]");
}

TEST(ImageLoader, PreviewAspectAndPaletteSizes) {
    EXPECT_EQ(PreviewSize(1001, 999), (PictureSize{251, 250}));
    EXPECT_EQ(PreviewSize(1000, 4), (PictureSize{250, 1}));
    EXPECT_EQ(PreviewSize(1, 3), (PictureSize{1, 1}));

    EXPECT_EQ(AspectSize({640, 400}, 1, 2), (PictureSize{1280, 400}));
    EXPECT_EQ(AspectSize({640, 400}, 3, 2), (PictureSize{640, 600}));
    EXPECT_EQ(AspectSize({641, 401}, 3, 2), (PictureSize{641, 601})); // 601.5 truncated
    EXPECT_EQ(AspectSize({641, 400}, 2, 3), (PictureSize{961, 400})); // 961.5 truncated
    EXPECT_EQ(AspectSize({640, 400}, 2, 2), (PictureSize{640, 400}));
    EXPECT_FALSE(AspectSize({640, 400}, 1, 1));
    EXPECT_FALSE(AspectSize({640, 400}, 0, 2));
    EXPECT_FALSE(AspectSize({640, 400}, 2, 0));
    EXPECT_FALSE(AspectSize({100000, 400}, 1, 65535));

    EXPECT_FALSE(BitmapTooLarge(16384, 21845) || BitmapTooLarge(0, 0x7FFFFFFF)); // rows of 49152 bytes: < 1 GiB
    EXPECT_TRUE(BitmapTooLarge(16384, 21846) && BitmapTooLarge(0x7FFFFFFF, 1));

    EXPECT_EQ(PaletteEntryCount(8, 0), 256);
    EXPECT_EQ(PaletteEntryCount(4, 0), 16);
    EXPECT_EQ(PaletteEntryCount(1, 0), 2);
    EXPECT_EQ(PaletteEntryCount(24, 0), 0);
    EXPECT_EQ(PaletteEntryCount(8, 17), 17);
}

std::vector<unsigned char> Header(int width, int height, int bits, unsigned clrUsed, int colours, unsigned size = 40,
                                  unsigned compression = 0) {
    std::vector<unsigned char> block(40 + 4 * colours);
    auto put32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            block[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    put32(0, size);
    put32(4, static_cast<std::uint32_t>(width));
    put32(8, static_cast<std::uint32_t>(height));
    block[12] = 1;
    block[14] = static_cast<unsigned char>(bits);
    put32(16, compression);
    put32(32, clrUsed);
    return block;
}

TEST(ImageLoader, PluginBlocksAreCheckedBeforeUse) {
    struct Case {
        const char* what;
        std::vector<unsigned char> info;
        std::size_t pixels;
        bool usable;
    };
    const Case cases[] = {
        {"24-bit, rows padded to 4 bytes", Header(3, 2, 24, 0, 0), 24, true},
        {"one byte short", Header(3, 2, 24, 0, 0), 23, false},
        {"8-bit with its 256 colours", Header(5, 5, 8, 0, 256), 40, true},
        {"8-bit with 256 colours missing", Header(5, 5, 8, 0, 16), 40, false},
        {"4-bit with 3 colours used", Header(9, 1, 4, 3, 3), 8, true},
        {"more colours than the depth holds", Header(1, 1, 8, 300, 300), 4, false},
        {"1-bit", Header(33, 2, 1, 0, 2), 16, true},
        {"width 0", Header(0, 5, 24, 0, 0), 100, false},
        {"height 0", Header(5, 0, 24, 0, 0), 100, false},
        {"negative height: rows from the top", Header(5, -5, 24, 0, 0), 80, true},
        {"the most negative height", Header(1, INT32_MIN, 24, 0, 0), 1u << 20, false},
        {"header size beyond block", Header(1, 1, 24, 0, 0, 200), 4, false},
        {"header size too small", Header(1, 1, 24, 0, 0, 12), 4, false},
        {"unknown depth", Header(1, 1, 7, 0, 0), 4, false},
        {"run-length compressed", Header(4, 1, 8, 0, 256, 40, 1), 4, false},
        {"sizes whose product overflows", Header(0x7FFFFFFF, 0x7FFFFFFF, 32, 0, 0), 1u << 20, false},
        {"bit fields without masks", Header(1, 1, 32, 0, 0, 40, 3), 4, false},
        {"bit fields with masks", Header(1, 1, 32, 0, 3, 40, 3), 4, true},
        {"bit fields, 51-byte header", Header(1, 1, 16, 0, 3, 51, 3), 4, false},
        {"bit fields, 52-byte header holding the masks", Header(1, 1, 16, 0, 3, 52, 3), 4, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CheckPluginDib(c.info.data(), c.info.size(), c.pixels).has_value(), c.usable);
    }
    EXPECT_FALSE(CheckPluginDib(nullptr, 0, 100));
    const auto header = Header(5, 5, 8, 0, 256);
    EXPECT_FALSE(CheckPluginDib(header.data(), 39, 100));
    const auto layout = CheckPluginDib(header.data(), header.size(), 40);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->colourTableOffset, 40u);
    EXPECT_EQ(layout->colourCount, 256);
    EXPECT_FALSE(layout->topDown);
    EXPECT_EQ(CheckPluginDib(Header(5, -3, 8, 0, 256).data(), 40 + 1024, 24)->height, 3);
}

} // namespace
} // namespace kelvad
