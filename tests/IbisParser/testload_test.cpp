// [Test Load] and [Test Data] records: what they keep, the lookup by name,
// and the time a file with many of them takes, which the golden files
// cannot show.

#include <gtest/gtest.h>

#include <string>

#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/parse.h"
#include "IbisParser/rng.h"
#include "IbisParser/testdata.h"
#include "IbisParser/testload.h"
#include "IbisParser/wvfrm.h"
#include "checker_test_support.h"

namespace {

const char kModels[] =
    "[Component] Chip\n[Manufacturer] K\n[Package]\nR_pkg 0.2 0.1 0.3\nL_pkg 2n 1n 3n\nC_pkg 1p 0.5p 1.5p\n"
    "[Pin] signal_name model_name\n1 IN rcv\n"
    "[Model] rcv\nModel_type Input\nVinl = 0.8\nVinh = 2.0\nC_comp 2p 1p 3p\n[Voltage Range] 3.3 3.0 3.6\n";

IBIS* Read(CheckerSession& session, const std::string& body) {
    const std::string text = "[IBIS Ver] 4.2\n[File Name] t.ibs\n[File Rev] 1\n" + body + "[End]\n";
    EXPECT_EQ(session.Read(session.Write("t.ibs", text), PARSE_KIND_IBS), 1);
    IBIS* ibis = nullptr;
    return IBIS_Current(&ibis) ? ibis : nullptr;
}

TEST(TestloadRecord, KeepsElementsTerminationsAndTheFirstOfRepeatedValues) {
    CheckerSession session;
    IBIS* ibis = Read(session, std::string(kModels) +
                                   "[Test Load] load\nTest_load_type Differential\nC1_near = 2p\nC1_near = 9p\n"
                                   "Td = 1n\nZo = 50\nR_diff_far = 100\nV_term2 1.2 NA 1.3\nReceiver_model rcv\n"
                                   "Receiver_model other\n[Test Load] Load\nTest_load_type Single_ended\n");
    ASSERT_NE(ibis, nullptr);
    EXPECT_NE(session.Take().find("E2237"), std::string::npos);
    TESTLOAD* load = TESTLOAD_Find(IBIS_GetTestLoads(ibis), "load");
    ASSERT_NE(load, nullptr);
    EXPECT_EQ(load->test_load_type, TESTLOAD_TYPE_DIFFERENTIAL);
    EXPECT_TRUE(load->elementGiven[TESTLOAD_C1_NEAR]);
    EXPECT_DOUBLE_EQ(load->element[TESTLOAD_C1_NEAR], 2e-12);
    EXPECT_DOUBLE_EQ(load->element[TESTLOAD_TD], 1e-9);
    EXPECT_DOUBLE_EQ(load->element[TESTLOAD_R_DIFF_FAR], 100.0);
    EXPECT_FALSE(load->elementGiven[TESTLOAD_R_DIFF_NEAR]);
    EXPECT_EQ(load->vTerm1, nullptr);
    ASSERT_NE(load->vTerm2, nullptr);
    EXPECT_DOUBLE_EQ(load->vTerm2->value[RNG_TYP], 1.2);
    EXPECT_EQ(load->vTerm2->state[RNG_MIN], CMN_OPT_NA);
    EXPECT_STREQ(load->receiverModel, "rcv");
    ASSERT_NE(TESTLOAD_Find(IBIS_GetTestLoads(ibis), "Load"), nullptr);
    EXPECT_EQ(TESTLOAD_Find(IBIS_GetTestLoads(ibis), "Load")->test_load_type, TESTLOAD_TYPE_SINGLE_ENDED);
    EXPECT_EQ(TESTLOAD_Find(IBIS_GetTestLoads(ibis), "LOAD"), nullptr);
}

TEST(TestdataRecord, ARepeatedGoldenWaveformReplacesTheEarlierOne) {
    CheckerSession session;
    IBIS* ibis = Read(session, std::string(kModels) +
                                   "[Test Load] load\nTest_load_type Single_ended\n"
                                   "[Test Data] data\nTest_data_type Single_ended\nDriver_model rcv\nTest_load load\n"
                                   "[Rising Waveform Near]\n0 0 0 0\n1n 1 1 1\n"
                                   "[Rising Waveform Near]\n0 0 0 0\n1n 1 1 1\n2n 2 2 2\n");
    ASSERT_NE(ibis, nullptr);
    const TESTDATA* data = IBIS_GetTestData(ibis);
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(data->testLoad, "load");
    ASSERT_NE(data->waveform[TESTDATA_RISING_NEAR], nullptr);
    EXPECT_EQ(data->waveform[TESTDATA_RISING_NEAR]->points.count, 3);
    EXPECT_EQ(data->waveform[TESTDATA_FALLING_NEAR], nullptr);
}

// A file that stops inside a golden waveform leaves the test data open; the
// next file must not read into the released record.
TEST(TestdataRecord, AFileEndingInsideAWaveformLeavesNothingOpen) {
    CheckerSession session;
    const std::string head = "[IBIS Ver] 4.2\n[File Name] t.ibs\n[File Rev] 1\n";
    session.Read(session.Write("t.ibs", head + "[Test Data] data\n[Rising Waveform Near]\n0 0 0 0\n"),
                 PARSE_KIND_IBS);
    session.Read(session.Write("u.ibs", head + "[Test Load] load\nTest_load_type Single_ended\n"), PARSE_KIND_IBS);
    IBIS* record = nullptr;
    while (IBIS_Current(&record)) IBIS_Free(record);
    session.Take();
    session.Read(session.Write("v.ibs", head + "[Rising Waveform Near]\n1n 1 1 1\n[End]\n"), PARSE_KIND_IBS);
    const std::string report = session.Take();
    EXPECT_NE(report.find("E2302"), std::string::npos);
    EXPECT_NE(report.find("E2303"), std::string::npos);
    EXPECT_EQ(CheckerSession::Bugs(), 0);
}

// Names are compared through an index and differential pins are searched
// once per model: thousands of test loads and test data stay fast.
TEST(TestloadScale, ManyTestLoadsAndTestDataAreCheckedInLinearTime) {
    CheckerSession session;
    constexpr int kCount = 20000;
    std::string body = kModels;
    for (int i = 0; i < kCount; ++i) {
        const std::string n = std::to_string(i);
        body += "[Test Load] load" + n + "\nTest_load_type Single_ended\nReceiver_model rcv\n";
        body += "[Test Data] data" + n + "\nTest_data_type Single_ended\nDriver_model rcv\n"
                "Driver_model_inv rcv\nTest_load load" + n + "\n[Rising Waveform Near]\n0 0 0 0\n1n 1 1 1\n";
    }
    IBIS* ibis = Read(session, body);
    ASSERT_NE(ibis, nullptr);
    IBIS_Finish(PARSE_KIND_IBS, 1);
    // Each test data draws 2333 for its inverting model on a Single_ended
    // type, 2339 twice for the Input driver models and 2341; nothing else.
    const std::string report = session.Take();
    EXPECT_EQ(CheckerSession::Errors(), kCount);
    EXPECT_EQ(CheckerSession::Warnings(), 3 * kCount);
    EXPECT_EQ(report.find("E2212"), std::string::npos);
    EXPECT_EQ(report.find("E2320"), std::string::npos);
}

}  // namespace
