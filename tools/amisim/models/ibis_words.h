#pragma once
// The words of an .ibs line as the readers of its keywords compare them.

#include <string>
#include <vector>

namespace amisim::ibis_words {

// A keyword's name as IBIS compares it: case ignored, blanks and
// underscores alike.
std::string KeywordKey(const std::string& name);
// The line split at white space.
std::vector<std::string> Words(const std::string& text);

}  // namespace amisim::ibis_words
