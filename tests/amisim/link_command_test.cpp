// amisim with a channel and a receiver, end to end: the summary, the files,
// the JSON, a sweep, and one clear line with exit status 2 for each kind of
// bad input (1 for a model that fails).

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "amisim/command_fixture.h"

namespace fs = std::filesystem;

namespace {

using amisim_test::Outcome;

class LinkCommand : public amisim_test::CommandFolder {
protected:
    LinkCommand() : CommandFolder("amisim_link_") {}

    // The pass-through Tx with a root, so no warning muddles stderr.
    static std::string Tx() { return std::string(AMISIM_PASSTHROUGH_MODEL) + " --root passthrough"; }
    static std::string Rx() { return std::string(" --rx ") + AMISIM_RX_MODEL + " --rx-ami " + AMISIM_RX_AMI; }
};

void ExpectOneErrorLine(const Outcome& outcome, int status, const std::string& part) {
    EXPECT_EQ(outcome.status, status) << outcome.err;
    EXPECT_NE(outcome.err.find(part), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
    EXPECT_EQ(outcome.err.rfind("amisim: ", 0), 0u) << outcome.err;
}

TEST_F(LinkCommand, TxLineAndRxGiveBothFlowsEveryFileAndTheJson) {
    const Outcome outcome =
        Run(Tx() + Rx() + " --line 0.4m --bits 3000 --csv " + Path("w.csv") + " --eye " + Path("eye.svg") +
            " --stat-eye " + Path("stat.svg") + " --bathtub " + Path("tub.svg") + " --pulse " + Path("pulse.svg") +
            " --json " + Path("r.json") + " --ber 1e-9");
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_TRUE(outcome.err.empty()) << outcome.err;
    const std::string& out = outcome.out;
    EXPECT_NE(out.find("channel       lossy line 0.4 m"), std::string::npos) << out;
    EXPECT_NE(out.find("dB at 5.4 GHz"), std::string::npos);
    // The Rx message's lines come indented, the blank one left out.
    EXPECT_NE(out.find("Rx model message ctle_dfe_rx: CTLE on, DFE tap "), std::string::npos) << out;
    EXPECT_NE(out.find("\n                  main cursor "), std::string::npos) << out;
    EXPECT_EQ(out.find("\n\n"), std::string::npos);
    EXPECT_NE(out.find("at the Rx clock times"), std::string::npos);
    EXPECT_NE(out.find("Statistical eye at BER 1e-09"), std::string::npos);
    EXPECT_NE(out.find("flow          Rx impulse: from its AMI_Init (Init_Returns_Impulse True)"), std::string::npos);

    const std::string csv = Read(folder_ / "w.csv");
    EXPECT_EQ(csv.rfind("time,input,tx,channel,rx\n0,-0.5,-0.5,", 0), 0u) << csv.substr(0, 80);
    EXPECT_EQ(static_cast<std::size_t>(std::count(csv.begin(), csv.end(), '\n')), 3000u * 16 + 1);
    for (const char* picture : {"eye.svg", "stat.svg", "tub.svg", "pulse.svg"})
        EXPECT_NE(Read(folder_ / picture).find("</svg>"), std::string::npos) << picture;

    const auto json = nlohmann::json::parse(Read(folder_ / "r.json"));
    for (const char* key : {"eye_height", "eye_height_best", "eye_width", "level_high", "level_low"})
        EXPECT_TRUE(json["time_domain"][key].is_number()) << key;
    for (const char* key : {"eye_height", "eye_width", "ber"}) EXPECT_TRUE(json["statistical"][key].is_number()) << key;
    EXPECT_EQ(json["statistical"]["ber"], 1e-9);
    EXPECT_GT(json["time_domain"]["clock_ticks"].get<int>(), 2900);
    EXPECT_GT(json["time_domain"]["eye_height"].get<double>(), 0.0);
}

TEST_F(LinkCommand, SweepPrintsATableAndTheBestValue) {
    const Outcome outcome =
        Run(Tx() + Rx() + " --line 0.5m --bits 1500 --sweep rx:zero_ghz=0.8,1.5,6 --json " + Path("s.json"));
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.out.find("Sweep of zero_ghz"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("Best zero_ghz: "), std::string::npos);
    const auto json = nlohmann::json::parse(Read(folder_ / "s.json"));
    ASSERT_EQ(json["sweep"].size(), 3u);
    EXPECT_EQ(json["sweep"][1]["name"], "zero_ghz");
    EXPECT_EQ(json["sweep"][1]["value"], "1.5");
    EXPECT_TRUE(json["sweep"][2]["statistical"]["eye_height"].is_number());
    EXPECT_TRUE(json["time_domain"]["eye_height"].is_number());

    ExpectOneErrorLine(Run(Tx() + " --sweep gain=1..x"), 2, "--sweep gain=1..x: a range is of integers");
    ExpectOneErrorLine(Run(Tx() + " --sweep rx:zero_ghz=1,2"), 2, "--sweep rx:zero_ghz: there is no --rx model");
}

TEST_F(LinkCommand, BadInputGetsOneLineAndExitTwo) {
    std::ofstream(Path("bad.s2p")) << "! a broken file\n# GHz S MA R 50\n1 0.1 0 0.9 -10 0.9 -10 0.1\n";
    ExpectOneErrorLine(Run(Tx() + " --channel " + Path("bad.s2p")), 2,
                       "bad.s2p:3: the last frequency point holds 8 of its 9 numbers");
    std::ofstream(Path("early.csv")) << "time,step\n-1e-9,0\n-0.5e-9,1\n1e-9,1\n";
    ExpectOneErrorLine(Run(Tx() + " --channel " + Path("early.csv")), 2, "non-causal data");
    std::ofstream(Path("long.csv")) << "time,impulse\n0,0\n1,0\n";
    ExpectOneErrorLine(Run(Tx() + " --channel " + Path("long.csv")), 2, "amisim holds in memory");
    ExpectOneErrorLine(Run(Tx() + " --line 1m --channel " + Path("long.csv")), 2, "choose one");
    ExpectOneErrorLine(Run(Tx() + " --line 3ft"), 2, "--line 3ft");
    // Outputs are tried before anything runs: nothing is printed first.
    const Outcome unwritable = Run(Tx() + " --json /nonexistent/folder/r.json");
    ExpectOneErrorLine(unwritable, 2, "--json /nonexistent/folder/r.json: no such folder");
    EXPECT_TRUE(unwritable.out.empty()) << unwritable.out;
    // A receiver that refuses AMI_Init is bad input to the link run.
    const Outcome failing = Run(Tx() + Rx() + " --rx-param fail_init=True");
    ExpectOneErrorLine(failing, 2, "Rx AMI_Init failed (returned 0)");
    EXPECT_NE(failing.out.find("Rx model message ctle_dfe_rx: refusing to start"), std::string::npos);
}

TEST_F(LinkCommand, BareLibrariesWarnThatTheirRootIsGuessed) {
    Outcome outcome = Run(std::string(AMISIM_PASSTHROUGH_MODEL) + " --bits 200");
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.err.find("warning: Tx has no .ami file: the parameter string's root, amisim_passthrough_model, "
                               "is guessed from the file name (--root names it)"),
              std::string::npos)
        << outcome.err;
    outcome = Run(Tx() + " --bits 200 --param gain=2");
    EXPECT_TRUE(outcome.err.empty()) << outcome.err;
    EXPECT_NE(outcome.out.find("parameters    (passthrough (gain 2))"), std::string::npos) << outcome.out;
}

}  // namespace
