#pragma once
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kelvad {

inline constexpr char kNoDefaultPrinterError[] = "ﾃﾞﾌｫﾙﾄ ﾌﾟﾘﾝﾀが存在しません";
inline constexpr char kPrintingError[] = "印刷中";
inline constexpr char kPrinterIndexError[] = "ﾌﾟﾘﾝﾀ番号が範囲を超えています";
inline constexpr char kInvalidPrinterError[] = "選択したﾌﾟﾘﾝﾀは有効ではありません";

// An error of the printer object (its message is Shift-JIS text).
class PrinterError : public std::runtime_error {
public:
    explicit PrinterError(const std::string& message) : std::runtime_error(message) {}
};

// The names that identify one output target; the device name is the printer's name, used to open it. Printer
// names are UTF-16 as the platform gives them: one that Shift-JIS cannot hold still names its own printer.
struct TPrinterDevice {
    std::wstring driverName;
    std::wstring deviceName;
    std::wstring portName;
    bool operator==(const TPrinterDevice&) const = default;
};

// One row of the target list: what the list shows and the target behind it.
struct PrinterRow {
    std::wstring text;
    TPrinterDevice device;
    bool operator==(const PrinterRow&) const = default;
};

// A printer as the port-listing enumeration reports it: its name and its ports as one comma-separated text.
struct PrinterPorts {
    std::wstring name;
    std::wstring ports;
};

// The driver's document settings for one printer, as the bytes the platform handed out (a DEVMODEW and the
// driver's extra bytes on Windows).
using DeviceSettings = std::vector<unsigned char>;

// The display text of a target that names a port: "name. port".
std::wstring PortTargetText(const std::wstring& device, const std::wstring& port);

// The ports of a comma-separated port text: blanks at the start of each field are skipped, and the fields
// are taken in order up to the first empty one.
std::vector<std::wstring> SplitPorts(const std::wstring& portText);

// Rows of the Windows NT family: one per printer, the name alone, with no driver or port name.
std::vector<PrinterRow> RowsFromPrinterNames(const std::vector<std::wstring>& names);
// Rows of the Windows 95 family: one per port of each printer, "name. port".
std::vector<PrinterRow> RowsFromPrinterPorts(const std::vector<PrinterPorts>& printers);

// The printer name in the profile's default-device entry ("name,driver,port"): the text up to the first comma,
// with the blanks at its start skipped.
std::wstring DefaultPrinterName(const std::wstring& deviceEntry);

// What the printer object asks of the platform.
class PrinterPlatform {
public:
    virtual ~PrinterPlatform() = default;
    // Whether the system is of the Windows NT family.
    virtual bool IsNtFamily() = 0;
    // The local and connected printers' names in enumeration order; empty when the enumeration fails.
    virtual std::vector<std::wstring> EnumeratePrinterNames() = 0;
    // The local printers with their port texts in enumeration order; empty when the enumeration fails.
    virtual std::vector<PrinterPorts> EnumeratePrinterPorts() = 0;
    // The profile entry "device" of section "windows" (empty when there is none).
    virtual std::wstring DefaultDeviceEntry() = 0;
    // Opens the printer by name and answers its driver's default document settings; empty when it cannot.
    virtual DeviceSettings DefaultDocumentSettings(const std::wstring& deviceName) = 0;
};

// The output targets and the current one: the target list (built on first use and kept), the current index,
// the document settings of the target last made current by name, and whether a document is being printed.
class PrinterTargets {
public:
    explicit PrinterTargets(std::unique_ptr<PrinterPlatform> platform);
    virtual ~PrinterTargets() = default;
    PrinterTargets(const PrinterTargets&) = delete;
    PrinterTargets& operator=(const PrinterTargets&) = delete;

    // The target list; the first call builds it from the platform.
    const std::vector<PrinterRow>& Printers();
    std::vector<std::wstring> PrinterTexts();

    // The current index; while it is -1 the default printer is looked up (and made current by name) first.
    // Throws kNoDefaultPrinterError when no row is the default printer.
    int PrinterIndex();
    // -1 looks the default printer up afresh and leaves the index at -1; a row index makes that row current
    // and changes nothing else; any other value is refused. Refused while a document is being printed.
    void SetPrinterIndex(int index);
    // Makes the first row with these device and port names current, appending a row when none has them, and
    // takes the given document settings or, without any, the driver's defaults. Refused while printing.
    void SetPrinterNames(const TPrinterDevice& target, const DeviceSettings* settings = nullptr);

    // The current row's target and display text (runs the default lookup when needed).
    const TPrinterDevice& CurrentDevice();
    const std::wstring& CurrentText();

    // The document settings of the target last made current by name, and that target's device name.
    const DeviceSettings& Settings() const noexcept { return settings_; }
    const std::wstring& SettingsDevice() const noexcept { return settingsDevice_; }

    bool Printing() const noexcept { return printing_; }

protected:
    void SetPrinting(bool printing) noexcept { printing_ = printing; }
    // Called after the current target or its settings have changed.
    virtual void TargetChanged() {}
    void RefuseWhilePrinting() const;

private:
    void LookUpDefault();

    std::unique_ptr<PrinterPlatform> platform_;
    std::vector<PrinterRow> rows_;
    bool built_ = false;
    int index_ = -1;
    DeviceSettings settings_;
    std::wstring settingsDevice_;
    bool printing_ = false;
};

// The printer's page geometry in device units, as the device context reports it.
struct PageMetrics {
    int dpiX = 0;           // LOGPIXELSX
    int dpiY = 0;           // LOGPIXELSY
    int printableWidth = 0; // HORZRES
    int printableHeight = 0;
    int physicalWidth = 0; // GETPHYSPAGESIZE
    int physicalHeight = 0;
    int offsetX = 0; // GETPRINTINGOFFSET
    int offsetY = 0;
};

// The unprintable border of the sheet on each side, in whole millimetres.
struct PrinterMargins {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const PrinterMargins&) const = default;
};

// Rounds to the nearest integer, halves to the even neighbour.
long double RoundHalfEven(long double value);

// Device units to whole millimetres: the quotient units / dpi first, then times 25.4, in extended precision,
// rounded halves to even. 0 for a resolution that is not positive.
int UnitsToMillimetres(long long units, int dpi);

// The arithmetic of ReadPrinterMargins: the offset is the left and top border; what the physical page has
// beyond the offset and the printable area is the right and bottom border.
PrinterMargins MarginsFromMetrics(const PageMetrics& metrics);

} // namespace kelvad
