#pragma once
#include "output/spooler.h"
#include "ui/handle.h"

namespace kelvad {

// The print spooler of the platform: one printer handle, raw jobs at level 1.
class WinSpooler : public Spooler {
public:
    bool Open(const std::string& printerName) override;
    unsigned long StartJob(const std::string& docName, const char* outputFile) override;
    bool Write(const char* data, std::size_t size) override;
    bool EndDoc() override;
    void Cancel(unsigned long jobId) override;
    void Close() override;

private:
    ui::PrinterHandle printer_;
};

} // namespace kelvad
