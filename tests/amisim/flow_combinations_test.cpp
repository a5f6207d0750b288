// Every combination of Init_Returns_Impulse and GetWave_Exists, on either
// side of the link and in both flows, with one linear FFE: placed in the
// transmitter or the receiver, reached through AMI_Init, AMI_GetWave or
// both, and declared in whichever form, it must give the same eyes.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/channel.h"
#include "tools/amisim/flows/link_run.h"
#include "tools/amisim/models/link_model.h"

using namespace amisim;

namespace {

// How the reserved flags are written; Init_Returns_Impulse and
// GetWave_Exists take the same form.
std::string Flag(const std::string& name, bool value, const std::string& form) {
    const std::string v = value ? "True" : "False";
    const std::string head = "(" + name + " (Usage Info) (Type Boolean) ";
    if (form == "Default") return head + "(Default " + v + "))";
    if (form == "Value") return head + "(Value " + v + "))";
    if (form == "Format Value") return head + "(Format Value " + v + "))";
    if (form == "Format List") return head + "(Format List " + v + " " + (value ? "False" : "True") + "))";
    if (form == "short form") return "(" + name + " " + v + ")";
    return "";  // "missing"
}

std::string FfeAmi(bool returns_impulse, bool getwave, const std::string& form,
                   const std::string& getwave_form = "") {
    return "(ffe (Reserved_Parameters " + Flag("Init_Returns_Impulse", returns_impulse, form) + " " +
           Flag("GetWave_Exists", getwave, getwave_form.empty() ? form : getwave_form) +
           " (Ignore_Bits (Usage Info) (Type Integer) (Value 4)))\n"
           " (Model_Specific (pre (Usage In) (Type Float) (Range -0.1 -0.5 0))\n"
           "  (main (Usage In) (Type Float) (Format Value 0.7)) (post (Usage In) (Type Float) (Default -0.2))))\n";
}

struct Eyes {
    double statistical = 0.0;
    double time_domain = 0.0;
    double width = 0.0;
};

class FlowCombinations : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("amisim_flows_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
        settings_.bits = 1200;
        settings_.samples_per_bit = 8;
        settings_.ignore_bits = 40;  // the same skip for every placement
        settings_.hosting.in_process = true;
        // A short first-order low pass, about a bit's time constant: enough
        // ISI for the FFE to matter, short enough to keep the runs quick.
        line_.name = line_.description = "low pass";
        double tap = 1.0 - kPole;
        for (int n = 0; n < 160; ++n, tap *= kPole) line_.taps.push_back(tap);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string Ami(const std::string& name, const std::string& text) {
        const std::string path = (folder_ / name).string();
        std::ofstream(path) << text;
        return path;
    }

    Eyes Run(const ModelChoice& tx_choice, const ModelChoice* rx_choice, std::vector<std::string>* warnings = nullptr,
             LinkRun* out = nullptr) {
        const LinkModel tx = LoadLinkModel(tx_choice);
        std::optional<LinkModel> rx;
        if (rx_choice != nullptr) rx.emplace(LoadLinkModel(*rx_choice));
        if (warnings != nullptr) {
            *warnings = tx.warnings;
            if (rx) warnings->insert(warnings->end(), rx->warnings.begin(), rx->warnings.end());
        }
        const LinkRun run = RunLink(tx, rx ? &*rx : nullptr, line_, settings_, {}, {}, [&](const std::string& line) {
            if (warnings != nullptr && line.rfind("warning: ", 0) == 0) warnings->push_back(line);
        });
        if (out != nullptr) *out = run;
        return {run.statistical.eye_height, run.time_domain.eye.eye_height, run.time_domain.eye.eye_width};
    }

    ModelChoice Passthrough() const { return {"Tx", AMISIM_PASSTHROUGH_MODEL, "", "", "passthrough", {}}; }

    static constexpr double kPole = 0.88;
    std::filesystem::path folder_;
    LinkSettings settings_;
    Channel line_;
};

void ExpectSameEyes(const Eyes& reference, const Eyes& eyes) {
    EXPECT_NEAR(eyes.statistical, reference.statistical, 1e-3);
    EXPECT_NEAR(eyes.time_domain, reference.time_domain, 1e-3);
    EXPECT_NEAR(eyes.width, reference.width, 1.0 / 8 + 1e-9);  // a sample of the eye's edges
}

TEST_F(FlowCombinations, TheFfeGivesOneEyeWhereverAndHoweverItIsReached) {
    const std::string both = Ami("both.ami", FfeAmi(true, true, "Value"));
    const std::string init_only = Ami("init.ami", FfeAmi(true, false, "Format Value"));
    const std::string getwave_only = Ami("getwave.ami", FfeAmi(false, true, "Default"));

    const ModelChoice tx_both{"Tx", AMISIM_FFE_BOTH, both, "", "", {}};
    const Eyes reference = Run(tx_both, nullptr);
    // The FFE matters: without it the low pass leaves the eye elsewhere,
    // so placements that dropped it would show.
    const Eyes bare = Run(Passthrough(), nullptr);
    EXPECT_GT(std::abs(bare.statistical - reference.statistical), 0.01)
        << bare.statistical << " " << reference.statistical;
    EXPECT_GT(std::abs(bare.time_domain - reference.time_domain), 0.01);

    struct Placement {
        const char* what;
        ModelChoice tx;
        std::optional<ModelChoice> rx;
    };
    const Placement placements[] = {
        {"Tx Init-only", {"Tx", AMISIM_FFE_INIT_ONLY, init_only, "", "", {}}, std::nullopt},
        {"Tx GetWave-only", {"Tx", AMISIM_FFE_GETWAVE_ONLY, getwave_only, "", "", {}}, std::nullopt},
        {"Rx Init-only", Passthrough(), ModelChoice{"Rx", AMISIM_FFE_INIT_ONLY, init_only, "", "", {}}},
        {"Rx Init and GetWave", Passthrough(), ModelChoice{"Rx", AMISIM_FFE_BOTH, both, "", "", {}}},
        {"Rx GetWave-only", Passthrough(), ModelChoice{"Rx", AMISIM_FFE_GETWAVE_ONLY, getwave_only, "", "", {}}},
        {"Tx Init-only, Rx Init-only",
         {"Tx", AMISIM_FFE_INIT_ONLY, init_only, "", "", {"pre=0", "main=1", "post=0"}},
         ModelChoice{"Rx", AMISIM_FFE_INIT_ONLY, init_only, "", "", {}}},
    };
    for (const Placement& placement : placements) {
        SCOPED_TRACE(placement.what);
        std::vector<std::string> warnings;
        const Eyes eyes = Run(placement.tx, placement.rx ? &*placement.rx : nullptr, &warnings);
        ExpectSameEyes(reference, eyes);
        EXPECT_TRUE(warnings.empty()) << warnings.front();
    }
}

TEST_F(FlowCombinations, EveryWrittenFormOfTheFlagsGivesTheSameEyes) {
    const ModelChoice tx_reference{"Tx", AMISIM_FFE_BOTH, Ami("ref.ami", FfeAmi(true, true, "Default")), "", "", {}};
    const Eyes reference = Run(tx_reference, nullptr);
    for (const char* form : {"Value", "Format Value", "Format List", "short form"}) {
        SCOPED_TRACE(form);
        const std::string init_only = Ami("init.ami", FfeAmi(true, false, form));
        const std::string both = Ami("both.ami", FfeAmi(true, true, form));
        const ModelChoice tx{"Tx", AMISIM_FFE_INIT_ONLY, init_only, "", "", {}};
        const ModelChoice rx{"Rx", AMISIM_FFE_BOTH, both, "", "", {}};
        LinkRun run;
        ExpectSameEyes(reference, Run(tx, nullptr, nullptr, &run));
        const LinkModel loaded = LoadLinkModel(tx);
        EXPECT_EQ(loaded.flow.init_returns_impulse.from, form);
        EXPECT_EQ(loaded.flow.getwave_exists.value, false);
        ExpectSameEyes(reference, Run(Passthrough(), &rx));
    }
}

TEST_F(FlowCombinations, MissingFlagsAreAssumedFromTheExportsWithAWarning) {
    const ModelChoice tx{"Tx", AMISIM_FFE_INIT_ONLY, Ami("none.ami", FfeAmi(true, false, "missing")), "", "", {}};
    std::vector<std::string> warnings;
    const Eyes eyes = Run(tx, nullptr, &warnings);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0], "Tx GetWave_Exists is missing; assumed False, since the library exports no AMI_GetWave");
    EXPECT_EQ(warnings[1], "Tx Init_Returns_Impulse is missing; assumed True, since the model has no AMI_GetWave");
    const ModelChoice reference{"Tx", AMISIM_FFE_BOTH, Ami("ref.ami", FfeAmi(true, true, "Value")), "", "", {}};
    ExpectSameEyes(Run(reference, nullptr), eyes);

    // Unreadable is as good as missing, and says what it read.
    const ModelChoice odd{"Tx", AMISIM_FFE_BOTH,
                          Ami("odd.ami", "(ffe (Reserved_Parameters (Init_Returns_Impulse (Value Maybe))"
                                         " (GetWave_Exists (Default True)) (Ignore_Bits (Value -1))))"),
                          "", "", {}};
    const LinkModel loaded = LoadLinkModel(odd);
    ASSERT_EQ(loaded.flow.warnings.size(), 2u);
    EXPECT_EQ(loaded.flow.warnings[0], "Tx Init_Returns_Impulse (Value Maybe) is not True or False; assumed False, "
                                       "since the model has an AMI_GetWave");
    EXPECT_EQ(loaded.flow.warnings[1], "Tx Ignore_Bits (Value -1) is not a count; it is not used");
    EXPECT_EQ(loaded.flow.init_returns_impulse.from, "assumed");
    EXPECT_EQ(loaded.flow.getwave_exists.from, "Default");
    EXPECT_EQ(loaded.flow.ignore_bits.from, "unreadable");
    EXPECT_EQ(loaded.flow.max_init_aggressors.from, "missing");
}

// A model that runs PAM4 is refused rather than measured as NRZ.
TEST_F(FlowCombinations, OnlyNrzLinksAreRun) {
    const auto ami = [&](const std::string& name, const std::string& modulation) {
        return Ami(name, "(ffe (Reserved_Parameters (Init_Returns_Impulse (Usage Info) (Type Boolean) (Value True))"
                         " (GetWave_Exists (Usage Info) (Type Boolean) (Value True)) " +
                             modulation + "))");
    };
    const auto refusal = [&](const std::string& ami_path) -> std::string {
        try {
            Run({"Tx", AMISIM_FFE_BOTH, ami_path, "", "", {}}, nullptr);
        } catch (const AmisimError& e) {
            EXPECT_EQ(e.status(), ExitStatus::kUsageOrFile);
            return e.what();
        }
        return "not refused";
    };
    const std::string library = std::filesystem::path(AMISIM_FFE_BOTH).filename().string();
    EXPECT_EQ(refusal(ami("pam4.ami", "(Modulation (Usage Info) (Type String) (Value \"PAM4\"))")),
              "Tx model " + library + ": Modulation PAM4: amisim runs NRZ links only");
    EXPECT_EQ(refusal(ami("list.ami", "(Modulation (Usage In) (Type String) (List PAM4 NRZ) (Default PAM4))")),
              "Tx model " + library + ": Modulation PAM4: amisim runs NRZ links only");
    EXPECT_EQ(refusal(ami("nrz.ami", "(Modulation (Usage Info) (Type String) (Value nrz))")), "not refused");
}

TEST_F(FlowCombinations, DeclarationsTheLibraryContradictsAreRefused) {
    const auto refusal = [](const ModelChoice& choice) -> std::string {
        try {
            LoadLinkModel(choice);
        } catch (const AmisimError& e) {
            EXPECT_EQ(e.status(), ExitStatus::kUsageOrFile);
            return e.what();
        }
        return "not refused";
    };
    EXPECT_EQ(refusal({"Tx", AMISIM_FFE_INIT_ONLY, Ami("a.ami", FfeAmi(true, true, "Value")), "", "", {}}),
              std::string(AMISIM_FFE_INIT_ONLY) +
                  ": the .ami file declares GetWave_Exists True, but the library exports no AMI_GetWave");
    EXPECT_EQ(refusal({"Rx", AMISIM_FFE_BOTH, Ami("b.ami", FfeAmi(true, false, "Value")), "", "", {}}),
              std::string(AMISIM_FFE_BOTH) +
                  ": the .ami file declares GetWave_Exists False, but the library exports AMI_GetWave; which one "
                  "describes the model cannot be told");
    EXPECT_EQ(refusal({"Tx", AMISIM_FFE_INIT_ONLY, Ami("c.ami", FfeAmi(false, false, "Value")), "", "", {}}),
              std::string(AMISIM_FFE_INIT_ONLY) +
                  ": the model declares Init_Returns_Impulse False and GetWave_Exists False; it gives neither an "
                  "impulse nor a waveform to use");
}

}  // namespace
