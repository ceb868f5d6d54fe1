#include "settings/profile_file.h"

#include "base/codepage.h"

namespace kelvad {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
// UTF-32 marks, which begin like the UTF-16 ones or with NULs.
constexpr std::string_view kUtf32LeMark{"\xFF\xFE\0\0", 4};
constexpr std::string_view kUtf32BeMark{"\0\0\xFE\xFF", 4};

std::string_view MarkOf(ProfileEncoding encoding) {
    switch (encoding) {
    case ProfileEncoding::Utf8:
        return kUtf8Mark;
    case ProfileEncoding::Utf16Le:
        return kUtf16LeMark;
    case ProfileEncoding::Utf16Be:
        return kUtf16BeMark;
    default:
        return {};
    }
}

std::size_t UnitSize(ProfileEncoding encoding) {
    return encoding == ProfileEncoding::Utf8 ? 1 : 2;
}

// The code unit that begins at byte i.
char32_t UnitAt(std::string_view bytes, std::size_t i, ProfileEncoding encoding) {
    const auto byte = [&](std::size_t at) { return static_cast<char32_t>(static_cast<unsigned char>(bytes[at])); };
    if (encoding == ProfileEncoding::Utf8)
        return byte(i);
    return encoding == ProfileEncoding::Utf16Le ? byte(i) | byte(i + 1) << 8 : byte(i) << 8 | byte(i + 1);
}

// The lines in their own bytes: each ends at an LF unit, with one CR unit before it dropped; text after the last
// LF is one more line (a stray last byte of UTF-16 stays in it).
std::vector<std::string> SplitLines(std::string_view body, ProfileEncoding encoding) {
    const std::size_t unit = UnitSize(encoding);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i + unit <= body.size(); i += unit) {
        if (UnitAt(body, i, encoding) != U'\n')
            continue;
        std::size_t end = i;
        if (end >= start + unit && UnitAt(body, end - unit, encoding) == U'\r')
            end -= unit;
        lines.emplace_back(body.substr(start, end - start));
        start = i + unit;
    }
    if (start < body.size())
        lines.emplace_back(body.substr(start));
    return lines;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-16 bytes as UTF-8; a lone surrogate becomes U+FFFD, a stray last byte is passed over.
std::string Utf16ToUtf8(std::string_view bytes, ProfileEncoding encoding) {
    std::string out;
    for (std::size_t i = 0; i + 2 <= bytes.size(); i += 2) {
        char32_t c = UnitAt(bytes, i, encoding);
        if (c >= 0xD800 && c <= 0xDBFF && i + 4 <= bytes.size()) {
            const char32_t low = UnitAt(bytes, i + 2, encoding);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        AppendUtf8(out, c >= 0xD800 && c <= 0xDFFF ? char32_t{0xFFFD} : c);
    }
    return out;
}

void AppendUtf16(std::string& out, char32_t unit, ProfileEncoding encoding) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    out += encoding == ProfileEncoding::Utf16Le ? low : high;
    out += encoding == ProfileEncoding::Utf16Le ? high : low;
}

// UTF-8 (as ToUtf8 makes it) as UTF-16 bytes; a byte that begins no character becomes U+FFFD.
std::string Utf8ToUtf16(std::string_view text, ProfileEncoding encoding) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        char32_t c = 0xFFFD;
        if (length == 1) {
            c = lead;
        } else if (length > 1 && i + length <= text.size()) {
            c = lead & (0x7F >> length);
            for (std::size_t k = 1; k < length; ++k)
                c = c << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        i += length == 0 || i + length > text.size() ? 1 : length;
        if (c >= 0x10000) {
            AppendUtf16(out, 0xD800 + ((c - 0x10000) >> 10), encoding);
            AppendUtf16(out, 0xDC00 + ((c - 0x10000) & 0x3FF), encoding);
        } else {
            AppendUtf16(out, c, encoding);
        }
    }
    return out;
}

std::string ToShiftJisLine(std::string_view own, ProfileEncoding encoding) {
    const std::string utf8 = encoding == ProfileEncoding::Utf8 ? std::string(own) : Utf16ToUtf8(own, encoding);
    return ToShiftJis(FromUtf8(utf8)).bytes;
}

std::string FromShiftJisLine(std::string_view line, ProfileEncoding encoding) {
    const std::string utf8 = ToUtf8(ToWide(line));
    return encoding == ProfileEncoding::Utf8 ? utf8 : Utf8ToUtf16(utf8, encoding);
}

} // namespace

std::optional<ProfileFile> ProfileFile::FromBytes(std::string_view bytes) {
    if (bytes.starts_with(kUtf32LeMark) || bytes.starts_with(kUtf32BeMark))
        return std::nullopt;
    ProfileEncoding encoding = ProfileEncoding::ShiftJis;
    for (const ProfileEncoding marked : {ProfileEncoding::Utf8, ProfileEncoding::Utf16Le, ProfileEncoding::Utf16Be})
        if (bytes.starts_with(MarkOf(marked)))
            encoding = marked;
    if (encoding == ProfileEncoding::ShiftJis)
        return ProfileFile(encoding, ProfileText(bytes), {});
    std::vector<std::string> own = SplitLines(bytes.substr(MarkOf(encoding).size()), encoding);
    std::vector<std::string> lines;
    for (const std::string& line : own)
        lines.push_back(ToShiftJisLine(line, encoding));
    return ProfileFile(encoding, ProfileText(std::move(lines)), std::move(own));
}

std::string ProfileFile::Bytes() const {
    if (encoding_ == ProfileEncoding::ShiftJis)
        return text_.Bytes();
    const std::string lineEnd = FromShiftJisLine("\r\n", encoding_);
    std::string bytes(MarkOf(encoding_));
    for (const ProfileText::Line& line : text_.Lines())
        bytes.append(line.origin != ProfileText::kNewLine ? ownLines_[line.origin]
                                                          : FromShiftJisLine(line.text, encoding_))
            .append(lineEnd);
    return bytes;
}

} // namespace kelvad
