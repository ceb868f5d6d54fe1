// Image runs in process to the PostScript test printer: pages, the recording rule, abort, and a locked file that never
// ends the run. Where the pictures land on the page is checked end to end (tests/e2e/image_pages_test.sh).
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "bench/gui_counts_win.h"
#include "image/image_page_win.h"
#include "main_form_fixture.h"
#include "output/file_system_win.h"
#include "output/printer_win.h"
#include "tests/win/picture_files.h"
#include "tests/win/test_files.h"

namespace {

using namespace kelvad::testing;

// The platform's file system, with a hook when the checks search for a file.
class WatchedFileSystem : public kelvad::WinFileSystem {
public:
    std::function<void(const std::string&)> onSearch;
    std::optional<std::uint64_t> FindFirst(const std::wstring& pattern) override {
        if (onSearch)
            onSearch(kelvad::ToShiftJis(pattern).bytes);
        return WinFileSystem::FindFirst(pattern);
    }
};

class ImagePageTest : public form_test::MainFormFixture {
protected:
    std::unique_ptr<form_test::TestForm> MakeImageForm() {
        auto form = MakeForm();
        form->OutputOptions.IsPrnFile = false;
        form->OutputOptions.IsDeleteFile = true;
        form->UseFileSystem(fs);
        form->All1.showMessage = [this](const std::wstring& text) { loaderMessages.push_back(kelvad::ToShiftJis(text).bytes); };
        return form;
    }
    // The PostScript that the default test printer received during `run`.
    std::string Printed(const std::function<void()>& run) {
        const std::string before = ReadWholeFile(PrinterOutputFile("kelvad-printer.bin"));
        run();
        const std::string after = ReadWholeFile(PrinterOutputFile("kelvad-printer.bin"));
        return after.size() >= before.size() ? after.substr(before.size()) : after;
    }
    static int Pages(const std::string& postScript) {
        int pages = 0;
        for (std::size_t at = 0; (at = postScript.find("%%Page:", at)) != std::string::npos; ++at)
            ++pages;
        return pages;
    }
    WatchedFileSystem fs;
    std::vector<std::string> loaderMessages;
};

TEST_F(ImagePageTest, OnePagePerFileAndOnlyDrawnFilesAreDeleted) {
    const std::string good = WriteTempFile("good.bmp", BmpFile(24, 64, 48));
    const std::string icon = WriteTempFile("icon.ico", IcoFile(32));
    const std::string bad = WriteTempFile("bad.bmp", "not a bitmap at all");
    const std::string missing = TempDir() + "missing.bmp";
    auto form = MakeImageForm();
    for (const std::string& path : {good, bad, missing, icon})
        form->FilesListBox.AddItem(path);

    const std::string postScript = Printed([&] { form->co_PrintClick(); });

    EXPECT_NE(postScript.find("%%Title: Kelvad Graphic File"), std::string::npos);
    EXPECT_EQ(Pages(postScript), 4);
    ASSERT_EQ(form->boxes.size(), 1u);
    EXPECT_EQ(form->boxes[0], missing + " が見つかりません");
    EXPECT_EQ(loaderMessages, std::vector<std::string>{"未知のフォーマット [" + bad + "]"});
    // The drawn files are gone with their rows; the file that could not be loaded stays with its row; the
    // missing file loses its row.
    EXPECT_FALSE(Exists(good));
    EXPECT_FALSE(Exists(icon));
    EXPECT_TRUE(Exists(bad));
    EXPECT_EQ(form_test::Items(form->FilesListBox), std::vector<std::string>{bad});
    EXPECT_EQ(form->ExitStatus(), 1);
    EXPECT_FALSE(form->IsPrinting);
}

TEST_F(ImagePageTest, AbortDuringTheSecondOfFourEndsTheDocumentWithAnEmptyLastPage) {
    std::vector<std::string> paths;
    for (int i = 0; i < 4; ++i)
        paths.push_back(WriteTempFile("abort" + std::to_string(i) + ".bmp", BmpFile(24, 300, 200)));
    auto form = MakeImageForm();
    for (const std::string& path : paths)
        form->FilesListBox.AddItem(path);
    // The user presses the abort button while the second file goes out.
    fs.onSearch = [&](const std::string& pattern) {
        if (pattern != paths[1])
            return;
        HWND progress = FindWindowW(nullptr, L"印刷中");
        HWND button = progress ? FindWindowExW(progress, nullptr, nullptr, L"中止(&A&ﾁ)") : nullptr;
        ASSERT_NE(button, nullptr);
        PostMessageW(button, BM_CLICK, 0, 0);
    };

    const std::string postScript = Printed([&] { form->co_PrintClick(); });

    // The page break after the second file was made before the abort was seen: three pages, the last empty.
    EXPECT_EQ(Pages(postScript), 3);
    EXPECT_FALSE(Exists(paths[0]));
    for (int i = 1; i < 4; ++i)
        EXPECT_TRUE(Exists(paths[static_cast<size_t>(i)]));
    EXPECT_EQ(form->FilesListBox.Count(), 3);
    EXPECT_EQ(form->ExitStatus(), 1);
}

TEST_F(ImagePageTest, APictureThatCannotBeOpenedIsNamedAndTheRunGoesOn) {
    const std::string first = WriteTempFile("first.bmp", BmpFile(24, 16, 16));
    const std::string locked = WriteTempFile("locked.bmp", BmpFile(24, 16, 16));
    // Found by the checks, but it cannot be opened for reading.
    ui::FileHandle hold(CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    auto form = MakeImageForm();
    form->FilesListBox.AddItem(first);
    form->FilesListBox.AddItem(locked);

    const std::string postScript = Printed([&] { form->co_PrintClick(); });

    EXPECT_EQ(Pages(postScript), 2);
    EXPECT_EQ(form->boxes.at(0).find(locked + ": "), 0u); // and the system's reason
    EXPECT_FALSE(Exists(first));
    EXPECT_EQ(form->FilesListBox.Count(), 1);
    EXPECT_FALSE(form->IsPrinting);
    EXPECT_TRUE(form->IsEnabled());
}

TEST_F(ImagePageTest, ADrawingTheDeviceRefusesIsReportedItsPageEmptyAndTheRunGoesOn) {
    const std::string icon = WriteTempFile("refused.ico", IcoFile(32));
    const std::string next = WriteTempFile("next.bmp", BmpFile(24, 16, 16));
    auto form = MakeImageForm();
    form->FilesListBox.AddItem(icon);
    form->FilesListBox.AddItem(next);
    int drawings = 0;
    form->drawPicture = [&](HDC dc, ui::Picture& picture, const kelvad::PageRect& rect,
                            const kelvad::OutputOptions& o) {
        return ++drawings > 1 && kelvad::DrawPicture(dc, picture, rect, o);
    };

    const std::string postScript = Printed([&] { form->co_PrintClick(); });

    EXPECT_EQ(Pages(postScript), 2);
    // Only the next file's page carries a picture.
    const std::size_t picture = postScript.find("\nimage");
    EXPECT_NE(picture, std::string::npos);
    EXPECT_GT(picture, postScript.find("%%Page: 2"));
    EXPECT_EQ(form->boxes, std::vector<std::string>{icon + " を出力できません"});
    EXPECT_TRUE(Exists(icon));
    EXPECT_FALSE(Exists(next));
    EXPECT_EQ(form->ExitStatus(), 1);
}

// A run of every kind (plug-in kinds, a metafile, a missing and a broken file among them), after a first one that
// loads what stays loaded, leaves the GDI object count where it was.
TEST_F(ImagePageTest, ARunOfThirtyFilesLeavesNoGdiObjectBehind) {
    auto form = MakeImageForm();
    form->OutputOptions.IsDeleteFile = false;
    const RECT frame{0, 0, 2540, 1270};
    for (int i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i);
        const std::string emf = TempDir() + n + ".emf";
        DeleteEnhMetaFile(CloseEnhMetaFile(CreateEnhMetaFileA(nullptr, emf.c_str(), &frame, nullptr)));
        for (const std::string& path :
             {WriteTempFile(n + "a.bmp", BmpFile(24, 40, 30)), WriteTempFile(n + "b.bmp", BmpFile(8, 40, 30)),
              WriteTempFile(n + ".ico", IcoFile(32)), WriteTempFile(n + ".png", PngFile("rgb", 40, 30)),
              WriteTempFile(n + ".gif", GifFile(16, 40, 30)), WriteTempFile(n + ".tif", TiffFile("rgb", 40, 30)),
              WriteTempFile(n + ".jpg",
                            WicFile(GUID_ContainerFormatJpeg, 40, 30, [](unsigned, unsigned) { return Rgb{}; })),
              WriteTempFile(n + "c.bmp", "broken"), TempDir() + n + "missing.png", emf})
            form->FilesListBox.AddItem(path);
    }
    form->co_PrintClick();
    const DWORD before = kelvad::bench::MeasureGuiCounts(false).gdiObjects;
    form->co_PrintClick();
    EXPECT_EQ(form->FilesListBox.Count(), 30);
    EXPECT_EQ(kelvad::bench::MeasureGuiCounts(false).gdiObjects, before);
}

TEST(MirrorBitmap, ColumnsSwapAndRowsStay) {
    ui::WindowDc screen(nullptr);
    ui::GdiObject bitmap(CreateCompatibleBitmap(screen.get(), 5, 2));
    ui::OwnedDc dc(CreateCompatibleDC(screen.get()));
    const COLORREF colours[2][5] = {{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0), RGB(0, 0, 0)},
                                    {RGB(9, 9, 9), RGB(20, 20, 20), RGB(40, 40, 40), RGB(80, 80, 80), RGB(160, 0, 0)}};
    {
        ui::SelectGuard select(dc.get(), bitmap.get());
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 5; ++x)
                SetPixel(dc.get(), x, y, colours[y][x]);
    }
    kelvad::MirrorBitmap(static_cast<HBITMAP>(bitmap.get()), 5, 2);
    ui::SelectGuard select(dc.get(), bitmap.get());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(GetPixel(dc.get(), x, y), colours[y][4 - x]) << x << "," << y;
}

} // namespace
