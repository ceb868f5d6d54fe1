#pragma once
#include <cstddef>
#include <string>

#include "output/spooler.h"

namespace kelvad {

// One raw spool job on one printer: Start opens the printer and starts the job, Write sends bytes, Finish ends
// the job (cancelling it when asked) and closes the printer. Whatever is left open when the job goes is
// released: a started job that was not finished is ended and cancelled, an opened printer is closed.
class RawJob {
public:
    explicit RawJob(Spooler& spooler) noexcept : spooler_(spooler) {}
    ~RawJob();
    RawJob(const RawJob&) = delete;
    RawJob& operator=(const RawJob&) = delete;

    // False when the printer cannot be opened or refuses the job.
    bool Start(const SpoolTarget& target, const std::wstring& docName);
    // True when the spooler took every byte.
    bool Write(const char* data, std::size_t size) { return spooler_.Write(data, size); }
    // Ends the job, cancels it when cancel is set, closes the printer; true when the job ended.
    bool Finish(bool cancel = false);

private:
    Spooler& spooler_;
    bool open_ = false;
    unsigned long jobId_ = 0;
};

} // namespace kelvad
