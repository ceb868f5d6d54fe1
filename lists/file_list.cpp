#include "lists/file_list.h"

#include <algorithm>

#include "base/codepage.h"
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

bool ParseChosenFiles(const wchar_t* buffer, std::size_t size, std::vector<std::wstring>& names) {
    names.clear();
    std::vector<std::wstring> parts;
    std::size_t pos = 0;
    while (true) {
        std::size_t end = pos;
        while (end < size && buffer[end] != L'\0')
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
    std::wstring folder = parts.front();
    if (folder.back() != L'\\')
        folder += L'\\';
    for (std::size_t i = 1; i < parts.size(); ++i)
        names.push_back(folder + parts[i]);
    return true;
}

bool IsWildcardName(const std::wstring& path) {
    const std::size_t slash = path.rfind(L'\\');
    const std::size_t start = slash == std::wstring::npos ? 0 : slash + 1;
    return path.find_first_of(L"*?", start) != std::wstring::npos;
}

bool MatchesWildcard(std::wstring_view name, std::wstring_view pattern) {
    if (pattern == L"*.*")
        pattern = L"*";
    const std::wstring text = UpperCaseName(name);
    const std::wstring mask = UpperCaseName(pattern);
    // The classic walk: on a mismatch the last '*' takes one more character.
    std::size_t t = 0, m = 0;
    std::size_t star = std::wstring::npos, resume = 0;
    while (t < text.size()) {
        if (m < mask.size() && (mask[m] == L'?' || mask[m] == text[t])) {
            ++t;
            ++m;
        } else if (m < mask.size() && mask[m] == L'*') {
            star = m++;
            resume = t;
        } else if (star != std::wstring::npos) {
            m = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == L'*')
        ++m;
    return m == mask.size();
}

std::vector<std::wstring> ExpandWildcardName(const std::wstring& pattern, std::vector<FolderEntry> found) {
    const std::size_t slash = pattern.rfind(L'\\');
    const std::wstring_view mask = std::wstring_view(pattern).substr(slash == std::wstring::npos ? 0 : slash + 1);
    std::erase_if(found, [mask](const FolderEntry& e) {
        return e.isFolder || e.isHidden || e.isSystem || !MatchesWildcard(e.name, mask);
    });
    if (found.empty())
        return {pattern};
    // The order is that of the Shift-JIS names; names that differ only in case keep a fixed order between them,
    // and so do names that code page 932 cannot tell apart.
    std::vector<std::pair<std::string, FolderEntry>> keyed;
    for (FolderEntry& entry : found)
        keyed.emplace_back(ToShiftJis(entry.name).bytes, std::move(entry));
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        const std::string fa = FoldAsciiCase(a.first), fb = FoldAsciiCase(b.first);
        return fa != fb ? fa < fb : a.first != b.first ? a.first < b.first : a.second.name < b.second.name;
    });
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : pattern.substr(0, slash + 1);
    std::vector<std::wstring> names;
    for (const auto& [key, entry] : keyed)
        names.push_back(folder + entry.name);
    return names;
}

} // namespace kelvad
