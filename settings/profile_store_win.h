#pragma once
#include <string>

#include "settings/settings_file.h"

namespace kelvad {

// The settings file through GetPrivateProfileStringA and WritePrivateProfileStringA.
class WinProfileStore : public ProfileStore {
public:
    explicit WinProfileStore(std::string path) : path_(std::move(path)) {}
    std::string Read(const std::string& section, const std::string& key, const std::string& defaultValue) override;
    // A refused write raises ui::Error("<path> に書き込めません").
    void Write(const std::string& section, const std::string& key, const std::string& value) override;
    void EraseSection(const std::string& section) override;

private:
    bool HasSection(const std::string& section) const;
    std::string path_;
};

} // namespace kelvad
