// Creates the test printers of the project's Wine prefix.
//
//   setup_printers.exe [--default NAME] [--redirect PORT TARGET]... [--remove NAME]... NAME=PORT...
//
// Puts the generic PPD that Wine's winspool.drv carries into the driver directories of both
// architectures, installs the "Wine PostScript Driver", adds each printer (WinPrint, RAW), sets the
// default printer, and points each port at a Linux file or pipe through Wine's spooler redirection
// (HKCU\Software\Wine\Printing\Spooler: at EndDocPrinter the job's bytes go to that target). --remove deletes a
// printer, as a user may while the program runs.
// Arguments are taken as UTF-16 from the command line, so that a printer name any code page lacks arrives
// whole; each step is reported as a line of UTF-8. Exit status 0 when every step worked.
#include "tool_text.h"

#include <winspool.h>

#include <cstdio>

namespace {

const wchar_t kDriver[] = L"Wine PostScript Driver";

bool WriteBuiltinPpd(const std::wstring& dst) {
    if (GetFileAttributesW(dst.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    HMODULE spool = LoadLibraryW(L"winspool.drv");
    HRSRC res = spool ? FindResourceW(spool, MAKEINTRESOURCEW(1), L"PPDFILE") : nullptr;
    if (!res)
        return false;
    DWORD size = SizeofResource(spool, res);
    const void* data = LockResource(LoadResource(spool, res));
    HANDLE file = CreateFileW(dst.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (!data || file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, data, size, &written, nullptr) && written == size;
    CloseHandle(file);
    return ok;
}

// The PostScript driver needs a PPD in the driver directory of each architecture that prints.
bool InstallPpd(const wchar_t* environment) {
    wchar_t dir[MAX_PATH];
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, const_cast<wchar_t*>(environment), 1, reinterpret_cast<BYTE*>(dir),
                                    sizeof dir, &needed))
        return false;
    std::wstring sub = std::wstring(dir) + L"\\3";
    CreateDirectoryW(dir, nullptr);
    CreateDirectoryW(sub.c_str(), nullptr);
    return WriteBuiltinPpd(sub + L"\\generic.ppd");
}

bool AddDriver(const wchar_t* environment) {
    DRIVER_INFO_3W info{};
    info.cVersion = 3;
    info.pName = const_cast<wchar_t*>(kDriver);
    info.pEnvironment = const_cast<wchar_t*>(environment);
    info.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
    info.pDataFile = const_cast<wchar_t*>(L"generic.ppd");
    info.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
    return AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&info)) ||
           GetLastError() == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED;
}

bool Redirect(const std::wstring& port, const std::wstring& target) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Printing\\Spooler", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG r = RegSetValueExW(key, port.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(target.c_str()),
                            static_cast<DWORD>((target.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

bool AddOnePrinter(std::wstring name, std::wstring port) {
    PRINTER_INFO_2W info{};
    info.pPrinterName = name.data();
    info.pPortName = port.data();
    info.pDriverName = const_cast<wchar_t*>(kDriver);
    info.pPrintProcessor = const_cast<wchar_t*>(L"WinPrint");
    info.pDatatype = const_cast<wchar_t*>(L"RAW");
    info.pComment = info.pLocation = info.pParameters = info.pShareName = info.pSepFile = const_cast<wchar_t*>(L"");
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE h = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (h)
        ClosePrinter(h);
    return h || GetLastError() == ERROR_PRINTER_ALREADY_EXISTS;
}

bool RemovePrinter(std::wstring name) {
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterW(name.data(), &printer, &access))
        return false;
    const bool removed = DeletePrinter(printer);
    ClosePrinter(printer);
    return removed;
}

} // namespace

int main() {
    const std::vector<std::wstring> argv = tool::Arguments();
    int failures = 0;
    auto step = [&](bool ok, const char* what, const std::wstring& detail) {
        std::printf("%s %s %s\n", ok ? "ok  " : "FAIL", what, tool::Utf8(detail).c_str());
        failures += ok ? 0 : 1;
    };
    const wchar_t* defaultName = nullptr;
    std::vector<std::wstring> printers;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        if (argv[i] == L"--default" && i + 1 < argv.size()) {
            defaultName = argv[++i].c_str();
        } else if (argv[i] == L"--remove" && i + 1 < argv.size()) {
            ++i;
            step(RemovePrinter(argv[i]), "remove", argv[i]);
        } else if (argv[i] == L"--redirect" && i + 2 < argv.size()) {
            step(Redirect(argv[i + 1], argv[i + 2]), "redirect", argv[i + 1] + L" -> " + argv[i + 2]);
            i += 2;
        } else {
            printers.push_back(argv[i]);
        }
    }
    for (const wchar_t* env : {L"Windows x64", L"Windows NT x86"}) {
        step(InstallPpd(env), "ppd", env);
        step(AddDriver(env), "driver", env);
    }
    for (const std::wstring& p : printers) {
        size_t eq = p.find(L'=');
        if (eq == std::wstring::npos) {
            step(false, "printer (want NAME=PORT)", p);
            continue;
        }
        step(AddOnePrinter(p.substr(0, eq), p.substr(eq + 1)), "printer", p);
    }
    if (defaultName)
        step(SetDefaultPrinterW(defaultName), "default", defaultName);
    return failures ? 2 : 0;
}
