#pragma once
// Letter case for the words amisim compares without it: file extensions,
// Touchstone keywords and options, unit suffixes, .ami booleans. ASCII
// only, as those words are.

#include <cctype>
#include <string>
#include <string_view>

namespace amisim {

inline std::string Lowercase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

}  // namespace amisim
