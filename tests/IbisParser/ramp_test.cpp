// [Ramp]: what is kept of each line.

#include "IbisParser/ramp.h"

#include <gtest/gtest.h>

#include "IbisParser/cmn.h"
#include "IbisParser/rng.h"
#include "checker_test_support.h"

namespace {

TEST(RampLines, PairsAndLoadAreKept) {
    CheckerSession session;
    RAMP* ramp = nullptr;
    ASSERT_EQ(RAMP_Start("[Ramp]", &ramp), 1);
    RAMP_DataLine("dV/dt_r 0.5/0.2n NA 0.6/0.3n", ramp, "m");
    RAMP_DataLine("dV/dt_f 1.2V/400ps 1/0.5n 1.4/300p", ramp, "m");
    RAMP_DataLine("R_load=1k", ramp, "m");
    RAMP_End(ramp);
    EXPECT_EQ(session.Take(), "");
    EXPECT_EQ(ramp->rising[RNG_TYP].state, CMN_OPT_GIVEN);
    EXPECT_DOUBLE_EQ(ramp->rising[RNG_TYP].dv, 0.5);
    EXPECT_DOUBLE_EQ(ramp->rising[RNG_TYP].dt, 0.2e-9);
    EXPECT_EQ(ramp->rising[RNG_MIN].state, CMN_OPT_NA);
    EXPECT_DOUBLE_EQ(ramp->falling[RNG_TYP].dv, 1.2);
    EXPECT_DOUBLE_EQ(ramp->falling[RNG_TYP].dt, 400e-12);
    EXPECT_DOUBLE_EQ(ramp->falling[RNG_MAX].dt, 300e-12);
    EXPECT_EQ(ramp->rLoadGiven, 1);
    EXPECT_DOUBLE_EQ(ramp->rLoad, 1000.0);
    RAMP_Free(ramp);
}

TEST(RampLines, SecondRampReplacesTheFirst) {
    CheckerSession session;
    RAMP* ramp = nullptr;
    RAMP_Start("[Ramp]", &ramp);
    RAMP_DataLine("dV/dt_r 1/1n 1/1n 1/1n", ramp, "m");
    RAMP_Start("[Ramp]", &ramp);
    EXPECT_EQ(ramp->risingSeen, 0);
    RAMP_DataLine("dV/dt_r", ramp, "m");
    // A slew rate without values: all three corners missing, and min and
    // max count as zero.
    EXPECT_EQ(session.Take(),
              "E1300 (line    0) - Ramp Already Defined\n"
              "E1308 (line    0) - No typical Value Was Provided for dV/dt_r\n"
              "E1308 (line    0) - No minimum Value Was Provided for dV/dt_r\n"
              "E1308 (line    0) - No maximum Value Was Provided for dV/dt_r\n"
              "E1310 (line    0) - dV must be greater than 0 in a Ramp specification\n"
              "E1310 (line    0) - dT must be greater than 0 in a Ramp specification\n"
              "E1310 (line    0) - dV must be greater than 0 in a Ramp specification\n"
              "E1310 (line    0) - dT must be greater than 0 in a Ramp specification\n");
    RAMP_Free(ramp);
}

}  // namespace
