#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvad {

// A settings file as bytes (Shift-JIS, CR LF), read and changed with the rules of the platform's profile calls,
// so that no system code page stands between the program and its file: section and key names match without
// regard to ASCII case and around blanks, the first match counts, and a value loses its surrounding blanks and
// one pair of enclosing quotes. Lines that are neither sections nor keys stay as they are.
class ProfileText {
public:
    ProfileText() = default;
    // Lines may end in CR LF or LF alone.
    explicit ProfileText(std::string_view bytes);
    // The file's lines as they stand, without their line ends.
    explicit ProfileText(std::vector<std::string> lines);

    // The value of key in section; nothing when either is missing.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    // Replaces the first such key's value, or adds the key at the end of the section, or the section at the end
    // of the file.
    void Set(std::string_view section, std::string_view key, std::string_view value);
    // Removes every section of that name with its lines.
    void EraseSection(std::string_view section);
    bool HasSection(std::string_view section) const;

    // The whole file, every line ending in CR LF.
    std::string Bytes() const;

    // One line now: its text, and the number of the file's line it still is unchanged (kNewLine when added or
    // changed since the file was read).
    static constexpr std::size_t kNewLine = static_cast<std::size_t>(-1);
    struct Line {
        std::string text;
        std::size_t origin = kNewLine;
    };
    const std::vector<Line>& Lines() const { return lines_; }

private:
    struct Range {
        std::size_t header;
        std::size_t end; // the next section's header, or the end of the lines
    };
    std::optional<Range> FindSection(std::string_view section, std::size_t from = 0) const;
    std::optional<std::size_t> FindKey(const Range& range, std::string_view key) const;

    std::vector<Line> lines_;
};

} // namespace kelvad
