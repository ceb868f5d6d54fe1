#include "output/printer.h"

#include <climits>
#include <cmath>

namespace kelvad {

std::wstring PortTargetText(const std::wstring& device, const std::wstring& port) {
    return device + L". " + port;
}

std::vector<std::wstring> SplitPorts(const std::wstring& portText) {
    std::vector<std::wstring> ports;
    std::wstring::size_type pos = 0;
    while (pos <= portText.size()) {
        const std::wstring::size_type start = portText.find_first_not_of(L' ', pos);
        const std::wstring::size_type comma = portText.find(L',', pos);
        if (start == std::wstring::npos || (comma != std::wstring::npos && start >= comma))
            break;
        const std::wstring::size_type end = comma == std::wstring::npos ? portText.size() : comma;
        ports.push_back(portText.substr(start, end - start));
        if (comma == std::wstring::npos)
            break;
        pos = comma + 1;
    }
    return ports;
}

std::vector<PrinterRow> RowsFromPrinterNames(const std::vector<std::wstring>& names) {
    std::vector<PrinterRow> rows;
    rows.reserve(names.size());
    for (const std::wstring& name : names)
        rows.push_back({name, {L"", name, L""}});
    return rows;
}

std::vector<PrinterRow> RowsFromPrinterPorts(const std::vector<PrinterPorts>& printers) {
    std::vector<PrinterRow> rows;
    for (const PrinterPorts& printer : printers) {
        for (const std::wstring& port : SplitPorts(printer.ports))
            rows.push_back({PortTargetText(printer.name, port), {L"", printer.name, port}});
    }
    return rows;
}

std::wstring DefaultPrinterName(const std::wstring& deviceEntry) {
    const std::wstring::size_type start = deviceEntry.find_first_not_of(L' ');
    if (start == std::wstring::npos)
        return std::wstring();
    const std::wstring::size_type comma = deviceEntry.find(L',', start);
    return deviceEntry.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start);
}

PrinterTargets::PrinterTargets(std::unique_ptr<PrinterPlatform> platform) : platform_(std::move(platform)) {}

const std::vector<PrinterRow>& PrinterTargets::Printers() {
    if (!built_) {
        // Built aside: an error on the way leaves no partial list behind.
        std::vector<PrinterRow> rows = platform_->IsNtFamily()
                                           ? RowsFromPrinterNames(platform_->EnumeratePrinterNames())
                                           : RowsFromPrinterPorts(platform_->EnumeratePrinterPorts());
        rows_ = std::move(rows);
        built_ = true;
    }
    return rows_;
}

std::vector<std::wstring> PrinterTargets::PrinterTexts() {
    std::vector<std::wstring> texts;
    for (const PrinterRow& row : Printers())
        texts.push_back(row.text);
    return texts;
}

int PrinterTargets::PrinterIndex() {
    if (index_ == -1)
        LookUpDefault();
    return index_;
}

void PrinterTargets::LookUpDefault() {
    const std::wstring name = DefaultPrinterName(platform_->DefaultDeviceEntry());
    for (const PrinterRow& row : Printers()) {
        if (row.device.deviceName == name) {
            // A copy: making a target current may append to the list the row lives in.
            const TPrinterDevice target = row.device;
            SetPrinterNames(target);
            return;
        }
    }
    throw PrinterError(kNoDefaultPrinterError);
}

void PrinterTargets::SetPrinterIndex(int index) {
    RefuseWhilePrinting();
    if (index == -1) {
        LookUpDefault();
        index_ = -1;
        return;
    }
    if (index < 0 || index >= static_cast<int>(Printers().size()))
        throw PrinterError(kPrinterIndexError);
    index_ = index;
    TargetChanged();
}

void PrinterTargets::SetPrinterNames(const TPrinterDevice& target, const DeviceSettings* settings) {
    RefuseWhilePrinting();
    const std::vector<PrinterRow>& rows = Printers();
    int found = -1;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        if (rows[i].device.deviceName == target.deviceName && rows[i].device.portName == target.portName) {
            found = i;
            break;
        }
    }
    if (found == -1) {
        rows_.push_back({PortTargetText(target.deviceName, target.portName), target});
        found = static_cast<int>(rows_.size()) - 1;
    }
    settings_ = settings ? *settings : platform_->DefaultDocumentSettings(target.deviceName);
    settingsDevice_ = target.deviceName;
    index_ = found;
    TargetChanged();
}

const TPrinterDevice& PrinterTargets::CurrentDevice() {
    const int index = PrinterIndex();
    return Printers()[static_cast<std::size_t>(index)].device;
}

const std::wstring& PrinterTargets::CurrentText() {
    const int index = PrinterIndex();
    return Printers()[static_cast<std::size_t>(index)].text;
}

void PrinterTargets::RefuseWhilePrinting() const {
    if (printing_)
        throw PrinterError(kPrintingError);
}

long double RoundHalfEven(long double value) {
    const long double below = std::floor(value);
    const long double fraction = value - below;
    if (fraction > 0.5L)
        return below + 1;
    if (fraction < 0.5L)
        return below;
    return std::fmod(below, 2.0L) == 0 ? below : below + 1;
}

int UnitsToMillimetres(long long units, int dpi) {
    if (dpi <= 0)
        return 0;
    const long double millimetres = RoundHalfEven(static_cast<long double>(units) / dpi * 25.4L);
    if (millimetres >= static_cast<long double>(INT_MAX))
        return INT_MAX;
    if (millimetres <= static_cast<long double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(millimetres);
}

PrinterMargins MarginsFromMetrics(const PageMetrics& m) {
    // Differences in 64 bits: a device may answer anything.
    const long long right = static_cast<long long>(m.physicalWidth) - m.offsetX - m.printableWidth;
    const long long bottom = static_cast<long long>(m.physicalHeight) - m.offsetY - m.printableHeight;
    return {
        .Left = UnitsToMillimetres(m.offsetX, m.dpiX),
        .Top = UnitsToMillimetres(m.offsetY, m.dpiY),
        .Right = UnitsToMillimetres(right, m.dpiX),
        .Bottom = UnitsToMillimetres(bottom, m.dpiY),
    };
}

} // namespace kelvad
