#include "settings/profile_text.h"

#include "base/sjis.h"

namespace kelvad {
namespace {

// The blanks dropped around names and values (the ones QuoteProfileValue protects).
bool IsProfileSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsProfileSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsProfileSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// Names compare without regard to ASCII case; the trail byte of a double-byte character (as 'R' in "コ") is
// compared as it stands.
bool SameName(std::string_view a, std::string_view b) {
    a = Trim(a);
    b = Trim(b);
    return a.size() == b.size() && FoldAsciiCase(a) == FoldAsciiCase(b);
}

// The name of a section header "[name]"; nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    const std::string_view text = Trim(line);
    if (text.empty() || text.front() != '[')
        return std::nullopt;
    // The last ']' that is not the trail byte of a double-byte character.
    const std::size_t close = FindLastSingleByte(std::string(text), ']');
    if (close == std::string::npos)
        return std::nullopt;
    return Trim(text.substr(1, close - 1));
}

struct KeyLine {
    std::string_view name;
    std::string_view value;
};

// A line "name=value" ('=' is never the trail byte of a double-byte character); nothing for any other line.
std::optional<KeyLine> SplitKeyLine(std::string_view line) {
    const std::string_view text = Trim(line);
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos || SectionName(text))
        return std::nullopt;
    return KeyLine{Trim(text.substr(0, equals)), Trim(text.substr(equals + 1))};
}

// One pair of quotes, single or double, around the whole value is dropped.
std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

ProfileText::ProfileText(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines_.push_back({std::string(line), lines_.size()});
        if (end == std::string_view::npos)
            break;
        bytes.remove_prefix(end + 1);
    }
}

ProfileText::ProfileText(std::vector<std::string> lines) {
    for (std::string& line : lines)
        lines_.push_back({std::move(line), lines_.size()});
}

std::optional<ProfileText::Range> ProfileText::FindSection(std::string_view section, std::size_t from) const {
    for (std::size_t i = from; i < lines_.size(); ++i) {
        const std::optional<std::string_view> name = SectionName(lines_[i].text);
        if (!name || !SameName(*name, section))
            continue;
        std::size_t end = i + 1;
        while (end < lines_.size() && !SectionName(lines_[end].text))
            ++end;
        return Range{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> ProfileText::FindKey(const Range& range, std::string_view key) const {
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        const std::optional<KeyLine> line = SplitKeyLine(lines_[i].text);
        if (line && SameName(line->name, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> ProfileText::Value(std::string_view section, std::string_view key) const {
    const std::optional<Range> range = FindSection(section);
    if (!range)
        return std::nullopt;
    const std::optional<std::size_t> at = FindKey(*range, key);
    if (!at)
        return std::nullopt;
    return std::string(Unquote(SplitKeyLine(lines_[*at].text)->value));
}

void ProfileText::Set(std::string_view section, std::string_view key, std::string_view value) {
    const std::optional<Range> range = FindSection(section);
    if (!range) {
        std::string header(1, '[');
        lines_.push_back({header.append(Trim(section)).append("]")});
        lines_.push_back({std::string(Trim(key)) + "=" + std::string(value)});
        return;
    }
    if (const std::optional<std::size_t> at = FindKey(*range, key)) {
        // The key keeps the spelling the file gave it; a line that reads the same stays the file's own.
        std::string line = std::string(SplitKeyLine(lines_[*at].text)->name) + "=" + std::string(value);
        if (line != lines_[*at].text)
            lines_[*at] = Line{std::move(line)};
        return;
    }
    // After the section's last line that is not blank, so that blank lines before the next section stay there.
    std::size_t at = range->end;
    while (at > range->header + 1 && Trim(lines_[at - 1].text).empty())
        --at;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::string(Trim(key)) + "=" + std::string(value)});
}

void ProfileText::EraseSection(std::string_view section) {
    while (const std::optional<Range> range = FindSection(section))
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
}

bool ProfileText::HasSection(std::string_view section) const {
    return FindSection(section).has_value();
}

std::string ProfileText::Bytes() const {
    std::string bytes;
    for (const Line& line : lines_)
        bytes.append(line.text).append("\r\n");
    return bytes;
}

} // namespace kelvad
