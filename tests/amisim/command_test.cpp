// The amisim command end to end: what it prints, the files it writes and
// the exit status of each kind of failure.

#include <gtest/gtest.h>

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

class Command : public amisim_test::CommandFolder {
protected:
    Command() : CommandFolder("amisim_command_") {}
};

// Every failure is one line on standard error.
void ExpectOneErrorLine(const Outcome& outcome, const std::string& part) {
    EXPECT_NE(outcome.err.find(part), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
    EXPECT_EQ(outcome.err.rfind("amisim: ", 0), 0u) << outcome.err;
}

TEST_F(Command, UsageAndFileErrorsExitWithTwo) {
    Outcome outcome = Run("--prbs 9 model.so");
    EXPECT_EQ(outcome.status, 2);
    ExpectOneErrorLine(outcome, "--prbs");

    outcome = Run("");
    EXPECT_EQ(outcome.status, 2);
    ExpectOneErrorLine(outcome, "MODEL is required");

    outcome = Run((folder_ / "missing.ibs").string());
    EXPECT_EQ(outcome.status, 2);
    ExpectOneErrorLine(outcome, "cannot open the .ibs file");

    outcome = Run((folder_ / "missing.so").string());
    EXPECT_EQ(outcome.status, 2);
    ExpectOneErrorLine(outcome, "no such model library");

    std::ofstream(folder_ / "windows.ibs")
        << "[Model] m\n[Algorithmic Model]\nExecutable Windows_VisualStudio_64 m.dll m.ami\n"
           "[End Algorithmic Model]\n";
    outcome = Run((folder_ / "windows.ibs").string());
    EXPECT_EQ(outcome.status, 2);
    ExpectOneErrorLine(outcome, "no Executable for Linux 64-bit");
}

TEST_F(Command, ModelFailuresExitWithOne) {
    Outcome outcome = Run(std::string(AMISIM_PASSTHROUGH_MODEL) + " --root passthrough --param fail_init=1");
    EXPECT_EQ(outcome.status, 1);
    ExpectOneErrorLine(outcome, "AMI_Init failed (returned 0)");
    // The model's own explanation comes first, on standard output.
    EXPECT_NE(outcome.out.find("model message passthrough model"), std::string::npos);

    outcome = Run(std::string(KORVAN_SOURCE_DIR "/package/korvan_tx.ami") + " --bits 100");
    EXPECT_EQ(outcome.status, 1);
    ExpectOneErrorLine(outcome, "cannot load the model library");
}

TEST_F(Command, PassThroughRunGivesAFullEyeAndItsFiles) {
    const fs::path csv = folder_ / "wave.csv";
    const fs::path svg = folder_ / "eye.svg";
    const Outcome outcome = Run(std::string(AMISIM_PASSTHROUGH_MODEL) +
                                " --bits 300 --samples-per-bit 8 --csv " + csv.string() +
                                " --eye " + svg.string());
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.out.find("eye height    1.0000 V"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("eye width     1.000 UI at 0 V"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("first 16 skipped: the impulse length"), std::string::npos);
    const std::string table = Read(csv);
    EXPECT_EQ(table.rfind("time,input,output\n0,-0.5,-0.5\n", 0), 0u) << table.substr(0, 80);
    EXPECT_EQ(static_cast<std::size_t>(std::count(table.begin(), table.end(), '\n')), 300u * 8 + 1);
    EXPECT_NE(Read(svg).find("</svg>"), std::string::npos);
}

#ifdef AMISIM_HAVE_KORVAN_TX
TEST_F(Command, ThePackageRunsWithItsDefaultsAndFailsOutsideTheTables) {
    const std::string ibs = AMISIM_PACKAGE_DIR "/korvan_tx.ibs";
    Outcome outcome = Run(ibs + " --bits 1000");
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.out.find("(korvan_tx (emphasis 0) (Vreg 2) (corner 2))"), std::string::npos);
    EXPECT_NE(outcome.out.find("model message (none)"), std::string::npos);
    EXPECT_NE(outcome.out.find("first 7 skipped: Ignore_Bits"), std::string::npos);
    EXPECT_TRUE(outcome.err.empty()) << outcome.err;

    // Vreg 3 has no driver response: the model fails its first sample.
    outcome = Run(ibs + " --bits 100 --param Vreg=3");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("warning: parameter Vreg=3 lies outside its Range 0 to 2"),
              std::string::npos);
    EXPECT_NE(outcome.err.find("amisim: AMI_GetWave failed (returned 0) on samples 0 to"),
              std::string::npos)
        << outcome.err;
}
#endif

}  // namespace
