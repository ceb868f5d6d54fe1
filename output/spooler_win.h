#pragma once
#include <windows.h>

#include <winspool.h>

#include <string>

#include "output/spooler.h"
#include "ui/handle.h"

namespace kelvad {

// The document information record of a raw job (file or command string): the document name, the port as
// output file (null for a target without a port, whose jobs go to the printer's own port; an empty text
// would fail the job) and the data type "RAW", whatever the printer's default. It points into its arguments.
DOC_INFO_1W RawDocInfo(const std::wstring& docName, const std::wstring& portName);

// The print spooler of the platform: one printer handle, raw jobs at level 1.
class WinSpooler : public Spooler {
public:
    bool Open(const std::wstring& printerName) override;
    unsigned long StartJob(const std::wstring& docName, const std::wstring& portName) override;
    bool Write(const char* data, std::size_t size) override;
    bool EndDoc() override;
    void Cancel(unsigned long jobId) override;
    void Close() override;

private:
    ui::PrinterHandle printer_;
};

} // namespace kelvad
