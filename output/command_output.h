#pragma once
#include <string>

#include "output/progress_sink.h"
#include "output/raw_spooler.h"
#include "output/spooler.h"

namespace kelvad {

// The spool job's name for a command string: "Kelvad " + the string, cut to 255 bytes without splitting a
// double-byte character.
std::wstring CommandDocName(const std::string& command);

// Sends the command string to the target as one spool job holding exactly its bytes, whatever its length.
// When the printer cannot be opened or the job cannot be started, written or ended, a stop box captioned
// "Kelvad" names the printer and false is returned.
bool SendCommandString(const std::string& command, const SpoolTarget& target, Spooler& spooler, MessageSink& messages);

} // namespace kelvad
