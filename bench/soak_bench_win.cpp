// Soak benchmark of the image run, run under Wine by scripts/soak-bench.
//
//   kelvad_soak_bench.exe PRINTER LIST_FILE [ROUNDS]
//
// The whole program's image run (main window, progress window, checks, loader, plug-ins, pages) prints every
// file named in LIST_FILE (one path a line, in UTF-8; missing and broken files among them) as one document,
// ROUNDS times after one warm-up run. Before and after each run it takes the process's GDI and USER object counts
// and its private memory; the limits are the counts back where they were and private memory within 8 MiB.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/main_form_win.h"
#include "base/codepage.h"
#include "bench/arguments_win.h"
#include "bench/bench_clock_win.h"
#include "bench/gui_counts_win.h"
#include "ui/application.h"

namespace {

[[noreturn]] void Fail(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    std::exit(2);
}

// The main window with its message boxes counted instead of shown.
class SoakForm : public kelvad::TMain_Form {
public:
    using TMain_Form::TMain_Form;
    int boxes = 0;
    void ShowWideMessageBox(const std::wstring&, const std::wstring&, unsigned) override { ++boxes; }
};

constexpr double kMiB = 1024.0 * 1024.0;

void Print(const char* label, const kelvad::bench::GuiCounts& c) {
    std::printf("%-22s GDI objects %5lu, USER objects %5lu, private memory %8.2f MiB\n", label, c.gdiObjects,
                c.userObjects, c.privateBytes / kMiB);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::wstring> arguments = WideArguments();
    if (argc < 3 || arguments.size() != std::size_t(argc))
        Fail("usage: kelvad_soak_bench PRINTER LIST_FILE [ROUNDS]");
    const std::wstring& printer = arguments[1];
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 1;
    std::vector<std::string> files;
    std::ifstream list{std::filesystem::path(arguments[2])};
    for (std::string line; std::getline(list, line);)
        if (!line.empty())
            files.push_back(line.back() == '\r' ? line.substr(0, line.size() - 1) : line);
    if (files.empty())
        Fail("no files listed in " + kelvad::ToUtf8(arguments[2]));

    ui::App().Initialize(GetModuleHandleA(nullptr));
    ui::App().title = "Kelvad32";
    SoakForm form(L"Kelvad32.exe");
    form.Create();
    form.Show();
    ui::App().ProcessMessages();
    int loaderMessages = 0;
    form.All1.showMessage = [&](const std::wstring&) { ++loaderMessages; };
    for (int i = 0; i < form.PrinterListBox.Count(); ++i)
        if (form.PrinterListBox.WideItem(i) == printer)
            form.PrinterListBox.SetItemIndex(i);
    form.PrinterListBoxClick();
    form.OutputOptions.IsPrnFile = false;
    form.OutputOptions.IsDeleteFile = false;
    for (const std::string& file : files)
        form.FilesListBox.AddItem(kelvad::FromUtf8(file));

    const auto run = [&](const char* label) {
        form.boxes = loaderMessages = 0;
        const double start = Now();
        form.co_PrintClick();
        const double elapsed = Now() - start;
        ui::App().ProcessMessages();
        std::printf("%s: %zu files in %.1f s, %d message boxes, %d loader messages, exit status %d\n", label,
                    files.size(), elapsed, form.boxes, loaderMessages, form.ExitStatus());
        std::fflush(stdout);
    };
    const kelvad::bench::GuiCounts start = kelvad::bench::MeasureGuiCounts();
    Print("before the first run", start);
    run("warm-up run");
    const kelvad::bench::GuiCounts before = kelvad::bench::MeasureGuiCounts();
    Print("after the warm-up run", before);
    bool ok = true;
    kelvad::bench::GuiCounts after = before;
    for (int i = 1; i <= rounds; ++i) {
        run(("run " + std::to_string(i)).c_str());
        after = kelvad::bench::MeasureGuiCounts();
        Print(("after run " + std::to_string(i)).c_str(), after);
    }
    const double growth = (static_cast<double>(after.privateBytes) - static_cast<double>(before.privateBytes)) / kMiB;
    const double coldGrowth =
        (static_cast<double>(after.privateBytes) - static_cast<double>(start.privateBytes)) / kMiB;
    std::printf("over %d runs after the warm-up: GDI objects %+ld, USER objects %+ld, private memory %+.2f MiB "
                "(limits 0, 0, 8 MiB)\n",
                rounds, static_cast<long>(after.gdiObjects) - static_cast<long>(before.gdiObjects),
                static_cast<long>(after.userObjects) - static_cast<long>(before.userObjects), growth);
    std::printf("since before the first run: GDI objects %+ld, USER objects %+ld, private memory %+.2f MiB\n",
                static_cast<long>(after.gdiObjects) - static_cast<long>(start.gdiObjects),
                static_cast<long>(after.userObjects) - static_cast<long>(start.userObjects), coldGrowth);
    ok = after.gdiObjects == before.gdiObjects && after.userObjects == before.userObjects && growth <= 8.0;
    std::printf("%s\n", ok ? "within limits" : "OUT OF LIMITS");
    return ok ? 0 : 1;
}
