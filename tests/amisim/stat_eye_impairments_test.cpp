// The statistical eye with jitter and noise, against what they must give on
// an ideal channel, where the answers are known in closed form; and the
// jitter densities they are built from.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "tools/amisim/eye/jitter_pdf.h"
#include "tools/amisim/eye/stat_eye.h"
#include "amisim/closed_forms.h"

namespace amisim {
namespace {

using amisim_test::Q;
using amisim_test::InverseQ;
using amisim_test::Component;

constexpr int kPerBit = 32;

StatisticalEye IdealEye(const Impairments& impairments, double ber) {
    StatEyeSettings settings;
    settings.samples_per_bit = kPerBit;
    settings.ber = ber;
    settings.impairments = impairments;
    return ComputeStatisticalEye(PulseResponse({1.0}, kPerBit), settings);
}

TEST(StatEyeNoise, HeightIsTheNoiselessOneLessTwoQInverseSigmas) {
    Impairments noise;
    noise.noise_sigma = 0.02;
    const double noiseless = IdealEye({}, 1e-12).eye_height;
    EXPECT_NEAR(noiseless, 1.0, 1e-3);
    for (double ber : {1e-6, 1e-12, 1e-15}) {
        const double expected = noiseless - 2.0 * InverseQ(ber) * noise.noise_sigma;
        EXPECT_NEAR(IdealEye(noise, ber).eye_height, expected, 0.01 * expected) << ber;
    }
    // The sensitivity takes its voltage off each side; uniform noise its half-width.
    Impairments sensitive = noise;
    sensitive.sensitivity = 0.05;
    EXPECT_NEAR(IdealEye(sensitive, 1e-12).eye_height, IdealEye(noise, 1e-12).eye_height - 0.1, 2e-3);
    Impairments uniform;
    uniform.noise_uniform = 0.1;
    EXPECT_NEAR(IdealEye(uniform, 1e-12).eye_height, 0.8, 2e-3);
}

// The exact expectation of the width test: with an ideal channel the BER at
// phase x from the eye's centre is half the chance that the near edge moves
// past x, the edge moving by U(-d, d) + N(0, sigma); the width at BER b is
// 1 UI less twice the x at which 0.5 P(edge early by more than 0.5 - x) = b.
double ExpectedWidth(double d, double sigma, double b) {
    const auto tail = [&](double x) {  // P(U + N > x)
        const int n = 2000;
        double sum = 0.0;
        for (int i = 0; i < n; ++i) sum += Q((x - (-d + 2.0 * d * (i + 0.5) / n)) / sigma);
        return sum / n;
    };
    double low = 0.0, high = 1.0;
    for (int i = 0; i < 60; ++i) {
        const double mid = 0.5 * (low + high);
        (0.5 * tail(mid) > b ? low : high) = mid;
    }
    return 1.0 - 2.0 * low;
}

TEST(StatEyeJitter, WidthWithRjAndDjIsWhatTheirTailsLeave) {
    Impairments jitter;
    jitter.tx = {Component(JitterComponent::Kind::kGaussian, 0.02), Component(JitterComponent::Kind::kUniform, 0.05)};
    for (double ber : {1e-6, 1e-12}) {
        const double width = IdealEye(jitter, ber).eye_width;
        // Exact for the model, to a third of a phase step.
        EXPECT_NEAR(width, ExpectedWidth(0.05, 0.02, ber), 0.01) << ber;
    }
    // The rule of thumb treats Dj as a dual Dirac: a little pessimistic.
    EXPECT_NEAR(IdealEye(jitter, 1e-12).eye_width, 1.0 - 2 * 0.05 - 2 * InverseQ(1e-12) * 0.02, 0.03);
    // Rx clock jitter narrows the eye as well, and the two add.
    Impairments both = jitter;
    both.rx = {Component(JitterComponent::Kind::kGaussian, 0.02)};
    EXPECT_LT(IdealEye(both, 1e-12).eye_width, IdealEye(jitter, 1e-12).eye_width - 0.05);
    // Jitter on an ideal channel leaves the height at the centre alone.
    EXPECT_NEAR(IdealEye(jitter, 1e-12).eye_height, 1.0, 2e-3);
}

TEST(StatEyeJitter, DutyCycleDistortionClosesTheOnesFromBothSides) {
    Impairments rj;
    rj.tx = {Component(JitterComponent::Kind::kGaussian, 0.02)};
    Impairments dcd = rj;
    dcd.tx.push_back(Component(JitterComponent::Kind::kDutyCycle, 0.05));
    const StatisticalEye plain = IdealEye(rj, 1e-12), distorted = IdealEye(dcd, 1e-12);
    EXPECT_NEAR(distorted.eye_width, plain.eye_width - 0.1, 0.015);
}

TEST(StatEyeJitter, BathtubsAreCurvesWithTheTargetInside) {
    Impairments impairments;
    impairments.tx = {Component(JitterComponent::Kind::kGaussian, 0.03)};
    impairments.noise_sigma = 0.03;
    const StatisticalEye eye = IdealEye(impairments, 1e-12);
    // Horizontal: down from 0.5 outside the eye through every decade to the floor.
    EXPECT_NEAR(*std::max_element(eye.bathtub.begin(), eye.bathtub.end()), 0.5, 0.05);
    std::size_t between = 0;
    for (double ber : eye.bathtub) between += ber > 1e-15 && ber < 1e-3;
    EXPECT_GE(between, 4u);
    // Vertical: high at both ends, below the target in the middle.
    ASSERT_FALSE(eye.vertical_ber.empty());
    EXPECT_EQ(eye.vertical_ber.size(), eye.vertical_volts.size());
    EXPECT_GT(eye.vertical_ber.front(), 0.4);
    EXPECT_GT(eye.vertical_ber.back(), 0.4);
    const std::size_t middle = eye.vertical_ber.size() / 2;
    EXPECT_NEAR(eye.vertical_volts[middle], 0.0, 1e-9);
    EXPECT_LT(eye.vertical_ber[middle], 1e-12);
    // Every phase's density still sums to one.
    for (std::size_t p = 0; p < eye.phases; p += 7) {
        const double total = std::accumulate(eye.density.begin() + static_cast<std::ptrdiff_t>(p * eye.bins),
                                             eye.density.begin() + static_cast<std::ptrdiff_t>((p + 1) * eye.bins), 0.0);
        EXPECT_NEAR(total, 1.0, 1e-9) << p;
    }
}

TEST(JitterDensity, EachKindHasItsMomentsAndGatheringKeepsTheMass) {
    const double step = 1.0 / 1024;
    const JitterPdf gaussian = ComponentPdf(Component(JitterComponent::Kind::kGaussian, 0.03), step, EdgeSense::kRising);
    EXPECT_NEAR(gaussian.Rms(), 0.03, 1e-4);
    const JitterPdf uniform = ComponentPdf(Component(JitterComponent::Kind::kUniform, 0.05), step, EdgeSense::kRising);
    EXPECT_NEAR(uniform.Rms(), 0.05 / std::sqrt(3.0), 1e-4);
    const JitterPdf sine = ComponentPdf(Component(JitterComponent::Kind::kSinusoid, 0.1), step, EdgeSense::kRising);
    EXPECT_NEAR(sine.Rms(), 0.1 / std::sqrt(2.0), 1e-3);
    const JitterPdf late = ComponentPdf(Component(JitterComponent::Kind::kDutyCycle, 0.04), step, EdgeSense::kRising);
    EXPECT_NEAR(late.Mean(), 0.04, 1e-12);
    const JitterPdf early = ComponentPdf(Component(JitterComponent::Kind::kDutyCycle, 0.04), step, EdgeSense::kFalling);
    EXPECT_NEAR(early.Mean(), -0.04, 1e-12);
    const JitterPdf sum = Convolve(gaussian, uniform);
    EXPECT_NEAR(sum.Rms(), std::sqrt(0.03 * 0.03 + 0.05 * 0.05 / 3.0), 1e-4);
    const CellWeights cells = GatherCells(sum, 1.0 / 32);
    EXPECT_NEAR(std::accumulate(cells.weights.begin(), cells.weights.end(), 0.0), 1.0, 1e-12);
    EXPECT_EQ(cells.first, -static_cast<long>(cells.weights.size() / 2));
    // A point of a table keeps its place between grid points.
    JitterComponent points = Component(JitterComponent::Kind::kPoints, 0.0);
    points.points = {{-0.0123, 0.25}, {0.0456, 0.75}};
    EXPECT_NEAR(ComponentPdf(points, step, EdgeSense::kRising).Mean(), 0.25 * -0.0123 + 0.75 * 0.0456, 1e-12);
}

}  // namespace
}  // namespace amisim
