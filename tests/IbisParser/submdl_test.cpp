// [Submodel]: what the records keep and the lookup by name, which the
// golden files cannot show.

#include <gtest/gtest.h>

#include <string>

#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/parse.h"
#include "IbisParser/rng.h"
#include "IbisParser/smspec.h"
#include "IbisParser/submdl.h"
#include "checker_test_support.h"

namespace {

IBIS* Read(CheckerSession& session, const std::string& body) {
    const std::string text = "[IBIS Ver] 4.2\n[File Name] t.ibs\n[File Rev] 1\n" + body + "[End]\n";
    EXPECT_EQ(session.Read(session.Write("t.ibs", text), PARSE_KIND_IBS), 1);
    IBIS* ibis = nullptr;
    return IBIS_Current(&ibis) ? ibis : nullptr;
}

TEST(SubmdlRecord, SubmodelsKeepTypeTablesAndSpecAndAreFoundByName) {
    CheckerSession session;
    IBIS* ibis = Read(session,
                      "[Submodel] dup\nSubmodel_type Bus_hold\n[Submodel Spec]\nV_trigger_r 2.0 1.9 NA\n"
                      "V_trigger_f 0.8 0.7 0.9\n[Pullup]\n-1 0.1 0.1 0.1\n1 -0.1 -0.1 -0.1\n"
                      "[Ramp]\ndV/dt_r 1/1n 1/1n 1/1n\ndV/dt_f 1/1n 1/1n 1/1n\n"
                      "[Submodel] dup\nSubmodel_type Dynamic_clamp\n[GND Clamp]\n-1 -0.1 -0.1 -0.1\n0 0 0 0\n");
    ASSERT_NE(ibis, nullptr);
    SUBMDL* newest = SUBMDL_Find(IBIS_GetSubmodels(ibis), "dup");
    ASSERT_NE(newest, nullptr);
    EXPECT_EQ(newest, IBIS_GetSubmodels(ibis));
    EXPECT_EQ(newest->submodel_type, SUBMDL_TYPE_DYNAMIC_CLAMP);
    EXPECT_NE(newest->gndClamp, nullptr);
    const SUBMDL* older = newest->next;
    ASSERT_NE(older, nullptr);
    EXPECT_EQ(older->submodel_type, SUBMDL_TYPE_BUS_HOLD);
    EXPECT_NE(older->pullup, nullptr);
    EXPECT_NE(older->ramp, nullptr);
    ASSERT_NE(older->specRecord, nullptr);
    ASSERT_NE(older->specRecord->vTriggerR, nullptr);
    EXPECT_DOUBLE_EQ(older->specRecord->vTriggerR->value[RNG_TYP], 2.0);
    EXPECT_EQ(older->specRecord->vTriggerR->state[RNG_MAX], CMN_OPT_NA);
    EXPECT_EQ(older->specRecord->offDelay, nullptr);
    EXPECT_EQ(SUBMDL_Find(IBIS_GetSubmodels(ibis), "Dup"), nullptr);
}

}  // namespace
