#pragma once
#include <optional>
#include <string>

#include "settings/profile_file.h"
#include "settings/settings_file.h"

namespace kelvad {

// The settings file read and written as bytes, whatever the system code page (the platform's profile calls
// would pass the Shift-JIS text through it), in the encoding the file came in (ProfileFile). The file is read once,
// at the first call; changes are made to that text and written by Commit as a new file that then takes the old
// one's place, so that a failed write leaves the old file whole (or, where the folder takes no new file, over the
// old file itself). One store serves one load or one save.
class WinProfileStore : public ProfileStore {
public:
    explicit WinProfileStore(std::wstring path) : path_(std::move(path)) {}
    std::string Read(const std::string& section, const std::string& key, const std::string& defaultValue) override;
    void Write(const std::string& section, const std::string& key, const std::string& value) override;
    void EraseSection(const std::string& section) override;
    // Writes the changes, if any. A refused write raises ui::Error("<path> に書き込めません").
    void Commit();
    // False when the file is there but could not be read (held by another program past a few attempts, or in an
    // encoding the store does not handle): its values then read as their defaults.
    bool Readable();

private:
    // The file, empty when there is none; nothing when it is there but cannot be read.
    const std::optional<ProfileFile>& File();
    // The text to change; a refused read raises the same error as a refused write.
    ProfileText& TextForChange();
    std::wstring path_;
    bool loaded_ = false;
    bool changed_ = false;
    std::optional<ProfileFile> file_;
};

} // namespace kelvad
