#pragma once
#include <optional>
#include <string>

#include "settings/profile_text.h"
#include "settings/settings_file.h"

namespace kelvad {

// The settings file read and written as bytes, whatever the system code page (the platform's profile calls
// would pass the Shift-JIS text through it): each call reads the file anew, and each change writes a new file
// that then takes the old one's place, so that a failed write leaves the old file whole.
class WinProfileStore : public ProfileStore {
public:
    explicit WinProfileStore(std::string path) : path_(std::move(path)) {}
    std::string Read(const std::string& section, const std::string& key, const std::string& defaultValue) override;
    // A refused write raises ui::Error("<path> に書き込めません").
    void Write(const std::string& section, const std::string& key, const std::string& value) override;
    void EraseSection(const std::string& section) override;

private:
    // The file's text, empty when there is no file; nothing when it is there but cannot be read.
    std::optional<ProfileText> Load() const;
    // The text to change and save; a refused read raises the same error as a refused write.
    ProfileText LoadForChange() const;
    void Save(const ProfileText& text) const;
    std::string path_;
};

} // namespace kelvad
