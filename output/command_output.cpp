#include "output/command_output.h"

#include "base/message_flags.h"
#include "base/sjis.h"
#include "output/raw_job.h"

namespace kelvad {

namespace {

// The string as one job; false when the printer, the job, the write or the end is refused.
bool SendAsJob(const std::string& command, const SpoolTarget& target, Spooler& spooler) {
    RawJob job(spooler);
    // Part of a printer command would leave the printer in an unknown state: a refused write drops the job.
    return job.Start(target, CommandDocName(command)) && job.Write(command.data(), command.size()) && job.Finish();
}

} // namespace

std::wstring CommandDocName(const std::string& command) {
    return ToWide(CutAtCharBoundary("Kelvad " + command, kMaxDocNameBytes));
}

bool SendCommandString(const std::string& command, const SpoolTarget& target, Spooler& spooler, MessageSink& messages) {
    if (SendAsJob(command, target, spooler))
        return true;
    messages.ShowWideMessageBox(NamedText(target.printerName, " に出力できません"), kWideCaption, kStopIcon);
    return false;
}

} // namespace kelvad
