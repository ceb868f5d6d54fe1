#include "output/printer_win.h"

#include <commdlg.h>
#include <winspool.h>

#include <cstring>

#include "base/codepage.h"
#include "ui/application.h"

namespace kelvad {

namespace {

constexpr DWORD kEnumNtFamily = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
constexpr DWORD kEnum95Family = PRINTER_ENUM_LOCAL;
// The profile's default-device entry is taken up to 79 bytes of Shift-JIS, the room the program has always
// given it; it is read whole first, so that no character is split.
constexpr std::size_t kDeviceEntryBytes = 79;
constexpr DWORD kDeviceEntryReadSize = 1024;

// Runs EnumPrintersW at a level twice: to learn the size, then into a buffer of that size. The entries, or
// nothing when the second call fails.
std::vector<BYTE> EnumeratePrinters(DWORD flags, DWORD level, DWORD& count) {
    DWORD needed = 0;
    count = 0;
    EnumPrintersW(flags, nullptr, level, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!EnumPrintersW(flags, nullptr, level, buffer.data(), needed, &needed, &count))
        count = 0;
    return buffer;
}

std::wstring Text(const wchar_t* text) {
    return text ? text : L"";
}

// Pending messages are processed while GDI prints; printing always goes on.
BOOL CALLBACK ProcessMessagesAndGoOn(HDC, int) {
    try {
        ui::App().ProcessMessages();
    } catch (...) {
        ui::App().HandleUnknownException();
    }
    return TRUE;
}

const wchar_t* NameOrNull(const std::wstring& name) {
    return name.empty() ? nullptr : name.c_str();
}

} // namespace

bool WinPrinterPlatform::IsNtFamily() {
    // The top bit of the version is clear on the NT family.
    return (GetVersion() & 0x80000000u) == 0;
}

std::vector<std::wstring> WinPrinterPlatform::EnumeratePrinterNames() {
    DWORD count = 0;
    std::vector<BYTE> buffer = EnumeratePrinters(kEnumNtFamily, 4, count);
    const auto* info = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.data());
    std::vector<std::wstring> names;
    for (DWORD i = 0; i < count; ++i)
        names.push_back(Text(info[i].pPrinterName));
    return names;
}

std::vector<PrinterPorts> WinPrinterPlatform::EnumeratePrinterPorts() {
    DWORD count = 0;
    std::vector<BYTE> buffer = EnumeratePrinters(kEnum95Family, 5, count);
    const auto* info = reinterpret_cast<const PRINTER_INFO_5W*>(buffer.data());
    std::vector<PrinterPorts> printers;
    for (DWORD i = 0; i < count; ++i)
        printers.push_back({Text(info[i].pPrinterName), Text(info[i].pPortName)});
    return printers;
}

std::wstring WinPrinterPlatform::DefaultDeviceEntry() {
    wchar_t entry[kDeviceEntryReadSize] = {};
    GetProfileStringW(L"windows", L"device", L"", entry, kDeviceEntryReadSize);
    return CutAtShiftJisBytes(entry, kDeviceEntryBytes);
}

DeviceSettings WinPrinterPlatform::DefaultDocumentSettings(const std::wstring& deviceName) {
    HANDLE handle = nullptr;
    wchar_t* name = const_cast<wchar_t*>(deviceName.c_str());
    if (!OpenPrinterW(name, &handle, nullptr))
        return {};
    ui::PrinterHandle printer(handle);
    const LONG size = DocumentPropertiesW(nullptr, printer.get(), name, nullptr, nullptr, 0);
    if (size < static_cast<LONG>(sizeof(DEVMODEW)))
        return {};
    DeviceSettings settings(static_cast<size_t>(size));
    auto* mode = reinterpret_cast<DEVMODEW*>(settings.data());
    if (DocumentPropertiesW(nullptr, printer.get(), name, mode, nullptr, DM_OUT_BUFFER) != IDOK)
        return {};
    return settings;
}

TPrinter::TPrinter() : TPrinter(std::make_unique<WinPrinterPlatform>()) {}

TPrinter::TPrinter(std::unique_ptr<PrinterPlatform> platform) : PrinterTargets(std::move(platform)) {}

TPrinter::~TPrinter() {
    if (Printing())
        AbortDoc(document_.get());
}

ui::OwnedDc TPrinter::CreateDevice(bool informationOnly) {
    const TPrinterDevice target = CurrentDevice();
    // The settings belong to the target last made current by name; another row gets its driver's defaults.
    const DEVMODEW* mode = nullptr;
    if (!Settings().empty() && SettingsDevice() == target.deviceName)
        mode = reinterpret_cast<const DEVMODEW*>(Settings().data());
    const wchar_t* device = target.deviceName.c_str();
    HDC dc = informationOnly ? CreateICW(NameOrNull(target.driverName), device, NameOrNull(target.portName), mode)
                             : CreateDCW(NameOrNull(target.driverName), device, NameOrNull(target.portName), mode);
    if (!dc)
        throw PrinterError(kInvalidPrinterError);
    return ui::OwnedDc(dc);
}

bool TPrinter::BeginDoc() {
    RefuseWhilePrinting();
    ui::OwnedDc dc = CreateDevice(false);
    SetAbortProc(dc.get(), ProcessMessagesAndGoOn);
    DOCINFOW info{};
    info.cbSize = sizeof info;
    info.lpszDocName = Title.c_str();
    document_ = std::move(dc);
    SetPrinting(true);
    return StartDocW(document_.get(), &info) > 0 && StartPage(document_.get()) > 0;
}

bool TPrinter::NewPage() {
    if (!Printing())
        return false;
    return EndPage(document_.get()) > 0 && StartPage(document_.get()) > 0;
}

bool TPrinter::EndDoc() {
    if (!Printing())
        return false;
    bool ended = EndPage(document_.get()) > 0;
    if (ended)
        ended = ::EndDoc(document_.get()) > 0;
    else
        AbortDoc(document_.get());
    document_.reset();
    SetPrinting(false);
    return ended;
}

void TPrinter::Abort() {
    if (!Printing())
        return;
    AbortDoc(document_.get());
    document_.reset();
    SetPrinting(false);
}

HDC TPrinter::Handle() {
    if (Printing())
        return document_.get();
    if (!info_)
        info_ = CreateDevice(true);
    return info_.get();
}

SpoolTarget TPrinter::RawTarget() {
    const TPrinterDevice& target = CurrentDevice();
    return {target.deviceName, target.portName};
}

void TPrinter::TargetChanged() {
    info_.reset();
}

TPrinter& Printer() {
    static TPrinter printer;
    return printer;
}

int FindPrinterRow(const std::wstring& name) {
    const std::wstring wanted = UpperCaseName(name);
    const std::vector<PrinterRow>& rows = Printer().Printers();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (UpperCaseName(rows[i].device.deviceName) == wanted)
            return static_cast<int>(i);
    return -1;
}

void GetPhysicalPageSize(POINT& size) {
    Escape(Printer().Handle(), GETPHYSPAGESIZE, 0, nullptr, &size);
}

namespace {

// The dialog's DEVNAMES block for a target: the three names one after another behind the header, as UTF-16
// with their offsets counted in UTF-16 units from the block's start.
ui::GlobalMemory MakeDeviceNames(const TPrinterDevice& target) {
    const std::wstring names[] = {target.driverName.empty() ? L"winspool" : target.driverName, target.deviceName,
                                  target.portName};
    constexpr size_t kHeaderUnits = sizeof(DEVNAMES) / sizeof(wchar_t);
    size_t units = kHeaderUnits;
    for (const std::wstring& name : names)
        units += name.size() + 1;
    ui::GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, units * sizeof(wchar_t)));
    auto* block = static_cast<wchar_t*>(memory ? GlobalLock(memory.get()) : nullptr);
    if (!block)
        return ui::GlobalMemory();
    WORD* offsets[] = {&reinterpret_cast<DEVNAMES*>(block)->wDriverOffset,
                       &reinterpret_cast<DEVNAMES*>(block)->wDeviceOffset,
                       &reinterpret_cast<DEVNAMES*>(block)->wOutputOffset};
    size_t at = kHeaderUnits;
    for (int i = 0; i < 3; ++i) {
        *offsets[i] = static_cast<WORD>(at);
        std::memcpy(block + at, names[i].c_str(), (names[i].size() + 1) * sizeof(wchar_t));
        at += names[i].size() + 1;
    }
    GlobalUnlock(memory.get());
    return memory;
}

ui::GlobalMemory CopyToGlobal(const DeviceSettings& settings) {
    if (settings.empty())
        return ui::GlobalMemory();
    ui::GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, settings.size()));
    if (void* block = memory ? GlobalLock(memory.get()) : nullptr) {
        std::memcpy(block, settings.data(), settings.size());
        GlobalUnlock(memory.get());
    }
    return memory;
}

} // namespace

bool ExecutePrinterSetupDialog(HWND owner) {
    TPrinter& printer = Printer();
    const TPrinterDevice current = printer.CurrentDevice();
    PRINTDLGW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.Flags = PD_PRINTSETUP;
    if (printer.SettingsDevice() == current.deviceName)
        dialog.hDevMode = CopyToGlobal(printer.Settings()).release();
    dialog.hDevNames = MakeDeviceNames(current).release();
    const BOOL chosen = PrintDlgW(&dialog);
    // Whatever the dialog left in the two blocks is ours to free.
    ui::GlobalMemory mode(dialog.hDevMode), names(dialog.hDevNames);
    if (!chosen || !names)
        return false;
    TPrinterDevice target;
    if (const auto* block = static_cast<const wchar_t*>(GlobalLock(names.get()))) {
        const auto* header = reinterpret_cast<const DEVNAMES*>(block);
        target = {block + header->wDriverOffset, block + header->wDeviceOffset, block + header->wOutputOffset};
        GlobalUnlock(names.get());
    }
    DeviceSettings settings;
    if (const auto* block = static_cast<const BYTE*>(mode ? GlobalLock(mode.get()) : nullptr)) {
        const auto* devMode = reinterpret_cast<const DEVMODEW*>(block);
        settings.assign(block, block + devMode->dmSize + devMode->dmDriverExtra);
        GlobalUnlock(mode.get());
    }
    // The list's own row of that printer (rows of the NT family name no port).
    for (const PrinterRow& row : printer.Printers()) {
        if (row.device.deviceName == target.deviceName &&
            (row.device.portName.empty() || row.device.portName == target.portName)) {
            target = row.device;
            break;
        }
    }
    printer.SetPrinterNames(target, settings.empty() ? nullptr : &settings);
    return true;
}

PageMetrics ReadPageMetrics() {
    HDC dc = Printer().Handle();
    POINT page{}, offset{};
    GetPhysicalPageSize(page);
    Escape(dc, GETPRINTINGOFFSET, 0, nullptr, &offset);
    return {
        .dpiX = GetDeviceCaps(dc, LOGPIXELSX),
        .dpiY = GetDeviceCaps(dc, LOGPIXELSY),
        .printableWidth = GetDeviceCaps(dc, HORZRES),
        .printableHeight = GetDeviceCaps(dc, VERTRES),
        .physicalWidth = static_cast<int>(page.x),
        .physicalHeight = static_cast<int>(page.y),
        .offsetX = static_cast<int>(offset.x),
        .offsetY = static_cast<int>(offset.y),
    };
}

PrinterMargins ReadPrinterMargins() {
    return MarginsFromMetrics(ReadPageMetrics());
}

} // namespace kelvad
