#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/profile_text.h"

namespace kelvad {

// How a settings file's bytes hold its text, known by the mark it begins with.
enum class ProfileEncoding { ShiftJis, Utf8, Utf16Le, Utf16Be };

// A settings file in the encoding it came in, as the platform's profile calls keep it. Without a mark it is
// Shift-JIS and passes byte for byte. A file that begins with a UTF-8 or UTF-16 mark is read line by line into
// Shift-JIS (the program's values stay Shift-JIS) and written back in its own encoding with its mark; a line the
// program did not change is written back in its own bytes, so a character Shift-JIS cannot hold stays as it was.
class ProfileFile {
public:
    // The file's bytes; nothing for an encoding the store does not handle (a UTF-32 mark).
    static std::optional<ProfileFile> FromBytes(std::string_view bytes);

    ProfileText& Text() noexcept { return text_; }
    const ProfileText& Text() const noexcept { return text_; }
    // The whole file as it is to be written, every line ending in CR LF.
    std::string Bytes() const;

private:
    ProfileFile(ProfileEncoding encoding, ProfileText text, std::vector<std::string> ownLines)
        : encoding_(encoding), text_(std::move(text)), ownLines_(std::move(ownLines)) {}

    ProfileEncoding encoding_ = ProfileEncoding::ShiftJis;
    ProfileText text_;
    // Each line of a marked file in its own bytes, without its line end.
    std::vector<std::string> ownLines_;
};

} // namespace kelvad
