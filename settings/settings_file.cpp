#include "settings/settings_file.h"

#include "settings/profile_values.h"

#include <algorithm>

namespace kelvad {
namespace {

const std::string kConfig = "Config";
const std::string kOption = "Option";
const std::string kDescriptionKey = "説明";
const std::string kCommandKey = "コマンド";
constexpr std::int32_t kDefaultMargin = 20;
constexpr std::int32_t kMaxMargin = 50;

std::string CommandSection(int number) {
    return "Command" + std::to_string(number);
}

std::int32_t ReadMargin(IniFile& ini, const std::string& key) {
    return std::min(ini.ReadInteger(kOption, key, kDefaultMargin), kMaxMargin);
}

} // namespace

std::string IniFile::ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) {
    return store_.Read(section, key, defaultValue);
}

std::int32_t IniFile::ReadInteger(const std::string& section, const std::string& key, std::int32_t defaultValue) {
    return ParseProfileInteger(store_.Read(section, key, ""), defaultValue);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool defaultValue) {
    return ParseProfileBoolean(store_.Read(section, key, ""), defaultValue);
}

void IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    store_.Write(section, key, QuoteProfileValue(value));
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, std::int32_t value) {
    store_.Write(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    store_.Write(section, key, value ? "1" : "0");
}

void IniFile::EraseSection(const std::string& section) {
    store_.EraseSection(section);
}

bool ReadCommandFlag(IniFile& ini) {
    return ini.ReadBool(kConfig, "CommandFlag", true);
}

StoredPlacement ReadPlacement(IniFile& ini, const StoredPlacement& current) {
    StoredPlacement p;
    p.showCmd = ini.ReadInteger(kConfig, "PlaceShowCmd", current.showCmd);
    p.minX = ini.ReadInteger(kConfig, "PlaceMinPos.X", current.minX);
    p.minY = ini.ReadInteger(kConfig, "PlaceMinPos.Y", current.minY);
    p.maxX = ini.ReadInteger(kConfig, "PlaceMaxPos.X", current.maxX);
    p.maxY = ini.ReadInteger(kConfig, "PlaceMaxPos.Y", current.maxY);
    p.left = ini.ReadInteger(kConfig, "PlaceNormalPos.Left", current.left);
    p.top = ini.ReadInteger(kConfig, "PlaceNormalPos.Top", current.top);
    return p;
}

void WriteConfig(IniFile& ini, bool fileMode, const StoredPlacement& p) {
    ini.WriteBool(kConfig, "CommandFlag", fileMode);
    ini.WriteInteger(kConfig, "PlaceShowCmd", p.showCmd);
    ini.WriteInteger(kConfig, "PlaceMinPos.X", p.minX);
    ini.WriteInteger(kConfig, "PlaceMinPos.Y", p.minY);
    ini.WriteInteger(kConfig, "PlaceMaxPos.X", p.maxX);
    ini.WriteInteger(kConfig, "PlaceMaxPos.Y", p.maxY);
    ini.WriteInteger(kConfig, "PlaceNormalPos.Left", p.left);
    ini.WriteInteger(kConfig, "PlaceNormalPos.Top", p.top);
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

OutputOptions ReadOptions(IniFile& ini) {
    OutputOptions o;
    o.TopMargin = ReadMargin(ini, "TopMargin");
    o.BottomMargin = ReadMargin(ini, "BottomMargin");
    o.LeftMargin = ReadMargin(ini, "LeftMargin");
    o.RightMargin = ReadMargin(ini, "RightMargin");
    o.IsPrnFile = ini.ReadBool(kOption, "IsPrnFile", true);
    o.IsStretch = ini.ReadBool(kOption, "IsStretch", true);
    o.IsReverse = ini.ReadBool(kOption, "IsReverse", false);
    o.IsMarginZero = ini.ReadBool(kOption, "IsMarginZero", false);
    o.IsDeleteFile = ini.ReadBool(kOption, "IsDeleteFile", false);
    return o;
}

void WriteOptions(IniFile& ini, const OutputOptions& o) {
    ini.WriteInteger(kOption, "TopMargin", o.TopMargin);
    ini.WriteInteger(kOption, "BottomMargin", o.BottomMargin);
    ini.WriteInteger(kOption, "LeftMargin", o.LeftMargin);
    ini.WriteInteger(kOption, "RightMargin", o.RightMargin);
    ini.WriteBool(kOption, "IsPrnFile", o.IsPrnFile);
    ini.WriteBool(kOption, "IsStretch", o.IsStretch);
    ini.WriteBool(kOption, "IsReverse", o.IsReverse);
    ini.WriteBool(kOption, "IsMarginZero", o.IsMarginZero);
    ini.WriteBool(kOption, "IsDeleteFile", o.IsDeleteFile);
}

std::string CannotWriteMessage(const std::string& path) {
    return path + " に書き込めません";
}

} // namespace kelvad
