// [Model Spec]: the values the lines leave in the model, which the reports
// alone do not show.

#include <gtest/gtest.h>

#include <string>

#include "IbisParser/cmn.h"
#include "IbisParser/mspec.h"
#include "IbisParser/rng.h"
#include "IbisParser/mdl.h"
#include "mspec_test_support.h"

namespace {

TEST(ModelSpecRecord, KeepsValuesOfTheVersionAndThoseMeantForOtherTypes) {
    CheckerSession session;
    MDL* model = ReadModelOf(session, IbsWithModelSections("4.2", "[Model Spec]\nVref 0.1 NA 0.3\nRref_diff 100 90 110\n"
                                                   "Vinh+ 2.1 2 2.2\nVinh- 1.9 1.8 2\nVinl+ 0.9 0.8 1\n"
                                                   "Vinl- 0.7 0.6 0.8\nD_overshoot_amp_h 1 1 1\n"));
    ASSERT_NE(model, nullptr);
    ASSERT_NE(model->modelSpec, nullptr);
    const RNG* vref = model->modelSpec->value[MSPEC_VREF];
    ASSERT_NE(vref, nullptr);
    EXPECT_DOUBLE_EQ(vref->value[RNG_TYP], 0.1);
    EXPECT_EQ(vref->state[RNG_MIN], CMN_OPT_NA);
    EXPECT_DOUBLE_EQ(vref->value[RNG_MAX], 0.3);
    // Kept despite warning 3805; unknown before 5.0, so never stored.
    EXPECT_NE(model->modelSpec->value[MSPEC_RREF_DIFF], nullptr);
    EXPECT_EQ(model->modelSpec->value[MSPEC_D_OVERSHOOT_AMP_H], nullptr);
    EXPECT_EQ(model->modelSpec->hysteresis, 1);
    EXPECT_EQ(model->modelSpec->startLine, 9u);
    EXPECT_TRUE(MSPEC_Gives(model->modelSpec, "Vref"));
    EXPECT_FALSE(MSPEC_Gives(model->modelSpec, "Vmeas"));
    EXPECT_FALSE(MSPEC_Gives(nullptr, "Vref"));
}

}  // namespace
