// [Driver Schedule]: the entries the lines leave in the model, and a long
// schedule read in linear time.

#include <gtest/gtest.h>

#include <string>

#include "IbisParser/cmn.h"
#include "IbisParser/drvsh.h"
#include "IbisParser/ibis.h"
#include "IbisParser/parse.h"
#include "IbisParser/mdl.h"
#include "mspec_test_support.h"

namespace {

TEST(DriverScheduleRecord, EntriesNewestFirstWithDelayStates) {
    CheckerSession session;
    MDL* model = ReadModelOf(session, IbsWithModelSections("4.2", "[Driver Schedule]\nfirst 1n NA 2n NA\nsecond NA 3n NA 4n\n"));
    ASSERT_NE(model, nullptr);
    ASSERT_NE(model->driverSchedule, nullptr);
    const DRVSH_ENTRY* newest = model->driverSchedule->entries;
    ASSERT_NE(newest, nullptr);
    EXPECT_STREQ(newest->name, "second");
    EXPECT_EQ(newest->state[DRVSH_RISE_ON], CMN_OPT_NA);
    EXPECT_DOUBLE_EQ(newest->delay[DRVSH_FALL_OFF], 4e-9);
    const DRVSH_ENTRY* oldest = newest->next;
    ASSERT_NE(oldest, nullptr);
    EXPECT_STREQ(oldest->name, "first");
    EXPECT_DOUBLE_EQ(oldest->delay[DRVSH_FALL_ON], 2e-9);
    EXPECT_EQ(oldest->next, nullptr);
}

TEST(DriverScheduleRecord, LongScheduleIsReadInLinearTime) {
    CheckerSession session;
    std::string lines = "[Driver Schedule]\n";
    constexpr int kEntries = 60000;
    for (int i = 0; i < kEntries; ++i) {
        // Appended piece by piece: g++ 12 at -O3 warns falsely (-Wrestrict) on "literal" + string&&.
        lines += 's';
        lines += std::to_string(i);
        lines += " 0 NA 0 NA\n";
    }
    lines += "s17 0 NA 0 NA\n";
    MDL* model = ReadModelOf(session, IbsWithModelSections("5.0", lines));
    IBIS_Finish(PARSE_KIND_IBS, 1);
    ASSERT_NE(model, nullptr);
    const std::string report = session.Take();
    EXPECT_NE(report.find("E4215 (line 60010) - Model Name (\"s17\") previously used in this Driver Schedule"),
              std::string::npos)
        << report.substr(0, 400);
    // A walk over the earlier entries for every line would make this quadratic;
    // the benchmarks and the recorded test times show it.
}

}  // namespace
