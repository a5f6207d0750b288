// The EMI blocks of components and models: the values the records keep, and
// the routes no file can reach (line kinds and keywords a caller should
// never pass, records freed while their block is open).

#include <gtest/gtest.h>

#include <string>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/cmpntemi.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/mdlemi.h"
#include "IbisParser/parse.h"
#include "IbisParser/parse_keywords.h"
#include "checker_test_support.h"

namespace {

const char* const kComponent =
    "[Component] c\n[Manufacturer] m\n[Package]\nR_pkg 0.2 0.1 0.3\nL_pkg 2n 1n 3n\nC_pkg 1p 0.5p 1.5p\n"
    "[Pin] signal_name model_name\n1 A in\n2 B in\n";
const char* const kInputModel =
    "[Model] in\nModel_type Input\nVinl = 0.8\nVinh = 2.0\nC_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n";

IBIS* ReadFile(CheckerSession& session, const std::string& body) {
    const std::string text = "[IBIS Ver] 5.0\n[File Name] t.ibs\n[File Rev] 1\n" + body + "[End]\n";
    EXPECT_EQ(session.Read(session.Write("t.ibs", text), PARSE_KIND_IBS), 1);
    IBIS* ibis = nullptr;
    return IBIS_Current(&ibis) ? ibis : nullptr;
}

// Reads a file with one component, then opens an EMI block on it as the
// component section would; the block stays open for the test.
CMPNT* OpenBlock(CheckerSession& session) {
    IBIS* ibis = ReadFile(session, std::string(kComponent) + kInputModel);
    CMPNT* component = ibis != nullptr ? IBIS_GetComponents(ibis) : nullptr;
    if (component == nullptr) return nullptr;
    char line[] = "[Begin EMI Component]";
    CMPNTEMI_HandleLine(PARSE_LINE_KEYWORD, KW::BEGIN_EMI_COMPONENT, line, component);
    EXPECT_TRUE(CMPNTEMI_IsOpen());
    session.Take();
    return component;
}

TEST(EmiRecords, ComponentBlockKeepsItsValuesAndRowsInFileOrder) {
    CheckerSession session;
    IBIS* ibis = ReadFile(session, std::string(kComponent) +
                                       "[Begin EMI Component]\nDomain Analog\nCpd = 2p\nC_Heatsink_float = 3n\n"
                                       "[Pin EMI] domain_name clock_div\n2 io NA\n1 core 0.5\n"
                                       "[Pin Domain EMI] percentage\nio 150\ncore 25.5\n"
                                       "[End EMI Component]\n" +
                                       kInputModel);
    ASSERT_NE(ibis, nullptr);
    const CMPNT* component = IBIS_GetComponents(ibis);
    ASSERT_NE(component, nullptr);
    const CMPNTEMI* emi = component->emi;
    ASSERT_NE(emi, nullptr);
    EXPECT_EQ(emi->domain, CMPNTEMI_DOMAIN_ANALOG);
    EXPECT_TRUE(emi->cpd.given);
    EXPECT_DOUBLE_EQ(emi->cpd.value, 2e-12);
    EXPECT_FALSE(emi->c_heatsink_gnd.given);
    EXPECT_DOUBLE_EQ(emi->c_heatsink_float.value, 3e-9);

    const PINEMI* pin = emi->tables.pins;
    ASSERT_NE(pin, nullptr);
    EXPECT_STREQ(pin->pin_name, "2");
    EXPECT_STREQ(pin->domain_name, "io");
    EXPECT_EQ(pin->clock_div_state, CMN_OPT_NA);
    ASSERT_NE(pin->next, nullptr);
    EXPECT_STREQ(pin->next->pin_name, "1");
    EXPECT_EQ(pin->next->clock_div_state, CMN_OPT_GIVEN);
    EXPECT_DOUBLE_EQ(pin->next->clock_div, 0.5);
    EXPECT_EQ(pin->next->next, nullptr);

    // A percentage out of range is reported and still kept.
    const PINDOMEMI* domain = emi->tables.domains;
    ASSERT_NE(domain, nullptr);
    EXPECT_STREQ(domain->domain_name, "io");
    EXPECT_DOUBLE_EQ(domain->percentage, 150.0);
    ASSERT_NE(domain->next, nullptr);
    EXPECT_DOUBLE_EQ(domain->next->percentage, 25.5);
    EXPECT_NE(session.Take().find("Invalid percentage '150'. Should be greater than 0 and less than equal to 100"),
              std::string::npos);
    EXPECT_FALSE(CMPNTEMI_IsOpen());
}

TEST(EmiRecords, ModelBlockKeepsItsCodes) {
    CheckerSession session;
    IBIS* ibis = ReadFile(session, std::string(kComponent) + kInputModel +
                                       "[Begin EMI Model]\nModel_emi_type Ferrite\nDomain Analog\n[End EMI Model]\n");
    ASSERT_NE(ibis, nullptr);
    const MDL* model = IBIS_GetModels(ibis);
    ASSERT_NE(model, nullptr);
    ASSERT_NE(model->emi, nullptr);
    EXPECT_EQ(model->emi->model_emi_type, MDLEMI_TYPE_FERRITE);
    EXPECT_EQ(model->emi->domain, MDLEMI_DOMAIN_ANALOG);
    EXPECT_EQ(session.Take(), "");
}

TEST(EmiRouting, LinesTheComponentShouldNeverPassAreProgramBugs) {
    CheckerSession session;
    CMPNT* component = OpenBlock(session);
    ASSERT_NE(component, nullptr);

    char line[] = "[Pin] signal_name model_name";
    CMPNTEMI_HandleLine(PARSE_LINE_KEYWORD, KW::PIN, line, component);
    EXPECT_NE(session.Take().find("Illegal keyword passed to EMI Component."), std::string::npos);
    char data[] = "1 A in";
    CMPNTEMI_HandleLine(PARSE_LINE_DATA, KW::PIN, data, component);
    EXPECT_NE(session.Take().find("Unknown keyword received data."), std::string::npos);
    CMPNTEMI_HandleLine(0, KW::PIN_EMI, data, component);
    EXPECT_NE(session.Take().find("Illegal line type passed to EMI Component."), std::string::npos);
    EXPECT_EQ(CheckerSession::Bugs(), 3);
}

TEST(EmiRouting, FreeingTheOpenRecordClosesTheBlock) {
    CheckerSession session;
    CMPNT* component = OpenBlock(session);
    ASSERT_NE(component, nullptr);
    CMPNTEMI_Free(component->emi);
    component->emi = nullptr;
    EXPECT_FALSE(CMPNTEMI_IsOpen());
    session.Take();
    // A line after that finds no block rather than the freed record.
    char data[] = "Cpd = 1p";
    CMPNTEMI_HandleLine(PARSE_LINE_DATA, KW::BEGIN_EMI_COMPONENT, data, component);
    EXPECT_NE(session.Take().find("Orphan data line"), std::string::npos);
}

}  // namespace
