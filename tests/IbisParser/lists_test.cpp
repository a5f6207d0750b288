// Text lists, the name tally, series element records and the IBIS stack.

#include <gtest/gtest.h>

#include <string>

#include "IbisParser/ibis.h"
#include "IbisParser/rng.h"
#include "IbisParser/sinfo.h"
#include "IbisParser/string.h"
#include "checker_test_support.h"

namespace {

TEST(StringList, NewestFirstAndUnique) {
    STRING* list = nullptr;
    const char* texts[] = {"a", "b"};
    ASSERT_EQ(STRING_AddSeveral(&list, texts, 2), 1);
    ASSERT_EQ(STRING_AddUnique(&list, "a"), 1);
    ASSERT_EQ(STRING_AddUnique(&list, "c"), 1);
    std::string joined;
    for (STRING* node = list; node != nullptr; node = STRING_Next(node)) joined += STRING_Text(node);
    EXPECT_EQ(joined, "cba");
    EXPECT_NE(STRING_Find(list, "b"), nullptr);
    EXPECT_EQ(STRING_Find(list, "B"), nullptr);
    STRING_FreeList(list);
}

TEST(NameTally, CountsUsesAndReportsUnknownNames) {
    CheckerSession session;
    STRING_TallyClear();
    EXPECT_EQ(STRING_TallyCount("buf"), 0);
    EXPECT_EQ(STRING_TallyCount("buf"), 1);
    EXPECT_EQ(STRING_TallyCount("Buf"), 0);
    EXPECT_EQ(STRING_TallyOf("buf"), 2);
    EXPECT_EQ(session.Take(), "");
    EXPECT_EQ(STRING_TallyOf("never"), 0);
    EXPECT_EQ(session.Take().rfind("B2101 - Should not be here IbisParser\\string ", 0), 0u);
    STRING_TallyClear();
    EXPECT_EQ(STRING_TallyCount("buf"), 0);
    STRING_TallyClear();
}

TEST(SeriesRecord, StartReplacesAndReports) {
    CheckerSession session;
    SINFO* slot = nullptr;
    EXPECT_EQ(SINFO_Start("[On]", &slot, "[On]"), 1);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(session.Take(), "");
    EXPECT_EQ(SINFO_Start("[On] two words", &slot, "[On]"), 1);
    EXPECT_EQ(session.Take(),
              "E2900 (line    0) - [On] Series Info: Already Defined for this model\n"
              "E2904 (line    0) - Incorrect Number of Line Items (3) For [On]: Expecting 1\n");
    SINFO_Free(slot);
}

TEST(SeriesRecord, Checks) {
    CheckerSession session;
    SINFO* info = nullptr;
    SINFO_Start("[Off]", &info, "[Off]");
    SINFO_Check(info, "sw", "[Off]");
    EXPECT_EQ(session.Take(), "E2905 - Model sw [Off]: No series data found\n");
    info->rlSeries = RNG_New();
    info->rcSeries = RNG_New();
    info->lcSeries = RNG_New();
    SINFO_Check(info, "sw", "[Off]");
    EXPECT_EQ(session.Take(),
              "E2905 - Model sw [Off]: No series data found\n"
              "E2907 -\n    Model sw [Off]: Rl_series cannot be specified if L_series is not specified\n"
              "E2908 -\n    Model sw [Off]: Rc_series cannot be specified if C_series is not specified\n"
              "E2909 -\n    Model sw [Off]: Lc_series cannot be specified if C_series is not specified\n");
    info->lSeries = RNG_New();
    info->cSeries = RNG_New();
    SINFO_Check(info, "sw", "[Off]");
    EXPECT_EQ(session.Take(), "");
    SINFO_Free(info);
}

TEST(IbisStack, RecordsStackAndUnlink) {
    CheckerSession session;
    IBIS* outer = nullptr;
    IBIS* inner = nullptr;
    ASSERT_EQ(IBIS_New(), 1);
    IBIS_Current(&outer);
    ASSERT_EQ(IBIS_New(), 1);
    IBIS_Current(&inner);
    EXPECT_EQ(inner->previous, outer);
    // Freeing the lower record leaves the upper one current, now at the bottom.
    IBIS_Free(outer);
    IBIS* current = nullptr;
    EXPECT_EQ(IBIS_Current(&current), 1);
    EXPECT_EQ(current, inner);
    EXPECT_EQ(inner->previous, nullptr);
    IBIS_Free(inner);
    EXPECT_EQ(IBIS_Current(&current), 0);
    EXPECT_EQ(current, nullptr);
}

}  // namespace
