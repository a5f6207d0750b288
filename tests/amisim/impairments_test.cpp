// Jitter and noise as written: units on the command line, the reserved
// parameters of .ami files in their formats, which source wins, and the
// refusals of what cannot be read.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tools/amisim/amisim_error.h"
#include "tools/amisim/flows/ami_impairments.h"
#include "tools/amisim/flows/impairments.h"
#include "tools/amisim/flows/jitter_source.h"
#include "tools/amisim/models/ami_file.h"
#include "tools/amisim/reports/progress.h"

namespace amisim {
namespace {

constexpr double kBitTime = 100e-12;

TEST(ImpairmentUnits, TimesVoltagesAndFrequenciesWithTheirSuffixes) {
    EXPECT_DOUBLE_EQ(ParseTimeText("1.5ps", "--tx-rj").value, 1.5e-12);
    EXPECT_DOUBLE_EQ(ParseTimeText("300fs", "--tx-rj").value, 300e-15);
    EXPECT_DOUBLE_EQ(ParseTimeText("2e-12", "--tx-rj").value, 2e-12);
    EXPECT_DOUBLE_EQ(ParseTimeText("2e-12s", "--tx-rj").value, 2e-12);
    const Setting ui = ParseTimeText("0.02UI", "--tx-rj");
    EXPECT_EQ(ui.unit, Unit::kUnitIntervals);
    EXPECT_DOUBLE_EQ(ui.value, 0.02);
    EXPECT_EQ(ParseTimeText("1.5ps", "--tx-rj").unit, Unit::kSeconds);
    EXPECT_DOUBLE_EQ(ParseVoltageText("5mV", "--rx-noise").value, 5e-3);
    EXPECT_DOUBLE_EQ(ParseVoltageText("0.005V", "--rx-noise").value, 5e-3);
    EXPECT_DOUBLE_EQ(ParseFrequencyText("10MHz", "--tx-sj-frequency").value, 1e7);
    EXPECT_DOUBLE_EQ(ParseFrequencyText("2.5e6", "--tx-sj-frequency").value, 2.5e6);
}

TEST(ImpairmentUnits, WhatDoesNotParseIsAUsageErrorNamingTheOption) {
    for (const char* text : {"1.5parsec", "ps", "", "fast", "1ps2", "inf", "nan", "0x10"}) {
        try {
            ParseTimeText(text, "--tx-rj");
            ADD_FAILURE() << text;
        } catch (const AmisimError& e) {
            EXPECT_EQ(e.status(), ExitStatus::kUsageOrFile);
            EXPECT_NE(std::string(e.what()).find("--tx-rj"), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(ParseTimeText("-1ps", "--tx-rj"), AmisimError);
    EXPECT_THROW(ParseVoltageText("5mA", "--rx-noise"), AmisimError);
    EXPECT_THROW(ParseVoltageText("-5mV", "--rx-noise"), AmisimError);
    EXPECT_THROW(ParseFrequencyText("10 furlongs", "--tx-sj-frequency"), AmisimError);
}

ImpairmentSettings Read(const std::string& reserved, bool receiver, ImpairmentSettings settings = {}) {
    const AmiFile file = ParseAmiText("(m (Reserved_Parameters (GetWave_Exists (Usage Info) (Type Boolean) (Default True))" +
                                          reserved + ") (Model_Specific))",
                                      "m.ami");
    ReadAmiImpairments(file, "m.ami", receiver, settings);
    return settings;
}

TEST(AmiImpairments, TxJitterFormatsAndTheLaterParametersInEveryForm) {
    const ImpairmentSettings djrj = Read(
        "(Tx_Jitter (Usage Info) (Type Float) (Format DjRj -2e-12 4e-12 1e-12))"
        "(Tx_DCD (Usage Info) (Type UI) (Range 0.01 0 0.02))"
        "(Tx_Sj (Usage Info) (Type Float) (Format Value 3e-12))"
        "(Tx_Sj_Frequency (Usage Info) (Type Float) (Value 1e7))",
        false);
    EXPECT_DOUBLE_EQ(djrj.values.at("tx_dj").value, 3e-12);
    EXPECT_DOUBLE_EQ(djrj.values.at("tx_mean").value, 1e-12);
    EXPECT_DOUBLE_EQ(djrj.values.at("tx_rj").value, 1e-12);
    EXPECT_EQ(djrj.values.at("tx_dcd").unit, Unit::kUnitIntervals);
    EXPECT_DOUBLE_EQ(djrj.values.at("tx_dcd").value, 0.01);
    EXPECT_DOUBLE_EQ(djrj.values.at("tx_sj").value, 3e-12);
    EXPECT_DOUBLE_EQ(djrj.values.at("tx_sj_frequency").value, 1e7);
    EXPECT_EQ(djrj.values.at("tx_rj").from, "Tx_Jitter in m.ami");

    const ImpairmentSettings table = Read(
        "(Tx_Jitter (Usage Info) (Type UI) (Format Table (Labels Row_No Time Probability)"
        " (1 -0.1 0.25) (2 0 0.5) (3 0.1 0.25)))",
        false);
    ASSERT_TRUE(table.tx_points);
    EXPECT_EQ(table.tx_points->rows.size(), 3u);
    EXPECT_EQ(table.tx_points->unit, Unit::kUnitIntervals);
    const Impairments resolved = ResolveImpairments(table, kBitTime);
    ASSERT_EQ(resolved.tx.size(), 1u);
    EXPECT_DOUBLE_EQ(resolved.tx[0].points[2].first, 0.1);

    const ImpairmentSettings dual = Read("(Tx_Jitter (Usage Info) (Type Float) (Format Dual-Dirac -5e-12 5e-12 1e-12))", false);
    ASSERT_TRUE(dual.tx_points);
    EXPECT_EQ(dual.tx_points->format, "Dual-Dirac");
    EXPECT_DOUBLE_EQ(dual.values.at("tx_rj").value, 1e-12);
    // Declared as the model's output, without a value: nothing to use.
    EXPECT_TRUE(Read("(Tx_Rj (Usage Out) (Type Float) (Description \"returned\"))"
                     "(Tx_Jitter (Usage Out) (Type Float) (Description \"returned\"))",
                     false)
                    .Empty());
    // A transmitter's file says nothing about the receiver and the reverse.
    EXPECT_TRUE(Read("(Rx_Noise (Usage Info) (Type Float) (Value 0.01))", false).Empty());
    EXPECT_TRUE(Read("(Tx_Rj (Usage Info) (Type Float) (Value 1e-12))", true).Empty());
}

TEST(AmiImpairments, ReceiverClockNoiseAndSensitivity) {
    const ImpairmentSettings rx = Read(
        "(Rx_Clock_PDF (Usage Info) (Type UI) (Format Gaussian 0.01 0.02))"
        "(Rx_GaussianNoise (Usage Info) (Type Float) (Default 0.004))"
        "(Rx_UniformNoise (Usage Info) (Type Float) (Value 0.002))"
        "(Rx_Receiver_Sensitivity (Usage Info) (Type Float) (Format Corner 0.01 0.005 0.02))"
        "(Rx_Clock_Recovery_Dj (Usage Info) (Type UI) (Value 0.03))",
        true);
    EXPECT_DOUBLE_EQ(rx.values.at("rx_rj").value, 0.02);
    EXPECT_DOUBLE_EQ(rx.values.at("rx_mean").value, 0.01);
    EXPECT_DOUBLE_EQ(rx.values.at("rx_noise").value, 0.004);
    EXPECT_DOUBLE_EQ(rx.values.at("rx_uniform_noise").value, 0.002);
    EXPECT_DOUBLE_EQ(rx.values.at("rx_sensitivity").value, 0.01);
    const Impairments resolved = ResolveImpairments(rx, kBitTime);
    EXPECT_DOUBLE_EQ(resolved.noise_sigma, 0.004);
    EXPECT_DOUBLE_EQ(resolved.sensitivity, 0.01);
    // Rx Rj, the CDR's Dj and the mean: three independent components.
    EXPECT_EQ(resolved.rx.size(), 3u);
}

TEST(AmiImpairments, TheCommandLineWinsAndItsRjReplacesAFilesTable) {
    ImpairmentSettings cli;
    cli.values["tx_rj"] = ParseTimeText("0.5ps", "--tx-rj");
    const ImpairmentSettings settings = Read(
        "(Tx_Jitter (Usage Info) (Type Float) (Format Dual-Dirac -5e-12 5e-12 1e-12))"
        "(Tx_DCD (Usage Info) (Type Float) (Value 1e-12))",
        false, cli);
    EXPECT_DOUBLE_EQ(settings.values.at("tx_rj").value, 0.5e-12);
    EXPECT_EQ(settings.values.at("tx_rj").from, "--tx-rj");
    EXPECT_FALSE(settings.tx_points);
    EXPECT_DOUBLE_EQ(settings.values.at("tx_dcd").value, 1e-12);
    // Seconds become unit intervals at the bit time.
    const Impairments resolved = ResolveImpairments(settings, kBitTime);
    ASSERT_EQ(resolved.tx.size(), 2u);
    EXPECT_DOUBLE_EQ(resolved.tx[0].size, 0.005);
    EXPECT_NE(DescribeImpairments(settings, kBitTime).find("Tx Rj 0.005 UI"), std::string::npos)
        << DescribeImpairments(settings, kBitTime);
}

TEST(AmiImpairments, UnknownFormatsNegativeSigmasAndNonNumbersAreRefused) {
    for (const char* reserved : {
             "(Tx_Jitter (Usage Info) (Type Float) (Format Lorentz 0 1e-12))",
             "(Tx_Jitter (Usage Info) (Type Float) (Format Gaussian 0 -1e-12))",
             "(Tx_Jitter (Usage Info) (Type Float) (Format DjRj 2e-12 -2e-12 1e-12))",
             "(Tx_Jitter (Usage Info) (Type Float) (Format Gaussian 0 fast))",
             "(Tx_Jitter (Usage Info) (Type Float) (Format Table (Labels Time Probability)))",
             "(Tx_Rj (Usage Info) (Type Float) (Value -1e-12))",
             "(Tx_Rj (Usage Info) (Type Float) (Format Gaussian 0 1e-12))",
             "(Tx_Dj (Usage Info) (Type String) (Value 1e-12))",
         }) {
        try {
            Read(reserved, false);
            ADD_FAILURE() << reserved;
        } catch (const AmisimError& e) {
            EXPECT_EQ(e.status(), ExitStatus::kUsageOrFile);
            EXPECT_EQ(std::string(e.what()).rfind("m.ami: Tx_", 0), 0u) << e.what();
        }
    }
}

TEST(ImpairmentDraws, NormalDrawsHaveTheMomentsAndTailsOfAGaussian) {
    Random random(11);
    std::vector<double> values(1 << 20, 0.0);
    random.AddNormal(values.data(), values.size(), 2.0);
    double sum = 0.0, squares = 0.0;
    std::size_t beyond = 0;
    for (double v : values) {
        sum += v;
        squares += v * v;
        beyond += std::abs(v) > 6.0;  // three sigmas: 0.27% of the draws
    }
    const double n = static_cast<double>(values.size());
    EXPECT_NEAR(sum / n, 0.0, 0.01);
    EXPECT_NEAR(squares / n, 4.0, 0.03);
    EXPECT_NEAR(static_cast<double>(beyond) / n, 2.7e-3, 0.3e-3);
    // The same seed, the same draws; the jitter source's too.
    Random again(11);
    std::vector<double> repeated(values.size(), 0.0);
    again.AddNormal(repeated.data(), repeated.size(), 2.0);
    EXPECT_EQ(values, repeated);
    JitterComponent sine;
    sine.kind = JitterComponent::Kind::kSinusoid;
    sine.size = 0.1;
    sine.frequency = 1e6;
    JitterSource source({sine}, 3, 1);
    EXPECT_DOUBLE_EQ(source.Bound(), 0.1);
    for (int k = 0; k < 100; ++k) EXPECT_LE(std::abs(source.Draw(k * 1e-8, true)), 0.1);
}

TEST(ProgressLine, SaysBitsRateAndTimeLeftAndStaysSilentOffATerminal) {
    EXPECT_EQ(ProgressLine::Text(25000000, 100000000, 10.0),
              "amisim: 25000000 of 100000000 bits (25%), 2.5e+06 bits/s, 30 s left");
    EXPECT_EQ(ProgressLine::Text(1000000, 100000000, 1.0).find("1 min 39 s left") != std::string::npos, true);
    std::FILE* sink = std::tmpfile();
    ASSERT_NE(sink, nullptr);
    {
        ProgressLine progress(1000, 16, false, sink);
        progress.Update(16000);
    }
    EXPECT_EQ(std::ftell(sink), 0L);
    std::fclose(sink);
}

}  // namespace
}  // namespace amisim
