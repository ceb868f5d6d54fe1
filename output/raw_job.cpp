#include "output/raw_job.h"

namespace kelvad {

RawJob::~RawJob() {
    if (jobId_ != 0) {
        spooler_.EndDoc();
        spooler_.Cancel(jobId_);
    }
    if (open_)
        spooler_.Close();
}

bool RawJob::Start(const SpoolTarget& target, const std::wstring& docName) {
    open_ = spooler_.Open(target.printerName);
    if (open_)
        jobId_ = spooler_.StartJob(docName, target.portName);
    return jobId_ != 0;
}

bool RawJob::Finish(bool cancel) {
    if (jobId_ == 0)
        return false;
    const bool ended = spooler_.EndDoc();
    if (cancel)
        spooler_.Cancel(jobId_);
    spooler_.Close();
    jobId_ = 0;
    open_ = false;
    return ended;
}

} // namespace kelvad
