// Spooling benchmark, run under Wine by scripts/bench.
//
//   kelvad_bench.exe PRINTER TIME_FILE MEMORY_FILE [ROUNDS]
//
// Time: the program's raw spooling of TIME_FILE (8192-byte blocks, with the progress window
// repainted and messages processed after every block) against a bare loop of the same spooler calls
// reading and writing 1 MiB blocks, to the same printer, alternating, ROUNDS times each; the best
// time of each and their ratio are printed. A bare loop with 8192-byte blocks is timed as well: it
// separates the cost of the block size from the cost of the program's own work.
// Memory: the process's peak working set with the progress window up and idle, then after the
// program has spooled MEMORY_FILE; the growth is printed.
#include <windows.h>
#include <psapi.h>
#include <winspool.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "output/file_system_win.h"
#include "output/now_printing_win.h"
#include "output/raw_spooler.h"
#include "output/spooler_win.h"
#include "ui/application.h"
#include "ui/handle.h"

namespace {

double Now() {
    LARGE_INTEGER freq, count;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / static_cast<double>(freq.QuadPart);
}

SIZE_T PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

class Messages : public kelvad::MessageSink {
public:
    void ShowMessageBox(const std::string& text, const std::string&, unsigned) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        failed = true;
    }
    bool failed = false;
};

// The program's own path: check, open, spool in 8192-byte blocks with the progress window.
double SpoolWithProgram(const std::string& printer, const std::string& path, kelvad::TNowPrinting& progress) {
    kelvad::WinSpooler spooler;
    kelvad::WinFileSystem fs;
    Messages messages;
    double start = Now();
    kelvad::FileOutcome outcome =
        kelvad::SpoolPrinterFile(path, {printer, ""}, spooler, fs, progress, messages);
    double elapsed = Now() - start;
    if (outcome != kelvad::FileOutcome::Output || messages.failed) {
        std::fprintf(stderr, "the program did not output %s\n", path.c_str());
        std::exit(1);
    }
    return elapsed;
}

// The same spooler calls with nothing else: no checks, no progress, no message processing.
double SpoolBare(const std::string& printer, const std::string& path, std::size_t blockSize) {
    std::vector<char> buffer(blockSize);
    double start = Now();
    ui::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    HANDLE printerHandle = nullptr;
    OpenPrinterA(const_cast<char*>(printer.c_str()), &printerHandle, nullptr);
    std::string docName = "Kelvad " + path;
    DOC_INFO_1A info{docName.data(), nullptr, nullptr};
    StartDocPrinterA(printerHandle, 1, reinterpret_cast<BYTE*>(&info));
    DWORD read = 0, written = 0;
    while (ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read > 0)
        WritePrinter(printerHandle, buffer.data(), read, &written);
    BOOL ended = EndDocPrinter(printerHandle);
    ClosePrinter(printerHandle);
    double elapsed = Now() - start;
    if (!ended) {
        std::fprintf(stderr, "the bare loop's job failed\n");
        std::exit(1);
    }
    return elapsed;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: kelvad_bench PRINTER TIME_FILE MEMORY_FILE [ROUNDS]\n");
        return 64;
    }
    std::string printer = argv[1], timeFile = argv[2], memoryFile = argv[3];
    int rounds = argc > 4 ? std::atoi(argv[4]) : 3;
    ui::App().Initialize(GetModuleHandleA(nullptr));

    kelvad::TNowPrinting progress(nullptr);
    progress.Show();
    progress.Repaint();
    ui::App().ProcessMessages();

    std::vector<double> program, bare, bareSmall;
    for (int i = 0; i < rounds; ++i) {
        bare.push_back(SpoolBare(printer, timeFile, 1 << 20));
        program.push_back(SpoolWithProgram(printer, timeFile, progress));
        bareSmall.push_back(SpoolBare(printer, timeFile, 8192));
        std::printf("round %d: program %.3f s, bare loop 1 MiB blocks %.3f s, bare loop 8 KiB blocks %.3f s\n",
                    i + 1, program.back(), bare.back(), bareSmall.back());
        std::fflush(stdout);
    }
    double bestProgram = *std::min_element(program.begin(), program.end());
    double bestBare = *std::min_element(bare.begin(), bare.end());
    double bestBareSmall = *std::min_element(bareSmall.begin(), bareSmall.end());
    std::printf("time (best of %d): program %.3f s, bare loop %.3f s, ratio %.3f (limit 1.10)\n", rounds,
                bestProgram, bestBare, bestProgram / bestBare);
    std::printf("      bare loop with the program's 8 KiB blocks %.3f s: program / that = %.3f\n", bestBareSmall,
                bestProgram / bestBareSmall);

    SIZE_T idle = PeakWorkingSet();
    SpoolWithProgram(printer, memoryFile, progress);
    SIZE_T peak = PeakWorkingSet();
    double growth = (static_cast<double>(peak) - static_cast<double>(idle)) / (1024.0 * 1024.0);
    std::printf("memory: peak working set idle %.2f MiB, after spooling the large file %.2f MiB, growth %.2f MiB "
                "(limit 2)\n",
                idle / (1024.0 * 1024.0), peak / (1024.0 * 1024.0), growth);
    bool ok = bestProgram / bestBare <= 1.10 && growth <= 2.0;
    std::printf("%s\n", ok ? "within limits" : "OUT OF LIMITS");
    return ok ? 0 : 1;
}
