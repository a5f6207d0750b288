// Jitter, noise and Ignore_Bits a model declares Usage Out: the values its
// AMI_Init returns replace what its .ami file wrote, never what the
// command line gave, in every written form; a declared value the model
// never returns is warned of; and the flows run with what was returned.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/channel/channel.h"
#include "tools/amisim/flows/ami_impairments.h"
#include "tools/amisim/flows/link_run.h"
#include "tools/amisim/models/ami_file.h"
#include "tools/amisim/models/link_model.h"
#include "tools/amisim/models/model_flow.h"

namespace amisim {
namespace {

AmiFile File(const std::string& reserved) {
    return ParseAmiText("(m (Reserved_Parameters (GetWave_Exists (Usage Info) (Type Boolean) (Default True))" +
                            reserved + ") (Model_Specific))",
                        "m.ami");
}

// The file's values, then what the model returned.
ImpairmentSettings Returned(const AmiFile& file, const std::string& parameters_out, bool receiver,
                            std::vector<std::string>* warnings = nullptr, ImpairmentSettings settings = {}) {
    ReadAmiImpairments(file, "m.ami", receiver, settings);
    const std::vector<std::string> said = ReadReturnedImpairments(file, parameters_out, "the model's output", receiver,
                                                                  settings);
    if (warnings != nullptr) *warnings = said;
    return settings;
}

TEST(ReturnedImpairments, AReturnedValueReplacesTheFilesButNotTheCommandLines) {
    const AmiFile file = File(
        "(Tx_Jitter (Usage Out) (Type Float) (Format Gaussian 0 1e-12))"
        "(Tx_Rj (Usage Out) (Type Float) (Default 1e-12))"
        "(Tx_DCD (Usage Out) (Type Float))"
        "(Tx_Sj (Usage Info) (Type Float) (Value 1e-12))");
    std::vector<std::string> warnings;
    // Tx_Sj is Info: what the model says of it is not asked for.
    ImpairmentSettings settings = Returned(
        file, "(m (Tx_Sj 9e-12) (Tx_Jitter (Dual-Dirac -3e-12 3e-12 0)) (Tx_Rj 2e-12))", false, &warnings);
    EXPECT_DOUBLE_EQ(settings.values.at("tx_rj").value, 2e-12);
    EXPECT_EQ(settings.values.at("tx_rj").from, "Tx_Rj in the model's output");
    ASSERT_TRUE(settings.tx_points);
    EXPECT_EQ(settings.tx_points->format, "Dual-Dirac");
    EXPECT_DOUBLE_EQ(settings.tx_points->rows[1].first, 3e-12);
    EXPECT_DOUBLE_EQ(settings.values.at("tx_sj").value, 1e-12);
    EXPECT_EQ(settings.values.count("tx_dcd"), 0u);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0], "Tx_DCD is declared Usage Out but is not in the model's output after AMI_Init; it is left out");

    // The command line's Rj stands, and with it the file's description goes.
    ImpairmentSettings cli;
    cli.values["tx_rj"] = ParseTimeText("0.5ps", "--tx-rj");
    settings = Returned(file, "(m (Tx_Jitter (Dual-Dirac -3e-12 3e-12 0)) (Tx_Rj 2e-12))", false, nullptr, cli);
    EXPECT_DOUBLE_EQ(settings.values.at("tx_rj").value, 0.5e-12);
    EXPECT_EQ(settings.values.at("tx_rj").from, "--tx-rj");
    EXPECT_FALSE(settings.tx_points);
}

TEST(ReturnedImpairments, EveryWrittenFormOfAReturnedPdfIsRead) {
    const AmiFile file = File(
        "(Rx_Clock_PDF (Usage Out) (Type UI) (Format Gaussian 0 0))"
        "(Rx_Noise (Usage InOut) (Type Float) (Default 0.001))");
    // Bare numbers in the declared Format; the format named first; a table.
    ImpairmentSettings bare = Returned(file, "(m (Rx_Clock_PDF 0.01 0.02) (Rx_Noise 0.004))", true);
    EXPECT_DOUBLE_EQ(bare.values.at("rx_rj").value, 0.02);
    EXPECT_EQ(bare.values.at("rx_rj").unit, Unit::kUnitIntervals);
    EXPECT_DOUBLE_EQ(bare.values.at("rx_mean").value, 0.01);
    EXPECT_DOUBLE_EQ(bare.values.at("rx_noise").value, 0.004);
    const ImpairmentSettings named = Returned(file, "(m (nested (Rx_Clock_PDF DjRj -0.05 0.05 0.01)))", true);
    EXPECT_DOUBLE_EQ(named.values.at("rx_dj").value, 0.05);
    EXPECT_DOUBLE_EQ(named.values.at("rx_rj").value, 0.01);
    EXPECT_EQ(named.values.count("rx_mean"), 0u);
    const ImpairmentSettings table =
        Returned(file, "(m (Rx_Clock_PDF (Table (Labels Time Probability) (-0.1 1) (0.1 3))))", true);
    ASSERT_TRUE(table.rx_points);
    ASSERT_EQ(table.rx_points->rows.size(), 2u);
    EXPECT_DOUBLE_EQ(table.rx_points->rows[1].second, 3.0);
    EXPECT_EQ(table.values.count("rx_rj"), 0u);  // the file's Gaussian is replaced whole

    // Not a tree: one warning, the file's values stand. An unusable value
    // is the model's fault.
    std::vector<std::string> warnings;
    const ImpairmentSettings garbled = Returned(file, "(m (Rx_Noise 0.004)", true, &warnings);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("the jitter and noise it returns are not read"), std::string::npos) << warnings[0];
    EXPECT_DOUBLE_EQ(garbled.values.at("rx_noise").value, 0.001);
    try {
        Returned(file, "(m (Rx_Noise loud))", true);
        ADD_FAILURE() << "no error";
    } catch (const AmisimError& e) {
        EXPECT_EQ(e.status(), ExitStatus::kModelFailure);
        EXPECT_EQ(std::string(e.what()), "the model's output: Rx_Noise: 'loud' is not a number");
    }
}

TEST(ReturnedImpairments, IgnoreBitsIsTakenFromTheReturnedTextOnlyWhenDeclaredAnOutput) {
    const AmiFile out = File("(Ignore_Bits (Usage Out) (Type Integer))");
    const AmiFile info = File("(Ignore_Bits (Usage Info) (Type Integer) (Value 4))");
    EXPECT_EQ(ReturnedIgnoreBits(&out, "(m (Ignore_Bits 1200))"), 1200);
    EXPECT_EQ(ReturnedIgnoreBits(&out, "(m (deep (Ignore_Bits 7)))"), 7);
    EXPECT_EQ(ReturnedIgnoreBits(&info, "(m (Ignore_Bits 1200))"), std::nullopt);
    for (const char* text : {"", "(m)", "(m (Ignore_Bits 2.5))", "(m (Ignore_Bits -1))", "(m (Ignore_Bits",
                             "(m (Ignore_Bits 1 2))"})
        EXPECT_EQ(ReturnedIgnoreBits(&out, text), std::nullopt) << text;
    // Declared an output without a value: nothing to warn of in the file.
    const ModelFlow flow = ResolveModelFlow(&out, true, "Tx", "m.so");
    EXPECT_EQ(flow.ignore_bits.from, "returned by AMI_Init");
    for (const std::string& warning : flow.warnings) EXPECT_EQ(warning.find("Ignore_Bits"), std::string::npos) << warning;
}

// Through a whole link: the pass-through model returns Tx and Rx jitter
// and Rx noise from AMI_Init, and the statistical eye closes by them.
TEST(ReturnedImpairments, TheFlowsRunWithWhatTheModelsReturned) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("amisim_returned_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto ami = [&](const std::string& name, const std::string& reserved) {
        const std::string path = (folder / name).string();
        std::ofstream(path) << "(passthrough (Reserved_Parameters "
                               "(Init_Returns_Impulse (Usage Info) (Type Boolean) (Default False)) "
                               "(GetWave_Exists (Usage Info) (Type Boolean) (Default True)) "
                            << reserved
                            << ") (Model_Specific (return_jitter (Usage In) (Type Boolean) (Default True))))\n";
        return path;
    };
    const std::string tx_ami = ami("tx.ami", "(Tx_Jitter (Usage Out) (Type Float) (Format Gaussian 0 0)) "
                                             "(Tx_Rj (Usage Out) (Type Float)) (Ignore_Bits (Usage Out) (Type Integer))");
    const std::string rx_ami = ami("rx.ami", "(Rx_Clock_PDF (Usage Out) (Type UI) (Format Gaussian 0 0)) "
                                             "(Rx_Noise (Usage Out) (Type Float)) "
                                             "(Rx_Receiver_Sensitivity (Usage Out) (Type Float))");
    LinkSettings settings;
    settings.bits = 1000;
    settings.samples_per_bit = 8;
    settings.hosting.in_process = true;
    Channel line;
    line.name = line.description = "low pass";
    double tap = 0.3;
    for (int n = 0; n < 60; ++n, tap *= 0.7) line.taps.push_back(tap);
    const auto run = [&](const std::vector<std::string>& params, std::vector<std::string>& warnings) {
        const LinkModel tx = LoadLinkModel({"Tx", AMISIM_PASSTHROUGH_MODEL, tx_ami, "", "", params});
        const LinkModel rx = LoadLinkModel({"Rx", AMISIM_PASSTHROUGH_MODEL, rx_ami, "", "", params});
        return RunLink(tx, &rx, line, settings, {}, {}, [&](const std::string& text) {
            if (text.rfind("warning: ", 0) == 0) warnings.push_back(text);
        });
    };
    std::vector<std::string> warnings, quiet;
    const LinkRun returned = run({}, warnings);
    const LinkRun silent = run({"return_jitter=False"}, quiet);
    std::filesystem::remove_all(folder);

    EXPECT_DOUBLE_EQ(returned.impairment_settings.values.at("tx_rj").value, 2e-12);
    EXPECT_EQ(returned.impairment_settings.values.at("tx_rj").from, "Tx_Rj in the Tx model's AMI_parameters_out");
    EXPECT_DOUBLE_EQ(returned.impairments.noise_sigma, 0.004);
    EXPECT_FALSE(returned.impairments.rx.empty());
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0],
              "warning: Rx_Receiver_Sensitivity is declared Usage Out but is not in the Rx model's "
              "AMI_parameters_out after AMI_Init; it is left out");
    // 300 bits as the Tx returned them, and the channel's 8.
    EXPECT_EQ(returned.skip_bits, 308u);
    EXPECT_EQ(returned.skip_reason, "Ignore_Bits as the Tx's AMI_Init returned it and the channel's length");
    EXPECT_EQ(silent.skip_reason, "the impulse length and the channel's length");
    EXPECT_TRUE(silent.impairments.tx.empty());
    EXPECT_EQ(silent.impairments.noise_sigma, 0.0);
    EXPECT_LT(returned.statistical.eye_width, silent.statistical.eye_width - 0.05);
    EXPECT_LT(returned.statistical.eye_height, silent.statistical.eye_height);
}

}  // namespace
}  // namespace amisim
