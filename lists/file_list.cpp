#include "lists/file_list.h"

#include <algorithm>

#include "base/sjis.h"

namespace kelvad {

OpenDialogFilter FilterForFileKind(bool isPrnFile) {
    if (isPrnFile)
        return {kPrnFileFilter, kPrnDefaultExt};
    return {kImageFileFilter, ""};
}

int FilterEntryCount(std::string_view filter) {
    if (filter.empty())
        return 0;
    // Separators outside double-byte characters; every second one ends an entry.
    int separators = 0;
    for (std::size_t i = 0; i < filter.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(filter[i])))
            ++i;
        else if (filter[i] == '|')
            ++separators;
    }
    return (separators + 2) / 2;
}

int OpeningFilterIndex(int remembered, int entryCount) {
    return remembered >= 1 && remembered <= entryCount ? remembered : 1;
}

std::string SystemFilterString(std::string_view filter) {
    std::string result;
    result.reserve(filter.size() + 2);
    for (std::size_t i = 0; i < filter.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(filter[i])) && i + 1 < filter.size()) {
            result += filter[i];
            result += filter[++i];
        } else {
            result += filter[i] == '|' ? '\0' : filter[i];
        }
    }
    result.append(2, '\0');
    return result;
}

namespace {

// True when the last character of a path is a single-byte backslash, not the trail byte of a
// double-byte character such as "表".
bool EndsWithBackslash(const std::string& path) {
    bool last = false;
    for (std::size_t i = 0; i < path.size(); ++i) {
        last = false;
        if (IsLeadByte(static_cast<unsigned char>(path[i])))
            ++i;
        else
            last = path[i] == '\\';
    }
    return last;
}

} // namespace

bool ParseChosenFiles(const char* buffer, std::size_t size, std::vector<std::string>& names) {
    names.clear();
    std::vector<std::string> parts;
    std::size_t pos = 0;
    while (true) {
        std::size_t end = pos;
        while (end < size && buffer[end] != '\0')
            ++end;
        if (end >= size)
            return false;
        if (end == pos)
            break;
        parts.emplace_back(buffer + pos, end - pos);
        pos = end + 1;
    }
    if (parts.empty())
        return false;
    if (parts.size() == 1) {
        names = std::move(parts);
        return true;
    }
    std::string folder = parts.front();
    if (!EndsWithBackslash(folder))
        folder += '\\';
    for (std::size_t i = 1; i < parts.size(); ++i)
        names.push_back(folder + parts[i]);
    return true;
}

namespace {

// The name with ASCII capitals made small; double-byte characters stay as they stand.
std::string FoldCase(const std::string& name) {
    std::string folded = name;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(folded[i])))
            ++i;
        else if (folded[i] >= 'A' && folded[i] <= 'Z')
            folded[i] = static_cast<char>(folded[i] - 'A' + 'a');
    }
    return folded;
}

} // namespace

bool IsWildcardName(const std::string& path) {
    const std::size_t slash = FindLastSingleByte(path, '\\');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    return path.find_first_of("*?", start) != std::string::npos;
}

std::vector<std::string> ExpandWildcardName(const std::string& pattern, std::vector<FolderEntry> found) {
    std::erase_if(found, [](const FolderEntry& e) { return e.isFolder || e.isHidden || e.isSystem; });
    if (found.empty())
        return {pattern};
    // Names that differ only in case keep a fixed order between them.
    std::sort(found.begin(), found.end(), [](const FolderEntry& a, const FolderEntry& b) {
        const std::string fa = FoldCase(a.name), fb = FoldCase(b.name);
        return fa != fb ? fa < fb : a.name < b.name;
    });
    const std::size_t slash = FindLastSingleByte(pattern, '\\');
    const std::string folder = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
    std::vector<std::string> names;
    for (const FolderEntry& entry : found)
        names.push_back(folder + entry.name);
    return names;
}

} // namespace kelvad
