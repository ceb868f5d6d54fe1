#include "settings/settings_file.h"

#include "base/codepage.h"
#include "settings/profile_values.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>

namespace kelvad {
namespace {

const std::string kConfig = "Config";
const std::string kOption = "Option";
const std::string kDescriptionKey = "説明";
const std::string kCommandKey = "コマンド";
constexpr std::int32_t kMaxMargin = 50;

std::string CommandSection(int number) {
    return "Command" + std::to_string(number);
}

// One key of a section: its name, the member of the record that holds its value (an integer or a boolean) and
// the largest integer it reads as. A key missing from the file reads as the member's value in the record given.
template <class Record> struct Key {
    const char* name;
    std::int32_t Record::*integer = nullptr;
    bool Record::*flag = nullptr;
    std::int32_t max = INT32_MAX;
};

// Keys are written in the order of their table.
const Key<StoredConfig> kConfigKeys[] = {
    {.name = "CommandFlag", .flag = &StoredConfig::fileMode},
    {.name = "PlaceShowCmd", .integer = &StoredConfig::showCmd},
    {.name = "PlaceMinPos.X", .integer = &StoredConfig::minX},
    {.name = "PlaceMinPos.Y", .integer = &StoredConfig::minY},
    {.name = "PlaceMaxPos.X", .integer = &StoredConfig::maxX},
    {.name = "PlaceMaxPos.Y", .integer = &StoredConfig::maxY},
    {.name = "PlaceNormalPos.Left", .integer = &StoredConfig::left},
    {.name = "PlaceNormalPos.Top", .integer = &StoredConfig::top},
};

const Key<OutputOptions> kOptionKeys[] = {
    {.name = "TopMargin", .integer = &OutputOptions::TopMargin, .max = kMaxMargin},
    {.name = "BottomMargin", .integer = &OutputOptions::BottomMargin, .max = kMaxMargin},
    {.name = "LeftMargin", .integer = &OutputOptions::LeftMargin, .max = kMaxMargin},
    {.name = "RightMargin", .integer = &OutputOptions::RightMargin, .max = kMaxMargin},
    {.name = "IsPrnFile", .flag = &OutputOptions::IsPrnFile},
    {.name = "IsStretch", .flag = &OutputOptions::IsStretch},
    {.name = "IsReverse", .flag = &OutputOptions::IsReverse},
    {.name = "IsMarginZero", .flag = &OutputOptions::IsMarginZero},
    {.name = "IsDeleteFile", .flag = &OutputOptions::IsDeleteFile},
};

template <class Record>
Record ReadKeys(IniFile& ini, const std::string& section, std::span<const Key<Record>> keys, Record record) {
    for (const Key<Record>& key : keys) {
        if (key.integer)
            record.*key.integer = std::min(ini.ReadInteger(section, key.name, record.*key.integer), key.max);
        else
            record.*key.flag = ini.ReadBool(section, key.name, record.*key.flag);
    }
    return record;
}

template <class Record>
void WriteKeys(IniFile& ini, const std::string& section, std::span<const Key<Record>> keys, const Record& record) {
    for (const Key<Record>& key : keys) {
        if (key.integer)
            ini.WriteInteger(section, key.name, record.*key.integer);
        else
            ini.WriteBool(section, key.name, record.*key.flag);
    }
}

} // namespace

std::string IniFile::Read(const std::string& section, const std::string& key, const std::string& defaultValue) const {
    if (std::optional<std::string> value = text_.Value(section, key))
        return std::move(*value);
    // The profile reader drops the default's trailing blanks too.
    const std::size_t end = defaultValue.find_last_not_of(" \t\r\n\v\f");
    return end == std::string::npos ? std::string() : defaultValue.substr(0, end + 1);
}

void IniFile::Write(const std::string& section, const std::string& key, const std::string& value) {
    text_.Set(section, key, value);
    changed_ = true;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) {
    return Read(section, key, defaultValue);
}

std::int32_t IniFile::ReadInteger(const std::string& section, const std::string& key, std::int32_t defaultValue) {
    return ParseProfileInteger(Read(section, key, ""), defaultValue);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool defaultValue) {
    return ParseProfileBoolean(Read(section, key, ""), defaultValue);
}

void IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    Write(section, key, QuoteProfileValue(value));
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, std::int32_t value) {
    Write(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    Write(section, key, value ? "1" : "0");
}

void IniFile::EraseSection(const std::string& section) {
    if (!text_.HasSection(section))
        return;
    text_.EraseSection(section);
    changed_ = true;
}

StoredConfig ReadConfig(IniFile& ini, const StoredConfig& current) {
    return ReadKeys<StoredConfig>(ini, kConfig, kConfigKeys, current);
}

void WriteConfig(IniFile& ini, const StoredConfig& config) {
    WriteKeys<StoredConfig>(ini, kConfig, kConfigKeys, config);
}

std::vector<CommandEntry> ReadCommandSections(IniFile& ini) {
    std::vector<CommandEntry> entries;
    for (int n = 1; n <= MaxCommandEntries; ++n) {
        CommandEntry entry{ini.ReadString(CommandSection(n), kDescriptionKey, ""),
                           ini.ReadString(CommandSection(n), kCommandKey, "")};
        if (!entry.Description.empty() && !entry.Command.empty())
            entries.push_back(std::move(entry));
    }
    return entries;
}

void WriteCommandSections(IniFile& ini, const std::vector<CommandEntry>& entries) {
    const int count = std::min(static_cast<int>(entries.size()), MaxCommandEntries);
    for (int i = 1; i <= count; ++i) {
        ini.WriteString(CommandSection(i), kDescriptionKey, entries[i - 1].Description);
        ini.WriteString(CommandSection(i), kCommandKey, entries[i - 1].Command);
    }
    for (int i = count + 1; i <= MaxCommandEntries; ++i)
        ini.EraseSection(CommandSection(i));
}

// The defaults are the options' own initial values.
OutputOptions ReadOptions(IniFile& ini) {
    return ReadKeys<OutputOptions>(ini, kOption, kOptionKeys, {});
}

void WriteOptions(IniFile& ini, const OutputOptions& options) {
    WriteKeys<OutputOptions>(ini, kOption, kOptionKeys, options);
}

std::wstring CannotWriteMessage(const std::wstring& path) {
    return NamedText(path, " に書き込めません");
}

std::wstring CannotReadMessage(const std::wstring& path) {
    return NamedText(path, " を読み込めません");
}

} // namespace kelvad
