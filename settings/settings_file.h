#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "lists/command_catalogue.h"
#include "output/output_options.h"
#include "settings/profile_text.h"

namespace kelvad {

// Typed access with the program's value rules (texts, integers in decimal, booleans as "1" and "0") to the
// settings file's text, read as the platform's profile reader gives a value: surrounding blanks and one pair of
// enclosing quotes dropped; a missing key reads as its default.
class IniFile {
public:
    explicit IniFile(ProfileText& text) : text_(text) {}
    std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue);
    std::int32_t ReadInteger(const std::string& section, const std::string& key, std::int32_t defaultValue);
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue);
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, std::int32_t value);
    void WriteBool(const std::string& section, const std::string& key, bool value);
    // Erases the section if the text has it.
    void EraseSection(const std::string& section);
    // Whether a write or an erasure has changed the text: only then is the file written.
    bool Changed() const noexcept { return changed_; }

private:
    std::string Read(const std::string& section, const std::string& key, const std::string& defaultValue) const;
    void Write(const std::string& section, const std::string& key, const std::string& value);

    ProfileText& text_;
    bool changed_ = false;
};

// What the file keeps in "Config": the mode ("CommandFlag", true = file mode) and the main window's placement
// (the size is the design size).
struct StoredConfig {
    bool fileMode = true;
    std::int32_t showCmd = 1;
    std::int32_t minX = 0;
    std::int32_t minY = 0;
    std::int32_t maxX = 0;
    std::int32_t maxY = 0;
    std::int32_t left = 0;
    std::int32_t top = 0;
    bool operator==(const StoredConfig&) const = default;
};

// "Config", each key missing from the file reading as its value in current.
StoredConfig ReadConfig(IniFile& ini, const StoredConfig& current);
void WriteConfig(IniFile& ini, const StoredConfig& config);

// Command1 to Command20: the filled sections in order (a section missing either key is passed over), and
// back as Command1 upward with the sections above the last entry, up to Command20, erased.
std::vector<CommandEntry> ReadCommandSections(IniFile& ini);
void WriteCommandSections(IniFile& ini, const std::vector<CommandEntry>& entries);

// "Option": the output options; a margin above 50 reads as 50.
OutputOptions ReadOptions(IniFile& ini);
void WriteOptions(IniFile& ini, const OutputOptions& options);

// The messages of a refused write, "<path> に書き込めません", and of a file that could not be read at start,
// "<path> を読み込めません" (the path whole, as UTF-16).
std::wstring CannotWriteMessage(const std::wstring& path);
std::wstring CannotReadMessage(const std::wstring& path);

} // namespace kelvad
