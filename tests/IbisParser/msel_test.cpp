// [Model Selector]: what the records keep and the lookups that other
// sections use, which the golden files cannot show.

#include <gtest/gtest.h>

#include <string>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msel.h"
#include "IbisParser/parse.h"
#include "checker_test_support.h"

namespace {

const char* const kComponent =
    "[Component] c\n[Manufacturer] m\n[Package]\nR_pkg 0.2 0.1 0.3\nL_pkg 2n 1n 3n\nC_pkg 1p 0.5p 1.5p\n";

std::string InputModel(const std::string& name) {
    return "[Model] " + name + "\nModel_type Input\nVinl = 0.8\nVinh = 2.0\nC_comp 1p 1p 1p\n" +
           "[Voltage Range] 3.3 3.0 3.6\n";
}

IBIS* Read(CheckerSession& session, const std::string& body) {
    const std::string text = "[IBIS Ver] 4.2\n[File Name] t.ibs\n[File Rev] 1\n" + body + "[End]\n";
    EXPECT_EQ(session.Read(session.Write("t.ibs", text), PARSE_KIND_IBS), 1);
    IBIS* ibis = nullptr;
    return IBIS_Current(&ibis) ? ibis : nullptr;
}

TEST(MselRecord, SelectorsKeepTheirModelsInFileOrderAndAreFoundByExactName) {
    CheckerSession session;
    IBIS* ibis = Read(session, "[Model Selector] s\nb  second\na  first one\n[Model Selector] s\nc  third\nd\n");
    ASSERT_NE(ibis, nullptr);
    // The newest selector of a name is the one found.
    MSEL* found = MSEL_Find(IBIS_GetSelectors(ibis), "s");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found, IBIS_GetSelectors(ibis));
    EXPECT_EQ(found->modelCount, 2);
    EXPECT_STREQ(found->models->name, "c");
    EXPECT_STREQ(found->models->next->name, "d");
    const MSEL* older = found->next;
    ASSERT_NE(older, nullptr);
    EXPECT_STREQ(older->models->name, "b");
    EXPECT_STREQ(older->models->description, "second");
    EXPECT_STREQ(older->models->next->description, "first one");
    EXPECT_TRUE(MSEL_ListsModel(older, "a"));
    EXPECT_FALSE(MSEL_ListsModel(older, "c"));
    EXPECT_FALSE(MSEL_Exists(IBIS_GetSelectors(ibis), "S"));
    EXPECT_EQ(older->single_ended, 2);
}

TEST(MselDiffPins, TheDifferentialPinSearchFollowsSelectors) {
    CheckerSession session;
    IBIS* ibis = Read(session, std::string(kComponent) + "[Pin] signal_name model_name\n1 P sel\n2 N sel\n3 X spare\n" +
                                   "[Diff Pin] inv_pin vdiff tdelay_typ\n1 2 0.1 0\n" +
                                   "[Model Selector] sel\nin  one\nin2  two\n" + InputModel("in") +
                                   InputModel("in2") + InputModel("spare"));
    ASSERT_NE(ibis, nullptr);
    MDL* in = MDL_Find(IBIS_GetModels(ibis), "in");
    PIN* pin = CMPNT_FindDiffPinForModel(in);
    ASSERT_NE(pin, nullptr);
    EXPECT_STREQ(pin->pin, "1");
    EXPECT_EQ(in->single_ended, 0);
    // A model the selector does not list is not found through it, but the
    // selector itself is marked differential on the way.
    MSEL* sel = IBIS_GetSelectors(ibis);
    MDL* spare = MDL_Find(IBIS_GetModels(ibis), "spare");
    EXPECT_EQ(CMPNT_FindDiffPinForModel(spare), nullptr);
    EXPECT_EQ(spare->single_ended, 2);
    EXPECT_EQ(sel->single_ended, 0);
}

TEST(MselDiffPins, SelectorChecksDecideTheKindOfEachSelector) {
    CheckerSession session;
    IBIS* ibis = Read(session, std::string(kComponent) + "[Pin] signal_name model_name\n1 P pair\n2 N pair\n" +
                                   "3 X single\n[Diff Pin] inv_pin vdiff tdelay_typ\n1 2 0.1 0\n" +
                                   "[Model Selector] pair\nin  one\nin2  two\n" +
                                   "[Model Selector] single\nspare  one\nspare2  two\n" + InputModel("in") +
                                   InputModel("in2") + InputModel("spare") + InputModel("spare2"));
    ASSERT_NE(ibis, nullptr);
    session.Take();
    MSEL_CheckList(IBIS_GetSelectors(ibis));
    EXPECT_EQ(session.Take(), "");
    EXPECT_EQ(MSEL_Find(IBIS_GetSelectors(ibis), "pair")->single_ended, 0);
    EXPECT_EQ(MSEL_Find(IBIS_GetSelectors(ibis), "single")->single_ended, 1);
    EXPECT_EQ(MDL_Find(IBIS_GetModels(ibis), "in2")->single_ended, 0);
    EXPECT_EQ(MDL_Find(IBIS_GetModels(ibis), "spare")->single_ended, 2);
    // Listing a model counts as using it.
    EXPECT_EQ(MDL_Find(IBIS_GetModels(ibis), "spare2")->referenced, 1);
}

TEST(MselScale, ThousandsOfSelectorsModelsAndPinsAreCheckedByLookup) {
    // Names are compared through lookups, not list scans: every one of the
    // selectors below repeats a name, and every pin names a selector.
    constexpr int kCount = 4000;
    CheckerSession session;
    std::string body = std::string(kComponent) + "[Pin] signal_name model_name\n";
    for (int i = 0; i < kCount; ++i) body.append(std::to_string(i)).append(" S sel").append(std::to_string(i)).append("\n");
    std::string selectors;
    std::string big = "[Model Selector] big\n";
    for (int i = 0; i < kCount; ++i) {
        selectors.append("[Model Selector] sel").append(std::to_string(i)).append("\nin  one\nin  two\n");
        big.append("m").append(std::to_string(i)).append("  listed\n");
    }
    std::string submodels;
    for (int i = 0; i < kCount; ++i) submodels.append("[Submodel] same\nSubmodel_type Bus_hold\n");
    IBIS* ibis = Read(session, body + selectors + big + submodels + InputModel("in"));
    ASSERT_NE(ibis, nullptr);
    const std::string reading = session.Take();
    size_t repeatedModels = 0;
    for (size_t at = reading.find("E4025"); at != std::string::npos; at = reading.find("E4025", at + 1))
        ++repeatedModels;
    EXPECT_EQ(repeatedModels, static_cast<size_t>(kCount));
    size_t repeatedSubmodels = 0;
    for (size_t at = reading.find("E2414"); at != std::string::npos; at = reading.find("E2414", at + 1))
        ++repeatedSubmodels;
    EXPECT_EQ(repeatedSubmodels, static_cast<size_t>(kCount - 1));
    IBIS_Finish(PARSE_KIND_IBS, 1);
    const std::string closing = session.Take();
    EXPECT_EQ(closing.find("E0608"), std::string::npos);
    EXPECT_NE(closing.find("E4024 - Model 'm0' in Model Selector 'big' is not defined in the file"), std::string::npos);
}

}  // namespace
