// The flow each model takes, as the command reports it and refuses it.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>

#include "tests/amisim/command_fixture.h"

namespace {

using amisim_test::Outcome;

class FlowCommand : public amisim_test::CommandFolder {
protected:
    FlowCommand() : CommandFolder("amisim_flow_") {}

    std::string Ami(const std::string& name, const std::string& reserved) {
        std::ofstream(Path(name)) << "(ffe | written as models in the field write it\n (Reserved_Parameters "
                                  << reserved << ")\n (Model_Specific (main (Usage In) (Type Float) (Value 0.7))))\n";
        return Path(name);
    }
};

TEST_F(FlowCommand, SummaryAndJsonSayWhereEachValueCameFrom) {
    const std::string tx_ami = Ami("tx.ami",
                                   "(Init_Returns_Impulse (Usage Info) (Type Boolean) (Format Value True))"
                                   " (GetWave_Exists (Usage Info) (Type Boolean) (Value False)) (Ignore_Bits 3)"
                                   " (Max_Init_Aggressors (Usage Info) (Type Integer) (Range 2 0 4))"
                                   " (Use_Init_Output (Usage Info) (Type Boolean) (Default False))"
                                   " (Supporting_Files (Usage Info) (Type String) (Table (\"PCIeG5_32GT.ens\")))");
    const std::string rx_ami = Ami("rx.ami",
                                   "(Init_Returns_Impulse (Usage Info) (Type Boolean) (Default True))"
                                   " (GetWave_Exists (Usage Info) (Type Boolean) (Default False))");
    const Outcome outcome = Run(std::string(AMISIM_FFE_INIT_ONLY) + " --ami " + tx_ami + " --rx " +
                                AMISIM_FFE_INIT_ONLY + " --rx-ami " + rx_ami + " --bits 600 --json " +
                                Path("r.json"));
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_TRUE(outcome.err.empty()) << outcome.err;
    EXPECT_NE(outcome.out.find("  Tx flow       Init_Returns_Impulse True (Format Value), GetWave_Exists False "
                               "(Value), Ignore_Bits 3 (short form), Max_Init_Aggressors 2 (Range), "
                               "Use_Init_Output False (Default)\n"
                               "  Tx rules      statistical: the impulse its AMI_Init returned; time domain: the "
                               "stimulus through the Tx-and-channel impulse its AMI_Init returned\n"),
              std::string::npos)
        << outcome.out;
    EXPECT_NE(outcome.out.find("  Rx rules      statistical: the impulse its AMI_Init returned; time domain: its "
                               "AMI_Init's output over its input (residual "),
              std::string::npos)
        << outcome.out;

    const auto json = nlohmann::json::parse(Read(folder_ / "r.json"));
    const auto& tx = json["flow"]["tx"];
    EXPECT_EQ(tx["Init_Returns_Impulse"]["value"], true);
    EXPECT_EQ(tx["Init_Returns_Impulse"]["from"], "Format Value");
    EXPECT_EQ(tx["GetWave_Exists"]["from"], "Value");
    EXPECT_EQ(tx["Ignore_Bits"]["value"], 3);
    EXPECT_EQ(tx["Max_Init_Aggressors"]["value"], 2);
    EXPECT_EQ(tx["Use_Init_Output"]["value"], false);
    EXPECT_EQ(tx["exports_AMI_GetWave"], false);
    const auto& rx = json["flow"]["rx"];
    EXPECT_EQ(rx["GetWave_Exists"]["from"], "Default");
    EXPECT_LT(rx["init_response_residual"].get<double>(), 1e-6);
    EXPECT_TRUE(rx["Max_Init_Aggressors"]["value"].is_null());
    EXPECT_EQ(rx["Max_Init_Aggressors"]["from"], "missing");
    // The two Init-only FFEs in a row equalise twice: the eye is still open.
    EXPECT_GT(json["statistical"]["eye_height"].get<double>(), 0.0);
}

TEST_F(FlowCommand, ContradictionsGetOneLineAndExitTwo) {
    const auto expect_refusal = [](const Outcome& outcome, const std::string& part) {
        EXPECT_EQ(outcome.status, 2) << outcome.err;
        EXPECT_NE(outcome.err.find(part), std::string::npos) << outcome.err;
        EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
        EXPECT_TRUE(outcome.out.empty()) << outcome.out;
    };
    const std::string says_getwave = Ami("yes.ami", "(Init_Returns_Impulse True) (GetWave_Exists True)");
    expect_refusal(Run(std::string(AMISIM_FFE_INIT_ONLY) + " --ami " + says_getwave),
                   "declares GetWave_Exists True, but the library exports no AMI_GetWave");
    const std::string says_none = Ami("no.ami", "(Init_Returns_Impulse True) (GetWave_Exists False)");
    expect_refusal(Run(std::string(AMISIM_PASSTHROUGH_MODEL) + " --root p --rx " + AMISIM_FFE_BOTH + " --rx-ami " +
                       says_none),
                   "declares GetWave_Exists False, but the library exports AMI_GetWave");
}

}  // namespace
