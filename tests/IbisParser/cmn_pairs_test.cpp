// Pairs of equal names in a list.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IbisParser/cmn_pairs.h"

namespace {

std::string Pairs(const std::vector<const char*>& names) {
    std::string report;
    CMN_ReportEqualPairs(names, [&report](const char* name) { report += std::string(name) + " "; });
    return report;
}

TEST(CmnEqualPairs, OneCallPerPairOrderedByTheFirstOfThePair) {
    EXPECT_EQ(Pairs({}), "");
    EXPECT_EQ(Pairs({"A", "B", "C"}), "");
    EXPECT_EQ(Pairs({"A", "A"}), "A ");
    // (0,2) (0,4) for A, (1,3) for B, (2,4) for A.
    EXPECT_EQ(Pairs({"A", "B", "A", "B", "A"}), "A A B A ");
    // Exact case: a and A are different names; missing names are skipped.
    EXPECT_EQ(Pairs({"a", "A", nullptr, "a", nullptr}), "a ");
}

TEST(CmnEqualPairs, NEqualNamesGiveNChooseTwo) {
    std::vector<const char*> names(300, "same");
    int calls = 0;
    CMN_ReportEqualPairs(names, [&calls](const char*) { ++calls; });
    EXPECT_EQ(calls, 300 * 299 / 2);
}

}  // namespace
