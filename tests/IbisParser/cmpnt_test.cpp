// [Component] and its tables: what the records keep (values, order,
// columns read by the header), what the golden files cannot show, and the
// search that marks models differential.

#include "IbisParser/cmpnt.h"

#include <gtest/gtest.h>

#include <string>

#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/parse.h"
#include "IbisParser/pin.h"
#include "IbisParser/pkg.h"
#include "IbisParser/rng.h"
#include "checker_test_support.h"

namespace {

const char* const kPackage = "[Manufacturer] m\n[Package]\nR_pkg 0.2 0.1 0.3\nL_pkg 2n 1n 3n\nC_pkg 1p NA 1.5p\n";
const char* const kInputModel =
    "[Model] in\nModel_type Input\nVinl = 0.8\nVinh = 2.0\nC_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n";

// Reads `body` (everything after the header) as an .ibs file; returns the
// file's components, the findings staying in the session.
CMPNT* ReadComponents(CheckerSession& session, const std::string& body, const std::string& version = "4.2") {
    const std::string text = "[IBIS Ver] " + version + "\n[File Name] t.ibs\n[File Rev] 1\n" + body + "[End]\n";
    EXPECT_EQ(session.Read(session.Write("t.ibs", text), PARSE_KIND_IBS), 1);
    IBIS* ibis = nullptr;
    return IBIS_Current(&ibis) ? IBIS_GetComponents(ibis) : nullptr;
}

// The closing checks of the file just read, as IBIS_Finish runs them.
std::string Finish(CheckerSession& session) {
    session.Take();
    IBIS_Finish(PARSE_KIND_IBS, 1);
    return session.Take();
}

TEST(CmpntRecord, ComponentsStayInFileOrderWithTheirFields) {
    CheckerSession session;
    CMPNT* list = ReadComponents(session, std::string("[Component] first\nSi_location Die\nTiming_location Pin\n") +
                                              kPackage + "[Package Model] pm\n[Pin] signal_name model_name\n1 A in\n" +
                                              "[Component] second\n" + kPackage + "[Pin] signal_name model_name\n" +
                                              "1 A in\n" + kInputModel);
    EXPECT_EQ(session.Take(), "");
    ASSERT_NE(list, nullptr);
    EXPECT_STREQ(list->name, "first");
    EXPECT_STREQ(list->manufacturer, "m");
    EXPECT_STREQ(list->package_model, "pm");
    EXPECT_EQ(list->si_location, CMPNT_LOCATION_DIE);
    EXPECT_EQ(list->timing_location, CMPNT_LOCATION_PIN);
    ASSERT_NE(list->package, nullptr);
    ASSERT_NE(list->package->L_pkg, nullptr);
    EXPECT_DOUBLE_EQ(list->package->L_pkg->value[RNG_MAX], 3e-9);
    EXPECT_EQ(list->package->C_pkg->state[RNG_MIN], CMN_OPT_NA);
    ASSERT_NE(list->next, nullptr);
    EXPECT_STREQ(list->next->name, "second");
    EXPECT_EQ(list->next->si_location, CMPNT_LOCATION_NONE);
}

TEST(CmpntPin, HeaderOrderDecidesWhichColumnIsWhich) {
    CheckerSession session;
    CMPNT* component = ReadComponents(session, std::string("[Component] c\n") + kPackage +
                                                   "[Pin] signal_name model_name C_pin L_pin R_pin\n" +
                                                   "1 A in 1p 2n NA\nAB1234 B in\n" + kInputModel);
    EXPECT_EQ(session.Take(),
              "E1912 (line   12) -\n    Pin string 'AB1234' is too long, truncating to 5 characters.\n");
    ASSERT_NE(component, nullptr);
    EXPECT_EQ(component->pin_columns, 6);
    int order[3];
    PIN_GetColumnOrder(order);
    EXPECT_EQ(order[0], 2);  // R_pin is the third optional column
    EXPECT_EQ(order[2], 0);
    const PIN* pin = component->pins;
    ASSERT_NE(pin, nullptr);
    EXPECT_EQ(pin->column_count, 6);
    EXPECT_DOUBLE_EQ(pin->C_pin.value, 1e-12);
    EXPECT_EQ(pin->C_pin.state, CMN_OPT_GIVEN);
    EXPECT_DOUBLE_EQ(pin->L_pin.value, 2e-9);
    EXPECT_EQ(pin->R_pin.state, CMN_OPT_NA);
    ASSERT_NE(pin->next, nullptr);
    EXPECT_STREQ(pin->next->pin, "AB123");
    EXPECT_EQ(pin->next->R_pin.state, CMN_OPT_ABSENT);
    EXPECT_EQ(CMPNT_FindPin(component, "AB123"), pin->next);
    EXPECT_EQ(CMPNT_FindPin(component, "ab123"), nullptr);  // pin names are compared exactly
}

TEST(CmpntPin, SignalAndModelNamesFollowTheVersion) {
    CheckerSession session;
    const std::string name25 = "abcdefghijabcdefghijabcde";
    CMPNT* component = ReadComponents(
        session, std::string("[Component] c\n") + kPackage + "[Pin] signal_name model_name\n1 " + name25 + " NC\n",
        "3.2");
    EXPECT_NE(session.Take().find("truncating to 20 characters"), std::string::npos);
    ASSERT_NE(component, nullptr);
    EXPECT_STREQ(component->pins->signal_name, name25.substr(0, 20).c_str());
    CheckerSession later;
    component = ReadComponents(
        later, std::string("[Component] c\n") + kPackage + "[Pin] signal_name model_name\n1 " + name25 + " NC\n");
    EXPECT_EQ(later.Take(), "");
    EXPECT_STREQ(component->pins->signal_name, name25.c_str());
}

TEST(CmpntDiffPin, NaValuesStandForZeroOrTheTypicalDelay) {
    CheckerSession session;
    CMPNT* component = ReadComponents(session, std::string("[Component] c\n") + kPackage +
                                                   "[Pin] signal_name model_name\n1 A in\n2 B in\n" +
                                                   "[Diff Pin] inv_pin vdiff tdelay_typ tdelay_min tdelay_max\n" +
                                                   "1 2 NA 5p NA NA\n" + kInputModel);
    EXPECT_EQ(session.Take(), "");
    ASSERT_NE(component, nullptr);
    const DIFPIN* row = component->diff_pins;
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(component->diff_pin_columns, 6);
    EXPECT_EQ(row->vdiff.state, CMN_OPT_GIVEN);
    EXPECT_DOUBLE_EQ(row->vdiff.value, 0.0);
    EXPECT_DOUBLE_EQ(row->tdelay_min.value, 0.0);
    EXPECT_DOUBLE_EQ(row->tdelay_max.value, 5e-12);
    EXPECT_TRUE(CMPNT_IsDiffPin(component, "2"));
    EXPECT_FALSE(CMPNT_IsDiffPin(component, "3"));
}

TEST(CmpntSeriesSwitch, AGroupContinuesUntilItsSlash) {
    CheckerSession session;
    CMPNT* component = ReadComponents(session, std::string("[Component] c\n") + kPackage +
                                                   "[Pin] signal_name model_name\n1 A in\n" +
                                                   "[Series Switch Groups]\nOn a b\nc /\nOff d / ignored words\n" +
                                                   kInputModel);
    EXPECT_EQ(session.Take(), "");
    ASSERT_NE(component, nullptr);
    const SSWCH* group = component->series_switch_groups;
    ASSERT_NE(group, nullptr);
    EXPECT_STREQ(group->state, "On");
    ASSERT_EQ(group->group_count, 3);
    EXPECT_STREQ(group->group_names[2], "c");
    ASSERT_NE(group->next, nullptr);
    EXPECT_STREQ(group->next->state, "Off");
    EXPECT_EQ(group->next->group_count, 1);
    EXPECT_EQ(group->next->next, nullptr);
}

TEST(CmpntSeriesSwitch, AnOpenGroupDoesNotReachTheNextComponent) {
    CheckerSession session;
    CMPNT* list = ReadComponents(session, std::string("[Component] c\n") + kPackage +
                                              "[Pin] signal_name model_name\n1 A in\n[Series Switch Groups]\nOn a\n" +
                                              "[Component] d\n" + kPackage + "[Pin] signal_name model_name\n1 A in\n" +
                                              "[Series Switch Groups]\nb /\n" + kInputModel);
    // The second component's line starts a group of its own, and is no state.
    const std::string report = session.Take();
    EXPECT_NE(report.find("E2500 (line   23) - Unknown sub parameter 'b'"), std::string::npos) << report;
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->series_switch_groups->group_count, 1);
    EXPECT_EQ(list->next->series_switch_groups, nullptr);
}

TEST(CmpntChecks, PinsMarkTheirModelsReferenced) {
    CheckerSession session;
    ReadComponents(session, std::string("[Component] c\n") + kPackage + "[Pin] signal_name model_name\n1 A in\n" +
                                kInputModel + "[Model] spare\nModel_type Input\nVinl = 0.8\nVinh = 2.0\n" +
                                "C_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n");
    const std::string report = Finish(session);
    EXPECT_EQ(report.find("Model in not referenced"), std::string::npos);
    EXPECT_NE(report.find("W0219 - Model spare not referenced"), std::string::npos);
}

TEST(CmpntChecks, DifferentialModelOnAnotherPinDrawsACaution) {
    CheckerSession session;
    ReadComponents(session, std::string("[Component] c\n") + kPackage +
                                "[Pin] signal_name model_name\n1 A in\n2 B in\n3 C in\n" +
                                "[Diff Pin] inv_pin vdiff tdelay_typ\n2 1 0.1 0\n" + kInputModel);
    session.Take();
    IBIS* ibis = nullptr;
    ASSERT_TRUE(IBIS_Current(&ibis));
    MDL* model = IBIS_GetModels(ibis);
    // The Diff_Pin column is looked at first.
    PIN* pin = CMPNT_FindDiffPinForModel(model);
    ASSERT_NE(pin, nullptr);
    EXPECT_STREQ(pin->pin, "2");
    EXPECT_EQ(model->single_ended, 0);
    EXPECT_EQ(Finish(session),
              "C0611 - Pin 3 is not defined as a Diff Pin though the associated Model in was determined to be "
              "Differential\n");
}

TEST(CmpntChecks, ModelWithoutDiffPinIsNotMarked) {
    CheckerSession session;
    ReadComponents(session, std::string("[Component] c\n") + kPackage + "[Pin] signal_name model_name\n1 A in\n" +
                                "[Diff Pin] inv_pin vdiff tdelay_typ\n7 8 0.1 0\n" + kInputModel);
    IBIS* ibis = nullptr;
    ASSERT_TRUE(IBIS_Current(&ibis));
    MDL* model = IBIS_GetModels(ibis);
    EXPECT_EQ(CMPNT_FindDiffPinForModel(model), nullptr);
    EXPECT_EQ(model->single_ended, 2);
}

TEST(CmpntChecks, ModelSelectorsInTheFileHoldBackModelNotFound) {
    // A pin naming something that is no [Model] is reported unless it names
    // a [Model Selector].
    CheckerSession session;
    ReadComponents(session, std::string("[Component] c\n") + kPackage + "[Pin] signal_name model_name\n1 A sel\n" +
                                kInputModel);
    EXPECT_NE(Finish(session).find("E0608 - Component 'c': Model 'sel' for Pin '1' not defined."), std::string::npos);
    CheckerSession with;
    ReadComponents(with, std::string("[Component] c\n") + kPackage + "[Pin] signal_name model_name\n1 A sel\n" +
                             kInputModel + "[Model Selector] sel\nin first\n");
    EXPECT_EQ(Finish(with).find("E0608"), std::string::npos);
}

TEST(CmpntChecks, ManyPinsAndRowsStayQuick) {
    // Every table is cross-checked through name lookups, so thousands of
    // rows cost no more than a few passes.
    CheckerSession session;
    std::string body = std::string("[Component] c\n") + kPackage + "[Pin] signal_name model_name\n";
    std::string mapping = "[Pin Mapping] pulldown_ref pullup_ref\n";
    std::string diff = "[Diff Pin] inv_pin vdiff tdelay_typ\n";
    for (int i = 0; i < 9000; ++i) {
        std::string pin = "P";  // appended, not concatenated: g++ 12 -O3 warns falsely on the latter
        pin += std::to_string(i);
        body += pin + " S in\n";
        mapping += pin + " GND1 VDD1\n";
        if (i % 2 == 0) diff.append(pin).append(" P").append(std::to_string(i + 1)).append(" 0.1 0\n");
    }
    body += "V1 VDD POWER\nG1 VSS GND\n";
    mapping += "V1 NC VDD1\nG1 GND1 NC\n";
    ReadComponents(session, body + mapping + diff + kInputModel);
    EXPECT_EQ(session.Take(), "");
    EXPECT_EQ(Finish(session), "");
}

TEST(CmpntLifecycle, ReleasingAnOpenComponentLeavesNothingBehind) {
    CheckerSession session;
    IBIS_New();
    ASSERT_EQ(CMPNT_Open(), 1);
    char name[] = "[Component] c";
    char groups[] = "[Series Switch Groups]";
    char open[] = "On a";
    char more[] = "b /";
    CMPNT_HandleLine(PARSE_LINE_KEYWORD, 9, name);
    CMPNT_HandleLine(PARSE_LINE_KEYWORD, 16, groups);
    CMPNT_HandleLine(PARSE_LINE_DATA, 16, open);
    IBIS* ibis = nullptr;
    ASSERT_TRUE(IBIS_Current(&ibis));
    IBIS_Free(ibis);
    PARSE_SetKeywordNotTerminated(0);
    session.Take();
    // The group and the component went with the record: a line now has no
    // component to go to.
    EXPECT_EQ(CMPNT_HandleLine(PARSE_LINE_DATA, 16, more), 1);
    EXPECT_EQ(session.Take(), "E0502 (line    0) - Orphan data line keyword.\n");
}

}  // namespace
