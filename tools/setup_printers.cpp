// Creates the test printers of the project's Wine prefix.
//
//   setup_printers.exe [--default NAME] [--redirect PORT TARGET]... NAME=PORT...
//
// Puts the generic PPD that Wine's winspool.drv carries into the driver directories of both
// architectures, installs the "Wine PostScript Driver", adds each printer (WinPrint, RAW), sets the
// default printer, and points each port at a Linux file or pipe through Wine's spooler redirection
// (HKCU\Software\Wine\Printing\Spooler: at EndDocPrinter the job's bytes go to that target).
// Exit status 0 when every step worked.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kDriver[] = "Wine PostScript Driver";

bool WriteBuiltinPpd(const std::string& dst) {
    if (GetFileAttributesA(dst.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    HMODULE spool = LoadLibraryA("winspool.drv");
    HRSRC res = spool ? FindResourceW(spool, MAKEINTRESOURCEW(1), L"PPDFILE") : nullptr;
    if (!res)
        return false;
    DWORD size = SizeofResource(spool, res);
    const void* data = LockResource(LoadResource(spool, res));
    HANDLE file = CreateFileA(dst.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (!data || file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, data, size, &written, nullptr) && written == size;
    CloseHandle(file);
    return ok;
}

// The PostScript driver needs a PPD in the driver directory of each architecture that prints.
bool InstallPpd(const char* environment) {
    char dir[MAX_PATH];
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, const_cast<char*>(environment), 1, reinterpret_cast<BYTE*>(dir),
                                    sizeof dir, &needed))
        return false;
    std::string sub = std::string(dir) + "\\3";
    CreateDirectoryA(dir, nullptr);
    CreateDirectoryA(sub.c_str(), nullptr);
    return WriteBuiltinPpd(sub + "\\generic.ppd");
}

bool AddDriver(const char* environment) {
    DRIVER_INFO_3A info{};
    info.cVersion = 3;
    info.pName = const_cast<char*>(kDriver);
    info.pEnvironment = const_cast<char*>(environment);
    info.pDriverPath = const_cast<char*>("wineps.drv");
    info.pDataFile = const_cast<char*>("generic.ppd");
    info.pConfigFile = const_cast<char*>("wineps.drv");
    return AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&info)) ||
           GetLastError() == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED;
}

bool Redirect(const char* port, const char* target) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Printing\\Spooler", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG r = RegSetValueExA(key, port, 0, REG_SZ, reinterpret_cast<const BYTE*>(target),
                            static_cast<DWORD>(std::strlen(target) + 1));
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

bool AddOnePrinter(std::string name, std::string port) {
    PRINTER_INFO_2A info{};
    info.pPrinterName = name.data();
    info.pPortName = port.data();
    info.pDriverName = const_cast<char*>(kDriver);
    info.pPrintProcessor = const_cast<char*>("WinPrint");
    info.pDatatype = const_cast<char*>("RAW");
    info.pComment = info.pLocation = info.pParameters = info.pShareName = info.pSepFile = const_cast<char*>("");
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE h = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (h)
        ClosePrinter(h);
    return h || GetLastError() == ERROR_PRINTER_ALREADY_EXISTS;
}

} // namespace

int main(int argc, char** argv) {
    int failures = 0;
    auto step = [&](bool ok, const char* what, const std::string& detail) {
        std::printf("%s %s %s\n", ok ? "ok  " : "FAIL", what, detail.c_str());
        failures += ok ? 0 : 1;
    };
    const char* defaultName = nullptr;
    std::vector<std::string> printers;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--default") && i + 1 < argc) {
            defaultName = argv[++i];
        } else if (!std::strcmp(argv[i], "--redirect") && i + 2 < argc) {
            step(Redirect(argv[i + 1], argv[i + 2]), "redirect", std::string(argv[i + 1]) + " -> " + argv[i + 2]);
            i += 2;
        } else {
            printers.emplace_back(argv[i]);
        }
    }
    for (const char* env : {"Windows x64", "Windows NT x86"}) {
        step(InstallPpd(env), "ppd", env);
        step(AddDriver(env), "driver", env);
    }
    for (const std::string& p : printers) {
        size_t eq = p.find('=');
        if (eq == std::string::npos) {
            step(false, "printer (want NAME=PORT)", p);
            continue;
        }
        step(AddOnePrinter(p.substr(0, eq), p.substr(eq + 1)), "printer", p);
    }
    if (defaultName)
        step(SetDefaultPrinterA(defaultName), "default", defaultName);
    return failures ? 2 : 0;
}
