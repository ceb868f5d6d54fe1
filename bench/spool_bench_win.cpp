// The bare spooling loop of the benchmark (scripts/bench), run under Wine as a whole program, like
// Kelvad32.exe, so that both carry the same fixed costs of a process start:
//
//   kelvad_bench.exe PRINTER FILE BLOCK_SIZE
//
// Sends FILE to PRINTER as one raw job with nothing but the spooler calls: ReadFile and WritePrinter
// of BLOCK_SIZE bytes each, no checks, no progress window, no message processing.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/codepage.h"
#include "bench/arguments_win.h"
#include "output/spooler_win.h"
#include "ui/handle.h"

int main(int argc, char** argv) {
    const std::vector<std::wstring> arguments = WideArguments();
    if (argc != 4 || arguments.size() != 4) {
        std::fprintf(stderr, "usage: kelvad_bench PRINTER FILE BLOCK_SIZE\n");
        return 64;
    }
    std::wstring widePrinter = arguments[1];
    const std::wstring widePath = arguments[2];
    std::vector<char> buffer(std::strtoul(argv[3], nullptr, 10));
    if (buffer.empty()) {
        std::fprintf(stderr, "the block size must be above 0\n");
        return 64;
    }
    ui::FileHandle file(CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    HANDLE printerHandle = nullptr;
    if (!file || !OpenPrinterW(widePrinter.data(), &printerHandle, nullptr)) {
        std::fprintf(stderr, "cannot open %s or the printer %s\n", kelvad::ToUtf8(widePath).c_str(),
                     kelvad::ToUtf8(widePrinter).c_str());
        return 1;
    }
    // The same job as the program's: its document name and its RAW data type.
    const std::wstring docName = L"Kelvad " + widePath;
    DOC_INFO_1W info = kelvad::RawDocInfo(docName, L"");
    if (!StartDocPrinterW(printerHandle, 1, reinterpret_cast<BYTE*>(&info))) {
        std::fprintf(stderr, "the printer refused the job\n");
        return 1;
    }
    bool ok = true;
    for (;;) {
        DWORD read = 0, written = 0;
        if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
            ok = false;
            break;
        }
        if (read == 0)
            break;
        if (!WritePrinter(printerHandle, buffer.data(), read, &written) || written != read) {
            ok = false;
            break;
        }
    }
    ok = EndDocPrinter(printerHandle) && ok;
    ClosePrinter(printerHandle);
    if (!ok) {
        std::fprintf(stderr, "the bare loop's job failed\n");
        return 1;
    }
    return 0;
}
