// The statistical eye's figures against closed forms on an ideal channel at
// the default 16 samples a bit and fewer: far below a BER of 1e-16, with
// jitter smaller than a sample, and never wider than the unit interval.

#include <gtest/gtest.h>

#include <cmath>

#include "tools/amisim/eye/jitter_pdf.h"
#include "tools/amisim/eye/stat_eye.h"
#include "amisim/closed_forms.h"

namespace amisim {
namespace {

using amisim_test::Q;
using amisim_test::InverseQ;
using amisim_test::Component;

StatisticalEye IdealEye(int per_bit, const Impairments& impairments, double ber) {
    StatEyeSettings settings;
    settings.samples_per_bit = per_bit;
    settings.ber = ber;
    settings.impairments = impairments;
    return ComputeStatisticalEye(PulseResponse({1.0}, per_bit), settings);
}

// One phase step of a jittered eye: a BER that steps from nothing to a
// quarter between two phases (a duty-cycle distortion) is read about
// half-way, and an edge landing on a phase may cost up to half a step.
constexpr double kJitterPhaseUi = 1.0 / 64;

TEST(StatEyeAccuracy, GaussianNoiseKeepsClosingTheEyeFarBelow1e16) {
    Impairments noise;
    noise.noise_sigma = 0.03;
    for (double ber : {1e-12, 1e-20, 1e-25}) {
        const double exact = 1.0 - 2.0 * noise.noise_sigma * InverseQ(ber);
        const double height = IdealEye(16, noise, ber).eye_height;
        EXPECT_NEAR(height, exact, 1e-3) << ber;
        EXPECT_LT(height, exact + 1e-4) << ber;  // the grid errs on the closed side
    }
    // The BER at the threshold itself, Q(10) = 7.6e-24, both from the
    // horizontal bathtub and the vertical one at 0 V.
    noise.noise_sigma = 0.05;
    const StatisticalEye eye = IdealEye(16, noise, 1e-12);
    const double exact = Q(0.5 / noise.noise_sigma);
    EXPECT_NEAR(eye.bathtub[static_cast<std::size_t>(eye.centre_phase)], exact, 0.1 * exact);
    const std::size_t middle = eye.vertical_ber.size() / 2;
    ASSERT_NEAR(eye.vertical_volts[middle], 0.0, 1e-12);
    EXPECT_NEAR(eye.vertical_ber[middle], exact, 0.1 * exact);
}

TEST(StatEyeAccuracy, RandomJitterWidthHoldsAtAnySamplesPerBitAndFarBelow1e16) {
    // The near edge moves past the sampling time with probability Q(x / s),
    // and half the bits have an edge there.
    Impairments rj;
    rj.tx = {Component(JitterComponent::Kind::kGaussian, 0.02)};
    const double exact = 1.0 - 2.0 * 0.02 * InverseQ(2e-12);
    for (int per_bit : {2, 3, 4, 16, 64}) EXPECT_NEAR(IdealEye(per_bit, rj, 1e-12).eye_width, exact, 4e-3) << per_bit;
    rj.tx = {Component(JitterComponent::Kind::kGaussian, 0.03)};
    EXPECT_NEAR(IdealEye(16, rj, 1e-20).eye_width, 1.0 - 2.0 * 0.03 * InverseQ(2e-20), 4e-3);
}

TEST(StatEyeAccuracy, BoundedJitterBelowAPhaseStepTakesItsWholeSizeOffTheWidth) {
    // DCD, uniform Dj (Tx or Rx) and Sj of d UI leave 1 - 2d UI open, to a
    // phase step, and never more than a sub-phase wider.
    const auto check = [](JitterComponent::Kind kind, bool rx, double d, int per_bit) {
        Impairments jitter;
        (rx ? jitter.rx : jitter.tx) = {Component(kind, d)};
        const double width = IdealEye(per_bit, jitter, 1e-12).eye_width;
        EXPECT_NEAR(width, 1.0 - 2.0 * d, kJitterPhaseUi) << static_cast<int>(kind) << ' ' << d << ' ' << per_bit;
        EXPECT_LT(width, 1.0 - 2.0 * d + kJitterPhaseUi / 4) << static_cast<int>(kind) << ' ' << d << ' ' << per_bit;
    };
    for (double d : {0.02, 0.05, 0.1})
        for (int per_bit : {2, 16}) check(JitterComponent::Kind::kDutyCycle, false, d, per_bit);
    check(JitterComponent::Kind::kUniform, false, 0.1, 16);
    check(JitterComponent::Kind::kUniform, true, 0.1, 16);
    check(JitterComponent::Kind::kSinusoid, true, 0.1, 16);
}

TEST(StatEyeAccuracy, NoEyeIsWiderThanTheUnitIntervalOrTallerThanItsLevels) {
    for (int per_bit : {2, 3, 5, 16, 100}) {
        const StatisticalEye clean = IdealEye(per_bit, {}, 1e-12);
        EXPECT_LE(clean.eye_width, 1.0 + 1e-12) << per_bit;
        EXPECT_NEAR(clean.eye_width, 1.0, 1e-3) << per_bit;
        // Heights read off the voltage grid err low by at most a bin or two.
        EXPECT_LE(clean.eye_height, 1.0) << per_bit;
        EXPECT_NEAR(clean.eye_height, 1.0, 1e-3) << per_bit;
        Impairments tiny;
        tiny.tx = {Component(JitterComponent::Kind::kGaussian, 1e-4)};
        const StatisticalEye jittered = IdealEye(per_bit, tiny, 1e-12);
        EXPECT_LE(jittered.eye_width, 1.0 + 1e-12) << per_bit;
        EXPECT_NEAR(jittered.eye_width, 1.0, kJitterPhaseUi) << per_bit;
    }
}

TEST(StatEyeAccuracy, AnOffsetOnACellBorderIsSharedByBothCells) {
    // A duty-cycle point half a cell from 0 is the density's first point and
    // lies on the border of cells 0 and 1 (or -1 and 0): half to each.
    for (double d : {0.5 / 64, -0.5 / 64}) {
        JitterComponent point = Component(JitterComponent::Kind::kPoints, 0.0);
        point.points = {{d, 1.0}};
        const CellWeights cells = GatherCells(ComponentPdf(point, 1.0 / 256, EdgeSense::kRising), 1.0 / 64);
        ASSERT_EQ(cells.weights.size(), 2u) << d;
        EXPECT_EQ(cells.first, d > 0 ? 0 : -1);
        EXPECT_DOUBLE_EQ(cells.weights[0], 0.5);
        EXPECT_DOUBLE_EQ(cells.weights[1], 0.5);
    }
}

}  // namespace
}  // namespace amisim
