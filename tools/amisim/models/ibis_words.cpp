#include "tools/amisim/models/ibis_words.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace amisim::ibis_words {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string KeywordKey(const std::string& name) {
    std::string key = Lower(name);
    std::replace(key.begin(), key.end(), ' ', '_');
    return key;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

}  // namespace amisim::ibis_words
