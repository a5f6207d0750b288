// An Init-only receiver's response from what its AMI_Init returned.

#include <gtest/gtest.h>

#include <cmath>

#include "tools/amisim/flows/init_response.h"
#include "tools/amisim/flows/link_run.h"

using namespace amisim;

namespace {

// A slow low-pass impulse with a delay, like a lossy channel's: most of its
// spectrum lies far below its peak.
std::vector<double> LowPass(std::size_t length, std::size_t delay, double pole) {
    std::vector<double> impulse(length, 0.0);
    double value = 1.0 - pole;
    for (std::size_t n = delay; n < length; ++n, value *= pole) impulse[n] = value;
    return impulse;
}

std::vector<double> Ffe(const std::vector<double>& in, std::size_t spacing) {
    std::vector<double> out(in.size(), 0.0);
    for (std::size_t n = 0; n < in.size(); ++n)
        out[n] = -0.1 * in[n] + (n >= spacing ? 0.7 * in[n - spacing] : 0.0) +
                 (n >= 2 * spacing ? -0.2 * in[n - 2 * spacing] : 0.0);
    return out;
}

TEST(InitResponse, AFixedEqualiserIsRecoveredBehindALossyChannel) {
    const std::vector<double> given = LowPass(2000, 37, 0.97);
    const InitResponse response = ResponseFromInit(given, Ffe(given, 16));
    EXPECT_LT(response.residual, 1e-8);
    ASSERT_GE(response.taps.size(), 33u);
    EXPECT_NEAR(response.taps[0], -0.1, 1e-6);
    EXPECT_NEAR(response.taps[16], 0.7, 1e-6);
    EXPECT_NEAR(response.taps[32], -0.2, 1e-6);
    EXPECT_NEAR(response.taps[8], 0.0, 1e-6);
    // The rounding beyond the equaliser is trimmed away.
    EXPECT_LT(response.taps.size(), 100u);
}

TEST(InitResponse, AnOutputWhereTheInputHasNoEnergyShowsInTheResidual) {
    // Smoothed so often that nothing is left near the Nyquist frequency;
    // the output alternates there, which no filter of this input gives.
    std::vector<double> given(512, 0.0);
    given[10] = 1.0;
    for (int pass = 0; pass < 40; ++pass)
        for (std::size_t n = given.size() - 1; n > 0; --n) given[n] = 0.5 * (given[n] + given[n - 1]);
    std::vector<double> returned = given;
    for (std::size_t n = 100; n < 200; ++n) returned[n] += (n % 2 == 0 ? 0.01 : -0.01);
    EXPECT_GT(ResponseFromInit(given, returned).residual, kInitResponseTolerance);
}

TEST(InitResponse, NothingGivenGivesNothingBack) {
    const InitResponse silent = ResponseFromInit(std::vector<double>(64, 0.0), std::vector<double>(64, 0.0));
    for (double tap : silent.taps) EXPECT_EQ(tap, 0.0);
    EXPECT_EQ(silent.residual, 0.0);
    EXPECT_TRUE(ResponseFromInit({}, {}).taps.empty());
}

}  // namespace
