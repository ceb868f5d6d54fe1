#include "base/sjis.h"

namespace kelvad {

bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

std::string FoldAsciiCase(std::string_view text) {
    std::string folded(text);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(folded[i])))
            ++i;
        else if (folded[i] >= 'A' && folded[i] <= 'Z')
            folded[i] = static_cast<char>(folded[i] - 'A' + 'a');
    }
    return folded;
}

std::string CutAtCharBoundary(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    std::size_t end = 0;
    while (end < maxBytes) {
        const std::size_t width = IsLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + width > maxBytes) {
            break;
        }
        end += width;
    }
    return text.substr(0, end);
}

std::size_t FindSingleByte(const std::string& text, char c, std::size_t from) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
            ++i;
        } else if (i >= from && text[i] == c) {
            return i;
        }
    }
    return std::string::npos;
}

std::size_t FindLastSingleByte(const std::string& text, char c) {
    std::size_t last = std::string::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
            ++i;
        } else if (text[i] == c) {
            last = i;
        }
    }
    return last;
}

} // namespace kelvad
