// Image page benchmark, run under Wine by scripts/page-bench.
//
//   kelvad_page_bench.exe PRINTER BIG_BMP SMALL_BMP [ROUNDS]
//
// Time: the whole program's image run (main window, progress window with its zoom, checks, loader, page)
// printing BIG_BMP as one page, against a bare program that reads the same file and draws it with one
// StretchDIBits into the same rectangle of a document on the same printer. Each side's fixed costs are taken
// out by subtracting its time for SMALL_BMP (a picture of one pixel). Best of ROUNDS each.
// Memory: the growth of the peak working set while the program prints BIG_BMP, against the 24-bit picture.
//
//   kelvad_page_bench.exe --memory PRINTER SMALL_BMP PICTURE WIDTH HEIGHT
//
// Memory only, of any picture the program reads (through the plug-ins too), in a process of its own.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_form_win.h"
#include "base/codepage.h"
#include "bench/arguments_win.h"
#include "bench/bench_clock_win.h"
#include "image/image_page.h"
#include "output/printer_win.h"
#include "ui/application.h"
#include "ui/handle.h"

namespace {

[[noreturn]] void Fail(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    std::exit(1);
}

// The main window with its message boxes turned into failures.
class BenchForm : public kelvad::TMain_Form {
public:
    using TMain_Form::TMain_Form;
    void ShowWideMessageBox(const std::wstring& text, const std::wstring&, unsigned) override {
        Fail("message: " + kelvad::ToShiftJis(text).bytes);
    }
};

double PrintWithProgram(BenchForm& form, const std::wstring& path) {
    form.FilesListBox.Clear();
    form.FilesListBox.AddItem(path);
    const double start = Now();
    form.co_PrintClick();
    const double elapsed = Now() - start;
    if (form.ExitStatus() != 0)
        Fail("the program did not print " + kelvad::ToUtf8(path));
    return elapsed;
}

// Reads the BMP and draws it with one StretchDIBits into the rectangle of a one-page document.
double PrintBare(const std::wstring& printer, const std::wstring& path, const kelvad::PageRect& rect) {
    const double start = Now();
    ui::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::vector<char> bytes(GetFileSize(file.get(), nullptr));
    DWORD read = 0;
    ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    const auto* fileHeader = reinterpret_cast<const BITMAPFILEHEADER*>(bytes.data());
    const auto* info = reinterpret_cast<const BITMAPINFO*>(bytes.data() + sizeof(BITMAPFILEHEADER));
    ui::OwnedDc dc(CreateDCW(nullptr, printer.c_str(), nullptr, nullptr));
    DOCINFOW doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = L"bare";
    StartDocW(dc.get(), &doc);
    StartPage(dc.get());
    const int drawn = StretchDIBits(dc.get(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0, 0,
                                    info->bmiHeader.biWidth, info->bmiHeader.biHeight,
                                    bytes.data() + fileHeader->bfOffBits, info, DIB_RGB_COLORS, SRCCOPY);
    EndPage(dc.get());
    const int ended = EndDoc(dc.get());
    const double elapsed = Now() - start;
    if (drawn <= 0 || ended <= 0)
        Fail("the bare program did not print " + kelvad::ToUtf8(path));
    return elapsed;
}

double Best(const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
}

// Memory only: the growth of the peak working set and of the peak private bytes while the program prints PICTURE
// of WIDTH x HEIGHT pixels, against its 24-bit bitmap.
int MeasureMemory(BenchForm& form, const std::wstring& small, const std::wstring& picture, double width,
                  double height) {
    PrintWithProgram(form, small);
    const PROCESS_MEMORY_COUNTERS before = Memory();
    const double bitmap = std::ceil(width * 3 / 4) * 4 * height, mib = 1024.0 * 1024.0;
    // The loader alone first: its peak, then the page's on top of it.
    form.All1.SetPictureName(picture);
    const double loaded = static_cast<double>(Memory().PeakWorkingSetSize) - before.WorkingSetSize;
    form.All1.SetPictureName(L"");
    const std::string name = kelvad::ToUtf8(picture);
    std::printf("%s: loading alone %.1f MiB = %.2f x\n", name.c_str(), loaded / mib, loaded / bitmap);
    PrintWithProgram(form, picture);
    const PROCESS_MEMORY_COUNTERS after = Memory();
    const double resident = static_cast<double>(after.PeakWorkingSetSize) - before.WorkingSetSize;
    const double committed = static_cast<double>(after.PeakPagefileUsage) - before.PagefileUsage;
    std::printf("%s: 24-bit bitmap %.1f MiB; peak growth: working set %.1f MiB = %.2f x, private %.1f MiB = %.2f x "
                "(limit 3)\n",
                name.c_str(), bitmap / mib, resident / mib, resident / bitmap, committed / mib, committed / bitmap);
    return std::max(resident, committed) <= 3 * bitmap ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::wstring> arguments = WideArguments();
    const bool memory = argc > 1 && std::string(argv[1]) == "--memory";
    if ((memory ? argc < 7 : argc < 4) || arguments.size() != std::size_t(argc))
        Fail("usage: kelvad_page_bench PRINTER BIG_BMP SMALL_BMP [ROUNDS]\n"
             "       kelvad_page_bench --memory PRINTER SMALL_BMP PICTURE WIDTH HEIGHT");
    const std::wstring printer = arguments[memory ? 2 : 1], big = arguments[memory ? 4 : 2], small = arguments[3];
    const int rounds = argc > 4 ? std::atoi(argv[4]) : 3;
    ui::App().Initialize(GetModuleHandleA(nullptr));
    ui::App().title = "Kelvad32";

    BenchForm form(L"Kelvad32.exe");
    form.Create();
    form.Show();
    ui::App().ProcessMessages();
    form.All1.showMessage = [](const std::wstring& text) { Fail("loader: " + kelvad::ToShiftJis(text).bytes); };
    for (int i = 0; i < form.PrinterListBox.Count(); ++i)
        if (form.PrinterListBox.WideItem(i) == printer)
            form.PrinterListBox.SetItemIndex(i);
    form.PrinterListBoxClick();
    form.OutputOptions.IsPrnFile = false;
    if (memory)
        return MeasureMemory(form, small, big, std::atof(argv[5]), std::atof(argv[6]));

    // The page rectangle the program uses, for the bare program.
    const kelvad::PageMetrics metrics = kelvad::ReadPageMetrics();
    const kelvad::PageRect rect = kelvad::DestinationRect(form.OutputOptions, form.MinMargins(), metrics, 0, 0);

    PrintWithProgram(form, small);
    const SIZE_T before = Memory().WorkingSetSize;
    PrintWithProgram(form, big);
    const SIZE_T peak = Memory().PeakWorkingSetSize;

    std::vector<double> program, programSmall, bare, bareSmall;
    for (int i = 0; i < rounds; ++i) {
        program.push_back(PrintWithProgram(form, big));
        programSmall.push_back(PrintWithProgram(form, small));
        bare.push_back(PrintBare(printer, big, rect));
        bareSmall.push_back(PrintBare(printer, small, rect));
        std::printf("round %d: program %.3f s (small %.3f s), bare %.3f s (small %.3f s)\n", i + 1, program.back(),
                    programSmall.back(), bare.back(), bareSmall.back());
        std::fflush(stdout);
    }
    const double programPage = Best(program) - Best(programSmall);
    const double barePage = Best(bare) - Best(bareSmall);
    std::printf("time (best of %d, fixed costs subtracted): program %.3f s, bare %.3f s, ratio %.3f (limit 1.20)\n",
                rounds, programPage, barePage, programPage / barePage);
    std::printf("      without subtracting: program %.3f s, bare %.3f s\n", Best(program), Best(bare));

    const double mib = 1024.0 * 1024.0;
    const double picture = 4000.0 * 3000.0 * 3.0;
    const double growth = static_cast<double>(peak) - static_cast<double>(before);
    std::printf("memory: working set before the page %.1f MiB, peak during it %.1f MiB, growth %.1f MiB = %.2f x "
                "the 24-bit picture (limit 3)\n",
                before / mib, peak / mib, growth / mib, growth / picture);
    const bool ok = programPage / barePage <= 1.20 && growth <= 3 * picture;
    std::printf("%s\n", ok ? "within limits" : "OUT OF LIMITS");
    return ok ? 0 : 1;
}
