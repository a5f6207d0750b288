#include "tools/amisim/models/ibis_words.h"

#include <algorithm>
#include <sstream>

#include "tools/amisim/letter_case.h"

namespace amisim::ibis_words {

std::string KeywordKey(const std::string& name) {
    std::string key = Lowercase(name);
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
