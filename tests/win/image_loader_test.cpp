#include "ui_test_support.h"

#include <cstdlib>

#include "base/codepage.h"
#include "image/all_win.h"
#include "image/image_loader.h"
#include "picture_files.h"
#include "plugins/interface/plugin_interface_win.h"
#include "test_files.h"
#include "tests/host/crafted_pictures.h"
#include "ui/message_box.h"

namespace kelvad {
namespace {

using namespace kelvad::testing;
using test_plugin::Rgb;

std::string BinDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.rfind('\\') + 1);
}

// The test plug-in of a variant: the loader's plug-in folder, held by the test too to read its log.
class TestPlugin {
public:
    TestPlugin(TAll& all, const char* variant, const char* name)
        : name_(name), module_(LoadLibraryA((BinDir() + "testplugins\\" + variant + "\\" + name).c_str())) {
        const std::string folder = BinDir() + "testplugins\\" + variant + "\\";
        all.pluginFolder.assign(folder.begin(), folder.end());
    }
    ~TestPlugin() { module_.reset(); }
    HMODULE get() const { return module_.get(); }
    // The calls made since the last look, as "Name@offset=result;...".
    std::string TakeLog() const {
        using TakeLogFn = int(WINAPI*)(LPSTR, int);
        auto take = reinterpret_cast<TakeLogFn>(reinterpret_cast<void (*)()>(GetProcAddress(get(), "KvTestTakeLog")));
        char text[1024] = {};
        take(text, sizeof text);
        return text;
    }

private:
    std::string name_;
    ui::Library module_;
};

// A real plug-in of bin/ moved aside while it lives, so that the loader cannot find it.
struct HiddenPlugin {
    explicit HiddenPlugin(const char* name) : path(BinDir() + name) { MoveFileA(path.c_str(), (path + "~").c_str()); }
    ~HiddenPlugin() { MoveFileA((path + "~").c_str(), path.c_str()); }
    std::string path;
};

// A bitmap's pixels, top row first.
std::vector<RGBQUAD> PixelsOf(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    BITMAPINFO header{};
    header.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<RGBQUAD> pixels(static_cast<std::size_t>(info.bmWidth) * info.bmHeight);
    ui::WindowDc screen(nullptr);
    GetDIBits(screen.get(), bitmap, 0, info.bmHeight, pixels.data(), &header, DIB_RGB_COLORS);
    return pixels;
}

Rgb PixelOf(HBITMAP bitmap, int x, int y) {
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    const RGBQUAD q = PixelsOf(bitmap)[static_cast<std::size_t>(y) * info.bmWidth + x];
    return {q.rgbRed, q.rgbGreen, q.rgbBlue};
}

class ImageLoader : public ui_test::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        all.showMessage = [this](const std::wstring& message) { messages.push_back(ToShiftJis(message).bytes); };
    }
    // Loads a file of the given content and name; returns the one message shown, or "" when none was.
    std::string Load(const std::string& name, const Bytes& content) {
        path = WriteTempFile(name, content);
        messages.clear();
        all.SetPictureName(ToWide(path));
        EXPECT_LE(messages.size(), 1u);
        return messages.empty() ? "" : messages.front();
    }
    // Loads a file that is expected to fail; returns the message's text without " [name]".
    std::string LoadText(const std::string& name, const Bytes& content) {
        const std::string message = Load(name, content);
        const std::string tail = " [" + path + "]";
        if (message.size() > tail.size() && message.compare(message.size() - tail.size(), tail.size(), tail) == 0)
            return message.substr(0, message.size() - tail.size());
        return "(no name) " + message;
    }
    // Checks that the picture is the given pattern, every pixel.
    template <class Expected> void ExpectPixels(int w, int h, Expected expected, int tolerance = 0) {
        ASSERT_EQ(all.GetPicture().GetKind(), ui::Picture::Kind::Bitmap);
        ASSERT_EQ(all.GetPicture().Width(), w);
        ASSERT_EQ(all.GetPicture().Height(), h);
        int worst = 0;
        const std::vector<RGBQUAD> pixels = PixelsOf(all.GetPicture().Bitmap());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const RGBQUAD q = pixels[static_cast<std::size_t>(y) * w + x];
                const Rgb got{q.rgbRed, q.rgbGreen, q.rgbBlue};
                const Rgb want = expected(x, y);
                worst = std::max({worst, std::abs(got.r - want.r), std::abs(got.g - want.g), std::abs(got.b - want.b)});
                if (worst > tolerance) {
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << int(got.r) << "," << int(got.g) << ","
                                  << int(got.b) << ", expected " << int(want.r) << "," << int(want.g) << ","
                                  << int(want.b);
                    return;
                }
            }
    }

    TAll all{nullptr};
    std::vector<std::string> messages;
    std::string path;
};

const auto kTrueColour = [](int x, int y) { return test_plugin::TrueColour(x, y); };

TEST_F(ImageLoader, NativeKindsLoadAndBadOnesAreReported) {
    EXPECT_EQ(Load("top_down.bmp", BmpFile(24, 13, 7)), "");
    ExpectPixels(13, 7, kTrueColour);
    EXPECT_EQ(Load("palette.bmp", BmpFile(8, 9, 5)), "");
    ExpectPixels(9, 5, [](int x, int y) { return TestPaletteColour(x, y, 256); });
    EXPECT_EQ(all.LoaderKind(), kNativeKind);
    EXPECT_EQ(all.Width(), 9); // AutoSize follows the picture

    EXPECT_EQ(Load("icon.ico", IcoFile(16)), "");
    EXPECT_EQ(all.GetPicture().GetKind(), ui::Picture::Kind::Icon);
    EXPECT_EQ(all.GetPicture().Width(), 16);

    // A metafile recorded by GDI, plain and with the placeable header (one inch by half an inch).
    const std::string plainPath = TempDir() + "plain.wmf";
    HDC recorder = CreateMetaFileA(plainPath.c_str());
    Rectangle(recorder, 0, 0, 100, 50);
    DeleteMetaFile(CloseMetaFile(recorder));
    const Bytes plain = ReadWholeFile(plainPath);
    Bytes placeable;
    Put32(placeable, 0x9AC6CDD7);
    Put16(placeable, 0), Put16(placeable, 0), Put16(placeable, 0), Put16(placeable, 1440), Put16(placeable, 720);
    Put16(placeable, 1440), Put32(placeable, 0);
    unsigned checksum = 0;
    for (std::size_t i = 0; i < placeable.size(); i += 2)
        checksum ^= static_cast<unsigned char>(placeable[i]) | static_cast<unsigned char>(placeable[i + 1]) << 8;
    Put16(placeable, checksum);
    EXPECT_EQ(Load("placeable.wmf", placeable + plain), "");
    EXPECT_EQ(all.GetPicture().GetKind(), ui::Picture::Kind::Metafile);
    EXPECT_NEAR(all.GetPicture().Width(), 96, 1);
    EXPECT_NEAR(all.GetPicture().Height(), 48, 1);
    EXPECT_EQ(Load("plain.WMF", plain), "");
    EXPECT_EQ(all.GetPicture().GetKind(), ui::Picture::Kind::Metafile);
    EXPECT_GT(all.GetPicture().Width(), 0);

    const std::string emfPath = TempDir() + "drawing.emf";
    const RECT frame{0, 0, 2540, 1270};
    HDC emf = CreateEnhMetaFileA(nullptr, emfPath.c_str(), &frame, nullptr);
    Ellipse(emf, 0, 0, 50, 25);
    DeleteEnhMetaFile(CloseEnhMetaFile(emf));
    all.SetPictureName(ToWide(emfPath));
    EXPECT_EQ(all.Error(), 0);
    ASSERT_EQ(all.GetPicture().GetKind(), ui::Picture::Kind::Metafile);
    EXPECT_NEAR(all.GetPicture().Width(), 96, 1);
    EXPECT_NEAR(all.GetPicture().Height(), 48, 1);

    // Not a picture of its kind: reported, name emptied, PreView kept.
    all.SetPictureName(L"");
    all.SetPreView(true);
    for (const char* name : {"junk.bmp", "junk.ico", "junk.wmf", "junk.emf", "empty.bmp"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(LoadText(name, std::string(name) == "empty.bmp" ? "" : "not a picture at all, no"),
                  "未知のフォーマット");
        EXPECT_EQ(all.Error(), 2);
        EXPECT_TRUE(all.PictureName().empty());
        EXPECT_TRUE(all.GetPicture().Empty());
        EXPECT_TRUE(all.PreView());
    }
    // A file that cannot be opened reaches the caller, its name whole in the error's text.
    const std::wstring missing = ToWide(TempDir()) + L"\uD55C.bmp";
    try {
        all.SetPictureName(missing);
        ADD_FAILURE() << "no error";
    } catch (const ui::Error& error) {
        EXPECT_EQ(ui::ErrorText(error).rfind(missing + L": ", 0), 0u);
    }
    EXPECT_EQ(all.Error(), 0);
    EXPECT_TRUE(messages.empty() || messages.size() == 1);

    all.SetPictureName(L"");
    EXPECT_EQ(all.Error(), 0);
    EXPECT_TRUE(all.GetPicture().Empty());
}

TEST_F(ImageLoader, BrokenBitmapsAndMetafilesAreRefusedBeforeGdiReadsThem) {
    namespace c = crafted;
    // The 12-byte header with three-byte colours (entry i: red 255 - i, green and blue i), rows bottom-up.
    const Bytes core = c::DibHeader(12, 2, 2, 8, 0, 0, 0, 256) + Bytes("\1\2\0\0\3\4\0\0", 8);
    EXPECT_EQ(Load("core.bmp", c::Bmp(core, 14 + 12 + 3 * 256)), "");
    ExpectPixels(2, 2, [](int x, int y) {
        const int i = (1 - y) * 2 + x + 1;
        return Rgb{std::uint8_t(255 - i), std::uint8_t(i), std::uint8_t(i)};
    });
    const Bytes v5 = c::DibHeader(124, 2, 2, 8, 0, 0, 0, 256);
    EXPECT_EQ(Load("v5.bmp", c::Bmp(v5 + Bytes(8, '\1'), 14 + v5.size())), "");
    const Bytes stretch = c::Emr(81, {0, 0, 10, 10, 0, 0, 0, 0, 2, 2, 80, 40, 120, 16, 0, 0xCC0020, 10, 10}, c::Dib());
    EXPECT_EQ(Load("crafted.emf", c::Emf(stretch)), "");
    EXPECT_EQ(all.GetPicture().GetKind(), ui::Picture::Kind::Metafile);
    EXPECT_NEAR(all.GetPicture().Width(), 96, 1);

    const Bytes good = c::Emf(stretch);
    const std::pair<const char*, Bytes> broken[] = {
        {"no_table.bmp", c::Bmp(c::DibHeader(124, 2, 2, 8) + Bytes(8, '\1'), 14 + 124)},
        {"cut.bmp", c::Bmp(c::Dib(24, 1), 54)},
        {"rle.bmp", c::Bmp(c::DibHeader(40, 2, 2, 8, 1, 0, 64, 256) + "\1\1", 14 + 40 + 1024)},
        {"nbytes.emf", good.substr(0, good.size() - 8)},
        {"size0.emf", c::Emf(c::U32s({27, 0, 0, 0}))},
        {"handle.emf", c::Emf(c::Emr(38, {0x7FFFFFFF, 0, 1, 0, 0}))},
        {"stretch.emf", c::Emf(c::Emr(81, {0, 0, 9, 9, 0, 0, 0, 0, 2, 2, 4000, 40, 9000, 16, 0, 0xCC0020, 9, 9}))},
        {"size4.emf", c::Emf(c::U32s({84, 4}))},
        {"frame.emf", c::Emf("", 4, 0x7FFFFFF0)},
        {"select.wmf", c::Wmf(c::Wmr(0x012D, {0xFFFF}))},
        {"polygon.wmf", c::Wmf(c::Wmr(0x0324, {65535, 1, 1}))},
        {"cut.wmf", c::Wmf(c::Wmr(0x041B, {50, 50, 0, 0})).substr(0, 30)},
    };
    for (const auto& [name, content] : broken) {
        SCOPED_TRACE(name);
        EXPECT_EQ(LoadText(name, content), PluginResultText(kErrorInvalidPicture));
        EXPECT_EQ(all.Error(), kErrorInvalidPicture);
        EXPECT_TRUE(all.GetPicture().Empty());
    }
}

TEST_F(ImageLoader, RealPluginsDecodeWhatTheTestsWrote) {
    struct Case {
        const char* name;
        Bytes content;
        int w, h;
        std::function<Rgb(int, int)> expected;
    };
    const auto palette256 = [](int x, int y) { return TestPaletteColour(x, y, 256); };
    const Case cases[] = {
        {"rgb.tif", TiffFile("rgb", 37, 11, true), 37, 11, kTrueColour},
        {"palette.tif", TiffFile("palette", 21, 9), 21, 9, palette256},
        {"bilevel.tif", TiffFile("bilevel", 19, 5), 19, 5,
         [](int x, int y) {
             return (x + y) % 3 == 0 ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
         }},
        {"deep.tif", TiffFile("rgb48", 17, 6), 17, 6, kTrueColour},
        {"rgb.png", PngFile("rgb", 23, 7), 23, 7, kTrueColour},
        {"alpha.png", PngFile("rgba", 23, 7), 23, 7,
         [](int x, int y) {
             return x == 0 ? Rgb{255, 255, 255} : test_plugin::TrueColour(x, y);
         }},
        {"palette.png", PngFile("palette", 15, 6), 15, 6, palette256},
        {"sixteen.gif", GifFile(16, 29, 8), 29, 8, [](int x, int y) { return TestPaletteColour(x, y, 16); }},
        {"full.gif", GifFile(256, 31, 9), 31, 9, palette256},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Load(c.name, c.content), "");
        EXPECT_EQ(all.Error(), 0);
        ExpectPixels(c.w, c.h, c.expected);
    }
}

TEST_F(ImageLoader, JpegPluginDecodesBaselineAndProgressive) {
    // Flat 16 x 16 blocks, which JPEG keeps within a few levels.
    const auto blocks = [](unsigned x, unsigned y) { return test_plugin::TrueColour(x / 16, y / 16); };
    const Bytes baseline = WicFile(GUID_ContainerFormatJpeg, 64, 48, blocks);
    ASSERT_FALSE(baseline.empty());
    EXPECT_EQ(Load("baseline.jpg", baseline), "");
    ExpectPixels(64, 48, blocks, 12);
    EXPECT_EQ(all.OrgWidth(), 64);
    // The same blocks written by ImageMagick (-interlace JPEG -quality 95), since WIC writes baseline only.
    EXPECT_EQ(Load("progressive.jpg", ReadWholeFile(BinDir() + "testdata\\blocks_progressive.jpg")), "");
    ExpectPixels(64, 48, blocks, 12);
    // The quarter-size preview keeps the top-left pixel of each 4 x 4 cell.
    all.SetPreView(true);
    ExpectPixels(
        16, 12, [&](unsigned x, unsigned y) { return blocks(4 * x, 4 * y); }, 12);
    // Cut short: the headers still give the size, the picture call finds the data corrupt.
    const std::string cut = WriteTempFile("cut.jpg", baseline.substr(0, baseline.size() / 3));
    ui::Library library(LoadLibraryA("ifjpeg.spi"));
    auto info = reinterpret_cast<plugin::GetPictureInfoFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(library.get(), "GetPictureInfo")));
    plugin::PictureInfo record{};
    EXPECT_EQ(info(cut.c_str(), 0, 0, &record), 0);
    EXPECT_EQ(record.width, 64);
    EXPECT_EQ(record.height, 48);
    EXPECT_EQ(record.colorDepth, 24);
    all.SetPreView(false);
    EXPECT_EQ(LoadText("cut.jpg", baseline.substr(0, baseline.size() / 3)), "データが壊れている");
    // Headers without a frame: corrupt at offset 0, nothing at 128, and the last answer is reported.
    EXPECT_EQ(LoadText("short.jpg", Bytes("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 12)), "未知のフォーマット");
}

TEST_F(ImageLoader, RealPluginsReportBadFiles) {
    struct Case {
        const char* name;
        Bytes content;
        int error;
    };
    const Bytes png = PngFile("rgb", 40, 30);
    const Bytes tiff = TiffFile("rgb", 40, 30);
    const Bytes gif = GifFile(256, 40, 30);
    const Case cases[] = {
        {"empty.gif", "", 2},
        {"empty.tif", "", 2},
        {"foreign.gif", png, 2},
        {"foreign.jpg", gif, 2},
        {"foreign.png", tiff, 2},
        {"short.png", png.substr(0, png.size() / 2), 3},
        {"short.tif", tiff.substr(0, tiff.size() / 2), 3},
        {"short.gif", gif.substr(0, 40), 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LoadText(c.name, c.content), PluginResultText(c.error));
        EXPECT_EQ(all.Error(), c.error);
        EXPECT_TRUE(all.PictureName().empty());
    }
    // Cut and scrambled files: every answer is a result code of the interface, never a crash or a hang.
    const std::pair<const char*, Bytes> originals[] = {
        {"ifpng.spi", png},
        {"iftiff.spi", tiff},
        {"ifgif.spi", gif},
        {"ifjpeg.spi", WicFile(GUID_ContainerFormatJpeg, 40, 30, kTrueColour)},
    };
    for (const auto& [library, original] : originals) {
        SCOPED_TRACE(library);
        ui::Library module(LoadLibraryA(library));
        auto getPicture = reinterpret_cast<plugin::GetPictureFn>(
            reinterpret_cast<void (*)()>(GetProcAddress(module.get(), "GetPicture")));
        ASSERT_TRUE(getPicture);
        for (int variant = 0; variant < 24; ++variant) {
            Bytes bad = original;
            if (variant < 12) {
                bad.resize(bad.size() * variant / 12 + 3);
            } else {
                for (std::size_t at = 8 + variant; at < bad.size(); at += bad.size() / 5 + variant)
                    bad[at] = static_cast<char>(bad[at] ^ (0x55 + variant));
            }
            const std::string file = WriteTempFile("bad.bin", bad);
            HANDLE info = nullptr, bits = nullptr;
            const int result = getPicture(file.c_str(), 0, 0, &info, &bits, nullptr, 0);
            // 4 where a scrambled header claims a picture too large for one bitmap.
            EXPECT_TRUE(result == 0 || (result >= 2 && result <= 4) || result == 6) << variant << ": " << result;
            if (result == 0)
                GlobalFree(info), GlobalFree(bits);
        }
    }
    // A folder cannot be read as a file.
    const std::string folder = TempDir() + "folder.png";
    CreateDirectoryA(folder.c_str(), nullptr);
    all.SetPictureName(ToWide(folder));
    EXPECT_EQ(all.Error(), 6);
}

TEST_F(ImageLoader, RealPluginsPublishTheirInterface) {
    const std::pair<const char*, const char*> plugins[] = {{"ifjpeg.spi", "*.jpg;*.jpe;*.jpeg"},
                                                           {"ifgif.spi", "*.gif"},
                                                           {"iftiff.spi", "*.tif;*.tiff"},
                                                           {"ifpng.spi", "*.png"}};
    const Bytes png = PngFile("rgb", 4, 4);
    Bytes head = png + Bytes(2048, '\0');
    for (const auto& [name, patterns] : plugins) {
        SCOPED_TRACE(name);
        ui::Library library(LoadLibraryA(name));
        ASSERT_TRUE(library);
        auto info = reinterpret_cast<plugin::GetPluginInfoFn>(
            reinterpret_cast<void (*)()>(GetProcAddress(library.get(), "GetPluginInfo")));
        auto supported = reinterpret_cast<plugin::IsSupportedFn>(
            reinterpret_cast<void (*)()>(GetProcAddress(library.get(), "IsSupported")));
        ASSERT_TRUE(info && supported);
        char text[64] = {};
        EXPECT_EQ(info(0, text, sizeof text), 4);
        EXPECT_STREQ(text, "00IN");
        info(2, text, sizeof text);
        EXPECT_STREQ(text, patterns);
        EXPECT_EQ(info(4, text, sizeof text), 0);
        EXPECT_EQ(supported("x", head.data()) != 0, std::string(name) == "ifpng.spi");
    }
}

TEST_F(ImageLoader, EveryFailureOfThePluginPathIsReported) {
    {
        TestPlugin mag(all, "full", "ifmag.spi");
        ASSERT_TRUE(mag.get());
        const HiddenPlugin noXld4("ifxld4.spi"), noPi("ifpi.spi");
        struct Case {
            const char* name;
            std::string file;
            int error;
            const char* text;
        };
        const Case cases[] = {
            {"a.jpeg", "x", 10, "サポートされない拡張子"},
            {"C:\\DIR.X\\FILE", "", 10, "サポートされない拡張子"},
            {"a.q4", "x", 20, "IFXLD4.SPI not found"},
            {"a.pi", "x", 20, "IFPI.SPI not found"},
            {"a.mag", "KVSPI pict=1", 1, "その他のエラー"},
            {"b.mag", "KVSPI pict=3", 3, "データが壊れている"},
            {"c.mag", "KVSPI pict=4", 4, "メモリーが確保出来ない"},
            {"d.mag", "KVSPI pict=5", 5, "メモリーエラー"},
            {"e.mag", "KVSPI pict=6", 6, "ファイルリードエラー"},
            {"f.mag", "KVSPI pict=7", 7, "その他のエラー"},
            {"g.mag", "KVSPI pict=-1", -1, "その他のエラー"},
            {"h.mag", "not for this plug-in", 2, "未知のフォーマット"},
            // Answers that cannot be used are corrupt data, and nothing is read from them.
            {"i.mag", "KVSPI fault=nullinfo", 3, "データが壊れている"},
            {"j.mag", "KVSPI fault=nullbits", 3, "データが壊れている"},
            {"k.mag", "KVSPI fault=hdrsize", 3, "データが壊れている"},
            {"l.mag", "KVSPI fault=zerowidth", 3, "データが壊れている"},
            {"m.mag", "KVSPI fault=shortbits w=100 h=100", 3, "データが壊れている"},
            {"n.mag", "KVSPI fault=overflow", 3, "データが壊れている"},
            {"o.mag", "KVSPI fault=clrused bits=8", 3, "データが壊れている"},
        };
        all.SetPreView(true);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            const std::string name = c.file.empty() ? c.name : WriteTempFile(c.name, c.file);
            messages.clear();
            all.SetPictureName(ToWide(name));
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0], std::string(c.text) + " [" + name + "]");
            EXPECT_EQ(all.Error(), c.error);
            EXPECT_TRUE(all.PictureName().empty());
            EXPECT_TRUE(all.GetPicture().Empty());
            EXPECT_FALSE(all.PreView());
            all.SetPreView(true);
        }
        // Only result 2 of the first picture call makes the loader try offset 128.
        mag.TakeLog();
        Load("retry.mag", "KVSPI pict=3");
        EXPECT_EQ(mag.TakeLog(), "GetPictureInfo@0=0;GetPicture@0=3;");
        Load("at128.mag", Bytes(128, '#') + "KVSPI w=5 h=3");
        EXPECT_EQ(mag.TakeLog(), "GetPictureInfo@0=2;GetPicture@0=2;GetPicture@128=0;");
        ExpectPixels(5, 3, kTrueColour);
        EXPECT_EQ(all.LoaderKind(), 6);
        EXPECT_EQ(LoadText("huge.mag", "KVSPI w=16384 h=21846"), "メモリーが確保出来ない");
        EXPECT_EQ(mag.TakeLog(), "GetPictureInfo@0=0;");

        // A name too long for the plug-in's 256-byte field reaches it as the file's bytes in memory.
        const std::wstring folder = ToWide(TempDir()) + std::wstring(150, L'a');
        const std::wstring longName = folder + L"\\" + std::wstring(150, L'b') + L".mag";
        CreateDirectoryW(folder.c_str(), nullptr);
        ui::FileHandle file(CreateFileW(longName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        WriteFile(file.get(), "KVSPI w=5 h=3", 13, &written, nullptr);
        file.reset();
        all.SetPictureName(longName);
        DeleteFileW(longName.c_str());
        RemoveDirectoryW(folder.c_str());
        ExpectPixels(5, 3, kTrueColour);
        EXPECT_EQ(mag.TakeLog(), "GetPictureInfo@mem13=0;GetPicture@mem13=0;");
    }
    // Every path, the failing ones too, released the library: only the test held it.
    EXPECT_EQ(GetModuleHandleA("ifmag.spi"), nullptr);
}

TEST_F(ImageLoader, JpegPathRetriesAtOffset128AndMakesThePreview) {
    TestPlugin jpeg(all, "full", "ifjpeg.spi");
    ASSERT_TRUE(jpeg.get());
    // Any failing first information call leads to offset 128.
    Load("later.jpg", (std::string("KVSPI info=3") + Bytes(116, ' ')) + "KVSPI w=10 h=6");
    EXPECT_EQ(jpeg.TakeLog(), "GetPictureInfo@0=3;GetPictureInfo@128=0;GetPicture@128=0;");
    ExpectPixels(10, 6, kTrueColour);
    EXPECT_EQ(all.OrgWidth(), 10);

    // Both information calls fail: the second one's result is reported, OrgWidth stays.
    EXPECT_EQ(LoadText("bad.JPE", "KVSPI info=6"), "未知のフォーマット");
    EXPECT_EQ(all.Error(), 2);
    EXPECT_EQ(all.OrgWidth(), 10);

    all.SetPreView(true);
    EXPECT_EQ(Load("big.jpg", "KVSPI w=1001 h=999"), "");
    EXPECT_EQ(jpeg.TakeLog().find("GetPreview@0=0;") != std::string::npos, true);
    ExpectPixels(251, 250, kTrueColour);
    EXPECT_EQ(all.OrgWidth(), 1001);
    EXPECT_EQ(all.OrgHeight(), 999);
    all.SetPreView(false); // reloads
    EXPECT_EQ(all.GetPicture().Width(), 1001);
    EXPECT_EQ(all.GetPicture().Height(), 999);

    // The picture call fails after the sizes were taken.
    EXPECT_EQ(LoadText("fails.jpg", "KVSPI w=7 h=3 pict=4"), "メモリーが確保出来ない");
    EXPECT_EQ(all.OrgWidth(), 7);
    EXPECT_EQ(LoadText("zero.jpg", "KVSPI fault=zeroinfo"), "データが壊れている");
    jpeg.TakeLog();
    EXPECT_EQ(LoadText("huge.jpg", "KVSPI w=20000 h=20000"), "メモリーが確保出来ない");
    EXPECT_EQ(jpeg.TakeLog(), "GetPictureInfo@0=0;");
}

// A name the ANSI code page (932 here) carries goes to the plug-in as a name; one it cannot carry goes as the
// file's bytes in memory, from the same offsets.
TEST_F(ImageLoader, NamesBeyondTheAnsiCodePageReachThePluginAsMemory) {
    TestPlugin jpeg(all, "full", "ifjpeg.spi");
    ASSERT_TRUE(jpeg.get());
    const std::string content = std::string("KVSPI info=3") + Bytes(116, ' ') + "KVSPI w=10 h=6";
    // Under code page 932 the kanji name goes by name and the Korean one as memory; under 1252 both go as memory,
    // under 65001 both by name.
    const UINT ansi = GetACP();
    std::string expected;
    for (const auto& [name, byName] :
         {std::pair{L"表示.jpg", ansi == 932 || ansi == CP_UTF8}, std::pair{L"\uD55C\uAE00.jpg", ansi == CP_UTF8}}) {
        expected += byName ? "GetPictureInfo@0=3;GetPictureInfo@128=0;GetPicture@128=0;"
                           : "GetPictureInfo@mem142=3;GetPictureInfo@mem14=0;GetPicture@mem14=0;";
        const std::wstring path = ToWide(TempDir()) + name;
        ui::FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        file.reset();
        all.SetPictureName(path);
        DeleteFileW(path.c_str());
        ExpectPixels(10, 6, kTrueColour);
        messages.clear();
    }
    EXPECT_EQ(jpeg.TakeLog(), expected);
}

TEST_F(ImageLoader, PicAspectPaletteAndMissingEntryPoints) {
    {
        TestPlugin pic(all, "full", "ifpic.spi");
        Load("tall.pic", "KVSPI w=640 h=400 dx=1 dy=2");
        EXPECT_EQ(all.GetPicture().Width(), 1280);
        EXPECT_EQ(all.GetPicture().Height(), 400);
        EXPECT_EQ(PixelOf(all.GetPicture().Bitmap(), 2 * 37 + 1, 9), test_plugin::TrueColour(37, 9));
        Load("wide.pic", "KVSPI w=640 h=400 dx=3 dy=2");
        EXPECT_EQ(all.GetPicture().Width(), 640);
        EXPECT_EQ(all.GetPicture().Height(), 600);
        Load("square.pic", "KVSPI w=64 h=40 dx=0 dy=2");
        EXPECT_EQ(all.GetPicture().Width(), 64);
        EXPECT_EQ(all.GetPicture().Height(), 40);
        EXPECT_EQ(pic.TakeLog(), "GetPictureInfo@0=0;GetPicture@0=0;GetPictureInfo@0=0;GetPicture@0=0;"
                                 "GetPictureInfo@0=0;GetPicture@0=0;");

        // A palette picture on an 8-bit display gets its logical palette, also through the aspect correction.
        all.displayBitsPerPixel = [] { return 8; };
        Load("palette.pic", "KVSPI w=20 h=10 bits=8 dx=2 dy=1");
        ASSERT_TRUE(all.GetPicture().Palette());
        PALETTEENTRY entries[256];
        ASSERT_EQ(GetPaletteEntries(all.GetPicture().Palette(), 0, 256, entries), 256u);
        EXPECT_EQ((Rgb{entries[77].peRed, entries[77].peGreen, entries[77].peBlue}), test_plugin::PaletteColour(77));
        EXPECT_EQ(all.GetPicture().Height(), 20);
        all.displayBitsPerPixel = [] { return 24; };
        Load("palette.pic", "KVSPI w=20 h=10 bits=8");
        EXPECT_FALSE(all.GetPicture().Palette());
        ExpectPixels(20, 10, [](int x, int y) { return test_plugin::PaletteColour(test_plugin::PaletteIndex(x, y)); });
        // Rows stored from the top come out the right way up, over several bands.
        EXPECT_EQ(Load("down.pic", "KVSPI w=600 h=1200 topdown=1"), "");
        ExpectPixels(600, 1200, kTrueColour);
    }
    // The loader holds no reference of its own once a load is over.
    EXPECT_EQ(GetModuleHandleA("ifpic.spi"), nullptr);

    TestPlugin bare(all, "picture_only", "ifpic.spi");
    TestPlugin bareMag(all, "picture_only", "ifmag.spi");
    EXPECT_EQ(LoadText("noinfo.pic", "KVSPI"), "その他のエラー");
    EXPECT_EQ(all.Error(), 1);
    EXPECT_EQ(bare.TakeLog(), "");
    // The other kinds need only GetPicture.
    EXPECT_EQ(Load("enough.mag", "KVSPI w=3 h=2"), "");
    ExpectPixels(3, 2, kTrueColour);
    // JPEG without GetPreview: the full picture loads; only the preview needs the call.
    TestPlugin noPreview(all, "no_preview", "ifjpeg.spi");
    EXPECT_EQ(Load("full.jpg", "KVSPI w=6 h=5"), "");
    all.SetPreView(true);
    EXPECT_EQ(LoadText("preview.jpg", "KVSPI w=6 h=5"), "その他のエラー");
}

std::wstring dialogCaption, dialogText;

BOOL CALLBACK LongestChildText(HWND child, LPARAM) {
    const std::wstring t = ui_test::Text(child);
    if (t.size() > dialogText.size())
        dialogText = t;
    return TRUE;
}

void CALLBACK ReadAndCloseDialog(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowW(L"#32770", nullptr);
    if (!box)
        return;
    KillTimer(nullptr, id);
    dialogCaption = ui_test::Text(box);
    EnumChildWindows(box, LongestChildText, 0);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST_F(ImageLoader, MessageDialogIsCaptionedWithTheApplicationTitle) {
    ui::App().title = "Kelvad32";
    TAll plain(nullptr);
    dialogCaption.clear();
    dialogText.clear();
    SetTimer(nullptr, 0, 50, ReadAndCloseDialog);
    plain.SetPictureName(ToWide("photo.jpeg"));
    EXPECT_EQ(dialogCaption, L"Kelvad32");
    EXPECT_EQ(dialogText, L"サポートされない拡張子 [photo.jpeg]");
}

int WINAPI AbortAtOnce(int, int, LONG_PTR) {
    return 1;
}

// The retro plug-ins' adapter as any host of the interface sees it, through ifmag.spi: file input from an offset
// and memory input give the same picture, the comment comes as text, bad input gets its result code.
TEST(RetroPlugin, AnswersForFilesAndMemoryBlocks) {
    ui::Library library(LoadLibraryA("ifmag.spi"));
    ASSERT_TRUE(library);
    auto entry = [&](const char* name) { return reinterpret_cast<void (*)()>(GetProcAddress(library.get(), name)); };
    auto pictureInfo = reinterpret_cast<plugin::GetPictureInfoFn>(entry("GetPictureInfo"));
    auto picture = reinterpret_cast<plugin::GetPictureFn>(entry("GetPicture"));
    auto preview = reinterpret_cast<plugin::GetPictureFn>(entry("GetPreview"));
    ASSERT_TRUE(pictureInfo && picture && preview);
    const std::string mag = ReadWholeFile(BinDir() + "testdata\\retro\\sample.mag");
    const std::string file = WriteTempFile("at128.mag", std::string(128, 'x') + mag);
    std::string answers[2];
    for (unsigned memory = 0; memory < 2; ++memory) {
        const LPCSTR input = memory ? mag.data() : file.c_str();
        const LONG_PTR length = memory ? static_cast<LONG_PTR>(mag.size()) : 128;
        plugin::PictureInfo pi{};
        ASSERT_EQ(pictureInfo(input, length, memory, &pi), 0);
        EXPECT_EQ(pi.width * 1000 + pi.height, 64040); // the 200-line picture's lines doubled
        ASSERT_TRUE(pi.hInfo);
        EXPECT_NE(std::string(static_cast<const char*>(pi.hInfo)).find("sample.mag"), std::string::npos);
        LocalFree(pi.hInfo);
        for (auto call : {picture, preview}) {
            HANDLE header = nullptr, bits = nullptr;
            ASSERT_EQ(call(input, length, memory, &header, &bits, nullptr, 0), 0);
            answers[memory] += std::string(static_cast<const char*>(GlobalLock(bits)), GlobalSize(bits)) +
                               std::string(static_cast<const char*>(GlobalLock(header)), GlobalSize(header));
            GlobalUnlock(bits), GlobalUnlock(header), GlobalFree(bits), GlobalFree(header);
        }
    }
    EXPECT_EQ(answers[0], answers[1]);

    HANDLE header = nullptr, bits = nullptr;
    const std::string cut = mag.substr(0, mag.size() - 3);
    EXPECT_EQ(picture(cut.data(), static_cast<LONG_PTR>(cut.size()), 1, &header, &bits, nullptr, 0), 3);
    EXPECT_EQ(picture(file.c_str(), 0, 0, &header, &bits, nullptr, 0), 2);
    EXPECT_EQ(picture(file.c_str(), 128, 0, &header, &bits, AbortAtOnce, 0), 1);
    EXPECT_FALSE(header || bits);
}

} // namespace
} // namespace kelvad
