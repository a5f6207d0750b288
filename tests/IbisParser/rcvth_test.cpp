// [Receiver Thresholds]: the values the lines leave in the model, and the
// end-of-file check of a file without components.

#include <gtest/gtest.h>

#include <string>

#include "IbisParser/ibis.h"
#include "IbisParser/parse.h"
#include "IbisParser/rcvth.h"
#include "IbisParser/mdl.h"
#include "mspec_test_support.h"

namespace {

TEST(ReceiverThresholdsRecord, KeepsReadValuesAndTheSupplyWord) {
    CheckerSession session;
    MDL* model = ReadModelOf(session, IbsWithModelSections("5.0", "[Receiver Thresholds]\nVth = 1.4m\nVinh_ac = bad\n"
                                                   "Reference_supply Vdd_ref\n"));
    ASSERT_NE(model, nullptr);
    const RCVTH* record = model->receiverThresholds;
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->given[RCVTH_VTH], 1);
    EXPECT_DOUBLE_EQ(record->value[RCVTH_VTH], 1.4e-3);
    EXPECT_EQ(record->given[RCVTH_VINH_AC], 0);
    // An unknown supply is reported (3234) but kept: it was given.
    EXPECT_STREQ(RCVTH_ReferenceSupply(record), "Vdd_ref");
    EXPECT_EQ(RCVTH_ReferenceSupply(nullptr), nullptr);
}

TEST(ReceiverThresholdsRecord, FileWithoutComponentIsNoProgramBug) {
    CheckerSession session;
    ReadModelOf(session, IbsWithModelSections("5.0", "[Receiver Thresholds]\nVth = 1.4\n"));
    IBIS_Finish(PARSE_KIND_IBS, 1);
    EXPECT_EQ(CheckerSession::Bugs(), 0);
    const std::string report = session.Take();
    EXPECT_NE(report.find("W3220 - Model m Receiver Thresholds: Vinh_ac must be specified for single ended receivers"),
              std::string::npos)
        << report;
}

}  // namespace
