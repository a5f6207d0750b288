// amisim with jitter and noise, end to end: the crossing jitter the
// time-domain flow measures against what was injected, runs that repeat by
// seed, the statistical eye against the time-domain one, the reports, and
// one clear line with exit status 2 for what cannot be read.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "amisim/command_fixture.h"

namespace {

using amisim_test::Outcome;

class ImpairmentCommand : public amisim_test::CommandFolder {
protected:
    ImpairmentCommand() : CommandFolder("amisim_impair_") {}

    static std::string Tx() { return std::string(AMISIM_PASSTHROUGH_MODEL) + " --root passthrough"; }

    nlohmann::json RunJson(const std::string& arguments) {
        const Outcome outcome = Run(Tx() + " " + arguments + " --json " + Path("r.json"));
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.err, "");  // no progress line in a pipe
        last_out_ = outcome.out;
        return nlohmann::json::parse(Read(folder_ / "r.json"));
    }
    std::string last_out_;
};

void ExpectOneErrorLine(const Outcome& outcome, const std::string& part) {
    EXPECT_EQ(outcome.status, 2) << outcome.err;
    EXPECT_NE(outcome.err.find(part), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
}

// 10^5 bits at 8 samples a bit; the jitter is over half a sample, where
// the crossing between two samples is found to within a few percent.
const std::string kLong = "--bits 100000 --samples-per-bit 8 --ber 1e-6";

TEST_F(ImpairmentCommand, CrossingJitterIsTheRjInjectedAndTwiceTheSjAmplitude) {
    const auto rj = RunJson(kLong + " --tx-rj 0.08UI");
    EXPECT_NEAR(rj["time_domain"]["jitter_rms_ui"].get<double>(), 0.08, 0.05 * 0.08);
    EXPECT_NE(last_out_.find("impairments   Tx Rj 0.08 UI"), std::string::npos) << last_out_;
    EXPECT_NE(last_out_.find("jitter        0.0"), std::string::npos) << last_out_;
    // A sinusoid dwells at its peaks: at 16 samples a bit they are found
    // to a hundredth of a unit interval.
    const auto sj = RunJson("--bits 40000 --samples-per-bit 16 --tx-sj 0.15UI --tx-sj-frequency 10MHz");
    EXPECT_NEAR(sj["time_domain"]["jitter_pp_ui"].get<double>(), 0.3, 0.05 * 0.3);
    EXPECT_DOUBLE_EQ(sj["impairments"]["tx_sj_frequency"]["hertz"].get<double>(), 1e7);
    // Without jitter the edges sit exactly on sample boundaries.
    const auto clean = RunJson("--bits 4000 --samples-per-bit 8");
    EXPECT_LT(clean["time_domain"]["jitter_pp_ui"].get<double>(), 1e-3);
}

// The sampling clock's jitter moves where the crossings fall against it,
// but each edge of the wave stays one crossing: the eye is folded at the
// jittered instants, and the picture's traces are whole waves.
TEST_F(ImpairmentCommand, RxClockJitterMovesTheCrossingsWithoutAddingAny) {
    const auto clean = RunJson("--bits 4000");
    const std::size_t edges = clean["time_domain"]["crossings"].get<std::size_t>();
    EXPECT_GT(edges, 1900u);
    // Duty-cycle distortion: every crossing 0.05 UI early or late.
    const auto dcd = RunJson("--bits 4000 --rx-dcd 0.05UI --eye " + Path("dcd.svg"));
    EXPECT_EQ(dcd["time_domain"]["crossings"].get<std::size_t>(), edges);
    EXPECT_NEAR(dcd["time_domain"]["jitter_rms_ui"].get<double>(), 0.05, 0.001);
    EXPECT_NEAR(dcd["time_domain"]["jitter_pp_ui"].get<double>(), 0.1, 0.002);
    // Both sides of the opening close by the distortion, less a sample's
    // interpolation.
    EXPECT_NEAR(dcd["time_domain"]["eye_width"].get<double>(), 0.9, 1.0 / 16);
    EXPECT_NEAR(dcd["time_domain"]["eye_height"].get<double>(), 1.0, 1e-9);
    // Each trace crosses the threshold once on either side of the eye.
    const std::string picture = Read(folder_ / "dcd.svg");
    std::size_t traces = 0, position = 0;
    while ((position = picture.find("<polyline points=\"", position)) != std::string::npos) {
        const std::size_t end = picture.find('"', position + 18);
        std::istringstream points(picture.substr(position + 18, end - position - 18));
        std::string pair;
        int crossings = 0;
        double previous = 0.0;
        bool first = true;
        while (points >> pair) {
            const double y = std::stod(pair.substr(pair.find(',') + 1));
            const double above = y - 305.0;  // the picture's 0 V, between the levels
            if (!first && (previous < 0.0) != (above < 0.0)) ++crossings;
            previous = above;
            first = false;
        }
        EXPECT_LE(crossings, 2) << picture.substr(position, 200);
        ++traces;
        position = end;
    }
    EXPECT_GT(traces, 100u);
    // Gaussian clock jitter is measured as what was injected.
    const auto rj = RunJson("--bits 4000 --samples-per-bit 64 --rx-rj 0.02UI");
    EXPECT_EQ(rj["time_domain"]["crossings"].get<std::size_t>(), edges);
    EXPECT_NEAR(rj["time_domain"]["jitter_rms_ui"].get<double>(), 0.02, 0.002);
}

TEST_F(ImpairmentCommand, TheSameSeedRepeatsBitForBitAndAnotherDoesNot) {
    const std::string impaired = " --bits 3000 --samples-per-bit 8 --tx-rj 0.05UI --tx-dj 1ps --rx-rj 0.02UI "
                                 "--rx-noise 10mV --rx-uniform-noise 2mV --csv ";
    ASSERT_EQ(Run(Tx() + impaired + Path("a.csv")).status, 0);
    ASSERT_EQ(Run(Tx() + impaired + Path("b.csv")).status, 0);
    ASSERT_EQ(Run(Tx() + impaired + Path("c.csv") + " --seed 7").status, 0);
    const std::string a = Read(folder_ / "a.csv");
    EXPECT_GT(a.size(), 10000u);
    EXPECT_EQ(a, Read(folder_ / "b.csv"));
    EXPECT_NE(a, Read(folder_ / "c.csv"));
    const auto first = RunJson(impaired + Path("d.csv"));
    const auto again = RunJson(impaired + Path("d.csv"));
    EXPECT_EQ(first["time_domain"]["eye_height"], again["time_domain"]["eye_height"]);
    EXPECT_EQ(first["time_domain"]["jitter_rms_ui"], again["time_domain"]["jitter_rms_ui"]);
}

// The time-domain eye of N bits shows each level's extremes over about N/2
// samples a phase, so the statistical eye at BER 2/N should match it: here
// within 0.02 V in height (two noise sigmas) and 0.04 UI in width. (At 8
// samples a bit the time-domain eye places a jittered edge's crossing too
// coarsely: its Rj comes out 0.014 UI rms for 0.02.)
TEST_F(ImpairmentCommand, StatisticalEyeAtTheReachedBerAgreesWithTheTimeDomainEye) {
    for (const std::string channel : {"", " --line 0.2m"}) {
        const auto json = RunJson("--bits 20000 --samples-per-bit 16 --tx-rj 0.02UI --rx-noise 10mV --ber 1e-4" + channel);
        const auto& td = json["time_domain"];
        const auto& stat = json["statistical"];
        EXPECT_NEAR(td["eye_height_best"].get<double>(), stat["eye_height_best"].get<double>(), 0.02) << channel;
        EXPECT_NEAR(td["eye_width"].get<double>(), stat["eye_width"].get<double>(), 0.04) << channel;
    }
}

TEST_F(ImpairmentCommand, ReportsCarryEveryValueBothBathtubsAndTheirPictures) {
    std::ofstream(Path("tx.ami")) << "(passthrough (Reserved_Parameters\n"
                                     " (Init_Returns_Impulse (Usage Info) (Type Boolean) (Default False))\n"
                                     " (GetWave_Exists (Usage Info) (Type Boolean) (Default True))\n"
                                     " (Tx_Jitter (Usage Info) (Type Float) (Format Gaussian 0 2e-12))\n"
                                     " (Tx_DCD (Usage Info) (Type UI) (Value 0.01)))\n"
                                     " (Model_Specific))\n";
    const Outcome outcome = Run(std::string(AMISIM_PASSTHROUGH_MODEL) + " --ami " + Path("tx.ami") +
                                " --bits 3000 --tx-rj 1ps --rx-sensitivity 5mV --bathtub " + Path("b.svg") +
                                " --vbathtub " + Path("v.svg") + " --stat-eye " + Path("s.svg") + " --json " +
                                Path("r.json"));
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const auto json = nlohmann::json::parse(Read(folder_ / "r.json"));
    const auto& impairments = json["impairments"];
    EXPECT_EQ(impairments["tx_rj"]["from"], "--tx-rj");
    EXPECT_DOUBLE_EQ(impairments["tx_rj"]["seconds"].get<double>(), 1e-12);
    EXPECT_EQ(impairments["tx_dcd"]["from"], "Tx_DCD in tx.ami");
    EXPECT_DOUBLE_EQ(impairments["tx_dcd"]["ui"].get<double>(), 0.01);
    EXPECT_DOUBLE_EQ(impairments["rx_sensitivity"]["volts"].get<double>(), 5e-3);
    const auto& bathtub = json["statistical"]["bathtub"];
    EXPECT_EQ(bathtub["phase_ui"].size(), bathtub["ber"].size());
    EXPECT_GT(bathtub["ber"].size(), 10u);
    const auto& vertical = json["statistical"]["vertical_bathtub"];
    EXPECT_EQ(vertical["volts"].size(), vertical["ber"].size());
    EXPECT_TRUE(json["time_domain"].contains("jitter_rms_ui"));
    EXPECT_TRUE(json["time_domain"].contains("jitter_pp_ui"));
    EXPECT_NE(Read(folder_ / "b.svg").find("BER target 1e-12"), std::string::npos);
    EXPECT_NE(Read(folder_ / "v.svg").find("Vertical bathtub"), std::string::npos);
    EXPECT_NE(Read(folder_ / "s.svg").find("probability"), std::string::npos);
    EXPECT_NE(outcome.out.find("Tx DCD 0.01 UI"), std::string::npos) << outcome.out;
}

TEST_F(ImpairmentCommand, WhatCannotBeReadIsOneLineAndStatusTwo) {
    ExpectOneErrorLine(Run(Tx() + " --tx-rj 1.5parsec"), "--tx-rj");
    ExpectOneErrorLine(Run(Tx() + " --rx-noise -5mV"), "--rx-noise");
    ExpectOneErrorLine(Run(Tx() + " --tx-sj-frequency fast"), "--tx-sj-frequency");
    const std::string head = "(passthrough (Reserved_Parameters\n"
                             " (Init_Returns_Impulse (Usage Info) (Type Boolean) (Default False))\n";
    const std::string tail = " (Model_Specific (gain (Usage In) (Type Float) (Default 1))))\n";
    std::ofstream(Path("bad.ami")) << head << " (GetWave_Exists (Usage Info) (Type Boolean) (Default True))\n"
                                      " (Tx_Jitter (Usage Info) (Type Float) (Format Lorentz 0 1e-12)))\n" << tail;
    ExpectOneErrorLine(Run(std::string(AMISIM_PASSTHROUGH_MODEL) + " --ami " + Path("bad.ami")), "unknown Format Lorentz");
    std::ofstream(Path("negative.ami")) << head << " (GetWave_Exists (Usage Info) (Type Boolean) (Default True))\n"
                                           " (Tx_Jitter (Usage Info) (Type Float) (Format Gaussian 0 -1e-12)))\n" << tail;
    ExpectOneErrorLine(Run(std::string(AMISIM_PASSTHROUGH_MODEL) + " --ami " + Path("negative.ami")), "negative");
}

}  // namespace
