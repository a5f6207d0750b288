// The receiver's noise written as a distribution (Rx_Noise in the
// jitter's formats): each form read into its parts, the parts as the
// statistical eye's kernel and as the time-domain sampler's draws, and a
// whole link whose eye closes by the amount the distribution gives in
// closed form.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "amisim/command_fixture.h"
#include "tools/amisim/amisim_error.h"
#include "tools/amisim/eye/jitter_pdf.h"
#include "tools/amisim/eye/stat_eye.h"
#include "tools/amisim/flows/ami_impairments.h"
#include "tools/amisim/flows/impairments.h"
#include "tools/amisim/flows/noise_source.h"
#include "tools/amisim/models/ami_file.h"
#include "amisim/closed_forms.h"

namespace amisim {
namespace {

using amisim_test::Q;

constexpr double kBitTime = 100e-12;

AmiFile File(const std::string& reserved) {
    return ParseAmiText("(m (Reserved_Parameters (GetWave_Exists (Usage Info) (Type Boolean) (Default True))" +
                            reserved + ") (Model_Specific))",
                        "m.ami");
}

ImpairmentSettings ReadRx(const std::string& noise, ImpairmentSettings settings = {}) {
    ReadAmiImpairments(File(noise), "m.ami", true, settings);
    return settings;
}

// Mean and variance of the whole noise, from the resolved parts.
struct Moments {
    double mean = 0.0, variance = 0.0;
};
Moments MomentsOf(const Impairments& resolved) {
    Moments m;
    m.variance = resolved.noise_sigma * resolved.noise_sigma + resolved.noise_uniform * resolved.noise_uniform / 3.0;
    for (const JitterComponent& part : resolved.noise_parts) {
        if (part.kind == JitterComponent::Kind::kGaussian) m.variance += part.size * part.size;
        if (part.kind == JitterComponent::Kind::kUniform) m.variance += part.size * part.size / 3.0;
        double mean = 0.0, square = 0.0;
        for (const auto& [v, p] : part.points) {
            mean += v * p;
            square += v * v * p;
        }
        m.mean += mean;
        m.variance += square - mean * mean;
    }
    return m;
}

TEST(NoiseDistribution, EveryWrittenFormIsReadIntoItsParts) {
    const ImpairmentSettings gaussian = ReadRx("(Rx_Noise (Usage Info) (Type Float) (Format Gaussian 0.002 0.01))");
    EXPECT_DOUBLE_EQ(gaussian.values.at("rx_noise").value, 0.01);
    EXPECT_EQ(gaussian.values.at("rx_noise").unit, Unit::kVolts);
    EXPECT_DOUBLE_EQ(gaussian.values.at("rx_noise_mean").value, 0.002);
    Moments m = MomentsOf(ResolveImpairments(gaussian, kBitTime));
    EXPECT_DOUBLE_EQ(m.mean, 0.002);
    EXPECT_NEAR(m.variance, 1e-4, 1e-15);

    const ImpairmentSettings dual = ReadRx("(Rx_Noise (Usage Info) (Type Float) (Format Dual-Dirac 0.01 0.03 0.005))");
    ASSERT_TRUE(dual.rx_noise_points);
    EXPECT_EQ(dual.rx_noise_points->format, "Dual-Dirac");
    EXPECT_DOUBLE_EQ(dual.rx_noise_points->rows[0].first, 0.01);
    EXPECT_DOUBLE_EQ(dual.rx_noise_points->rows[1].first, 0.03);
    EXPECT_DOUBLE_EQ(dual.values.at("rx_noise").value, 0.005);
    const Impairments dual_resolved = ResolveImpairments(dual, kBitTime);
    m = MomentsOf(dual_resolved);
    EXPECT_NEAR(m.mean, 0.02, 1e-15);
    EXPECT_NEAR(m.variance, 0.01 * 0.01 + 0.005 * 0.005, 1e-15);
    EXPECT_TRUE(dual_resolved.HasNoise());

    const ImpairmentSettings djrj = ReadRx("(Rx_Noise (Usage Info) (Type Float) (Format DjRj -0.01 0.03 0.002))");
    EXPECT_DOUBLE_EQ(djrj.values.at("rx_noise_dj").value, 0.02);
    EXPECT_DOUBLE_EQ(djrj.values.at("rx_noise_mean").value, 0.01);
    m = MomentsOf(ResolveImpairments(djrj, kBitTime));
    EXPECT_NEAR(m.mean, 0.01, 1e-15);
    EXPECT_NEAR(m.variance, 0.02 * 0.02 / 3.0 + 0.002 * 0.002, 1e-15);

    for (const char* rows : {"(Labels Row_No Value Probability) (1 -0.02 1) (2 0 2) (3 0.02 1)",
                             "(-0.02 0.25) (0 0.5) (0.02 0.25)"}) {
        const ImpairmentSettings table =
            ReadRx(std::string("(Rx_Noise (Usage Info) (Type Float) (Format Table ") + rows + "))");
        ASSERT_TRUE(table.rx_noise_points) << rows;
        EXPECT_EQ(table.rx_noise_points->rows.size(), 3u);
        m = MomentsOf(ResolveImpairments(table, kBitTime));
        EXPECT_NEAR(m.mean, 0.0, 1e-15) << rows;
        EXPECT_NEAR(m.variance, 0.5 * 0.02 * 0.02, 1e-15) << rows;
    }
    // The plain forms stay a sigma.
    const ImpairmentSettings plain = ReadRx("(Rx_Noise (Usage Info) (Type Float) (Value 0.004))");
    EXPECT_DOUBLE_EQ(ResolveImpairments(plain, kBitTime).noise_sigma, 0.004);
    EXPECT_TRUE(ResolveImpairments(plain, kBitTime).noise_parts.empty());
    EXPECT_NE(DescribeImpairments(dual, kBitTime).find("Rx noise Dual-Dirac of 2 points [Rx_Noise in m.ami]"),
              std::string::npos)
        << DescribeImpairments(dual, kBitTime);
}

TEST(NoiseDistribution, TheCommandLineOrTheModelsReturnReplacesTheFilesWhole) {
    ImpairmentSettings cli;
    cli.values["rx_noise"] = ParseVoltageText("3mV", "--rx-noise");
    const ImpairmentSettings overridden =
        ReadRx("(Rx_Noise (Usage Info) (Type Float) (Format Dual-Dirac 0.01 0.03 0.005))", cli);
    EXPECT_FALSE(overridden.rx_noise_points);
    EXPECT_EQ(overridden.values.count("rx_noise_mean"), 0u);
    EXPECT_DOUBLE_EQ(overridden.values.at("rx_noise").value, 3e-3);

    const AmiFile file = File("(Rx_Noise (Usage InOut) (Type Float) (Format DjRj -0.01 0.03 0.002))");
    ImpairmentSettings settings;
    ReadAmiImpairments(file, "m.ami", true, settings);
    ReadReturnedImpairments(file, "(m (Rx_Noise (Gaussian 0 0.007)))", "the model's output", true, settings);
    EXPECT_EQ(settings.values.count("rx_noise_dj"), 0u);
    EXPECT_EQ(settings.values.count("rx_noise_mean"), 0u);
    EXPECT_DOUBLE_EQ(settings.values.at("rx_noise").value, 0.007);
    EXPECT_EQ(settings.values.at("rx_noise").from, "Rx_Noise in the model's output");
}

TEST(NoiseDistribution, WhatCannotBeADistributionIsRefusedNamingIt) {
    for (const char* bad : {"(Format Dual-Dirac 0 0.01 -0.001)", "(Format DjRj 0.02 0.01 0.001)",
                            "(Format Gaussian 0 -0.01)", "(Format Gaussian 0.01)", "(Format Table (Labels V P))",
                            "(Format Table (0.01 -1))", "(Format Lorentz 0 0.01)"}) {
        try {
            ReadRx(std::string("(Rx_Noise (Usage Info) (Type Float) ") + bad + ")");
            ADD_FAILURE() << bad;
        } catch (const AmisimError& e) {
            EXPECT_EQ(e.status(), ExitStatus::kUsageOrFile);
            EXPECT_EQ(std::string(e.what()).rfind("m.ami: Rx_Noise: ", 0), 0u) << e.what();
        }
    }
}

TEST(NoiseDistribution, TheKernelAndTheDrawsHaveTheDistributionsMoments) {
    ImpairmentSettings settings = ReadRx("(Rx_Noise (Usage Info) (Type Float) (Format Dual-Dirac 0.01 0.03 0.005))");
    settings.values["rx_uniform_noise"] = ParseVoltageText("4mV", "--rx-uniform-noise");
    const Impairments noise = ResolveImpairments(settings, kBitTime);
    const Moments expected = MomentsOf(noise);
    const double bin = 1e-4;
    std::size_t centre = 0;
    const std::vector<double> kernel =
        NoiseKernel(noise.noise_sigma, noise.noise_uniform, bin, centre, noise.noise_parts);
    double total = 0.0, mean = 0.0, square = 0.0;
    for (std::size_t i = 0; i < kernel.size(); ++i) {
        const double v = (static_cast<double>(i) - static_cast<double>(centre)) * bin;
        total += kernel[i];
        mean += kernel[i] * v;
        square += kernel[i] * v * v;
    }
    EXPECT_NEAR(total, 1.0, 1e-12);
    EXPECT_NEAR(mean, expected.mean, 1e-9);
    // Binning adds a twelfth of a bin squared for each part.
    EXPECT_NEAR(square - mean * mean, expected.variance, 4.0 * bin * bin / 12.0);

    NoiseSource source(noise, 5);
    std::vector<double> draws(200000, 0.0);
    source.Add(draws.data(), draws.size());
    const double drawn_mean = std::accumulate(draws.begin(), draws.end(), 0.0) / static_cast<double>(draws.size());
    double drawn_square = 0.0;
    std::size_t upper = 0;
    for (double d : draws) {
        drawn_square += (d - drawn_mean) * (d - drawn_mean);
        upper += d > 0.02 ? 1 : 0;
    }
    EXPECT_NEAR(drawn_mean, expected.mean, 5.0 * std::sqrt(expected.variance / 2e5));
    EXPECT_NEAR(drawn_square / static_cast<double>(draws.size()), expected.variance, 0.01 * expected.variance);
    EXPECT_NEAR(static_cast<double>(upper) / static_cast<double>(draws.size()), 0.5, 0.01);  // either Dirac
}

// A mean moves every sample alike: the eye keeps its height and moves.
TEST(NoiseDistribution, AMeanShiftsTheStatisticalEyeWithoutClosingIt) {
    constexpr int kPerBit = 32;
    StatEyeSettings settings;
    settings.samples_per_bit = kPerBit;
    const StatisticalEye clean = ComputeStatisticalEye(PulseResponse({1.0}, kPerBit), settings);
    JitterComponent mean;
    mean.kind = JitterComponent::Kind::kPoints;
    mean.points = {{0.1, 1.0}};
    settings.impairments.noise_parts = {mean};
    const StatisticalEye shifted = ComputeStatisticalEye(PulseResponse({1.0}, kPerBit), settings);
    EXPECT_NEAR(shifted.eye_height, clean.eye_height, 2e-3);
    const std::size_t best = static_cast<std::size_t>(shifted.best_phase);
    EXPECT_NEAR(shifted.upper[best], clean.upper[static_cast<std::size_t>(clean.best_phase)] + 0.1, 2e-3);
    EXPECT_NEAR(shifted.lower[best], clean.lower[static_cast<std::size_t>(clean.best_phase)] + 0.1, 2e-3);
}

class NoiseCommand : public amisim_test::CommandFolder {
protected:
    NoiseCommand() : CommandFolder("amisim_noise_") {}

    nlohmann::json RunWithRxNoise(const std::string& format) {
        std::ofstream(Path("rx.ami")) << "(passthrough (Reserved_Parameters\n"
                                         " (Init_Returns_Impulse (Usage Info) (Type Boolean) (Default False))\n"
                                         " (GetWave_Exists (Usage Info) (Type Boolean) (Default True))\n"
                                         " (Rx_Noise (Usage Info) (Type Float) (Format "
                                      << format << ")))\n (Model_Specific))\n";
        const amisim_test::Outcome outcome =
            Run(std::string(AMISIM_PASSTHROUGH_MODEL) + " --root passthrough --rx " + AMISIM_PASSTHROUGH_MODEL +
                " --rx-ami " + Path("rx.ami") + " --bits 4000 --samples-per-bit 8 --ber 1e-12 --json " + Path("r.json"));
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        return nlohmann::json::parse(Read(folder_ / "r.json"));
    }
};

// The ideal link's ones at +0.5 V, each moved to one of two Diracs (at
// 0.02 -+ 0.05 V) and spread by a Gaussian: the eye's upper edge at BER
// b lies where 0.5 Q((0.5 - a - v) / s) + 0.5 Q((0.5 + a - v) / s) = b.
TEST_F(NoiseCommand, ADualDiracNoiseClosesTheStatisticalEyeByItsClosedFormAmount) {
    const double offset = 0.05, sigma = 0.01, ber = 1e-12;
    double low = 0.0, high = 0.5;
    for (int i = 0; i < 200; ++i) {
        const double v = 0.5 * (low + high);
        const double below = 0.5 * Q((0.5 - offset - v) / sigma) + 0.5 * Q((0.5 + offset - v) / sigma);
        (below > ber ? high : low) = v;
    }
    const double expected = 2.0 * low;
    const auto json = RunWithRxNoise("Dual-Dirac -0.03 0.07 0.01");
    EXPECT_NEAR(json["statistical"]["eye_height"].get<double>(), expected, 2e-3);
    EXPECT_EQ(json["impairments"]["rx_noise_pdf"]["format"], "Dual-Dirac");
    EXPECT_DOUBLE_EQ(json["impairments"]["rx_noise_pdf"]["volts"][1].get<double>(), 0.07);
    EXPECT_DOUBLE_EQ(json["impairments"]["rx_noise"]["volts"].get<double>(), 0.01);
    // In the time domain every sample moves by one Dirac or the other: the
    // levels by the mean, the eye by twice the offset and the Gaussian's tails.
    const auto& td = json["time_domain"];
    EXPECT_NEAR(td["level_high"].get<double>(), 0.52, 0.005);
    EXPECT_NEAR(td["level_low"].get<double>(), -0.48, 0.005);
    EXPECT_LT(td["eye_height_best"].get<double>(), 1.0 - 2.0 * offset);
    EXPECT_GT(td["eye_height_best"].get<double>(), expected);
}

}  // namespace
}  // namespace amisim
