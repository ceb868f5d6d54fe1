#pragma once
#include <optional>
#include <string>

#include "settings/profile_file.h"

namespace kelvad {

// The settings file read and written as bytes, whatever the system code page (the platform's profile calls would
// pass the Shift-JIS text through it), in the encoding the file came in (ProfileFile).

// The file at path, empty when there is none; nothing when it is there but cannot be read (held by another program
// past a few attempts, or in an encoding not handled).
std::optional<ProfileFile> ReadProfileFile(const std::wstring& path);

// Writes the file as a new file that then takes the old one's place, so that a failed write leaves the old file
// whole (or, where the folder takes no new file, over the old file itself). A refused write raises
// ui::Error("<path> に書き込めません").
void WriteProfileFile(const std::wstring& path, const ProfileFile& file);

} // namespace kelvad
