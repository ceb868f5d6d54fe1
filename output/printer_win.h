#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "output/printer.h"
#include "output/raw_spooler.h"
#include "ui/handle.h"

namespace kelvad {

// The platform's printers: the spooler's enumeration, the profile's default-device entry and the drivers'
// default document settings.
class WinPrinterPlatform : public PrinterPlatform {
public:
    bool IsNtFamily() override;
    std::vector<std::wstring> EnumeratePrinterNames() override;
    std::vector<PrinterPorts> EnumeratePrinterPorts() override;
    std::wstring DefaultDeviceEntry() override;
    DeviceSettings DefaultDocumentSettings(const std::wstring& deviceName) override;
};

// The program's printer object: the output targets, and the GDI device of the current target, which is an
// information context for the page metrics or, between BeginDoc and EndDoc, the document being printed.
class TPrinter : public PrinterTargets {
public:
    TPrinter();
    explicit TPrinter(std::unique_ptr<PrinterPlatform> platform);
    ~TPrinter() override;

    // The document's name in the print queue.
    std::wstring Title;

    // Starts the document on the current target and its first page; while it runs, the abort procedure
    // processes pending window messages and lets printing go on. Throws kInvalidPrinterError when the
    // target's device cannot be made, kPrintingError while a document is open. Answers whether the device took
    // both calls; after a refusal the document stays open until Abort.
    bool BeginDoc();
    // Ends the page and starts the next one; answers whether the device took both calls.
    bool NewPage();
    // Ends the page and the document, which then goes to the printer; answers whether the device took both calls.
    // A refused end of page drops the document; either way it is closed afterwards.
    bool EndDoc();
    // Drops an unfinished document (nothing of it is printed).
    void Abort();

    // The document's device context while printing; otherwise the current target's information context, made
    // when first asked for. Throws kInvalidPrinterError when it cannot be made.
    HDC Handle();

    // The current target as a raw spool job's destination.
    SpoolTarget RawTarget();

protected:
    void TargetChanged() override;

private:
    ui::OwnedDc CreateDevice(bool informationOnly);

    ui::OwnedDc info_;
    ui::OwnedDc document_;
};

// The one printer object of the program, made on first use.
TPrinter& Printer();

// The first row of the target list whose printer has this name, compared without regard to case (full-width
// letters too) as the system compares printer names; -1 when no printer has it.
int FindPrinterRow(const std::wstring& name);

// The current printer's sheet size in device units (escape GETPHYSPAGESIZE).
void GetPhysicalPageSize(POINT& size);

// The platform's printer setup dialog on the current printer and its document settings; a printer or settings
// chosen there become current at once. Answers whether the dialog ended with OK.
bool ExecutePrinterSetupDialog(HWND owner);

// The current printer's page geometry and, from it, its unprintable margins in whole millimetres.
PageMetrics ReadPageMetrics();
PrinterMargins ReadPrinterMargins();

} // namespace kelvad
