// Adaptation as the models report it: every AMI_GetWave's parameters out
// turned into time series, in --json and in the picture, and the reference
// receiver's own taps and phase reported the same way.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <regex>

#include "tests/amisim/command_fixture.h"
#include "tools/amisim/flows/adaptation.h"
#include "tools/amisim/flows/link_run.h"
#include "tools/amisim/reference_rx/reference_rx_model.h"

using namespace amisim;

TEST(AdaptationSeries, NumericLeavesFollowedCallByCall) {
    const std::vector<ParametersOutReport> reports = {
        {1e-9, "(rx (tap 0.1) (group (gain 2) (mode \"fast\")) (pair 1 2) (flag True))"},
        {2e-9, "(rx (tap 0.2) (pair 3 4)"},  // unbalanced: not a tree
        {3e-9, "(rx (tap 0.3) (group (gain 4)) (late -1e-3))"},
    };
    const Adaptation adaptation = AdaptationFromReports(reports);
    EXPECT_EQ(adaptation.unreadable, 1u);
    ASSERT_EQ(adaptation.series.size(), 5u);
    const AdaptationSeries& tap = adaptation.series[0];
    EXPECT_EQ(tap.name, "tap");
    EXPECT_EQ(tap.time, (std::vector<double>{1e-9, 3e-9}));
    EXPECT_EQ(tap.value, (std::vector<double>{0.1, 0.3}));
    EXPECT_EQ(adaptation.series[1].name, "group.gain");
    EXPECT_EQ(adaptation.series[1].value, (std::vector<double>{2, 4}));
    EXPECT_EQ(adaptation.series[2].name, "pair[0]");
    EXPECT_EQ(adaptation.series[3].name, "pair[1]");
    EXPECT_EQ(adaptation.series[3].value, (std::vector<double>{2}));
    // A leaf that turns up late starts its series there.
    EXPECT_EQ(adaptation.series[4].name, "late");
    EXPECT_EQ(adaptation.series[4].time, (std::vector<double>{3e-9}));
}

namespace {

class AdaptationCommand : public amisim_test::CommandFolder {
protected:
    AdaptationCommand() : CommandFolder("amisim_adaptation_") {}
};

}  // namespace

TEST_F(AdaptationCommand, EveryCallOfATestReceiverIsRecordedAndTheFinalValueMarked) {
    // 3000 bits of 16 samples in blocks of 1600: 30 calls.
    const amisim_test::Outcome outcome =
        Run(std::string(AMISIM_PASSTHROUGH_MODEL) + " --root passthrough --rx " + AMISIM_ADAPTING_RX +
            " --rx-root adapting_rx --bits 3000 --block-size 1600 --json " + Path("run.json") + " --adaptation " +
            Path("adaptation.svg"));
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const nlohmann::json report = nlohmann::json::parse(Read(folder_ / "run.json"));
    const nlohmann::json& rx = report.at("adaptation").at("rx");
    EXPECT_TRUE(report.at("adaptation").at("tx").empty());  // the passthrough reports nothing
    const std::vector<double> times = rx.at("tap1").at("time");
    const std::vector<double> values = rx.at("tap1").at("value");
    ASSERT_EQ(values.size(), 30u);
    const double interval = 1.0 / 10.8e9 / 16;
    for (std::size_t k = 1; k <= 30; ++k) {
        EXPECT_EQ(values[k - 1], 0.25 * (1.0 - std::exp(-static_cast<double>(k) / 4.0))) << k;
        EXPECT_NEAR(times[k - 1], static_cast<double>(k * 1600) * interval, 1e-18) << k;
        EXPECT_EQ(rx.at("loop.count").at("value")[k - 1], static_cast<double>(k));
    }
    EXPECT_EQ(rx.at("pair[1]").at("value")[0], -2.0);
    EXPECT_FALSE(rx.contains("note"));

    // The picture: a panel for each series, the final value written out and
    // drawn as a level through the last point.
    const std::string svg = Read(folder_ / "adaptation.svg");
    EXPECT_NE(svg.find("Rx tap1"), std::string::npos);
    char final_text[32];
    std::snprintf(final_text, sizeof final_text, "%.6g", values.back());
    EXPECT_NE(svg.find(std::string("converged ") + final_text), std::string::npos);
    const std::regex level("<line class=\"converged\"[^>]* y1=\"([0-9.]+)\"[^>]*/>\\s*<circle cx=\"([0-9.]+)\" cy=\"([0-9.]+)\"");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(svg, match, level));
    EXPECT_EQ(match[1].str(), match[3].str());
    EXPECT_EQ(match[2].str(), "900.0");  // the last call ends the time axis
}

namespace {

void Ignore(const std::string&) {}

}  // namespace

TEST(ReferenceAdaptation, LmsTapsReportedAsTheyConvergeOnTheZeroForcingOnes) {
    const LinkModel tx = LoadLinkModel({"Tx", AMISIM_PASSTHROUGH_MODEL, "", "", "passthrough", {}});
    // An RC edge of 1.2 unit intervals: interference the taps almost cover,
    // so the least-squares and zero-forcing answers meet.
    Channel channel;
    channel.description = "rc";
    double previous = 0.0;
    for (int n = 0; n < 24 * 16; ++n) {
        const double step = 1.0 - std::exp(-n / (1.2 * 16));
        channel.taps.push_back(step - previous);
        previous = step;
    }
    LinkSettings settings;
    settings.bits = 4000;
    settings.block_samples = 1600;  // a report every hundred bits
    std::vector<double> finals[2];
    std::vector<double> residual;  // the statistical pulse's post-cursors where the receiver samples
    for (int adapt = 0; adapt < 2; ++adapt) {
        const LinkModel rx = LoadLinkModel({"Rx", kReferenceRxName, "", "", "",
                                            {"ctle_mode=off", "dfe_taps=6", "cdr=none", "dfe_step=0.0005",
                                             std::string("dfe_adapt=") + (adapt ? "True" : "False")}});
        const LinkRun run = RunLink(tx, &rx, channel, settings, {}, {}, Ignore);
        const Adaptation adaptation = AdaptationFromReports(run.time_domain.rx_reports);
        ASSERT_GE(adaptation.series.size(), 7u);
        EXPECT_EQ(adaptation.series[0].name, "dfe_tap1");
        EXPECT_EQ(adaptation.series[1].name, "dfe_tap2");
        EXPECT_EQ(adaptation.series.back().name, "cdr_phase");
        EXPECT_EQ(adaptation.series[0].value.size(), run.time_domain.rx_reports.size());
        if (adapt) {
            EXPECT_LT(std::abs(adaptation.series[0].value.front()), std::abs(adaptation.series[0].value.back()));
        }
        for (std::size_t k = 0; k < 6; ++k) finals[adapt].push_back(adaptation.series[k].value.back());
        if (!adapt) {
            const StatisticalEye& eye = run.statistical;
            const std::size_t at = FindCursors(run.pulse, 16).main_index +
                                   static_cast<std::size_t>(std::lround(eye.PhaseUi(eye.centre_phase) * 16));
            for (std::size_t k = 1; k <= 6; ++k) residual.push_back(0.5 * run.pulse[at + 16 * k]);
        }
    }
    // Without recovery the clock samples the eye's centre, not the peak the
    // zero-forcing taps were set at: sign-sign LMS with no noise settles
    // within a few steps of the taps that zero the cursors there.
    for (std::size_t k = 0; k < 6; ++k) EXPECT_NEAR(finals[1][k], finals[0][k] + residual[k], 0.002) << k;
}
