#include "output/command_output.h"

#include "base/sjis.h"

namespace kelvad {

std::string CommandDocName(const std::string& command) {
    return CutAtCharBoundary("Kelvad " + command, kMaxDocNameBytes);
}

bool SendCommandString(const std::string& command, const SpoolTarget& target, Spooler& spooler, MessageSink& messages) {
    auto refused = [&] {
        messages.ShowMessageBox(target.printerName + " に出力できません", kCaption, kStopIcon);
        return false;
    };
    if (!spooler.Open(target.printerName))
        return refused();
    const unsigned long jobId = spooler.StartJob(CommandDocName(command), target.portName);
    if (jobId == 0) {
        spooler.Close();
        return refused();
    }
    if (!spooler.Write(command.data(), command.size())) {
        // Part of a printer command would leave the printer in an unknown state: the job is dropped.
        spooler.EndDoc();
        spooler.Cancel(jobId);
        spooler.Close();
        return refused();
    }
    const bool ended = spooler.EndDoc();
    spooler.Close();
    return ended ? true : refused();
}

} // namespace kelvad
