#pragma once
#include <cstddef>
#include <string>

namespace kelvad {

// The printer a raw job goes to; an empty port means the printer's own port. Names are UTF-16, as the spooler
// names printers.
struct SpoolTarget {
    std::wstring printerName;
    std::wstring portName;
};

// The print spooler calls one raw job makes, on one printer handle at a time.
class Spooler {
public:
    virtual ~Spooler() = default;
    virtual bool Open(const std::wstring& printerName) = 0;
    // Starts a raw job through the target's port; an empty port name sends it to the printer's own port.
    // Returns the job id, 0 when refused.
    virtual unsigned long StartJob(const std::wstring& docName, const std::wstring& portName) = 0;
    // True when the spooler took every byte.
    virtual bool Write(const char* data, std::size_t size) = 0;
    virtual bool EndDoc() = 0;
    virtual void Cancel(unsigned long jobId) = 0;
    virtual void Close() = 0;
};

} // namespace kelvad
