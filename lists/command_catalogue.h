#pragma once
#include <string>

namespace kelvad {

constexpr int MaxCommandEntries = 20;

struct CommandEntry {
    std::string Description;
    std::string Command;
    bool operator==(const CommandEntry&) const = default;
};

} // namespace kelvad
