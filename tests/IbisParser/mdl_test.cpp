// [Model]: the records a file leaves, lookups by name, version-dependent
// names, and what the golden files cannot show (stored values, the name
// index at scale, inputs that must not upset the reader).

#include "IbisParser/mdl.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "IbisParser/cmn.h"
#include "IbisParser/crv.h"
#include "IbisParser/ibis.h"
#include "IbisParser/parse.h"
#include "IbisParser/rng.h"
#include "IbisParser/sinfo.h"
#include "checker_test_support.h"

namespace {

// A [Component] that its own checks accept: manufacturer, package and the
// [Pin] table `pinRows` (7 lines before the rows).
std::string Component(const std::string& name, const std::string& pinRows) {
    return "[Component] " + name +
           "\n[Manufacturer] m\n[Package]\nR_pkg 0.2 0.1 0.3\nL_pkg 2n 1n 3n\nC_pkg 1p NA 1.5p\n"
           "[Pin] signal_name model_name\n" +
           pinRows;
}

// Reads `body` as the models of an .ibs file of the given version, after a
// component whose pins are `pinRows`, and returns the file's models (newest
// first); the findings stay in the session. The body starts on line 11 +
// the number of pin rows.
MDL* ReadModels(CheckerSession& session, const std::string& pinRows, const std::string& body,
                const std::string& version = "4.2") {
    const std::string text = "[IBIS Ver] " + version + "\n[File Name] t.ibs\n[File Rev] 1\n" +
                             Component("c", pinRows) + body + "[End]\n";
    EXPECT_EQ(session.Read(session.Write("t.ibs", text), PARSE_KIND_IBS), 1);
    IBIS* ibis = nullptr;
    return IBIS_Current(&ibis) ? IBIS_GetModels(ibis) : nullptr;
}

TEST(MdlRecord, KeepsTheSubParametersAndKeywords) {
    CheckerSession session;
    MDL* model = ReadModels(session, "1 s io\n",
                            "[Model] io\nModel_type I/O\nPolarity Inverting\nEnable Active-Low\nVinl = 0.8\n"
                            "Vinh=2.0\nVmeas = 1.4\nC_comp 5p NA 6p\n[Model Spec]\nVmeas 1.5 1.4 1.6\n"
                            "[Voltage Range] 3.3 3 3.6\n[Add Submodel]\nbh All\ndc Driving\n");
    ASSERT_NE(model, nullptr);
    EXPECT_STREQ(model->name, "io");
    EXPECT_EQ(model->model_type, MDL_TYPE_IO);
    EXPECT_EQ(model->polarity, MDL_INVERTING);
    EXPECT_EQ(model->enable, MDL_ACTIVE_LOW);
    EXPECT_EQ(model->vinl.given, 1);
    EXPECT_DOUBLE_EQ(model->vinh.value, 2.0);
    ASSERT_NE(model->cComp, nullptr);
    EXPECT_DOUBLE_EQ(model->cComp->value[RNG_MAX], 6e-12);
    EXPECT_EQ(model->cComp->state[RNG_MIN], CMN_OPT_NA);
    EXPECT_TRUE(MDL_HasKeyword(model, KW::MODEL_SPEC));
    EXPECT_FALSE(MDL_HasKeyword(model, KW::RAMP));
    EXPECT_EQ(model->single_ended, 2);
    EXPECT_EQ(model->referenced, 0);
    ASSERT_NE(model->add_submodels, nullptr);
    EXPECT_STREQ(model->add_submodels->name, "bh");
    EXPECT_EQ(model->add_submodels->mode, MDL_MODE_ALL);
    EXPECT_EQ(model->add_submodels->next->mode, MDL_MODE_DRIVING);
    EXPECT_EQ(model->add_submodels->next, model->addSubmodelsTail);
    // The [Model Spec] line went to its own section; the model drew only
    // its end-of-model findings (no ramp).
    EXPECT_EQ(session.Take(), "E0190 - Model 'io': Ramp Not Defined\n");
    EXPECT_EQ(MDL_Current(), nullptr);
}

TEST(MdlLookup, ByExactNameNewestFirst) {
    CheckerSession session;
    MDL* models = ReadModels(
        session, "1 s1 a\n2 s2 B\n", "[Model] a\nModel_type Input\n[Model] B\nModel_type Output\n[Model] a\nModel_type Terminator\n");
    session.Take();
    EXPECT_EQ(MDL_TypeOf(models, "a"), MDL_TYPE_TERMINATOR);
    EXPECT_EQ(MDL_TypeOf(models, "B"), MDL_TYPE_OUTPUT);
    EXPECT_EQ(MDL_TypeOf(models, "b"), MDL_TYPE_NONE);
    EXPECT_EQ(MDL_Find(models, "A"), nullptr);
    EXPECT_EQ(MDL_Find(models, "a"), models);
    EXPECT_EQ(models->referenced, 0);  // finding is not referencing
    EXPECT_EQ(MDL_Exists(models, "a"), 1);
    EXPECT_EQ(models->referenced, 1);
    EXPECT_EQ(models->next->next->referenced, 0);
    EXPECT_EQ(MDL_Exists(models, "nothing"), 0);
    EXPECT_EQ(MDL_Exists(nullptr, "a"), 0);
}

TEST(MdlLookup, ThousandsOfModelsAndListsWithoutIndex) {
    CheckerSession session;
    std::string pins;
    std::string body;
    char name[16];
    for (int i = 0; i < 3000; ++i) {
        std::snprintf(name, sizeof name, "m%d", i);
        pins.append(std::to_string(i)).append(" s ").append(name).append("\n");
        body.append("[Model] ").append(name);
        body.append("\nModel_type Input\nVinl = 1\nVinh = 2\nC_comp 1p 1p 1p\n[Voltage Range] 1 1 1\n");
    }
    MDL* models = ReadModels(session, pins, body);
    for (int i = 0; i < 3000; i += 7) {
        std::snprintf(name, sizeof name, "m%d", i);
        ASSERT_NE(MDL_Find(models, name), nullptr) << name;
    }
    EXPECT_EQ(MDL_Find(models, "m3000"), nullptr);
    EXPECT_TRUE(session.Take().empty());

    // A list put together without the reader has no index and is searched.
    MDL first{};
    MDL second{};
    std::snprintf(first.name, sizeof first.name, "x");
    std::snprintf(second.name, sizeof second.name, "x");
    first.next = &second;
    first.model_type = MDL_TYPE_OUTPUT;
    EXPECT_EQ(MDL_Find(&first, "x"), &first);
    EXPECT_EQ(MDL_TypeOf(&first, "x"), MDL_TYPE_OUTPUT);
}

TEST(MdlLookup, ModelsOfOneNameAmongOthersThroughIndexGrowth) {
    CheckerSession session;
    // Twins of one name between distinct models, enough of them to make the
    // index grow several times: each later twin is reported once, and a
    // lookup finds the newest twin, whose type is the last one given.
    std::string body;
    constexpr int kTwins = 400;
    for (int i = 0; i < kTwins; ++i) {
        body.append("[Model] twin\nModel_type ").append(i + 1 == kTwins ? "Terminator" : "Input");
        body.append("\nVinl = 1\nVinh = 2\nC_comp 1p 1p 1p\n[Voltage Range] 1 1 1\n");
        body.append("[Model] other").append(std::to_string(i));
        body.append("\nModel_type Input\nVinl = 1\nVinh = 2\nC_comp 1p 1p 1p\n[Voltage Range] 1 1 1\n");
    }
    MDL* models = ReadModels(session, "1 s twin\n", body);
    const std::string text = session.Take();
    size_t reported = 0;
    for (size_t at = text.find("Previously Defined (\"twin\")"); at != std::string::npos;
         at = text.find("Previously Defined (\"twin\")", at + 1))
        ++reported;
    EXPECT_EQ(reported, static_cast<size_t>(kTwins - 1));
    EXPECT_EQ(text.find("other"), std::string::npos) << "distinct names are not duplicates";
    ASSERT_NE(models, nullptr);
    const MDL* newest = MDL_Find(models, "twin");
    ASSERT_NE(newest, nullptr);
    EXPECT_EQ(newest, models->next);
    EXPECT_EQ(newest->model_type, MDL_TYPE_TERMINATOR);
    for (int i = 0; i < kTwins; i += 37)
        EXPECT_NE(MDL_Find(models, ("other" + std::to_string(i)).c_str()), nullptr) << i;
}

TEST(MdlTypes, NamesKnownByVersionLevel) {
    EXPECT_STREQ(MDL_TypeName(MDL_TYPE_INPUT), "Input");
    EXPECT_STREQ(MDL_TypeName(MDL_TYPE_INPUT_DIFF), "Input_diff");
    EXPECT_STREQ(MDL_TypeName(MDL_TYPE_INVALID), "No Type");
    EXPECT_STREQ(MDL_TypeName(23), "No Type");
    const std::pair<const char*, std::vector<int>> cases[] = {
        // type name, then its code under version levels 2, 3 and 4
        {"Terminator", {MDL_TYPE_TERMINATOR, MDL_TYPE_TERMINATOR, MDL_TYPE_TERMINATOR}},
        {"Series", {0, MDL_TYPE_SERIES, MDL_TYPE_SERIES}},
        {"3-state_ECL", {0, MDL_TYPE_3STATE_ECL, MDL_TYPE_3STATE_ECL}},
        {"Input_diff", {0, 0, MDL_TYPE_INPUT_DIFF}},
        {"series_SWITCH", {0, -MDL_TYPE_SERIES_SWITCH, -MDL_TYPE_SERIES_SWITCH}},
    };
    for (const auto& [name, codes] : cases)
        for (int level = 2; level <= 4; ++level)
            EXPECT_EQ(MDL_LookupTypeName(name, MDL_KnownTypeCount(level)), codes[static_cast<size_t>(level - 2)])
                << name << " at level " << level;
}

TEST(MdlName, LimitFollowsTheVersion) {
    CheckerSession session;
    const std::string forty(40, 'n');
    const std::string rest = "\nModel_type Input\nVinl = 1\nVinh = 2\nC_comp 1p 1p 1p\n[Voltage Range] 1 1 1\n";
    ReadModels(session, "1 s " + forty + "\n", "[Model] " + forty + rest + "[Model] " + forty + "x" + rest);
    // The 41-character name is cut to the first one's, which goes
    // unreported: a cut name is not checked further.
    EXPECT_EQ(session.Take(), "E0129 (line   18) - Model Name Over 40 Characters Long\n");
    IBIS* ibis = nullptr;
    IBIS_Current(&ibis);
    EXPECT_STREQ(IBIS_GetModels(ibis)->name, forty.c_str());
}

TEST(MdlName, AModelWithoutNameIsNotKept) {
    CheckerSession session;
    MDL* models = ReadModels(session, "1 s a\n",
                             "[Model] a\nModel_type Terminator\nC_comp 1p 1p 1p\n[Voltage Range] 1 1 1\n[Model]\n"
                             "Model_type Output\n[Pulldown]\n0 0 0 0\n");
    ASSERT_NE(models, nullptr);
    EXPECT_STREQ(models->name, "a");
    EXPECT_EQ(models->next, nullptr);
    EXPECT_EQ(session.Take(),
              "E0128 (line   16) -\n    Incorrect Number of Line Items (0) For Keyword Model: Expecting 1\n"
              "E0107 (line   17) - Orphan data line keyword.\n"
              "E0102 (line   18) - Orphan Model keyword.\n"
              "E0107 (line   19) - Orphan data line keyword.\n");
}

TEST(MdlClosing, UnfinishedExternalModelKeepsTheModelOpen) {
    CheckerSession session;
    // The [Component] after the unfinished block leaves the model open: the
    // table after the component still belongs to it, and the model ends with
    // its checks when [End] follows the table.
    ReadModels(session, "1 s a\n",
               "[Model] a\nModel_type Output\n[External Model]\nLanguage SPICE\n" + Component("d", "1 s a\n") +
                   "[Pulldown]\n");
    const std::string text = session.Take();
    EXPECT_EQ(text.rfind("E0123 (line   16) - Expecting [End External Model]. Invalid Line, FATAL ERROR\n", 0), 0u)
        << text;
    EXPECT_EQ(text.find("E0102"), std::string::npos) << text;
    EXPECT_NE(text.find("E1108 - Require at least 2 Voltage Points for Pulldown Beginning at Line 24\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("E0190 - Model 'a': Ramp Not Defined\n"), std::string::npos) << text;
}

TEST(MdlClosing, UnfinishedExternalModelEndedByTheNextModelGetsNoChecks) {
    CheckerSession session;
    ReadModels(session, "1 s a\n2 s b\n",
               "[Model] a\nModel_type Output\n[External Model]\nLanguage SPICE\n"
               "[Model] b\nModel_type Terminator\nC_comp 1p 1p 1p\n[Voltage Range] 1 1 1\n");
    EXPECT_EQ(session.Take(), "E0123 (line   17) - Expecting [End External Model]. Invalid Line, FATAL ERROR\n");
}

TEST(MdlClosing, EndKeywordsTakeNoData) {
    CheckerSession session;
    ReadModels(session, "1 s a\n",
               "[Model] a\nModel_type Terminator\nC_comp 1p 1p 1p\n[Voltage Range] 1 1 1\n[External Model]\n"
               "[End External Model]\nstray\n[Algorithmic Model]\n[End Algorithmic Model]\nstray\n",
               "5.0");
    // The empty [External Model] draws its own end findings first.
    EXPECT_EQ(session.Take(),
              "E0231 (line   17) - No Typ Corner Defined for [External Model](required)\n"
              "W0232 - External Model for <a> has suspiciously few PORTS (0)\n"
              "E0222 - [External Model] <a> corner <ALL> type <Terminator> does not contain reserved port <A_signal> "
              "REQUIRED\n"
              "E0121 (line   18) - Expecting Keyword.  Invalid Line\n"
              "E0121 (line   21) - Expecting Keyword.  Invalid Line\n");
}

TEST(MdlSeries, SeriesModelKeepsItsElementInTheOnSlot) {
    CheckerSession session;
    // A series model joins two pins through [Series Pin Mapping], never
    // through a [Pin] row.
    MDL* model = ReadModels(session, "1 s1 NC\n2 s2 NC\n[Series Pin Mapping] pin_2 model_name\n1 2 s\n",
                            "[Model] s\nModel_type Series\nC_comp 1p 1p 1p\n[Voltage Range] 1 1 1\n[R Series] 2 1 3\n"
                            "[Series Current]\n0 0 0 0\n1 1 1 1\n[C Series] 1p 1p 1p\n");
    ASSERT_NE(model->on, nullptr);
    EXPECT_EQ(model->off, nullptr);
    ASSERT_NE(model->on->rSeries, nullptr);
    EXPECT_DOUBLE_EQ(model->on->rSeries->value[RNG_MAX], 3.0);
    ASSERT_NE(model->on->seriesCurrent, nullptr);
    EXPECT_EQ(model->on->seriesCurrent->points.count, 2);
    EXPECT_NE(model->on->cSeries, nullptr);
    EXPECT_EQ(session.Take(), "");
}

// Random keyword and data lines of every model keyword, in any order, must
// be reported and never end the reader.
TEST(MdlRobustness, RandomModelLinesAreReadToTheEnd) {
    const std::vector<std::string> keywords = {
        "[Model] m",
        "[Model] m2 x",
        "[Model]",
        "[Pulldown]",
        "[Pullup] 1",
        "[GND Clamp]",
        "[POWER Clamp]",
        "[Ramp]",
        "[Rising Waveform]",
        "[Falling Waveform]",
        "[Composite Current]",
        "[Voltage Range] 1 2 3",
        "[TTgnd] -1 NA 2",
        "[On]",
        "[Off]",
        "[R Series] 1",
        "[Series Current]",
        "[Series MOSFET]",
        "[Add Submodel]",
        "[ISSO PD]",
        "[ISSO PU]",
        "[External Model]",
        "[End External Model]",
        "[Algorithmic Model]",
        "[End Algorithmic Model]",
        "[Begin EMI Model]",
        "[End EMI Model]",
        "[Model Spec]",
        "[Receiver Thresholds]",
        "[Driver Schedule]",
        "[Component] c",
        "[Rgnd] 1 1 1",
    };
    const std::vector<std::string> data = {
        "Model_type Series_switch",
        "Model_type Series",
        "Model_type I/O",
        "Vinl = 1",
        "C_comp 1p NA 2p",
        "0 0 0 0",
        "1 NA 1 1 1",
        "NA NA",
        "-1 1e3 -1 1",
        "R_fixture = 50",
        "V_fixture 0",
        "dV/dt_r 1/1n",
        "dV/dt_f NA 1/0 x/y",
        "R_load = 5",
        "Vds = 1",
        "Vds = -1",
        "sub All",
        "sub Driving x",
        std::string(300, ' ') + "1 2 3 4",
        "=",
        "= = =",
        "1n 1 1 1",
        "Enable Active-High",
    };
    std::mt19937 random(12345);
    for (int file = 0; file < 200; ++file) {
        CheckerSession session;
        std::string body;
        for (int line = 0; line < 80; ++line) {
            const bool keyword = random() % 3 == 0;
            const auto& pool = keyword ? keywords : data;
            body += pool[random() % pool.size()] + "\n";
        }
        ReadModels(session, "1 s m\n", body, file % 2 ? "5.0" : "3.2");
        IBIS_Finish(PARSE_KIND_IBS, 1);
        session.Take();
    }
}

}  // namespace
