// The map of the checker in IbisParser/README.md names every keyword of the
// keyword tables.

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "IbisParser/parse_keywords.h"

namespace {

// "[Rising Waveform Near]" and "RISING_WAVEFORM_NEAR" alike.
std::string Normalised(std::string name) {
    for (char& c : name) c = c == ' ' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

TEST(ReadmeMap, NamesEveryKeywordOfEveryVersionsTable) {
    std::ifstream in(std::string(KORVAN_SOURCE_DIR) + "/IbisParser/README.md");
    ASSERT_TRUE(in.good());
    std::stringstream text;
    text << in.rdbuf();
    const std::string readme = text.str();
    std::set<std::string> mapped;
    // Every text in brackets.
    for (size_t open = readme.find('['); open != std::string::npos; open = readme.find('[', open + 1)) {
        const size_t close = readme.find(']', open);
        if (close == std::string::npos) break;
        mapped.insert(Normalised(readme.substr(open + 1, close - open - 1)));
    }

    int checked = 0;
    for (const PARSE_Version version :
         {PARSE_VERSION_2_1, PARSE_VERSION_3_2, PARSE_VERSION_4_2, PARSE_VERSION_5_0}) {
        for (const KEYWORD* entry = PARSE_KeywordTable(version); entry->id != KW::NOT_KEY; ++entry) {
            EXPECT_EQ(mapped.count(entry->name), 1u) << entry->name << " is missing from IbisParser/README.md";
            ++checked;
        }
    }
    EXPECT_GT(checked, 300);
}

}  // namespace
