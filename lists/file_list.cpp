#include "lists/file_list.h"

#include "output/sjis.h"

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

} // namespace kelvad
